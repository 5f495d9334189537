#include "sidebar/dark_mode_sidebar_button.h"

#include <gtest/gtest.h>

#include "sidebar/sidebar_harness.h"
#include "sidebar/sidebar_view.h"

namespace zemblo {
namespace {

using testing::pump;
using testing::SidebarHarness;
using testing::waitUntil;

// The labels of a menu section's items, in order.
std::vector<std::string> labels(GMenuModel* section) {
  std::vector<std::string> result;
  for (int i = 0; i < g_menu_model_get_n_items(section); ++i) {
    gchar* label = nullptr;
    if (g_menu_model_get_item_attribute(section, i, G_MENU_ATTRIBUTE_LABEL, "s", &label)) {
      result.emplace_back(label);
      g_free(label);
    }
  }
  return result;
}

// Every section of the button's menu: its title, then its items.
std::vector<std::vector<std::string>> openMenu(DarkModeSidebarButton& button) {
  button.popupContextMenu();
  pump();
  GMenuModel* menu = G_MENU_MODEL(button.contextMenuModel()->gobj());
  std::vector<std::vector<std::string>> sections;
  for (int i = 0; i < g_menu_model_get_n_items(menu); ++i) {
    std::vector<std::string> section{""};
    gchar* title = nullptr;
    if (g_menu_model_get_item_attribute(menu, i, G_MENU_ATTRIBUTE_LABEL, "s", &title)) {
      section[0] = title;
      g_free(title);
    }
    GMenuModel* items = g_menu_model_get_item_link(menu, i, G_MENU_LINK_SECTION);
    for (auto& label : labels(items)) section.push_back(std::move(label));
    g_object_unref(items);
    sections.push_back(std::move(section));
  }
  button.contextMenu()->popdown();
  return sections;
}

TEST(DarkModeSidebarButtonTest, AClickSwitchesOffAndAlwaysAndTheMenuPicksModesAndSites) {
  SidebarHarness harness;
  auto& store = harness.store();
  auto& bar = harness.sidebar().bottomBar();
  auto& button = bar.darkModeButton();
  const auto frame = harness.bounds(button);
  EXPECT_EQ(frame.width, DarkModeSidebarButton::kWidth);
  EXPECT_EQ(frame.height, DarkModeSidebarButton::kHeight);
  EXPECT_GE(frame.x, harness.bounds(bar.passwordsButton()).x + SidebarIconButton::kWidth);
  EXPECT_EQ(button.look().symbol, "moon");
  EXPECT_EQ(button.get_tooltip_text(), "Sayfa karanlık modu kapalı (Ctrl+Alt+D)");

  harness.click(button);
  ASSERT_TRUE(waitUntil([&] { return store.prefs().pageDarkMode == PageDarkMode::always; }));
  pump();
  EXPECT_EQ(button.look().symbol, "moon.fill");
  EXPECT_EQ(button.get_tooltip_text(), "Sayfa karanlık modu açık (Ctrl+Alt+D)");
  SidebarHarness::screenshot("dark-mode-button-on");

  // No page with a site: only the picker.
  const std::vector<std::string> picker{"Sayfa Karanlık Modu", "Kapalı", "Koyu temadayken",
                                        "Her zaman"};
  EXPECT_EQ(openMenu(button), std::vector<std::vector<std::string>>{picker});

  auto page = harness.addTab("https://www.news.example/today", "News");
  store.select(*page);
  pump();
  auto sections = openMenu(button);
  ASSERT_EQ(sections.size(), 2u);
  EXPECT_EQ(sections[1], (std::vector<std::string>{"", "news.example için karanlık modu kapat"}));
  button.contextActions()->activate_action("site");
  EXPECT_EQ(store.prefs().darkDisabledHosts, std::vector<std::string>{"news.example"});
  sections = openMenu(button);
  EXPECT_EQ(sections[1], (std::vector<std::string>{"", "news.example için karanlık modu aç"}));
  button.contextActions()->activate_action("site");
  EXPECT_TRUE(store.prefs().darkDisabledHosts.empty());

  // Following the theme counts as on; a click from there turns it off, never back to it.
  button.contextActions()->activate_action("mode",
                                           Glib::Variant<Glib::ustring>::create("withTheme"));
  EXPECT_EQ(store.prefs().pageDarkMode, PageDarkMode::withTheme);
  pump();
  EXPECT_EQ(button.look().symbol, "moon.fill");
  ASSERT_TRUE(testing::press(button));
  EXPECT_EQ(store.prefs().pageDarkMode, PageDarkMode::off);
  EXPECT_EQ(openMenu(button), std::vector<std::vector<std::string>>{picker});

  harness.setLanguage(AppLanguage::english);
  auto& rebuilt = harness.sidebar().bottomBar().darkModeButton();
  EXPECT_EQ(rebuilt.get_tooltip_text(), "Page dark mode off (Ctrl+Alt+D)");
  EXPECT_EQ(openMenu(rebuilt), (std::vector<std::vector<std::string>>{
                                   {"Page Dark Mode", "Off", "With dark theme", "Always"}}));
}

}  // namespace
}  // namespace zemblo
