#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "model/localization.h"
#include "sidebar/sidebar_bottom_bar.h"
#include "window/accessibility_tree.h"
#include "window/window_harness.h"

namespace zemblo {
namespace {

using testing::AccessibleNode;
using testing::pump;

// The toolkit announces a control without a name by its widget's name or type: no name for a
// person.
void collectWidgetNames(GtkWidget* widget, std::set<std::string>& names) {
  names.insert({gtk_widget_get_name(widget), G_OBJECT_TYPE_NAME(widget)});
  for (GtkWidget* child = gtk_widget_get_first_child(widget); child;
       child = gtk_widget_get_next_sibling(child)) {
    collectWidgetNames(child, names);
  }
}

class AccessibilityTest : public ::testing::Test {
 protected:
  // Reads the tree, expects every control to have a name, and counts the controls by role and
  // name.
  std::map<std::pair<std::string, std::string>, int> readControls() {
    static const std::set<std::string> controlRoles = {
        "button", "toggle button", "checkbox",  "radio", "switch", "text box", "search box",
        "slider", "spin button",   "combo box", "link",  "tab",    "menu item"};
    pump();
    std::set<std::string> widgetNames;
    collectWidgetNames(GTK_WIDGET(harness.window().gobj()), widgetNames);
    const auto nodes = testing::AccessibilityReader::read();
    EXPECT_FALSE(nodes.empty()) << "no accessibility bus";
    std::map<std::pair<std::string, std::string>, int> controls;
    for (const AccessibleNode& node : nodes) {
      if (!controlRoles.contains(node.role) && !node.focusable) continue;
      EXPECT_FALSE(node.name.empty() || widgetNames.contains(node.name))
          << node.role << " '" << node.name << "' has no name";
      ++controls[{node.role, node.name}];
    }
    return controls;
  }

  // Every space, favourite and tab is a control named by what it shows.
  void expectSidebarControls(std::map<std::pair<std::string, std::string>, int>& controls) {
    for (const auto& space : harness.store().spaces.peek()) {
      EXPECT_EQ((controls[{"button", space->name.peek()}]), 1);
    }
    for (const Favorite& favorite : harness.store().favorites.peek()) {
      EXPECT_GE((controls[{"button", favorite.title}]), 1) << favorite.title;
    }
    for (const auto& tab : harness.store().currentSpace()->tabs.peek()) {
      EXPECT_EQ((controls[{"tab", tab->displayTitle()}]), 1) << tab->displayTitle();
    }
    EXPECT_EQ((controls[{"button", localized("Yeni Sekme")}]), 1);
    EXPECT_EQ((controls[{"button", settingsHelpText()}]), 1);
  }

  testing::TestServer server;
  testing::WindowHarness harness;
};

TEST_F(AccessibilityTest, EveryControlHasANameAndARoleInBothLanguages) {
  server.page("/page", "<title>A page</title><p>text</p>");
  auto page = harness.open(server.url("/page"));
  ASSERT_TRUE(testing::WebHarness::waitForPage(*page, "A page"));

  // Turkish, over a page whose load failed, with the find bar and the command bar open.
  harness.store().updatePrefs([](AppPreferences& prefs) { prefs.language = AppLanguage::turkish; });
  harness.window().rebuildContent();
  page->loadError.set(BrowserTab::LoadError{"Bağlantı reddedildi", page->url.peek()});
  harness.store().findBarVisible.set(true);
  harness.store().commandBar.set(CommandBarMode::currentTab);
  auto controls = readControls();
  expectSidebarControls(controls);
  for (const char* name :
       {"Tekrar Dene", "Önceki eşleşme", "Sonraki eşleşme", "Bul çubuğunu kapat", "Temizle"}) {
    EXPECT_EQ((controls[{"button", name}]), 1) << name;
  }
  EXPECT_EQ((controls[{"text box", "Sayfada bul"}]), 1);
  EXPECT_EQ((controls[{"text box", "Ara veya adres gir…"}]), 1);

  // English, on the start page of a new tab: its tiles too.
  harness.store().commandBar.set(std::nullopt);
  harness.store().updatePrefs([](AppPreferences& prefs) { prefs.language = AppLanguage::english; });
  harness.window().rebuildContent();
  harness.store().newTab();
  controls = readControls();
  expectSidebarControls(controls);
  EXPECT_EQ((controls[{"button", "Google"}]), 2);
  EXPECT_EQ((controls[{"button", "Settings (Ctrl+,)"}]), 1);
  EXPECT_EQ((controls[{"text box", "Search with Google or enter an address"}]), 1);
  L10n::setEnglish(false);
}

}  // namespace
}  // namespace zemblo
