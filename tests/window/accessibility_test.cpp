#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>

#include "model/ad_blocker.h"
#include "model/download_manager.h"
#include "model/localization.h"
#include "sidebar/address_pill.h"
#include "sidebar/dark_mode_sidebar_button.h"
#include "sidebar/downloads_button.h"
#include "sidebar/shield_button.h"
#include "sidebar/sidebar_bottom_bar.h"
#include "sidebar/sidebar_view.h"
#include "window/accessibility_tree.h"
#include "window/window_harness.h"

namespace zemblo {
namespace {

using testing::AccessibleNode;
using testing::settle;

class AccessibilityTest : public ::testing::Test {
 protected:
  // Reads the tree, expects every control to have a name, and counts the controls by role and
  // name.
  std::map<std::pair<std::string, std::string>, int> readControls() {
    settle();
    std::set<std::string> widgetNames;
    testing::collectWidgetNames(GTK_WIDGET(harness.window().gobj()), widgetNames);
    const auto nodes = testing::AccessibilityReader::read();
    EXPECT_FALSE(nodes.empty()) << "no accessibility bus";
    for (const AccessibleNode& node : testing::badlyNamedControls(nodes, widgetNames)) {
      ADD_FAILURE() << node.role << " '" << node.name << "' has no name";
    }
    std::map<std::pair<std::string, std::string>, int> controls;
    for (const AccessibleNode& node : nodes) {
      if (testing::isControlRole(node.role) || node.focusable) ++controls[{node.role, node.name}];
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

// Silent downloads: the list shows them as the engine would report them.
struct SilentTransfer : DownloadTransfer {
  void cancel() override {}
};

TEST_F(AccessibilityTest, PopoversNameTheirControlsAndReportTheDisabledOnes) {
  server.page("/page", "<title>A page</title><p>text</p>");
  auto page = harness.open(server.url("/page"));
  ASSERT_TRUE(testing::WebHarness::waitForPage(*page, "A page"));
  SidebarView& sidebar = harness.window().sidebarView();
  DownloadManager& downloads = harness.store().downloads();
  auto item =
      downloads.track(Url::parse(server.url("/report.pdf")), std::make_unique<SilentTransfer>());
  downloads.decideDestination(*item, "report.pdf");
  downloads.reportProgress(*item, 0.4);

  // The list of downloads, its pane included.
  SCOPED_TRACE("downloads");
  DownloadsButton& downloadsButton = sidebar.bottomBar().downloadsButton();
  downloadsButton.toggle();
  ASSERT_TRUE(testing::waitUntil([&] { return downloadsButton.popover().get_visible(); }));
  readControls();
  downloadsButton.toggle();

  // The blocker's popover while the blocker is off: the site's switch is there but unusable.
  SCOPED_TRACE("blocker");
  harness.store().adBlocker().setEnabled(false);
  ShieldButton& shield = sidebar.addressPill().shield();
  shield.toggle();
  ASSERT_TRUE(testing::waitUntil([&] { return shield.popover().get_visible(); }));
  settle();
  EXPECT_EQ(testing::disabledReportedUsable(GTK_WIDGET(shield.popover().gobj())),
            std::vector<std::string>{});
  const auto nodes = testing::AccessibilityReader::read();
  const auto siteSwitch = std::find_if(nodes.begin(), nodes.end(), [](const AccessibleNode& node) {
    return node.role == "switch" && node.name.find("127.0.0.1") != std::string::npos;
  });
  ASSERT_NE(siteSwitch, nodes.end());
  EXPECT_FALSE(siteSwitch->enabled);
  readControls();
  shield.toggle();

  // The moon's menu.
  SCOPED_TRACE("moon");
  DarkModeSidebarButton& moon = sidebar.bottomBar().darkModeButton();
  moon.popupContextMenu();
  ASSERT_TRUE(testing::waitUntil([&] { return moon.contextMenu()->get_visible(); }));
  readControls();
  moon.contextMenu()->popdown();
}

}  // namespace
}  // namespace zemblo
