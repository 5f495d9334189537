#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "model/ad_blocker.h"
#include "model/download_manager.h"
#include "model/favorites_model.h"
#include "model/localization.h"
#include "model/page_services_model.h"
#include "model/preferences_model.h"
#include "model/window_model.h"
#include "sidebar/address_pill.h"
#include "sidebar/dark_mode_sidebar_button.h"
#include "sidebar/downloads_button.h"
#include "sidebar/shield_button.h"
#include "sidebar/sidebar_bottom_bar.h"
#include "sidebar/sidebar_view.h"
#include "support/find_sidebar.h"
#include "support/interface_language.h"
#include "window/accessibility_tree.h"
#include "window/window_harness.h"

namespace zemblo {
namespace {

using testing::pump;

class AccessibilityTest : public ::testing::Test {
 protected:
  // The browser window's controls, each expected to be named and, when disabled, reported so.
  testing::Controls readControls() {
    pump();
    return testing::readControls();
  }

  // Every space, favourite and tab is a control named by what it shows.
  void expectSidebarControls(testing::Controls& controls) {
    for (const auto& space : harness.store().tabs().spaces.peek()) {
      EXPECT_EQ((controls[{"button", space->name.peek()}].count), 1);
    }
    for (const Favorite& favorite : harness.store().favorites().list.peek()) {
      EXPECT_GE((controls[{"button", favorite.title}].count), 1) << favorite.title;
    }
    for (const auto& tab : harness.store().tabs().currentSpace()->tabs.peek()) {
      EXPECT_EQ((controls[{"tab", tab->displayTitle()}].count), 1) << tab->displayTitle();
    }
    EXPECT_EQ((controls[{"button", localized("Yeni Sekme")}].count), 1);
    EXPECT_EQ((controls[{"button", settingsHelpText()}].count), 1);
  }

  testing::TestServer server;
  testing::WindowHarness harness;
};

TEST_F(AccessibilityTest, EveryControlHasANameAndARoleInBothLanguages) {
  server.page("/page", "<title>A page</title><p>text</p>");
  auto page = harness.open(server.url("/page"));
  ASSERT_TRUE(testing::WebHarness::waitForPage(*page, "A page"));

  // Turkish, over a page whose load failed, with the find bar and the command bar open.
  testing::switchLanguage(harness.store().preferences(), AppLanguage::turkish);
  harness.window().rebuildContent();
  page->loadError.set(BrowserTab::LoadError{"Bağlantı reddedildi", page->url.peek()});
  harness.store().tabs().findBarVisible.set(true);
  harness.store().tabs().commandBar.set(CommandBarMode::currentTab);
  auto controls = readControls();
  expectSidebarControls(controls);
  for (const char* name :
       {"Tekrar Dene", "Önceki eşleşme", "Sonraki eşleşme", "Bul çubuğunu kapat", "Temizle"}) {
    EXPECT_EQ((controls[{"button", name}].count), 1) << name;
  }
  EXPECT_EQ((controls[{"text box", "Sayfada bul"}].count), 1);
  EXPECT_EQ((controls[{"text box", "Ara veya adres gir…"}].count), 1);

  // English, on the start page of a new tab: its tiles too.
  harness.store().tabs().commandBar.set(std::nullopt);
  testing::switchLanguage(harness.store().preferences(), AppLanguage::english);
  harness.window().rebuildContent();
  harness.window().openNewTab();
  controls = readControls();
  expectSidebarControls(controls);
  EXPECT_EQ((controls[{"button", "Google"}].count), 2);
  EXPECT_EQ((controls[{"button", "Settings (Ctrl+,)"}].count), 1);
  EXPECT_EQ((controls[{"text box", "Search with Google or enter an address"}].count), 1);
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
  DownloadsButton& downloadsButton =
      testing::widgetNamed<DownloadsButton>(sidebar, "DownloadsButton");
  downloadsButton.toggle();
  ASSERT_TRUE(
      testing::waitUntil([&] { return testing::popoverOf(downloadsButton).get_visible(); }));
  readControls();
  downloadsButton.toggle();

  // The blocker's popover while the blocker is off: the site's switch is there but unusable.
  harness.store().pageServices().adBlocker().setEnabled(false);
  auto& shield = testing::widgetNamed<ShieldButton>(sidebar, "ShieldButton");
  shield.toggle();
  ASSERT_TRUE(testing::waitUntil([&] { return shield.popover().get_visible(); }));
  const std::string site = withArgument(localized("%@ üzerinde engelle"), "127.0.0.1");
  const testing::Control siteSwitch = readControls()[{"switch", site}];
  EXPECT_EQ(siteSwitch.count, 1);
  EXPECT_FALSE(siteSwitch.enabled);
  shield.toggle();

  // The moon's menu.
  DarkModeSidebarButton& moon =
      testing::widgetNamed<DarkModeSidebarButton>(sidebar, "DarkModeSidebarButton");
  moon.popupContextMenu();
  ASSERT_TRUE(testing::waitUntil([&] { return testing::menuUnder(moon)->get_visible(); }));
  readControls();
  testing::menuUnder(moon)->popdown();
}

}  // namespace
}  // namespace zemblo
