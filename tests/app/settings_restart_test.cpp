#include <gtest/gtest.h>

#include <adwaita.h>

#include <cstdlib>

#include "app/app_run.h"
#include "app/zemblo_app.h"
#include "model/browser_store.h"
#include "model/localization.h"
#include "platform/process.h"
#include "settings/panes/appearance_pane.h"
#include "settings/panes/general_pane.h"
#include "settings/settings_view.h"
#include "support/find_pane_controls.h"
#include "support/find_settings_widgets.h"
#include "support/main_loop.h"
#include "support/temp_home.h"

namespace zemblo {
namespace {

void click(Gtk::Widget& button) {
  g_signal_emit_by_name(button.gobj(), "clicked");
  testing::pump();
}

SettingsView* settingsWindow(Gtk::Application& app) {
  for (auto* window : app.get_windows()) {
    if (auto* view = dynamic_cast<SettingsView*>(window)) return view;
  }
  return nullptr;
}

template <class Pane>
Pane& shown(SettingsView& view, SettingsPane pane) {
  view.select(pane);
  testing::pump();
  return dynamic_cast<Pane&>(testing::shownPane(view));
}

// What the user does in the settings of the running application: picks the dark theme, then
// English, then the restart the pane offers.
void darkThemeThenEnglishThenRestart(ZembloApp& app) {
  app.activate_action("settings");
  testing::pump();
  SettingsView* view = settingsWindow(app);
  ASSERT_TRUE(view);
  click(testing::named(shown<AppearancePane>(*view, SettingsPane::appearance), "Koyu"));
  EXPECT_TRUE(adw_style_manager_get_dark(adw_style_manager_get_default()));

  auto* general = &shown<GeneralPane>(*view, SettingsPane::general);
  EXPECT_FALSE(testing::row(*general, "Yeniden Başlat").get_visible());
  click(testing::named(*general, "English"));
  general = &shown<GeneralPane>(*view, SettingsPane::general);
  ASSERT_TRUE(testing::row(*general, "Restart").get_visible());
  EXPECT_EQ(view->get_title(), "Settings");
  click(testing::named(*general, "Restart"));
}

// The application as the user runs it: the theme chosen in the settings reaches the whole
// application at once, and the restart offered after a change of language saves, quits and asks
// for the new start, whose desktop texts follow the new language.
TEST(SettingsRestartTest, ThemeAppliesAtOnceAndRestartAfterANewLanguageSavesAndRelaunches) {
  testing::TempHome home;
  AppPreferences launched;
  launched.language = AppLanguage::turkish;
  launched.save(UserDefaults::standard());
  // The application's settings file, as the desktop's standard place holds it.
  const std::filesystem::path defaultsFile = UserDefaults::standard().file();
  auto app = ZembloApp::create();
  app->signal_activate().connect(
      [&] {
        Glib::signal_idle().connect_once([&] {
          darkThemeThenEnglishThenRestart(*app);
          // A check that failed before the restart must not leave the application running.
          if (!app->relaunchRequested()) app->quit();
        });
      },
      true);
  testing::runAndHideWindows(*app);
  adw_style_manager_set_color_scheme(adw_style_manager_get_default(), ADW_COLOR_SCHEME_DEFAULT);
  L10n::setEnglish(false);

  EXPECT_TRUE(app->relaunchRequested());
  EXPECT_TRUE(std::filesystem::exists(home.dataDir() / "session.json"));
  UserDefaults saved(defaultsFile);
  EXPECT_EQ(AppPreferences::load(saved).language, AppLanguage::english);
  EXPECT_EQ(AppPreferences::load(saved).theme, ThemeMode::dark);
  // What the new start reads before the toolkit comes up.
  const char* before = std::getenv("LANGUAGE");
  const std::string kept = before ? before : "";
  process::applyPreferredLanguages(saved);
  EXPECT_STREQ(std::getenv("LANGUAGE"), "en");
  if (before) {
    setenv("LANGUAGE", kept.c_str(), 1);
  } else {
    unsetenv("LANGUAGE");
  }
}

}  // namespace
}  // namespace zemblo
