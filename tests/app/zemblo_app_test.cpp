#include "app/zemblo_app.h"

#include <gtest/gtest.h>

#include <glib.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <optional>
#include <string_view>

#include "app/app_run.h"
#include "app/app_windows.h"
#include "model/browser_store.h"
#include "model/browser_tab.h"
#include "model/localization.h"
#include "model/preferences_model.h"
#include "model/window_model.h"
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

TEST(ZembloAppTest, OpensOneBrowserWindowAndSingleInstanceWindowsAndSavesAtQuit) {
  testing::TempHome home;
  auto app = ZembloApp::create();
  testing::runChecks(*app, [&] {
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
        loadingAtStartup = tab && tab->storedWebView() && tab->page.hasStartedLoading();
      },
      true);
  testing::runChecks(*app, [] {});
  return !windowAtStartup && loadingAtStartup;
}

void startAndCheckTheEarlyLoad() { std::exit(startsTheEarlyLoad() ? 0 : 1); }

TEST(ZembloAppDeathTest, TheSelectedTabsPageIsAskedForBeforeTheWindowIsBuilt) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(startAndCheckTheEarlyLoad(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace zemblo
