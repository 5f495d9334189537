#include "sidebar/shield_button.h"

#include <gtest/gtest.h>

#include <clocale>

#include "model/ad_blocker.h"
#include "model/command_bar_mode.h"
#include "model/page_services_model.h"
#include "model/tabs_model.h"
#include "sidebar/ad_block_popover.h"
#include "sidebar/sidebar_harness.h"

namespace zemblo {
namespace {

using namespace std::chrono_literals;
using testing::pump;
using testing::SidebarHarness;
using testing::waitUntil;

class ShieldButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The compiled list is looked up (or compiled) in the background; the views are checked
    // against the state it settles in.
    ASSERT_TRUE(waitUntil([&] { return blocker().ruleCount.peek() > 0 && !preparing(); },
                          std::chrono::seconds(120)));
    ASSERT_TRUE(std::holds_alternative<AdBlocker::Ready>(blocker().status.peek()));
    harness.server().page("/page", "<title>Page</title><p>content</p>");
    page = harness.open(harness.server().url("/page"));
    ASSERT_TRUE(waitUntil([&] { return !page->isLoading.peek() && page->title.peek() == "Page"; }));
    pump();
  }

  AdBlocker& blocker() { return harness.store().pageServices().adBlocker(); }
  bool preparing() { return std::holds_alternative<AdBlocker::Preparing>(blocker().status.peek()); }
  ShieldButton& shield() { return harness.pill().shield(); }
  AdBlockPopover& popover() {
    if (!shield().showing()) shield().toggle();
    pump();
    return *shield().popoverContent();
  }
  int pageLoads() { return harness.server().hits("/page"); }

  SidebarHarness harness;
  std::shared_ptr<BrowserTab> page;
};

TEST_F(ShieldButtonTest, BlockingPageShowsTheFilledShieldAndItsPopover) {
  EXPECT_TRUE(shield().get_visible());
  EXPECT_TRUE(shield().look().blocking);
  EXPECT_EQ(shield().look().symbol, "shield.lefthalf.filled");
  EXPECT_EQ(shield().get_tooltip_text(), "Reklam engelleyici açık");
  EXPECT_EQ(harness.bounds(shield()).width, ShieldButton::kSize);

  // A real click opens the popover below the shield, and nothing else of the pill.
  harness.click(shield());
  ASSERT_TRUE(waitUntil([&] { return shield().popover().get_visible(); }));
  pump();
  EXPECT_TRUE(shield().showing());
  EXPECT_FALSE(harness.store().tabs().commandBar.peek().has_value());
  auto& content = *shield().popoverContent();
  EXPECT_EQ(content.statusLabel().get_text(), "Bu sitede reklamlar engelleniyor");
  EXPECT_TRUE(content.siteRow().get_visible());
  EXPECT_EQ(content.siteLabel().get_text(), "127.0.0.1 üzerinde engelle");
  EXPECT_TRUE(content.siteSwitch().get_active());
  EXPECT_TRUE(content.globalSwitch().get_active());
  EXPECT_TRUE(content.ruleCountLabel().get_visible());
  // Grouped as the user's locale groups numbers, whatever the interface language: not at all in
  // the C locale.
  ASSERT_TRUE(std::setlocale(LC_NUMERIC, "C"));
  blocker().ruleCount.set(133558);
  pump();
  EXPECT_EQ(content.ruleCountLabel().get_text(), "EasyList ve EasyPrivacy · 133558 kural");
  EXPECT_EQ(harness.bounds(content).width + 2 * AdBlockPopover::kPadding, AdBlockPopover::kWidth);
  SidebarHarness::screenshot("adblock-popover");

  // A click outside closes it.
  shield().toggle();
  ASSERT_TRUE(waitUntil([&] { return !shield().popover().get_visible(); }));
  EXPECT_FALSE(shield().showing());

  // Longer texts wrap rather than widen it, in English and for a long host alike.
  harness.setLanguage(AppLanguage::english);
  page->url.set(Url::parse("http://a-rather-long-host-name.subdomain.example.org/page"));
  pump();
  auto& english = popover();
  EXPECT_EQ(harness.bounds(english).width + 2 * AdBlockPopover::kPadding, AdBlockPopover::kWidth);
  SidebarHarness::screenshot("adblock-popover-english");
}

