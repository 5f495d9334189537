// What the user has stays on disk whatever happens to the browser: busy use, a kill, a signal, a
// full disk, damaged files, files of the user's own beside ours, a download cut short.
#include <gtest/gtest.h>

#include <sys/mount.h>

#include <cstdio>
#include <fstream>

#include "app/site_routes.h"
#include "model/app_preferences.h"
#include "support/real_browser.h"

namespace zemblo {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using testing::BrowserProcess;
using testing::within;

using PersistenceTest = testing::RealBrowserTest;

TEST_F(PersistenceTest, AStartKeepsTheUsersFilesAndBusyUseIsOnDiskWhenTheBrowserIsKilled) {
  saveTabs({"http://127.0.0.1:9/a", "http://127.0.0.1:9/b", "http://127.0.0.1:9/c"});
  const std::string written = home.readFile(home.dataDir() / "session.json");
  // Names a user may well give copies of their own, some looking like a temporary file.
  std::vector<fs::path> users;
  for (const char* name : {"session.json.backup", "history.json.orig01", "session.json.Q7XK2P",
                           ".session.json.Q7XK2P", "session.json.bad"}) {
    users.push_back(home.dataDir() / name);
  }
  users.push_back(home.configDir() / "user-defaults.json.ABC123");
  for (const auto& file : users) home.writeFile(file, "mine");
  // What an interrupted save of the browser's own leaves behind.
  const std::vector<fs::path> leftovers = {home.dataDir() / ".session.json.zemblo-save-AbC123",
                                           home.configDir() /
                                               ".user-defaults.json.zemblo-save-x"
                                               "Yz789"};
  for (const auto& file : leftovers) home.writeFile(file, "half");

  auto browser = start("browser");
  ASSERT_TRUE(browser.waitForWindow()) << browser.pid().value_or(0) << browser.log();
  for (const auto& file : users) EXPECT_EQ(home.readFile(file), "mine") << file;
  for (const auto& file : leftovers) EXPECT_FALSE(fs::exists(file)) << file;

  // Away from the first tab, then back and forth between the other two every 0.3 s, never
  // pausing long enough for a quiet moment: the new selection still reaches the disk (within five
  // seconds of the first change, which the store's own test times; here the limit only ends a wait
  // that would never end). Each press goes to the browser's window, whatever has the focus.
  ASSERT_TRUE(browser.onWindow("^Zemblo$", "windowfocus --sync %1 key ctrl+Tab"));
  const auto started = std::chrono::steady_clock::now();
  bool saved = false;
  for (int press = 0; !saved && std::chrono::steady_clock::now() - started < 20s; ++press) {
    std::this_thread::sleep_for(300ms);  // the pace of a busy user
    ASSERT_TRUE(browser.onWindow("^Zemblo$", std::string("windowfocus --sync %1 key ") +
                                                 (press % 2 == 0 ? "ctrl+Tab" : "ctrl+shift+Tab")));
    saved = home.readFile(home.dataDir() / "session.json") != written;
  }
  browser.signal(SIGKILL);
  browser.exitStatus(10s);
  ASSERT_TRUE(saved) << "nothing written in 20 s of busy use";
  const auto session = SessionFiles().readSession();
  ASSERT_TRUE(session);
  EXPECT_EQ(session->spaces.front().tabs.size(), 3u);
  EXPECT_NE(session->spaces.front().selectedTabID, session->spaces.front().tabs.front().id);
}

// A stray byte in one title costs no tab, and a damaged history finds a free name beside a
// thousand copies kept earlier: whatever the user had is still on disk after the next save.
TEST_F(PersistenceTest, DamagedFilesCostNoTabAndNothingKeptEarlier) {
  saveTabs({"http://127.0.0.1:9/a", "http://127.0.0.1:9/b", "http://127.0.0.1:9/c"});
  std::string session = home.readFile(home.dataDir() / "session.json");
  const auto title = session.find("\"title\":\"Work1\"");
  ASSERT_NE(title, std::string::npos) << session;
  session.insert(title + 9, "\xC3(");  // a lead byte without its continuation
  home.writeFile(home.dataDir() / "session.json", session);
  const auto history = home.dataDir() / "history.json";
  auto numbered = [&](int number) {
    return fs::path(history) += number == 0 ? ".bad" : ".bad." + std::to_string(number);
  };
  for (int number = 0; number < 1000; ++number) home.writeFile(numbered(number), "kept");
  home.writeFile(history, "[{\"broken\"");

  auto browser = start("browser");
  ASSERT_TRUE(browser.waitForWindow()) << browser.pid().value_or(0) << browser.log();
  quit(browser);

  const auto saved = SessionFiles().readSession();
  ASSERT_TRUE(saved);
  ASSERT_EQ(saved->spaces.front().tabs.size(), 3u);
  EXPECT_TRUE(saved->spaces.front().tabs[1].title.starts_with("\uFFFD(Work1"))
      << saved->spaces.front().tabs[1].title;
  EXPECT_EQ(home.readFile(home.dataDir() / "session.json.bad"), session);
  std::vector<std::string> stamped;
  for (const auto& entry : fs::directory_iterator(home.dataDir())) {
    if (entry.path().filename().string().starts_with("history.json.bad-")) {
      stamped.push_back(home.readFile(entry.path()));
    }
  }
  EXPECT_EQ(stamped, std::vector<std::string>{"[{\"broken\""});
  for (int number = 0; number < 1000; ++number) ASSERT_EQ(home.readFile(numbered(number)), "kept");
  EXPECT_TRUE(decodeHistory(home.readFile(history)));
}

// Mounts a tmpfs of `size` over `folder` for the life of the object.
class SmallDisk {
 public:
  SmallDisk(const fs::path& folder, const char* size) : folder_(folder) {
    fs::create_directories(folder);
    const std::string options = std::string("size=") + size;
    mounted_ = mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) == 0;
  }
  ~SmallDisk() {
    if (mounted_) umount2(folder_.c_str(), MNT_DETACH);
  }
  bool mounted() const { return mounted_; }
  // Takes every free byte, as other programs filling the disk do.
  void fill() const {
    std::ofstream filler(folder_ / "filler", std::ios::binary);
    const std::string block(4096, 'x');
    while (filler.write(block.data(), block.size()) && filler.flush()) {
    }
  }
  void free() const { fs::remove(folder_ / "filler"); }

