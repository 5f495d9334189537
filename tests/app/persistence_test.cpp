// What the user has stays on disk whatever happens to the browser: busy use, a kill, a full
// disk, files of the user's own beside ours, a page that will not stop asking.
#include <gtest/gtest.h>

#include <sys/mount.h>

#include <cstdio>
#include <fstream>

#include "app/browser_process.h"
#include "app/site_server.h"
#include "model/app_preferences.h"
#include "model/records.h"
#include "support/temp_home.h"

namespace zemblo {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using testing::BrowserProcess;
using testing::within;

SessionSnapshot sessionOf(const std::vector<std::string>& addresses) {
  SpaceSnapshot space{Uuid::random(), "Work", "star", "#112233", "#445566", {}, {}};
  for (const auto& address : addresses) {
    space.tabs.push_back(TabSnapshot{Uuid::random(), *Url::parse(address), address, std::nullopt});
  }
  space.selectedTabID = space.tabs.front().id;
  SessionSnapshot session;
  session.currentSpaceID = space.id;
  session.spaces.push_back(space);
  return session;
}

TEST(PersistenceTest, AStartKeepsTheUsersFilesAndBusyUseIsOnDiskWhenTheBrowserIsKilled) {
  testing::TempHome home;
  ASSERT_TRUE(SessionFiles().writeSession(
      sessionOf({"http://127.0.0.1:9/a", "http://127.0.0.1:9/b", "http://127.0.0.1:9/c"})));
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

  BrowserProcess browser(home.root() / "browser.log");
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
TEST(PersistenceTest, DamagedFilesCostNoTabAndNothingKeptEarlier) {
  testing::TempHome home;
  std::string session = *encodeSession(
      sessionOf({"http://127.0.0.1:9/a", "http://127.0.0.1:9/b", "http://127.0.0.1:9/c"}));
  const auto title = session.find("\"title\":\"http:\\/\\/127.0.0.1:9\\/b");
  ASSERT_NE(title, std::string::npos) << session;
  session.insert(title + 9, "\xC3(");  // a lead byte without its continuation
  home.writeFile(home.dataDir() / "session.json", session);
  const auto history = home.dataDir() / "history.json";
  auto numbered = [&](int number) {
    return fs::path(history) += number == 0 ? ".bad" : ".bad." + std::to_string(number);
  };
  for (int number = 0; number < 1000; ++number) home.writeFile(numbered(number), "kept");
  home.writeFile(history, "[{\"broken\"");

  BrowserProcess browser(home.root() / "browser.log");
  ASSERT_TRUE(browser.waitForWindow()) << browser.pid().value_or(0) << browser.log();
  ASSERT_TRUE(browser.onWindow("^Zemblo$", "windowfocus --sync %1 key ctrl+q"));
  const auto status = browser.exitStatus(10s);
  ASSERT_TRUE(status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << browser.log();

  const auto saved = SessionFiles().readSession();
  ASSERT_TRUE(saved);
  ASSERT_EQ(saved->spaces.front().tabs.size(), 3u);
  EXPECT_TRUE(saved->spaces.front().tabs[1].title.starts_with("\uFFFD(http"))
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

TEST(PersistenceTest, ASettingChangedOnAFullDiskReachesTheFileOnceThereIsRoom) {
  testing::TempHome home;
  SmallDisk disk(home.root() / "config", "256k");
  if (!disk.mounted()) GTEST_SKIP() << "mounting a small tmpfs needs root";
  home.writeFile(home.configDir() / "user-defaults.json", "{}");
  disk.fill();

  BrowserProcess browser(home.root() / "browser.log");
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
TEST(PersistenceTest, AFullHomeWithoutARuntimeFolderStillShowsPagesAndLeavesNoFolderBehind) {
  testing::TempHome home;
  SmallDisk disk(home.root() / "cache", "256k");
  if (!disk.mounted()) GTEST_SKIP() << "mounting a small tmpfs needs root";
  testing::SiteServer site(home.root() / "site.log");
  ASSERT_TRUE(site.started());
  ASSERT_TRUE(SessionFiles().writeSession(sessionOf({site.url("/visit?full")})));
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

  BrowserProcess browser(home.root() / "browser.log");
  ASSERT_TRUE(browser.waitForWindow()) << browser.log();
  ASSERT_TRUE(within(30s, [&] { return !site.linesStarting("GET /visit?full").empty(); }))
      << browser.log();
  EXPECT_NE(runtimeFolders(), before);
  ASSERT_TRUE(browser.onWindow("^Zemblo$", "windowfocus --sync %1 key ctrl+q"));
  const auto status = browser.exitStatus(15s);
  EXPECT_TRUE(status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << browser.log();
  EXPECT_EQ(runtimeFolders(), before);
}

// A page that asks and asks again cannot keep its tab, nor the browser: the tab closes with
// Ctrl+W and the browser quits with Ctrl+Q while a dialog is up.
TEST(PersistenceTest, APageThatNeverStopsAskingCanBeClosedAndTheBrowserQuit) {
  testing::TempHome home;
  const fs::path page = home.root() / "loop.html";
  // Its address, which the session keeps, says that it has begun asking.
  home.writeFile(page,
                 "<title>Loop</title><script>setTimeout(() => { location.hash = 'asking'; "
                 "for (let i = 0;; ++i) { alert(i); confirm(i); prompt(i); } }, 0);</script>");
  const std::string first = "file://" + page.string() + "?first";
  const std::string second = "file://" + page.string() + "?second";
  ASSERT_TRUE(SessionFiles().writeSession(sessionOf({first, second})));
  const auto asking = [](size_t tabs) {
    const auto session = SessionFiles().readSession();
    return session && session->spaces.front().tabs.size() == tabs &&
           session->spaces.front().tabs.front().url->str().ends_with("#asking");
  };

  BrowserProcess browser(home.root() / "browser.log");
  ASSERT_TRUE(browser.waitForWindow()) << browser.pid().value_or(0) << browser.log();
  ASSERT_TRUE(within(15s, [&] { return asking(2); })) << "no dialog\n" << browser.log();
  ASSERT_TRUE(browser.onWindow("^Zemblo$", "windowfocus --sync %1 key ctrl+w"));
  // The next tab is the same page: its dialogs come up too, and the browser still quits.
  ASSERT_TRUE(within(15s, [&] { return asking(1); }))
      << "the first tab was not closed, or the next one asks nothing\n"
      << browser.log();
  ASSERT_TRUE(browser.onWindow("^Zemblo$", "windowfocus --sync %1 key ctrl+q"));
  const auto status = browser.exitStatus(10s);
  ASSERT_TRUE(status) << "the browser did not quit";
  EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0);
  const auto session = SessionFiles().readSession();
  ASSERT_TRUE(session);
  ASSERT_EQ(session->spaces.front().tabs.size(), 1u);
  EXPECT_EQ(session->spaces.front().tabs.front().url->str(), second + "#asking");
}

}  // namespace
}  // namespace zemblo
