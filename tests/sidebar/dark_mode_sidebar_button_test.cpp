#include "sidebar/dark_mode_sidebar_button.h"
#include "model/page_services_model.h"
#include "model/preferences_model.h"
#include "model/window_model.h"

#include <gtest/gtest.h>

#include "sidebar/sidebar_harness.h"
#include "sidebar/sidebar_view.h"
#include "support/find_sidebar.h"
#include "support/x_input.h"

namespace zemblo {
namespace {

using testing::menuUnder;
using testing::pump;
using testing::SidebarHarness;
using testing::waitUntil;

// The label of each item of a menu: a section's title, then its items.
std::vector<std::string> menuLabels(GMenuModel* menu) {
  std::vector<std::string> labels;
  for (int i = 0; i < g_menu_model_get_n_items(menu); ++i) {
    gchar* label = nullptr;
    if (g_menu_model_get_item_attribute(menu, i, G_MENU_ATTRIBUTE_LABEL, "s", &label)) {
      labels.emplace_back(label);
      g_free(label);
    }
    if (GMenuModel* section = g_menu_model_get_item_link(menu, i, G_MENU_LINK_SECTION)) {
      for (auto& item : menuLabels(section)) labels.push_back(std::move(item));
      g_object_unref(section);
    }
  }
  return labels;
}

std::vector<std::string> openMenu(DarkModeSidebarButton& button) {
  button.popupContextMenu();
  pump();
  Gtk::PopoverMenu* menu = testing::menuUnder(button);
  EXPECT_TRUE(menu && menu->get_visible());
  if (!menu) return {};
  menu->popdown();
  return menuLabels(G_MENU_MODEL(menu->get_menu_model()->gobj()));
}

TEST(DarkModeSidebarButtonTest, AClickSwitchesOffAndAlwaysAndTheMenuPicksModesAndSites) {
  SidebarHarness harness;
  auto& store = harness.store();
  auto& bar = harness.sidebar().bottomBar();
  auto& button = testing::widgetNamed<DarkModeSidebarButton>(bar, "DarkModeSidebarButton");
  const auto frame = harness.bounds(button);
  EXPECT_EQ(frame.width, DarkModeSidebarButton::kWidth);
  EXPECT_EQ(frame.height, DarkModeSidebarButton::kHeight);
  EXPECT_GE(frame.x, harness.bounds(bar.passwordsButton()).x + SidebarIconButton::kWidth);
  EXPECT_EQ(button.get_tooltip_text(), "Sayfa karanlık modu kapalı (Ctrl+Alt+D)");

  harness.click(button);
  ASSERT_TRUE(
      waitUntil([&] { return store.preferences().prefs().pageDarkMode == PageDarkMode::always; }));
  pump();
  EXPECT_EQ(button.get_tooltip_text(), "Sayfa karanlık modu açık (Ctrl+Alt+D)");
  SidebarHarness::screenshot("dark-mode-button-on");

  // No page with a site: only the picker.
  std::vector<std::string> menu{"Sayfa Karanlık Modu", "Kapalı", "Koyu temadayken", "Her zaman"};
  EXPECT_EQ(openMenu(button), menu);

  auto page = harness.addTab("https://www.news.example/today", "News");
  store.tabs().select(*page);
  pump();
  menu.push_back("news.example için karanlık modu kapat");
  EXPECT_EQ(openMenu(button), menu);
  button.activate_action("dark.site");
  EXPECT_EQ(store.preferences().prefs().darkDisabledHosts,
            std::vector<std::string>{"news.example"});
  menu.back() = "news.example için karanlık modu aç";
  EXPECT_EQ(openMenu(button), menu);
  button.activate_action("dark.site");
  EXPECT_TRUE(store.preferences().prefs().darkDisabledHosts.empty());

  // Following the theme counts as on; a click from there turns it off, never back to it.
  button.activate_action("dark.mode", Glib::Variant<Glib::ustring>::create("withTheme"));
  EXPECT_EQ(store.preferences().prefs().pageDarkMode, PageDarkMode::withTheme);
  pump();
  EXPECT_EQ(button.get_tooltip_text(), "Sayfa karanlık modu açık (Ctrl+Alt+D)");
  ASSERT_TRUE(testing::press(button));
  EXPECT_EQ(store.preferences().prefs().pageDarkMode, PageDarkMode::off);
  menu.pop_back();
  EXPECT_EQ(openMenu(button), menu);

  harness.setLanguage(AppLanguage::english);
  auto& rebuilt =
      testing::widgetNamed<DarkModeSidebarButton>(harness.sidebar(), "DarkModeSidebarButton");
  EXPECT_EQ(rebuilt.get_tooltip_text(), "Page dark mode off (Ctrl+Alt+D)");
  store.pageServices().togglePageDarkMode();
  pump();
  EXPECT_EQ(rebuilt.get_tooltip_text(), "Page dark mode on (Ctrl+Alt+D)");
  EXPECT_EQ(openMenu(rebuilt),
            (std::vector<std::string>{"Page Dark Mode", "Off", "With dark theme", "Always",
                                      "Turn off dark mode for news.example"}));
}

// The menu closed with Escape leaves the button as it was: the very next click switches, with the
// pointer still where it opened the menu.
TEST(DarkModeSidebarButtonTest, TheFirstClickAfterTheMenuWasClosedWithEscapeSwitches) {
  SidebarHarness harness;
  auto& store = harness.store();
  auto& button =
      testing::widgetNamed<DarkModeSidebarButton>(harness.sidebar(), "DarkModeSidebarButton");
  harness.input(harness.pointAt(button));
  ASSERT_TRUE(waitUntil([&] {
    return (button.get_state_flags() & Gtk::StateFlags::PRELIGHT) == Gtk::StateFlags::PRELIGHT;
  }));
  for (const PageDarkMode expected : {PageDarkMode::always, PageDarkMode::off}) {
    SCOPED_TRACE(std::string(rawValue(expected)));
    // Straight to the display: raising the window first would move the pointer's focus anew.
    testing::runBesideMainLoop("xdotool click 3");
    ASSERT_TRUE(waitUntil([&] { return menuUnder(button) && menuUnder(button)->get_mapped(); }));
    testing::runBesideMainLoop("xdotool key Escape");
    ASSERT_TRUE(waitUntil([&] { return !menuUnder(button)->get_mapped(); }));
    testing::runBesideMainLoop("xdotool click 1");
    EXPECT_TRUE(waitUntil([&] { return store.preferences().prefs().pageDarkMode == expected; }));
  }
}

}  // namespace
}  // namespace zemblo
