#include "passwords/import_passwords_sheet.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "passwords/passwords_harness.h"

namespace zemblo::testing {
namespace {

// What the process has read from files and pipes so far.
long long bytesReadByProcess() {
  std::ifstream io("/proc/self/io");
  std::string key;
  long long value = 0;
  while (io >> key >> value) {
    if (key == "rchar:") return value;
  }
  return 0;
}

class ImportPasswordsSheetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!PasswordsHarness::hasTestAccountService()) GTEST_SKIP() << "needs the test PAM service";
    harness.open(/*importing=*/true);
    ASSERT_TRUE(harness.window().importSheet());
    sheet = harness.window().importSheet();
    ASSERT_TRUE(waitUntil([&] { return sheet->get_mapped(); }));
  }

  std::filesystem::path writeFile(const std::string& name, const std::string& contents) {
    const auto file = harness.home.root() / "Downloads" / name;
    harness.home.writeFile(file, contents);
    return file;
  }
  ImportPasswordsSheet::Phase waitForAnswer() {
    EXPECT_TRUE(waitUntil([&] { return !sheet->importing(); }));
    pump();
    return sheet->phase();
  }

  PasswordsHarness harness;
  ImportPasswordsSheet* sheet = nullptr;
};

TEST_F(ImportPasswordsSheetTest, ADroppedLocalFileIsImportedAndCanBeMovedToTheTrash) {
  EXPECT_EQ(sheet->source(), ImportSource::chrome);
  sheet->setSource(ImportSource::firefox);
  ASSERT_EQ(sheet->shownSteps().size(), 3u);
  EXPECT_EQ(sheet->shownSteps().front(), "Firefox'ta adres çubuğuna about:logins yaz.");
  PasswordsHarness::shot(*sheet, "import-guide");

  // Links and files behind a network location are refused; nothing changes.
  EXPECT_FALSE(sheet->dropFiles({Gio::File::create_for_uri("https://example.test/logins.csv")}));
  EXPECT_FALSE(sheet->dropFiles({}));
  EXPECT_EQ(sheet->phase(), ImportPasswordsSheet::Phase::guide);

  const auto file = writeFile("logins.csv",
                              "url,username,password\nhttps://a.example.test,ada,pw\n"
                              "https://b.example.test,bob,pw\nftp://c.example.test,cy,pw\n");
  const auto other = writeFile("other.csv", "url,username,password\nhttps://d.example.test,d,p\n");
  EXPECT_TRUE(sheet->dropFiles(
      {Gio::File::create_for_path(file.string()), Gio::File::create_for_path(other.string())}));
  ASSERT_EQ(waitForAnswer(), ImportPasswordsSheet::Phase::finished);
  EXPECT_EQ(sheet->headline().get_text(), "2 şifre içe aktarıldı");
  EXPECT_EQ(sheet->summary().get_text(), "2 yeni · 1 atlandı");
  EXPECT_EQ(harness.passwords().credentials.peek().size(), 2u);  // the first file only
  PasswordsHarness::shot(*sheet, "import-finished");

  sheet->moveToTrash();
  ASSERT_TRUE(waitUntil([&] { return sheet->trashed(); }));
  EXPECT_FALSE(std::filesystem::exists(file));
  EXPECT_FALSE(sheet->trashButton().get_sensitive());
  EXPECT_EQ(sheet->trashButton().get_label(), "Çöp Sepeti'ne taşındı");
}

TEST_F(ImportPasswordsSheetTest, UnreadableOrUnsavedImportsFailWithoutRecommendingTheTrash) {
  sheet->setSource(ImportSource::edge);
  // A huge binary is refused as unreadable without being read.
  const auto huge = harness.home.root() / "huge.bin";
  std::ofstream(huge).close();
  std::filesystem::resize_file(huge, 100u << 20);
  const long long readBefore = bytesReadByProcess();
  ASSERT_TRUE(sheet->dropFiles({Gio::File::create_for_path(huge.string())}));
  waitForAnswer();
  EXPECT_LT(bytesReadByProcess() - readBefore, 8ll << 20);
  ASSERT_EQ(sheet->phase(), ImportPasswordsSheet::Phase::failed);
  EXPECT_EQ(sheet->failureMessage().get_text(),
            "Dosya okunamadı. UTF-8 biçiminde bir CSV dosyası olduğundan emin ol.");
  PasswordsHarness::shot(*sheet, "import-failed");

  // Try Again keeps the source; a pipe is not waited on.
  sheet->showGuide();
  EXPECT_EQ(sheet->source(), ImportSource::edge);
  const auto pipe = harness.home.root() / "pipe.csv";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  ASSERT_TRUE(sheet->dropFiles({Gio::File::create_for_path(pipe.string())}));
  EXPECT_EQ(waitForAnswer(), ImportPasswordsSheet::Phase::failed);

  // The keyring refuses the logins: nothing was imported, and the file is not to be deleted.
  sheet->showGuide();
  harness.vault->refuseWrites = true;
  const auto file =
      writeFile("logins.csv", "url,username,password\nhttps://a.example.test,ada,pw\n");
  ASSERT_TRUE(sheet->dropFiles({Gio::File::create_for_path(file.string())}));
  ASSERT_EQ(waitForAnswer(), ImportPasswordsSheet::Phase::failed);
  EXPECT_EQ(sheet->failureMessage().get_text(),
            "Şifreler anahtarlığa kaydedilemedi. Hiçbir şey içe aktarılmadı.");
  EXPECT_TRUE(harness.passwords().credentials.peek().empty());
  EXPECT_TRUE(std::filesystem::exists(file));
}

}  // namespace
}  // namespace zemblo::testing
