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
    ASSERT_TRUE(harness.importSheet());
    root = GTK_WIDGET(harness.importSheet());
    sheet = dynamic_cast<ImportPasswordsSheet*>(Glib::wrap(harness.importSheet()));
    ASSERT_TRUE(sheet);
    ASSERT_TRUE(waitUntil([&] { return sheet->get_mapped(); }));
  }

  std::filesystem::path writeFile(const std::string& name, const std::string& contents) {
    const auto file = harness.home.root() / "Downloads" / name;
    harness.home.writeFile(file, contents);
    return file;
  }
  // The sheet's page on screen, by its widget name.
  std::string shownPage() {
    for (const char* page : {"ImportGuide", "ImportFinished", "ImportFailed"}) {
      if (shownInWindow(findByWidgetName(root, page))) return page;
    }
    return {};
  }
  // The page that tells how an import ended.
  std::string waitForAnswer() {
    EXPECT_TRUE(waitUntil([&] { return shownPage() != "ImportGuide"; }));
    pump();
    return shownPage();
  }
  GtkWidget* sourceButton(const std::string& name) {
    return findFirst(root, [&](GtkWidget* widget) {
      return GTK_IS_TOGGLE_BUTTON(widget) && accessibleName(widget) == name;
    });
  }
  // The source whose button is pressed.
  std::string chosenSource() {
    GtkWidget* chosen = findFirst(root, [](GtkWidget* widget) {
      return GTK_IS_TOGGLE_BUTTON(widget) &&
             gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(widget));
    });
    return chosen ? accessibleName(chosen) : "";
  }
  std::vector<std::string> shownSteps() {
    std::vector<std::string> texts;
    for (GtkWidget* step : findAll(root, [](GtkWidget* widget) {
           return gtk_widget_get_name(widget) == std::string("ImportStep");
         })) {
      texts.push_back(gtk_label_get_text(GTK_LABEL(step)));
    }
    return texts;
  }

  PasswordsHarness harness;
  GtkWidget* root = nullptr;
  ImportPasswordsSheet* sheet = nullptr;
};

TEST_F(ImportPasswordsSheetTest, ADroppedLocalFileIsImportedAndCanBeMovedToTheTrash) {
  EXPECT_EQ(chosenSource(), "Chrome");
  PasswordsHarness::click(sourceButton("Firefox"));
  EXPECT_EQ(chosenSource(), "Firefox");
  ASSERT_EQ(shownSteps().size(), 3u);
  EXPECT_EQ(shownSteps().front(), "Firefox'ta adres çubuğuna about:logins yaz.");
  PasswordsHarness::shot(*sheet, "import-guide");

  // Links and files behind a network location are refused; nothing changes.
  EXPECT_FALSE(sheet->dropFiles({Gio::File::create_for_uri("https://example.test/logins.csv")}));
  EXPECT_FALSE(sheet->dropFiles({}));
  EXPECT_EQ(shownPage(), "ImportGuide");

  const auto file = writeFile("logins.csv",
                              "url,username,password\nhttps://a.example.test,ada,pw\n"
                              "https://b.example.test,bob,pw\nftp://c.example.test,cy,pw\n");
  const auto other = writeFile("other.csv", "url,username,password\nhttps://d.example.test,d,p\n");
  EXPECT_TRUE(sheet->dropFiles(
      {Gio::File::create_for_path(file.string()), Gio::File::create_for_path(other.string())}));
  ASSERT_EQ(waitForAnswer(), "ImportFinished");
  EXPECT_EQ(labelText(root, "ImportHeadline"), "2 şifre içe aktarıldı");
  EXPECT_EQ(labelText(root, "ImportSummary"), "2 yeni · 1 atlandı");
  EXPECT_EQ(harness.passwords().credentials.peek().size(), 2u);  // the first file only
  PasswordsHarness::shot(*sheet, "import-finished");

  PasswordsHarness::click(findByAccessibleName(root, "CSV'yi Çöp Sepeti'ne Taşı"));
  GtkWidget* trashed = nullptr;
  ASSERT_TRUE(waitUntil(
      [&] { return (trashed = findByAccessibleName(root, "Çöp Sepeti'ne taşındı")) != nullptr; }));
  EXPECT_FALSE(std::filesystem::exists(file));
  EXPECT_FALSE(gtk_widget_get_sensitive(trashed));
}

TEST_F(ImportPasswordsSheetTest, UnreadableOrUnsavedImportsFailWithoutRecommendingTheTrash) {
  PasswordsHarness::click(sourceButton("Edge"));
  // A huge binary is refused as unreadable without being read.
  const auto huge = harness.home.root() / "huge.bin";
  std::ofstream(huge).close();
  std::filesystem::resize_file(huge, 100u << 20);
  const long long readBefore = bytesReadByProcess();
  ASSERT_TRUE(sheet->dropFiles({Gio::File::create_for_path(huge.string())}));
  waitForAnswer();
  EXPECT_LT(bytesReadByProcess() - readBefore, 8ll << 20);
  ASSERT_EQ(shownPage(), "ImportFailed");
  EXPECT_EQ(labelText(root, "ImportFailure"),
            "Dosya okunamadı. UTF-8 biçiminde bir CSV dosyası olduğundan emin ol.");
  PasswordsHarness::shot(*sheet, "import-failed");

  // Try Again keeps the source; a pipe is not waited on.
  PasswordsHarness::click(findByAccessibleName(root, "Tekrar Dene"));
  EXPECT_EQ(chosenSource(), "Edge");
  const auto pipe = harness.home.root() / "pipe.csv";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  ASSERT_TRUE(sheet->dropFiles({Gio::File::create_for_path(pipe.string())}));
  EXPECT_EQ(waitForAnswer(), "ImportFailed");

  // The keyring refuses the logins: nothing was imported, and the file is not to be deleted.
  PasswordsHarness::click(findByAccessibleName(root, "Tekrar Dene"));
  harness.vault->refuseWrites = true;
  const auto file =
      writeFile("logins.csv", "url,username,password\nhttps://a.example.test,ada,pw\n");
  ASSERT_TRUE(sheet->dropFiles({Gio::File::create_for_path(file.string())}));
  ASSERT_EQ(waitForAnswer(), "ImportFailed");
  EXPECT_EQ(labelText(root, "ImportFailure"),
            "Şifreler anahtarlığa kaydedilemedi. Hiçbir şey içe aktarılmadı.");
  EXPECT_TRUE(harness.passwords().credentials.peek().empty());
  EXPECT_TRUE(std::filesystem::exists(file));
}

}  // namespace
}  // namespace zemblo::testing