TEST_F(ShieldButtonTest, KeysTypedIntoThePopoverOpenedWithTheMouseFlipNoSwitchButTabReachesThem) {
  harness.click(shield());
  ASSERT_TRUE(waitUntil([&] { return shield().popover().get_mapped(); }));
  auto& content = *shield().popoverContent();
  harness.inputAndWait("key a space Return");
  // Then as a keyboard user does: Tab to the second switch and Space flips it, and it alone.
  harness.input("key Tab Tab space");
  ASSERT_TRUE(waitUntil(
      [&] { return !content.siteSwitch().get_active() || !content.globalSwitch().get_active(); }));
  EXPECT_TRUE(content.siteSwitch().get_active());
  EXPECT_FALSE(content.globalSwitch().get_active());
  EXPECT_TRUE(shield().popover().get_visible());
}

TEST_F(ShieldButtonTest, TheSiteSwitchAllowsTheSiteAndReloadsItsTab) {
  auto& content = popover();
  const int loads = pageLoads();

  content.siteSwitch().set_active(false);
  ASSERT_TRUE(waitUntil([&] { return pageLoads() > loads && !page->isLoading.peek(); }));
  pump();
  EXPECT_TRUE(blocker().isAllowed("127.0.0.1"));
  EXPECT_FALSE(shield().look().blocking);
  EXPECT_EQ(shield().look().symbol, "shield.slash");
  EXPECT_EQ(shield().get_tooltip_text(), "Reklam engelleyici kapalı");
  EXPECT_EQ(content.statusLabel().get_text(), "Bu sitede kapalı");
  EXPECT_FALSE(content.siteSwitch().get_active());
  EXPECT_TRUE(shield().showing());  // the popover stays open after a flip

  const int allowedLoads = pageLoads();
  content.siteSwitch().set_active(true);
  ASSERT_TRUE(waitUntil([&] { return pageLoads() > allowedLoads; }));
  pump();
  EXPECT_FALSE(blocker().isAllowed("127.0.0.1"));
  EXPECT_TRUE(shield().look().blocking);
  EXPECT_EQ(content.statusLabel().get_text(), "Bu sitede reklamlar engelleniyor");
}

TEST_F(ShieldButtonTest, TheGlobalSwitchTurnsEveryPageOffAndGreysTheSiteSwitch) {
  blocker().setAllowed(true, "127.0.0.1");
  pump();
  auto& content = popover();
  const int loads = pageLoads();

  content.globalSwitch().set_active(false);
  ASSERT_TRUE(waitUntil([&] { return pageLoads() > loads && !page->isLoading.peek(); }));
  pump();
  EXPECT_FALSE(blocker().isEnabled.peek());
  EXPECT_FALSE(shield().look().blocking);
  EXPECT_EQ(content.statusLabel().get_text(), "Kapalı");
  EXPECT_FALSE(content.siteRow().get_sensitive());
  EXPECT_FALSE(content.siteSwitch().get_active());  // still shows the site's own choice

  // Back on everywhere: the selected tab of the current space reloads.
  const int offLoads = pageLoads();
  content.globalSwitch().set_active(true);
  ASSERT_TRUE(waitUntil([&] { return pageLoads() > offLoads; }));
  pump();
  EXPECT_TRUE(content.siteRow().get_sensitive());
  EXPECT_EQ(content.statusLabel().get_text(), "Bu sitede kapalı");
}

TEST_F(ShieldButtonTest, ABlockerThatIsNotReadyExplainsItself) {
  auto& content = popover();
  blocker().status.set(AdBlocker::Preparing{});
  pump();
  EXPECT_FALSE(shield().look().blocking);
  EXPECT_EQ(shield().look().symbol, "shield.slash");
  EXPECT_EQ(content.statusLabel().get_text(), "Kurallar hazırlanıyor…");
  EXPECT_TRUE(content.globalSwitch().get_sensitive());

  blocker().status.set(AdBlocker::Failed{"bozuk dosya"});
  pump();
  EXPECT_EQ(content.statusLabel().get_text(), "Başlatılamadı: bozuk dosya");
  harness.setLanguage(AppLanguage::english);
  auto& english = popover();
  EXPECT_EQ(english.statusLabel().get_text(), "Couldn't start: bozuk dosya");
  EXPECT_EQ(harness.pill().shield().get_tooltip_text(), "Ad blocker off");
}

TEST_F(ShieldButtonTest, PagesWithoutAHostHaveNoSiteSwitchAndTheStartPageNoShield) {
  auto& content = popover();
  content.setTab(std::make_shared<BrowserTab>(Uuid::random(), Url::parse("about:blank"), ""));
  pump();
  EXPECT_FALSE(content.siteRow().get_visible());
  EXPECT_EQ(content.statusLabel().get_text(), "Bu sitede reklamlar engelleniyor");

  harness.window().openNewTab();
  pump();
  EXPECT_FALSE(shield().get_visible());
  EXPECT_FALSE(shield().popover().get_visible());
  EXPECT_EQ(shield().tab(), nullptr);
}

}  // namespace
}  // namespace zemblo
