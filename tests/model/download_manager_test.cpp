#include "model/download_manager.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <vector>

#include "model/download_names.h"
#include "model/localization.h"
#include "support/fake_scheduler.h"
#include "support/temp_home.h"

namespace zemblo {
namespace {

namespace fs = std::filesystem;
using State = DownloadItem::State;
using namespace std::chrono_literals;

TEST(DownloadNames, ServerNamesBecomePlainFileNames) {
  const std::pair<std::string, std::string> cases[] = {
      {"../../.config/autostart/evil.desktop", "evil.desktop"},
      {"C:\\x\\setup.exe", "setup.exe"},
      {"dir/", "İndirme"},
      {"..", "İndirme"},
      {" \t ", "İndirme"},
      {".bashrc", "bashrc"},
      {std::string("a\0b\nc\x7f.txt", 10), "abc.txt"},
      {"bad\xff utf8", "bad utf8"},
      {"photo\u202Egpj.exe", "photogpj.exe"},  // no right-to-left override hiding ".exe"
  };
  for (const auto& [suggested, expected] : cases) {
    EXPECT_EQ(plainDownloadName(suggested, "İndirme"), expected) << suggested;
  }
  // Too long for a file name: cut on a character boundary, the extension kept.
  std::string longName;
  for (int i = 0; i < 200; ++i) longName += "ğ";
  const std::string cut = plainDownloadName(longName + ".pdf", "İndirme");
  EXPECT_LE(cut.size(), kMaxDownloadNameBytes);
  EXPECT_TRUE(cut.ends_with("ğ.pdf")) << cut;

  // A saved page is named by its title, which the page chose: no slash makes it a folder.
  EXPECT_EQ(savedPageName("News / Today", "example.com"), "News - Today.mhtml");
  EXPECT_EQ(savedPageName("../../.bashrc", "example.com"), "-..-.bashrc.mhtml");
  EXPECT_EQ(savedPageName(" \n ", "example.com"), "example.com.mhtml");
  const std::string longTitle = savedPageName(longName, "example.com");
  EXPECT_LE(longTitle.size(), kMaxDownloadNameBytes);
  EXPECT_TRUE(longTitle.ends_with("ğ.mhtml")) << longTitle;
}

class DownloadManagerTest : public ::testing::Test {
 protected:
  // The engine's side of one download, as the manager sees it.
  struct FakeTransfer : DownloadTransfer {
    explicit FakeTransfer(std::vector<std::string>* log) : log(log) {}
    void cancel() override { log->push_back("cancel"); }
    std::vector<std::string>* log;
  };

  DownloadManagerTest()
      : folder(home.root() / "Downloads"),
        manager(DownloadManagerEnvironment{
            .folder = [this] { return folder; },
            .scheduler = &scheduler,
            .desktop =
                DownloadDesktop{[this](const fs::path& file, auto) { opened.push_back(file); },
                                [this](const fs::path& file) { revealed.push_back(file); }},
        }) {
    L10n::setEnglish(false);
    fs::create_directories(folder);
  }

