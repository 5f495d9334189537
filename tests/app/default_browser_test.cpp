// The general settings say whether the desktop opens web links here and make it do so, through the
// associations the desktop's own settings change.
#include <gtest/gtest.h>

#include <gio/gio.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

#include "app/app_run.h"
#include "app/zemblo_app.h"
#include "model/localization.h"
#include "platform/default_browser.h"
#include "settings/kit/settings_row.h"
#include "settings/panes/general_pane.h"
#include "settings/settings_view.h"
#include "support/find_settings_widgets.h"
#include "support/find_widget.h"
#include "support/main_loop.h"
#include "support/temp_home.h"

namespace zemblo {
namespace {

namespace fs = std::filesystem;

// The row in the general pane of the running application's settings window.
SettingsRow* defaultBrowserRow(ZembloApp& app) {
  app.activate_action("settings");
  testing::pump();
  for (auto* window : app.get_windows()) {
    if (auto* view = dynamic_cast<SettingsView*>(window)) {
      view->select(SettingsPane::general);
      testing::pump();
      return dynamic_cast<SettingsRow*>(Glib::wrap(testing::findByWidgetName(
          GTK_WIDGET(testing::shownPane(*view).gobj()), "default-browser")));
    }
  }
  return nullptr;
}

Gtk::Button* buttonNamed(Gtk::Widget& root, const std::string& name) {
  return dynamic_cast<Gtk::Button*>(
      Glib::wrap(testing::findFirst(GTK_WIDGET(root.gobj()), [&](GtkWidget* w) {
        return GTK_IS_BUTTON(w) && name == (gtk_button_get_label(GTK_BUTTON(w)) ?: "");
      })));
}

// Runs the application with `checks` once it is up, then quits it.
void runApp(const std::function<void(ZembloApp&)>& checks) {
  auto app = ZembloApp::create();
  testing::runChecks(*app, [&] { checks(*app); });
}

bool subtitleIs(SettingsRow& row, const char* turkish) {
  return testing::waitUntil([&] { return testing::subtitle(row) == localized(turkish); });
}

// The home is made before the toolkit starts: GIO reads the user's folders once per process, and
// the associations written here must land in the test's home.
TEST(DefaultBrowserTest, AnInstalledBrowserIsMadeTheDefaultForWebLinksAndPages) {
  testing::TempHome home;
  ASSERT_EQ(fs::path(g_get_user_config_dir()), home.root() / "config");
  fs::create_directories(home.root() / "data" / "applications");
  fs::copy_file(ZEMBLO_DESKTOP_ENTRY,
                home.root() / "data" / "applications" / default_browser::kDesktopEntry);
  // The desktop lists an entry only when the program it runs is on the path.
  const std::string path = std::getenv("PATH");
  setenv("PATH", (fs::path(ZEMBLO_BROWSER_EXECUTABLE).parent_path().string() + ":" + path).c_str(),
         1);

  runApp([&](ZembloApp& app) {
    SettingsRow* row = defaultBrowserRow(app);
    ASSERT_TRUE(row);
    ASSERT_TRUE(subtitleIs(*row, "Diğer uygulamalardaki bağlantılar başka bir tarayıcıda açılıyor"))
        << testing::subtitle(*row);
    Gtk::Button* button = buttonNamed(*row, localized("Varsayılan Yap"));
    ASSERT_TRUE(button && button->get_visible());
    g_signal_emit_by_name(button->gobj(), "clicked");
    EXPECT_TRUE(subtitleIs(*row, "Web adresleri ve HTML dosyaları Zemblo'da açılıyor"))
        << testing::subtitle(*row);
    EXPECT_FALSE(button->get_visible());
  });

  // What every other program now asks the desktop for.
  for (const char* type : default_browser::kContentTypes) {
    GAppInfo* handler = g_app_info_get_default_for_type(type, FALSE);
    ASSERT_TRUE(handler) << type;
    EXPECT_STREQ(g_app_info_get_id(handler), default_browser::kDesktopEntry) << type;
    g_object_unref(handler);
  }
  setenv("PATH", path.c_str(), 1);
}

TEST(DefaultBrowserTest, ABrowserTheDesktopDoesNotKnowSaysSoAndOffersNoButton) {
  testing::TempHome home;
  ASSERT_EQ(fs::path(g_get_user_config_dir()), home.root() / "config");
  runApp([&](ZembloApp& app) {
    SettingsRow* row = defaultBrowserRow(app);
    ASSERT_TRUE(row);
    EXPECT_TRUE(subtitleIs(*row,
                           "Zemblo kurulu değil (masaüstü girdisi bulunamadı), bu yüzden "
                           "varsayılan tarayıcı yapılamaz"))
        << testing::subtitle(*row);
    Gtk::Button* button = buttonNamed(*row, localized("Varsayılan Yap"));
    EXPECT_TRUE(button && !button->get_visible());
  });
  EXPECT_FALSE(fs::exists(home.root() / "config" / "mimeapps.list"));
}

}  // namespace
}  // namespace zemblo