 private:
  fs::path folder_;
  bool mounted_ = false;
};

TEST_F(PersistenceTest, ASettingChangedOnAFullDiskReachesTheFileOnceThereIsRoom) {
  SmallDisk disk(home.root() / "config", "256k");
  if (!disk.mounted()) GTEST_SKIP() << "mounting a small tmpfs needs root";
  home.writeFile(home.configDir() / "user-defaults.json", "{}");
  disk.fill();

  auto browser = start("browser");
  ASSERT_TRUE(browser.waitForWindow()) << browser.pid().value_or(0) << browser.log();
  ASSERT_TRUE(browser.onWindow("^Zemblo$", "windowfocus --sync %1 key ctrl+alt+d"));
  ASSERT_TRUE(within(15s, [&] {
    return browser.log().find("user-defaults.json: No space left") != std::string::npos;
  }));
  EXPECT_EQ(home.readFile(home.configDir() / "user-defaults.json"), "{}");

  disk.free();
  browser.signal(SIGTERM);
  const auto status = browser.exitStatus(10s);
  ASSERT_TRUE(status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0);
  UserDefaults saved(home.configDir() / "user-defaults.json");
  EXPECT_NE(AppPreferences::load(saved).pageDarkMode, PageDarkMode::off);
}

// Without a runtime folder the engine's sandbox would put its sockets in the cache folder; on a
// full disk it could not start a page's process and aborted the browser.
TEST_F(PersistenceTest, AFullHomeWithoutARuntimeFolderStillShowsPagesAndLeavesNoFolderBehind) {
  SmallDisk disk(home.root() / "cache", "256k");
  if (!disk.mounted()) GTEST_SKIP() << "mounting a small tmpfs needs root";
  testing::serveSite(server);
  saveTabs({server.url("/visit?full")});
  disk.fill();
  unsetenv("XDG_RUNTIME_DIR");
  const auto runtimeFolders = [] {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(fs::temp_directory_path())) {
      if (entry.path().filename().string().starts_with("zemblo-browser-runtime-")) {
        found.push_back(entry.path());
      }
    }
    return found;
  };
  const auto before = runtimeFolders();

  auto browser = start("browser");
  ASSERT_TRUE(browser.waitForWindow()) << browser.log();
  ASSERT_TRUE(within(30s, [&] { return !server.notesStarting("GET /visit?full").empty(); }))
      << browser.log();
  EXPECT_NE(runtimeFolders(), before);
  quit(browser);
  EXPECT_EQ(runtimeFolders(), before);
}

