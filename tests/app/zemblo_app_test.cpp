#include "app/zemblo_app.h"

#include <gtest/gtest.h>

#include <glib.h>
#include <sys/wait.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <optional>
#include <string_view>
#include <thread>

#include "app/app_run.h"
#include "app/app_windows.h"
#include "app/browser_process.h"
#include "model/browser_store.h"
#include "model/browser_tab.h"
#include "model/localization.h"
#include "model/preferences_model.h"
#include "model/records.h"
#include "model/window_model.h"
#include "support/child_process.h"
#include "support/main_loop.h"
#include "support/temp_home.h"
#include "support/x_input.h"
#include "window/browser_window.h"

namespace zemblo {
namespace {

std::vector<Gtk::Window*> windowsTitled(Gtk::Application& app, const std::string& title) {
  std::vector<Gtk::Window*> found;
  for (auto* window : app.get_windows()) {
    if (window->get_title().raw() == title) found.push_back(window);
  }
  return found;
}

// Runs the application and, once it is up, the given checks; then quits it.
void runApp(const Glib::RefPtr<ZembloApp>& app, std::function<void()> checks) {
  app->signal_activate().connect(
      [app, checks] {
        Glib::signal_idle().connect_once([app, checks] {
          checks();
          app->quit();
        });
      },
      true);
  testing::runAndHideWindows(*app);
}

TEST(ZembloAppTest, OpensOneBrowserWindowAndSingleInstanceWindowsAndSavesAtQuit) {
  testing::TempHome home;
  auto app = ZembloApp::create();
  runApp(app, [&] {
    auto store = app->store();
    EXPECT_EQ(store, app->store());  // created once
    ASSERT_EQ(windowsTitled(*app, "Zemblo").size(), 1u);
    Gtk::Window* browser = windowsTitled(*app, "Zemblo").front();
    int width = 0, height = 0;
    browser->get_default_size(width, height);
    EXPECT_EQ(width, 1440);
    EXPECT_EQ(height, 920);
    browser->get_size_request(width, height);
    EXPECT_EQ(width, 880);
    EXPECT_EQ(height, 560);

    app->activate_action("browser");
    app->activate_action("passwords");
    app->activate_action("passwords");
    app->activate_action("settings");
    EXPECT_EQ(windowsTitled(*app, "Zemblo").size(), 1u);
    const std::string passwordsTitle = localized("Şifreler");
    EXPECT_EQ(windowsTitled(*app, passwordsTitle).size(), 1u);
    using testing::drain;
    // Closing the settings window ends it; Ctrl+, in the browser window opens a new one.
    const std::string settingsTitle = localized("Ayarlar");
    ASSERT_EQ(windowsTitled(*app, settingsTitle).size(), 1u);
    windowsTitled(*app, settingsTitle).front()->close();
    drain();
    EXPECT_EQ(windowsTitled(*app, settingsTitle).size(), 0u);
    browser->present();
    drain();
    ASSERT_EQ(std::system(testing::xdotoolOn("Zemblo", "windowfocus %1 key ctrl+comma").c_str()),
              0);
    EXPECT_TRUE(testing::waitUntil([&] { return !windowsTitled(*app, settingsTitle).empty(); }));
    EXPECT_EQ(windowsTitled(*app, settingsTitle).size(), 1u);

    // A change of language rebuilds the passwords window in the new language.
    const AppLanguage other = L10n::isEnglish() ? AppLanguage::turkish : AppLanguage::english;
    store->preferences().updatePrefs([other](AppPreferences& prefs) { prefs.language = other; });
    drain();
    EXPECT_EQ(windowsTitled(*app, other == AppLanguage::english ? "Passwords" : "Şifreler").size(),
              1u);
  });
  EXPECT_TRUE(std::filesystem::exists(home.dataDir() / "session.json"));
  EXPECT_TRUE(std::filesystem::exists(home.dataDir() / "history.json"));
  L10n::setEnglish(false);
}

// In a process of its own: closes a window and opens it again, then closes every window as
// their close buttons do; exits with the number of warnings and criticals the toolkit logged, or
// 100 when the application outlived its windows.
int toolkitComplaints = 0;
bool closing = false;  // only what closing the windows brings is counted
int closeTheWindowAndCountComplaints() {
  testing::TempHome home;
  g_log_set_writer_func(
      [](GLogLevelFlags level, const GLogField* fields, gsize count, gpointer data) {
        for (gsize i = 0; i < count; ++i) {
          if (closing && (level & (G_LOG_LEVEL_WARNING | G_LOG_LEVEL_CRITICAL)) &&
              std::string_view(fields[i].key) == "GLIB_DOMAIN" &&
              std::string_view(static_cast<const char*>(fields[i].value)).starts_with("Gtk")) {
            ++toolkitComplaints;
          }
        }
        return g_log_writer_default(level, fields, count, data);
      },
      nullptr, nullptr);
  bool outlived = false;
  {
    auto app = ZembloApp::create();
    app->signal_activate().connect([&] {
      Glib::signal_idle().connect_once([&] {
        closing = true;
        app->activate_action("passwords");
        for (auto* window : app->get_windows()) {
          if (!dynamic_cast<BrowserWindow*>(window)) window->close();
        }
        Glib::signal_idle().connect_once([&] {
          app->activate_action("passwords");
          for (auto* window : app->get_windows()) window->close();
        });
      });
      Glib::signal_timeout().connect_seconds_once([&] { outlived = true, app->quit(); }, 20);
    });
    testing::runWithoutArguments(*app);
  }
  return outlived ? 100 : toolkitComplaints;
}

// The exit removes the test's home, once its destructor has run.
void closeTheWindowAndCount() { std::exit(closeTheWindowAndCountComplaints()); }

TEST(ZembloAppDeathTest, ClosedWindowsOpenAgainAndTheLastOneEndsTheApplicationQuietly) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(closeTheWindowAndCount(), ::testing::ExitedWithCode(0), "");
}

// In a process of its own, whose windows and web views go with it: exits with 0 when the selected
// tab's page was asked for before the application's start-up finished and no window was built.
bool startsTheEarlyLoad() {
  testing::TempHome home;
  home.writeFile(home.dataDir() / "session.json", R"({"spaces": [{
      "id": "6F1C8E4A-7B0D-4C55-9E55-2A4C1B7D9E01", "name": "Work", "symbol": "globe",
      "colorA": "#7B61FF", "colorB": "#FF6FB5", "selectedTabID": "0B3F1A2C-4D5E-4F60-8172-93A4B5C6D7E8",
      "tabs": [{"id": "0B3F1A2C-4D5E-4F60-8172-93A4B5C6D7E8", "title": "Page",
                "url": "http://127.0.0.1:9/page"}]}],
    "currentSpaceID": "6F1C8E4A-7B0D-4C55-9E55-2A4C1B7D9E01", "favorites": [],
    "sidebarVisible": true})");
  auto app = ZembloApp::create();
  bool windowAtStartup = true;
  bool loadingAtStartup = false;
  app->signal_startup().connect(
      [&] {
        windowAtStartup = !testing::browserWindowsOf(*app).empty();
        const auto tab = app->store()->tabs().currentSpace()->selectedTab();
        loadingAtStartup = tab && tab->storedWebView() && tab->hasStartedLoading;
      },
      true);
  runApp(app, [] {});
  return !windowAtStartup && loadingAtStartup;
}

