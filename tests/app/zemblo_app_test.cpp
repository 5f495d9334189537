#include "app/zemblo_app.h"

#include <gtest/gtest.h>

#include <glib.h>
#include <sys/wait.h>

#include <csignal>
#include <functional>
#include <thread>

#include "model/browser_store.h"
#include "model/browser_tab.h"
#include "model/localization.h"
#include "support/temp_home.h"

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
  char name[] = "zemblo-browser";
  char* argv[] = {name, nullptr};
  app->run(1, argv);
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

    // A change of language rebuilds the passwords window in the new language.
    const AppLanguage other = L10n::isEnglish() ? AppLanguage::turkish : AppLanguage::english;
    store->updatePrefs([other](AppPreferences& prefs) { prefs.language = other; });
    auto context = Glib::MainContext::get_default();
    while (context->iteration(false)) {
    }
    EXPECT_EQ(windowsTitled(*app, other == AppLanguage::english ? "Passwords" : "Şifreler").size(),
              1u);
  });
  EXPECT_TRUE(std::filesystem::exists(home.dataDir() / "session.json"));
  EXPECT_TRUE(std::filesystem::exists(home.dataDir() / "history.json"));
  L10n::setEnglish(false);
}

TEST(ZembloAppTest, TheSelectedTabsPageIsAskedForBeforeTheWindowIsBuilt) {
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
        windowAtStartup = app->browserWindow() != nullptr;
        const auto tab = app->store()->currentSpace()->selectedTab();
        loadingAtStartup = tab && tab->storedWebView() && tab->hasStartedLoading;
      },
      true);
  runApp(app, [] {});
  EXPECT_FALSE(windowAtStartup);
  EXPECT_TRUE(loadingAtStartup);
}

// Starts the real executable as a fresh user, lets it come up, ends it with a signal and checks
// that it saved on the way out.
TEST(ZembloAppTest, TerminationSignalsQuitCleanlyAndSave) {
  for (int signal : {SIGTERM, SIGINT}) {
    testing::TempHome home;
    GPid pid = 0;
    char executable[] = ZEMBLO_BROWSER_EXECUTABLE;
    char* argv[] = {executable, nullptr};
    ASSERT_TRUE(g_spawn_async(nullptr, argv, nullptr, G_SPAWN_DO_NOT_REAP_CHILD, nullptr, nullptr,
                              &pid, nullptr));
    const auto session = home.dataDir() / "session.json";
    // Up and running once the first-launch defaults were written by the user-defaults reader or
    // the window shows; a fixed grace period keeps the check simple.
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_FALSE(std::filesystem::exists(session));
    kill(pid, signal);
    int status = 0;
    for (int i = 0; i < 100; ++i) {
      if (waitpid(pid, &status, WNOHANG) == pid) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_TRUE(WIFEXITED(status)) << "signal " << signal;
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(std::filesystem::exists(session)) << "signal " << signal;
    g_spawn_close_pid(pid);
  }
}

}  // namespace
}  // namespace zemblo