  std::shared_ptr<DownloadItem> start(const std::string& address = "http://127.0.0.1/f/file.bin") {
    return manager.track(Url::parse(address), std::make_unique<FakeTransfer>(&log));
  }
  // Writes the body where the manager told the engine to, as the engine does.
  void write(const fs::path& file, const std::string& body) {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << body;
  }
  std::string read(const fs::path& file) { return home.readFile(file); }
  std::vector<std::string> filesInFolder() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  testing::TempHome home;
  fs::path folder;
  testing::FakeScheduler scheduler;
  std::vector<fs::path> opened, revealed;
  std::vector<std::string> log;
  DownloadManager manager;
};

TEST_F(DownloadManagerTest, SimultaneousDownloadsOfOneNameNeverShareADestination) {
  write(folder / "report.pdf", "mine");
  auto first = start();
  auto second = start();
  auto third = start("http://127.0.0.1/");
  EXPECT_EQ(manager.items.peek().front(), third);  // the newest first
  EXPECT_EQ(first->filename.peek() + "|" + third->filename.peek(), "file.bin|İndirme");

  // All three are decided before any has written a byte.
  const auto p1 = manager.decideDestination(*first, "report.pdf");
  const auto p2 = manager.decideDestination(*second, "report.pdf");
  const auto p3 = manager.decideDestination(*third, "report.pdf");
  ASSERT_TRUE(p1 && p2 && p3);
  EXPECT_EQ(second->destination.peek(), folder / "report (2).pdf");
  EXPECT_EQ(third->filename.peek(), "report (3).pdf");
  // The engine writes elsewhere until the end: nothing appears under the final names.
  EXPECT_FALSE(fs::exists(folder / "report (1).pdf"));
  write(*p2, "second");
  manager.finish(*second);
  write(*p1, "first");
  manager.finish(*first);
  EXPECT_EQ(read(folder / "report.pdf") + read(folder / "report (1).pdf") +
                read(folder / "report (2).pdf"),
            "minefirstsecond");
  // A name without an extension is numbered at its end.
  auto notes = start();
  write(folder / "notes", "x");
  manager.decideDestination(*notes, "notes");
  EXPECT_EQ(notes->filename.peek(), "notes (1)");
}

TEST_F(DownloadManagerTest, FailuresNeverTouchOtherFilesNorLeaveTheirOwn) {
  write(folder / "report.pdf", "mine");
  auto download = start();
  const auto partial = manager.decideDestination(*download, "report.pdf");
  ASSERT_TRUE(partial);
  // An engine that removes what it was writing when it fails.
  write(*partial, "half");
  fs::remove(*partial);
  manager.fail(*download);
  EXPECT_EQ(download->state.peek(), State::failed);
  EXPECT_EQ(filesInFolder(), std::vector<std::string>{"report.pdf"});
  EXPECT_EQ(read(folder / "report.pdf"), "mine");

  // A file that takes the chosen name while the download runs keeps it.
  auto late = start();
  const auto latePartial = manager.decideDestination(*late, "data.bin");
  write(folder / "data.bin", "someone else's");
  write(*latePartial, "downloaded");
  manager.finish(*late);
  EXPECT_EQ(late->filename.peek(), "data (1).bin");
  EXPECT_EQ(read(folder / "data.bin") + "|" + read(folder / "data (1).bin"),
            "someone else's|downloaded");

  // Quitting stops what runs and removes its partial files.
  auto running = start();
  const auto runningPartial = manager.decideDestination(*running, "big.iso");
  write(*runningPartial, "part");
  manager.cancelAll();
  EXPECT_EQ(log, std::vector<std::string>{"cancel"});
  EXPECT_FALSE(fs::exists(*runningPartial) || fs::exists(folder / "big.iso"));

  // A folder that cannot be written fails the download at once and stops the engine.
  fs::remove_all(folder);
  write(folder, "a file where the folder should be");
  auto blocked = start();
  EXPECT_FALSE(manager.decideDestination(*blocked, "x.bin"));
  EXPECT_EQ(blocked->state.peek(), State::failed);
  EXPECT_EQ(log.back(), "cancel");
}

TEST_F(DownloadManagerTest, ProgressIsThrottledAndStatesMoveOnce) {
  auto download = start();
  const auto partial = manager.decideDestination(*download, "movie.mkv");
  int changes = 0;
  download->progress.signalChanged().connect([&] { ++changes; });
  for (int i = 1; i <= 100; ++i) manager.reportProgress(*download, i / 200.0);
  EXPECT_DOUBLE_EQ(download->progress.peek(), 0.005);  // the first report shows at once
  scheduler.advance(DownloadManager::kProgressInterval);
  EXPECT_DOUBLE_EQ(download->progress.peek(), 0.5);  // then the latest, once per interval
  EXPECT_EQ(changes, 2);
  scheduler.advance(10 * DownloadManager::kProgressInterval);
  EXPECT_EQ(changes, 2);

  // Reveal needs a destination only; opening needs a finished file.
  download->revealInFileManager();
  download->open();
  EXPECT_EQ(revealed, std::vector<fs::path>{folder / "movie.mkv"});
  EXPECT_TRUE(opened.empty());

  write(*partial, "movie");
  manager.finish(*download);
  manager.fail(*download);  // late reports change nothing
  manager.reportProgress(*download, 0.2);
  EXPECT_EQ(download->state.peek(), State::finished);
  EXPECT_DOUBLE_EQ(download->progress.peek(), 1);
  download->open();
  EXPECT_EQ(opened, std::vector<fs::path>{folder / "movie.mkv"});

  auto failing = start();  // keeps its last progress; never decided, so nothing to show
  manager.reportProgress(*failing, 0.4);
  manager.fail(*failing);
  failing->revealInFileManager();
  EXPECT_DOUBLE_EQ(failing->progress.peek(), 0.4);
  EXPECT_EQ(revealed.size(), 1u);
}

TEST_F(DownloadManagerTest, ClearingKeepsRunningDownloadsInOrder) {
  auto a = start();
  auto b = start();
  auto c = start();
  auto d = start();
  manager.fail(*b);
  manager.decideDestination(*d, "d.bin");
  manager.finish(*d);
  EXPECT_EQ(manager.runningCount(), 2u);
  manager.clearCompleted();
  EXPECT_EQ(manager.items.peek(), (std::vector<std::shared_ptr<DownloadItem>>{c, a}));
  EXPECT_FALSE(manager.hasCompleted());
}

}  // namespace
}  // namespace zemblo