// Quit (Ctrl+Q) from the window ends the browser like closing it does: it saves and exits with 0,
// also for a new user whose three files are directories, which are set aside, not read. One press
// is enough from the moment the window shows. A termination signal ends it the same way.
TEST_F(PersistenceTest, CtrlQAndTerminationSignalsSaveAndQuitEvenWhenTheFilesAreDirectories) {
  const auto session = home.dataDir() / "session.json";
  const auto history = home.dataDir() / "history.json";
  const auto defaults = home.configDir() / "user-defaults.json";
  for (const auto& path : {session, history, defaults}) fs::create_directories(path / "inside");
  {
    auto browser = start("first");
    ASSERT_TRUE(browser.waitForWindow()) << browser.log();
    quit(browser);
  }
  EXPECT_TRUE(fs::is_regular_file(session));
  EXPECT_TRUE(fs::is_regular_file(history));
  EXPECT_TRUE(fs::exists(fs::path(session) += ".bad/inside"));
  EXPECT_TRUE(fs::exists(fs::path(history) += ".bad/inside"));
  // Settings are set aside only when they are first written; until then nothing is touched.
  EXPECT_TRUE(fs::exists(fs::path(defaults) += ".bad/inside") || fs::exists(defaults / "inside"));

  for (int signal : {SIGTERM, SIGINT}) {
    fs::remove(session);
    auto browser = start("browser");
    // Up and running once its window shows: the signals are watched from start-up on.
    ASSERT_TRUE(browser.waitForWindow()) << browser.log();
    EXPECT_FALSE(fs::exists(session));
    browser.signal(signal);
    const auto status = browser.exitStatus(10s);
    EXPECT_TRUE(status) << "signal " << signal << ": still running 10 s later, killed";
    EXPECT_TRUE(testing::exitedCleanly(status)) << "signal " << signal;
    EXPECT_TRUE(fs::exists(session)) << "signal " << signal;
  }
}

// A download in full flow must neither hold up quitting nor leave a partial file behind.
TEST_F(PersistenceTest, QuittingDuringADownloadIsPromptAndLeavesNoPartialFile) {
  testing::PageServer::Response slow{"", "application/octet-stream"};
  slow.headers = {{"Content-Disposition", "attachment; filename=\"slow.bin\""}};
  slow.slowLength = 500'000'000;
  slow.rate = 100'000;
  server.route("/slow", [slow](const testing::PageServer::Request&) { return slow; });
  saveTabs({server.url("/slow")});

  auto browser = start("browser");
  const auto folder = home.root() / "Downloads";
  EXPECT_TRUE(within(30s, [&] { return fs::exists(folder / "slow.bin.part"); }));
  browser.signal(SIGTERM);
  const auto status = browser.exitStatus(5s);
  EXPECT_TRUE(status) << "still running 5 s after SIGTERM, killed";
  EXPECT_TRUE(testing::exitedCleanly(status));
  EXPECT_TRUE(fs::is_empty(folder));
}

}  // namespace
}  // namespace zemblo
