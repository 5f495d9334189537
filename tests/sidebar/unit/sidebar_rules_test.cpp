#include "sidebar/sidebar_rules.h"

#include <gtest/gtest.h>

#include <memory>

#include "model/browser_tab.h"
#include "model/localization.h"
#include "model/space.h"

namespace zemblo {
namespace {

Url url(const char* text) { return *Url::parse(text); }

std::shared_ptr<BrowserTab> tabAt(const char* address, std::string title = {}) {
  return std::make_shared<BrowserTab>(Uuid::random(), url(address), std::move(title));
}

class SidebarRulesTest : public ::testing::Test {
 protected:
  void SetUp() override { L10n::setEnglish(false); }
  void TearDown() override { L10n::setEnglish(false); }
};

TEST_F(SidebarRulesTest, DensitySetsRowHeightsLabelSizesAndPitches) {
  EXPECT_EQ(densityMetrics(TabDensity::compact).rowHeight, 28);
  EXPECT_EQ(densityMetrics(TabDensity::compact).labelSize, 12);
  EXPECT_EQ(densityMetrics(TabDensity::compact).minimumRowHeight, 24);
  EXPECT_EQ(densityMetrics(TabDensity::regular).rowHeight, 34);
  EXPECT_EQ(densityMetrics(TabDensity::regular).labelSize, 13);
  EXPECT_EQ(densityMetrics(TabDensity::spacious).rowHeight, 40);
  EXPECT_EQ(densityMetrics(TabDensity::spacious).labelSize, 13.5);
  // Row insets: one point above and below a tab row, one above and three below the new-tab row.
  EXPECT_EQ(tabRowPitch(TabDensity::compact), 30);
  EXPECT_EQ(tabRowPitch(TabDensity::regular), 36);
  EXPECT_EQ(tabRowPitch(TabDensity::spacious), 42);
  EXPECT_EQ(newTabRowPitch(TabDensity::regular), 38);

  EXPECT_EQ(topBarLeadingPadding(SidebarSide::leading), 72);
  EXPECT_EQ(topBarLeadingPadding(SidebarSide::trailing), 0);
}

TEST_F(SidebarRulesTest, PillWithoutAnAddressShowsTheSearchPrompt) {
  const AddressPillLook none = addressPillLook(nullptr);
  EXPECT_EQ(none.symbol, "magnifyingglass");
  EXPECT_EQ(none.text, "Ara veya adres gir");
  EXPECT_FALSE(none.hasAddress);
  EXPECT_FALSE(none.showsShield);
  EXPECT_FALSE(none.offersCopyLink);
  EXPECT_FALSE(none.showsReloadButton);

  // A start-page tab looks the same as no tab.
  BrowserTab blank;
  const AddressPillLook start = addressPillLook(&blank);
  EXPECT_EQ(start.symbol, "magnifyingglass");
  EXPECT_FALSE(start.hasAddress);
  EXPECT_FALSE(start.showsReloadButton);

  // A pop-up without an address yet still offers reloading.
  auto popup = BrowserTab::makePopup({});
  const AddressPillLook pending = addressPillLook(popup.get());
  EXPECT_EQ(pending.symbol, "magnifyingglass");
  EXPECT_EQ(pending.text, "Ara veya adres gir");
  EXPECT_FALSE(pending.offersCopyLink);
  EXPECT_TRUE(pending.showsReloadButton);

  L10n::setEnglish(true);
  EXPECT_EQ(addressPillLook(nullptr).text, "Search or enter an address");
}

TEST_F(SidebarRulesTest, PillShowsTheHostAndWhetherThePageIsSecure) {
  const auto http = tabAt("http://127.0.0.1:8080/page?q=1");
  const AddressPillLook plain = addressPillLook(http.get());
  EXPECT_EQ(plain.symbol, "lock.slash");
  EXPECT_EQ(plain.securityMark->name, "Güvenli değil");
  EXPECT_EQ(plain.text, "127.0.0.1");
  EXPECT_TRUE(plain.hasAddress);
  EXPECT_TRUE(plain.showsShield);
  EXPECT_TRUE(plain.offersCopyLink);
  EXPECT_TRUE(plain.showsReloadButton);

  const auto https = tabAt("https://www.example.com/a");
  https->navigationCommitted(true);
  EXPECT_EQ(addressPillLook(https.get()).symbol, "lock.fill");
  EXPECT_EQ(addressPillLook(https.get()).text, "example.com");

  // Only the exact scheme "https" counts as secure; the shield only needs "http" at the start.
  const auto upper = tabAt("HTTPS://Example.com/");
  upper->navigationCommitted(true);
  EXPECT_EQ(addressPillLook(upper.get()).symbol, "globe");
  EXPECT_FALSE(addressPillLook(upper.get()).showsShield);

  // An address without a host: the prompt in the primary style, no shield, but copy and reload.
  const auto file = tabAt("file:///tmp/page.html");
  const AddressPillLook local = addressPillLook(file.get());
  EXPECT_EQ(local.symbol, "globe");
  EXPECT_EQ(local.text, "Ara veya adres gir");
  EXPECT_TRUE(local.hasAddress);
  EXPECT_FALSE(local.showsShield);
  EXPECT_TRUE(local.offersCopyLink);
  EXPECT_TRUE(local.showsReloadButton);
  // An https page is neither secure nor not while it loads; one whose certificate the user let
  // through warns, and so does nothing else.
  const auto allowed = tabAt("https://router.lan/");
  EXPECT_EQ(addressPillLook(allowed.get()).symbol, "globe");
  EXPECT_FALSE(addressPillLook(allowed.get()).securityMark);
  allowed->navigationCommitted(false,
                               BrowserTab::CertificateFault{{}, "CN=router.lan", "", "", ""});
  EXPECT_EQ(addressPillLook(allowed.get()).symbol, "exclamationmark.triangle.fill");
  allowed->provisionalNavigationStarted(allowed->url.peek());
  EXPECT_EQ(addressPillLook(allowed.get()).symbol, "globe");
  const auto shouting = tabAt("HTTP://Example.com/");
  EXPECT_EQ(addressPillLook(shouting.get()).symbol, "lock.slash");
  const auto hostless = tabAt("https:///nohost");
  hostless->navigationCommitted(true);
  EXPECT_EQ(addressPillLook(hostless.get()).symbol, "lock.fill");
}

TEST_F(SidebarRulesTest, ReloadRingNeverDrawsLessThanEightPercent) {
  EXPECT_EQ(reloadRingFraction(0), 0.08);
  EXPECT_EQ(reloadRingFraction(0.05), 0.08);
  EXPECT_EQ(reloadRingFraction(0.5), 0.5);
  EXPECT_EQ(reloadRingFraction(1.7), 1);
  EXPECT_EQ(reloadRingFraction(std::nan("")), 0.08);
  EXPECT_EQ(reloadButtonHelp(true), "Durdur");
  EXPECT_EQ(reloadButtonHelp(false), "Yenile (Ctrl+R)");
  L10n::setEnglish(true);
  EXPECT_EQ(reloadButtonHelp(true), "Stop");
  EXPECT_EQ(reloadButtonHelp(false), "Reload (Ctrl+R)");
}

TEST_F(SidebarRulesTest, RowIconTitleAndIconHost) {
  EXPECT_EQ(tabRowIcon(true, true, 0.2), TabRowIcon::startPageSymbol);
  EXPECT_EQ(tabRowIcon(false, true, 0.2), TabRowIcon::spinner);
  EXPECT_EQ(tabRowIcon(false, true, 1.0), TabRowIcon::favicon);
  EXPECT_EQ(tabRowIcon(false, false, 0.2), TabRowIcon::favicon);

  BrowserTab blank;
  blank.isLoading.set(true);
  const TabRowLook start = tabRowLook(blank);
  EXPECT_EQ(start.icon, TabRowIcon::startPageSymbol);
  EXPECT_EQ(start.title, "Yeni Sekme");
  EXPECT_FALSE(start.faviconHost);

  // Title first, then the host without "www.", while the icon keeps the host as it stands.
  const auto titled = tabAt("https://www.example.com/a", "Örnek Sayfa");
  EXPECT_EQ(tabRowLook(*titled).title, "Örnek Sayfa");
  const auto untitled = tabAt("https://www.example.com/a");
  untitled->faviconURL.set(url("https://cdn.example.com/i.png"));
  const TabRowLook page = tabRowLook(*untitled);
  EXPECT_EQ(page.title, "example.com");
  EXPECT_EQ(page.faviconHost, "www.example.com");
  EXPECT_EQ(page.faviconURL, url("https://cdn.example.com/i.png"));
  EXPECT_EQ(page.icon, TabRowIcon::favicon);

  const auto hostless = tabAt("about:blank");
  EXPECT_EQ(tabRowLook(*hostless).title, "Yeni Sekme");
  EXPECT_FALSE(tabRowLook(*hostless).faviconHost);
  L10n::setEnglish(true);
  EXPECT_EQ(tabRowLook(*hostless).title, "New Tab");
}

TEST_F(SidebarRulesTest, DragPayloadsNameOneTabOnly) {
  const Uuid id = Uuid::random();
  EXPECT_EQ(tabIdFromDragPayload(tabDragPayload(id)), id);
  EXPECT_FALSE(tabIdFromDragPayload(id.str()));
  EXPECT_FALSE(tabIdFromDragPayload("zemblo-tab:"));
  EXPECT_FALSE(tabIdFromDragPayload("zemblo-tab:not-a-uuid"));
  EXPECT_FALSE(tabIdFromDragPayload("https://example.com/"));
}

TEST_F(SidebarRulesTest, InsertionIndexCountsTheRowMiddlesAboveThePointer) {
  // Rows at 38, 74, 110 (pitch 36): middles at 56, 92, 128.
  EXPECT_EQ(tabInsertionIndex(3, 38, 36, -10), 0);
  EXPECT_EQ(tabInsertionIndex(3, 38, 36, 55), 0);
  EXPECT_EQ(tabInsertionIndex(3, 38, 36, 57), 1);
  EXPECT_EQ(tabInsertionIndex(3, 38, 36, 100), 2);
  EXPECT_EQ(tabInsertionIndex(3, 38, 36, 129), 3);
  EXPECT_EQ(tabInsertionIndex(3, 38, 36, 5000), 3);
  EXPECT_EQ(tabInsertionIndex(0, 38, 36, 50), 0);
}

TEST_F(SidebarRulesTest, DropMovesUseTheTabsPlaceAtDropTime) {
  Space::TabList tabs = {tabAt("https://a.example/"), tabAt("https://b.example/"),
                         tabAt("https://c.example/")};
  // The second tab above the first; the first below the last.
  EXPECT_EQ(tabDropMove(tabs, tabs[1]->id, 0), (TabMove{{1}, 0}));
  EXPECT_EQ(tabDropMove(tabs, tabs[0]->id, 3), (TabMove{{0}, 3}));
  EXPECT_EQ(tabDropMove(tabs, tabs[2]->id, 1), (TabMove{{2}, 1}));
  // Dropped onto its own place, either side of itself: nothing moves.
  EXPECT_FALSE(tabDropMove(tabs, tabs[1]->id, 1));
  EXPECT_FALSE(tabDropMove(tabs, tabs[1]->id, 2));
  // Beyond the end is the end.
  EXPECT_EQ(tabDropMove(tabs, tabs[0]->id, 99), (TabMove{{0}, 3}));

  // The list changed during the drag: the dragged tab is found where it is now.
  const Uuid dragged = tabs[2]->id;
  tabs.insert(tabs.begin(), tabAt("https://new.example/"));
  EXPECT_EQ(tabDropMove(tabs, dragged, 0), (TabMove{{3}, 0}));
  // A tab that left the list is not moved at all.
  tabs.erase(tabs.begin() + 3);
  EXPECT_FALSE(tabDropMove(tabs, dragged, 0));
  EXPECT_FALSE(tabDropMove({}, dragged, 0));
}

TEST_F(SidebarRulesTest, MenuItemsTheirStatesAndTheOtherSpaces) {
  auto spaces = Space::defaultSpaces();
  spaces[2]->name.set("Çalışma_alanı");
  const auto page = tabAt("https://example.com/x?y#z");
  const TabMenuLook look = tabMenuLook(*page, false, spaces, spaces[0]->id);
  ASSERT_EQ(look.top.size(), 4u);
  EXPECT_EQ(look.top[0].label, "Bağlantıyı Kopyala");
  EXPECT_EQ(look.top[1].label, "Favorilere Ekle");
  EXPECT_EQ(look.top[2].label, "Yeniden Yükle");
  EXPECT_EQ(look.top[3].label, "Sekmenin Sesini Kapat");
  EXPECT_TRUE(look.top[0].enabled && look.top[1].enabled && look.top[2].enabled);
  EXPECT_EQ(look.moveLabel, "Alana Taşı");
  ASSERT_EQ(look.moveTargets.size(), 2u);
  EXPECT_EQ(look.moveTargets[0].spaceID, spaces[1]->id);
  EXPECT_EQ(look.moveTargets[1].name, "Çalışma_alanı");
  ASSERT_EQ(look.bottom.size(), 2u);
  EXPECT_EQ(look.bottom[0].label, "Diğer Sekmeleri Kapat");
  EXPECT_EQ(look.bottom[1].label, "Sekmeyi Kapat");
  EXPECT_EQ(look.bottom[1].action, "close");

  EXPECT_EQ(tabMenuLook(*page, true, spaces, spaces[0]->id).top[1].label, "Favorilerden Çıkar");

  // Without an address, copying and the favourite are off; the rest stays on.
  BrowserTab blank;
  const TabMenuLook start = tabMenuLook(blank, false, spaces, spaces[1]->id);
  EXPECT_FALSE(start.top[0].enabled);
  EXPECT_FALSE(start.top[1].enabled);
  EXPECT_TRUE(start.top[2].enabled);
  EXPECT_TRUE(start.bottom[0].enabled && start.bottom[1].enabled);
  EXPECT_EQ(start.moveTargets.size(), 2u);
  EXPECT_EQ(start.moveTargets[0].spaceID, spaces[0]->id);

  // One space: nowhere to move to.
  EXPECT_TRUE(tabMenuLook(*page, false, {spaces[0]}, spaces[0]->id).moveTargets.empty());

  L10n::setEnglish(true);
  const TabMenuLook english = tabMenuLook(*page, true, spaces, spaces[0]->id);
  EXPECT_EQ(english.top[0].label, "Copy Link");
  EXPECT_EQ(english.top[1].label, "Remove from Favorites");
  EXPECT_EQ(english.top[2].label, "Reload");
  EXPECT_EQ(english.top[3].label, "Mute Tab");
  page->isMuted.set(true);
  EXPECT_EQ(tabMenuLook(*page, true, spaces, spaces[0]->id).top[3].label, "Unmute Tab");
  EXPECT_EQ(english.moveLabel, "Move to Space");
  EXPECT_EQ(english.bottom[0].label, "Close Other Tabs");
  EXPECT_EQ(english.bottom[1].label, "Close Tab");
}

}  // namespace
}  // namespace zemblo
