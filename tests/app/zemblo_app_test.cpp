#include "app/zemblo_app.h"

#include <gtest/gtest.h>

#include <glib.h>
#include <sys/wait.h>

#include <csignal>
#include <cstdlib>
#include <functional>
#include <string_view>
#include <thread>

#include "model/browser_store.h"
#include "model/localization.h"
#include "support/temp_home.h"
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

// In a process of its own: closes a window and opens it again, then closes every window as
// their close buttons do; exits with the number of warnings and criticals the toolkit logged, or
// 100 when the application outlived its windows.
int toolkitComplaints = 0;
bool closing = false;  // only what closing the windows brings is counted
void closeTheWindowAndCount() {
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
          if (window != app->browserWindow()) window->close();
        }
        Glib::signal_idle().connect_once([&] {
          app->activate_action("passwords");
          for (auto* window : app->get_windows()) window->close();
        });
      });
      Glib::signal_timeout().connect_seconds_once([&] { outlived = true, app->quit(); }, 20);
    });
    char name[] = "zemblo-browser";
    char* argv[] = {name, nullptr};
    app->run(1, argv);
  }
  std::exit(outlived ? 100 : toolkitComplaints);
}

TEST(ZembloAppDeathTest, ClosedWindowsOpenAgainAndTheLastOneEndsTheApplicationQuietly) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(closeTheWindowAndCount(), ::testing::ExitedWithCode(0), "");
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
