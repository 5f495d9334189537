#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "model/favorites_model.h"
#include "sidebar/favorites_grid.h"
#include "sidebar/sidebar_harness.h"
#include "support/find_widget.h"

// The browser window driven by the keyboard alone, through the X server.
namespace zemblo {
namespace {

using testing::pump;
using testing::SidebarHarness;
using testing::waitUntil;

class SidebarKeyboardTest : public ::testing::Test {
 protected:
  Gtk::Widget* focus() { return harness.window().get_focus(); }
  std::string focusName() { return focus() ? testing::accessibleName(focus()->gobj()) : ""; }
  void press(const std::string& keys) { harness.inputAndWait("key " + keys); }
  // Tab until the focus is on `widget`; false when the round ended first.
  bool tabTo(Gtk::Widget& widget, const std::string& key = "Tab") {
    for (int i = 0; i < 30 && focus() != &widget; ++i) press(key);
    return focus() == &widget;
  }
  // Whether the keyboard is on the first usable item of `menu`, where a menu opened by a key
  // starts.
  bool onFirstItem(Gtk::Widget& menu) {
    GtkWidget* first = testing::findFirst(GTK_WIDGET(menu.gobj()), [](GtkWidget* item) {
      return gtk_widget_get_visible(item) && gtk_widget_is_sensitive(item) &&
             gtk_accessible_get_accessible_role(GTK_ACCESSIBLE(item)) ==
                 GTK_ACCESSIBLE_ROLE_MENU_ITEM;
    });
    return first && focus() && focus()->gobj() == first;
  }

  SidebarHarness harness;
};

TEST_F(SidebarKeyboardTest, TabReachesEveryGroupArrowsWalkItAndKeysUseTheFocusedControl) {
  std::vector<Favorite> favorites;
  for (const std::string name : {"Bir", "Iki", "Uc"}) {
    favorites.emplace_back(name, *Url::parse(harness.server().url("/" + name)));
  }
  harness.store().favorites().list.set(favorites);
  WindowModel& tabs = harness.store().tabs();
  const auto third = harness.addTab("");
  const auto second = harness.addTab("");
  const auto first = harness.addTab("");
  tabs.select(*second);
  pump();

  // Tab from the window's start goes round every group of the window and back to the start.
  harness.window().unset_focus();
  press("Tab");
  Gtk::Widget* start = focus();
  ASSERT_TRUE(start);
  std::vector<std::string> reached{focusName()};
  std::set<Gtk::Widget*> seen{start};
  for (int i = 0; i < 40; ++i) {
    Gtk::Widget* before = focus();
    press("Tab");
    ASSERT_NE(focus(), before) << "Tab is stuck on " << reached.back();
    if (focus() == start) break;
    ASSERT_TRUE(seen.insert(focus()).second) << focusName() << " came round twice";
    reached.push_back(focusName());
  }
  ASSERT_EQ(focus(), start) << "the round never came back";
  const std::set<std::string> names(reached.begin(), reached.end());
  for (const std::string expected :
       {"Kenar çubuğu (Ctrl+S)", "Ara veya adres gir", "Bir", "İndirmeler", "Şifreler (Ctrl+Alt+P)",
        "Kişisel", "Ayarlar (Ctrl+,)", "Google ile ara veya adres gir"}) {
    EXPECT_TRUE(names.contains(expected)) << expected;
  }
  // The tab list is entered at the selected tab's row, and only there.
  EXPECT_TRUE(seen.contains(&harness.row(*second)));
  EXPECT_FALSE(seen.contains(&harness.row(*first)) || seen.contains(&harness.row(*third)));

  // The arrows walk the rows from the new-tab row and stop at both ends.
  ASSERT_TRUE(tabTo(harness.row(*second)));
  press("Up Up Up");
  EXPECT_EQ(focus(), &harness.newTabRow());
  press("Down Down Down Down Down");
  EXPECT_EQ(focus(), &harness.row(*third));
  // Return selects the focused row's tab; Delete closes it and the keyboard stays in the list.
  press("Return");
  EXPECT_EQ(tabs.currentSpace()->selectedTab(), third);
  press("Up Delete");
  ASSERT_EQ(harness.tabs(), (Space::TabList{first, third}));
  ASSERT_TRUE(waitUntil([&] { return focus() == &harness.row(*third); }));
  // Shift+F10 and the Menu key open the row's menu with the keyboard in it.
  for (const char* key : {"shift+F10", "Menu"}) {
    press(key);
    Gtk::PopoverMenu* menu = harness.row(*third).contextMenu();
    ASSERT_TRUE(menu && menu->get_visible()) << key;
    EXPECT_TRUE(onFirstItem(*menu)) << key;
    press("Escape");
    ASSERT_TRUE(waitUntil([&] { return !menu->get_visible(); }));
  }

  // The favourite tiles: the arrows, Home and End walk them, Return opens one, Shift+F10 opens
  // its menu.
  const auto tiles = testing::favoriteTiles(harness.favoritesGrid());
  ASSERT_TRUE(tabTo(*tiles[0], "shift+Tab"));
  press("End");
  EXPECT_EQ(focus(), tiles[2]);
  press("Home");
  EXPECT_EQ(focus(), tiles[0]);
  press("Right Right Right Left");
  EXPECT_EQ(focus(), tiles[1]);
  press("Return");
  ASSERT_TRUE(waitUntil([&] {
    const auto tab = tabs.currentSpace()->selectedTab();
    return tab && tab->url.peek() == Url::parse(harness.server().url("/Iki"));
  }));
  press("shift+F10");
  ASSERT_TRUE(testing::menuUnder(*tiles[1]) && testing::menuUnder(*tiles[1])->get_visible());
  EXPECT_TRUE(onFirstItem(*testing::menuUnder(*tiles[1])));
  press("Escape");

  // The space buttons: the arrows walk them, Return and Space switch the space.
  const auto spaces = tabs.spaces.peek();
  std::vector<Gtk::Widget*> buttons;
  for (const auto& space : spaces) {
    buttons.push_back(Glib::wrap(testing::findByAccessibleName(
        GTK_WIDGET(harness.sidebar().bottomBar().gobj()), space->name.peek())));
  }
  ASSERT_GE(buttons.size(), 2u);
  ASSERT_TRUE(buttons[0] && buttons[1]);
  ASSERT_TRUE(tabTo(*buttons[0]));
  press("Right Return");
  EXPECT_EQ(tabs.currentSpace(), spaces[1]);
  // The space's start page takes the keyboard; Tab comes back in at the current space's button.
  ASSERT_TRUE(tabTo(*buttons[1]));
  press("Left space");
  EXPECT_EQ(tabs.currentSpace(), spaces[0]);
}

}  // namespace
}  // namespace zemblo
