#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "model/localization.h"
#include "sidebar/sidebar_bottom_bar.h"
#include "window/accessibility_tree.h"
#include "window/window_harness.h"

namespace zemblo {
namespace {

using testing::AccessibleNode;
using testing::settle;

// Roles of the things a user operates.
const std::set<std::string> kControlRoles = {
    "button",     "toggle button",      "checkbox",       "radio",     "switch", "text box",
    "search box", "spin button",        "slider",         "combo box", "link",   "tab",
    "menu item",  "menu item checkbox", "menu item radio"};

// The toolkit announces a control without a name by its widget's name or type: those are no
// names for a person.
void collectWidgetNames(GtkWidget* widget, std::set<std::string>& names) {
  names.insert(gtk_widget_get_name(widget));
  names.insert(G_OBJECT_TYPE_NAME(widget));
  for (GtkWidget* child = gtk_widget_get_first_child(widget); child;
       child = gtk_widget_get_next_sibling(child)) {
    collectWidgetNames(child, names);
  }
}

class AccessibilityTest : public ::testing::Test {
 protected:
  AccessibilityTest() { server.page("/page", "<title>A page</title><p>text</p>"); }

  void setLanguage(AppLanguage language) {
    harness.store().updatePrefs([&](AppPreferences& prefs) { prefs.language = language; });
    harness.window().rebuildContent();
    settle();
  }

  // The controls a screen reader would find without a name, with their roles.
  std::vector<std::string> unnamedControls(const std::vector<AccessibleNode>& nodes) {
    std::set<std::string> widgetNames;
    collectWidgetNames(GTK_WIDGET(harness.window().gobj()), widgetNames);
    std::vector<std::string> unnamed;
    for (const AccessibleNode& node : nodes) {
      const bool control = kControlRoles.contains(node.role) || node.focusable;
      if (control && (node.name.empty() || widgetNames.contains(node.name))) {
        unnamed.push_back(node.role + " '" + node.name + "'");
      }
    }
    return unnamed;
  }

  static long count(const std::vector<AccessibleNode>& nodes, const std::string& role,
                    const std::string& name) {
    return std::count_if(nodes.begin(), nodes.end(), [&](const AccessibleNode& node) {
      return node.role == role && node.name == name;
    });
  }

  // Every space, favourite and tab is a control named by what it shows.
  void expectSidebarControls(const std::vector<AccessibleNode>& nodes, long tilesPerFavorite) {
    for (const auto& space : harness.store().spaces.peek()) {
      EXPECT_EQ(count(nodes, "button", space->name.peek()), 1) << space->name.peek();
    }
    for (const Favorite& favorite : harness.store().favorites.peek()) {
      EXPECT_EQ(count(nodes, "button", favorite.title), tilesPerFavorite) << favorite.title;
    }
    for (const auto& tab : harness.store().currentSpace()->tabs.peek()) {
      EXPECT_GE(count(nodes, "tab", tab->displayTitle()), 1) << tab->displayTitle();
    }
    EXPECT_EQ(count(nodes, "button", localized("Yeni Sekme")), 1);
    EXPECT_EQ(count(nodes, "button", settingsHelpText()), 1);
  }

  testing::TestServer server;
  testing::WindowHarness harness;
};

TEST_F(AccessibilityTest, EveryControlHasANameAndARoleInBothLanguages) {
  auto page = harness.open(server.url("/page"));
  ASSERT_TRUE(testing::WebHarness::waitForPage(*page, "A page"));

  // Turkish, over a page whose load failed, with the find bar and the command bar open.
  setLanguage(AppLanguage::turkish);
  page->loadError.set(BrowserTab::LoadError{"Bağlantı reddedildi", page->url.peek()});
  harness.store().findBarVisible.set(true);
  harness.store().commandBar.set(CommandBarMode::currentTab);
  settle();
  auto nodes = testing::AccessibilityReader::read();
  ASSERT_FALSE(nodes.empty()) << "no accessibility bus";
  EXPECT_EQ(unnamedControls(nodes), std::vector<std::string>{});
  expectSidebarControls(nodes, 1);
  for (const char* name :
       {"Tekrar Dene", "Önceki eşleşme", "Sonraki eşleşme", "Bul çubuğunu kapat", "Temizle"}) {
    EXPECT_EQ(count(nodes, "button", name), 1) << name;
  }
  EXPECT_EQ(count(nodes, "text box", "Sayfada bul"), 1);
  EXPECT_EQ(count(nodes, "text box", "Ara veya adres gir…"), 1);

  // English, on the start page of a new tab.
  harness.store().commandBar.set(std::nullopt);
  setLanguage(AppLanguage::english);
  harness.store().newTab();
  settle();
  nodes = testing::AccessibilityReader::read();
  EXPECT_EQ(unnamedControls(nodes), std::vector<std::string>{});
  expectSidebarControls(nodes, 2);
  EXPECT_EQ(count(nodes, "button", "Settings (Ctrl+,)"), 1);
  EXPECT_EQ(count(nodes, "text box", "Search with Google or enter an address"), 1);
  L10n::setEnglish(false);
}

}  // namespace
}  // namespace zemblo