void startAndCheckTheEarlyLoad() { std::exit(startsTheEarlyLoad() ? 0 : 1); }

TEST(ZembloAppDeathTest, TheSelectedTabsPageIsAskedForBeforeTheWindowIsBuilt) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(startAndCheckTheEarlyLoad(), ::testing::ExitedWithCode(0), "");
}

// Starts the real executable as a fresh user, lets it come up, ends it with a signal and checks
// that it saved on the way out and then ended by itself.
TEST(ZembloAppTest, TerminationSignalsQuitCleanlyAndSave) {
  using namespace std::chrono_literals;
  for (int signal : {SIGTERM, SIGINT}) {
    testing::TempHome home;
    testing::BrowserProcess browser(home.root() / "browser.log");
    const auto session = home.dataDir() / "session.json";
    // Up and running once its window shows: the signals are watched from start-up on.
    ASSERT_TRUE(browser.waitForWindow()) << browser.log();
    EXPECT_FALSE(std::filesystem::exists(session));
    browser.signal(signal);
    const auto status = browser.exitStatus(10s);
    EXPECT_TRUE(status) << "signal " << signal << ": still running 10 s later, killed";
    EXPECT_TRUE(testing::exitedCleanly(status)) << "signal " << signal;
    EXPECT_TRUE(std::filesystem::exists(session)) << "signal " << signal;
  }
}

// Quit (Ctrl+Q) from the window ends the browser like closing it does: it saves and exits with 0,
// also for a new user whose three files are directories, which are set aside, not read. One press
// is enough from the moment the window shows.
TEST(ZembloAppTest, CtrlQSavesAndQuitsEvenWhenTheFilesAreDirectories) {
  using namespace std::chrono_literals;
  testing::TempHome home;
  const auto sessionFile = home.dataDir() / "session.json";
  const auto history = home.dataDir() / "history.json";
  const auto defaults = home.configDir() / "user-defaults.json";
  for (const auto& path : {sessionFile, history, defaults}) {
    std::filesystem::create_directories(path / "inside");
  }
  testing::BrowserProcess browser(home.root() / "browser.log");
  ASSERT_TRUE(browser.waitForWindow()) << browser.log();
  ASSERT_TRUE(browser.onWindow("^Zemblo$", "windowfocus --sync %1 key ctrl+q"));
  const auto status = browser.exitStatus(10s);
  ASSERT_TRUE(status) << "still running 10 s after Ctrl+Q, killed";
  EXPECT_TRUE(testing::exitedCleanly(status));
  EXPECT_TRUE(std::filesystem::is_regular_file(sessionFile));
  EXPECT_TRUE(std::filesystem::is_regular_file(history));
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(sessionFile) += ".bad/inside"));
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(history) += ".bad/inside"));
  // Settings are set aside only when they are first written; until then nothing is touched.
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(defaults) += ".bad/inside") ||
              std::filesystem::exists(defaults / "inside"));
}

// A download in full flow must neither hold up quitting nor leave a partial file behind.
TEST(ZembloAppTest, QuittingDuringADownloadIsPromptAndLeavesNoPartialFile) {
  using namespace std::chrono_literals;
  testing::TempHome home;
  int serverOutput = -1;
  testing::ChildProcess server({"python3", ZEMBLO_DOWNLOAD_SERVER, "0"}, &serverOutput);
  ASSERT_TRUE(server.started());
  // The whole line: the server may write the number and the line's end apart, and it ends if it
  // finds the pipe closed in between.
  std::string port;
  for (char c = 0; port.find('\n') == std::string::npos && read(serverOutput, &c, 1) == 1;) {
    port += c;
  }
  close(serverOutput);
  ASSERT_NE(port.find('\n'), std::string::npos) << port;
  const auto slow = Url::parse("http://127.0.0.1:" + std::to_string(std::stoi(port)) +
                               "/slow?bytes=500000000&rate=100000");
  SpaceSnapshot space{Uuid::random(), "Downloads", "star", "#112233", "#445566", {}, {}};
  space.tabs.push_back(TabSnapshot{Uuid::random(), *slow, "slow", std::nullopt});
  space.selectedTabID = space.tabs.front().id;
  SessionSnapshot session;
  session.currentSpaceID = space.id;
  session.spaces.push_back(space);
  ASSERT_TRUE(SessionFiles().writeSession(session));

  testing::BrowserProcess browser(home.root() / "browser.log");
  const auto folder = home.root() / "Downloads";
  EXPECT_TRUE(
      testing::within(30s, [&] { return std::filesystem::exists(folder / "slow.bin.part"); }));
  browser.signal(SIGTERM);
  const auto status = browser.exitStatus(5s);
  EXPECT_TRUE(status) << "still running 5 s after SIGTERM, killed";
  EXPECT_TRUE(testing::exitedCleanly(status));
  EXPECT_TRUE(std::filesystem::is_empty(folder));
}

}  // namespace
}  // namespace zemblo
