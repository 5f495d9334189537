#include "sidebar/shield_button.h"

#include <gtest/gtest.h>

#include <clocale>

#include "model/ad_blocker.h"
#include "model/command_bar_mode.h"
#include "model/page_services_model.h"
#include "model/window_model.h"
#include "sidebar/ad_block_popover.h"
#include "sidebar/sidebar_harness.h"
#include "support/find_sidebar.h"

namespace zemblo {
namespace {

using namespace std::chrono_literals;
using testing::popoverOf;
using testing::pump;
using testing::SidebarHarness;
using testing::waitUntil;
using testing::widgetNamed;

// The popover's parts, by the widget names its view gives them.
Gtk::Label& statusLabel(AdBlockPopover& popover) {
  return widgetNamed<Gtk::Label>(popover, "AdBlockStatus");
}
Gtk::Widget& siteRow(AdBlockPopover& popover) { return widgetNamed(popover, "AdBlockSiteRow"); }
Gtk::Label& siteLabel(AdBlockPopover& popover) {
  return widgetNamed<Gtk::Label>(popover, "AdBlockSiteLabel");
}
Gtk::Switch& siteSwitch(AdBlockPopover& popover) {
  return widgetNamed<Gtk::Switch>(popover, "AdBlockSiteSwitch");
}
Gtk::Switch& globalSwitch(AdBlockPopover& popover) {
  return widgetNamed<Gtk::Switch>(popover, "AdBlockGlobalSwitch");
}
Gtk::Label& ruleCountLabel(AdBlockPopover& popover) {
  return widgetNamed<Gtk::Label>(popover, "AdBlockRuleCount");
}

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
  ShieldButton& shield() { return widgetNamed<ShieldButton>(harness.pill(), "ShieldButton"); }
  bool showing() { return popoverOf(shield()).get_visible(); }
  // What the shield's popover shows; built the first time it opens.
  AdBlockPopover& shownPopover() {
    return widgetNamed<AdBlockPopover>(popoverOf(shield()), "AdBlockPopover");
  }
  AdBlockPopover& popover() {
    if (!showing()) shield().toggle();
    pump();
    return shownPopover();
  }
  // The shield tells whether it blocks by its tooltip, which is also its name.
  bool blocking() {
    return shield().get_tooltip_text().raw() == localized("Reklam engelleyici açık");
  }
  int pageLoads() { return harness.server().hits("/page"); }

  SidebarHarness harness;
  std::shared_ptr<BrowserTab> page;
};

TEST_F(ShieldButtonTest, BlockingPageShowsTheFilledShieldAndItsPopover) {
  EXPECT_TRUE(shield().get_visible());
  EXPECT_EQ(shield().get_tooltip_text(), "Reklam engelleyici açık");
  EXPECT_EQ(harness.bounds(shield()).width, ShieldButton::kSize);

  // A real click opens the popover below the shield, and nothing else of the pill.
  harness.click(shield());
  ASSERT_TRUE(waitUntil([&] { return popoverOf(shield()).get_visible(); }));
  pump();
  EXPECT_TRUE(showing());
  EXPECT_FALSE(harness.store().tabs().commandBar.peek().has_value());
  auto& content = shownPopover();
  EXPECT_EQ(statusLabel(content).get_text(), "Bu sitede reklamlar engelleniyor");
  EXPECT_TRUE(siteRow(content).get_visible());
  EXPECT_EQ(siteLabel(content).get_text(), "127.0.0.1 üzerinde engelle");
  EXPECT_TRUE(siteSwitch(content).get_active());
  EXPECT_TRUE(globalSwitch(content).get_active());
  EXPECT_TRUE(ruleCountLabel(content).get_visible());
  // Grouped as the user's locale groups numbers, whatever the interface language: not at all in
  // the C locale.
  ASSERT_TRUE(std::setlocale(LC_NUMERIC, "C"));
  blocker().ruleCount.set(133558);
  pump();
  EXPECT_EQ(ruleCountLabel(content).get_text(), "EasyList ve EasyPrivacy · 133558 kural");
  EXPECT_EQ(harness.bounds(content).width + 2 * AdBlockPopover::kPadding, AdBlockPopover::kWidth);
  SidebarHarness::screenshot("adblock-popover");

  // A click outside closes it.
  shield().toggle();
  ASSERT_TRUE(waitUntil([&] { return !popoverOf(shield()).get_visible(); }));
  EXPECT_FALSE(showing());

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
  ASSERT_TRUE(waitUntil([&] { return popoverOf(shield()).get_mapped(); }));
  auto& content = shownPopover();
  harness.inputAndWait("key a space Return");
  // Then as a keyboard user does: Tab to the second switch and Space flips it, and it alone.
  harness.input("key Tab Tab space");
  ASSERT_TRUE(waitUntil(
      [&] { return !siteSwitch(content).get_active() || !globalSwitch(content).get_active(); }));
  EXPECT_TRUE(siteSwitch(content).get_active());
  EXPECT_FALSE(globalSwitch(content).get_active());
  EXPECT_TRUE(popoverOf(shield()).get_visible());
}

TEST_F(ShieldButtonTest, TheSiteSwitchAllowsTheSiteAndReloadsItsTab) {
  auto& content = popover();
  const int loads = pageLoads();

  siteSwitch(content).set_active(false);
  ASSERT_TRUE(waitUntil([&] { return pageLoads() > loads && !page->isLoading.peek(); }));
  pump();
  EXPECT_TRUE(blocker().isAllowed("127.0.0.1"));
  EXPECT_EQ(shield().get_tooltip_text(), "Reklam engelleyici kapalı");
  EXPECT_EQ(statusLabel(content).get_text(), "Bu sitede kapalı");
  EXPECT_FALSE(siteSwitch(content).get_active());
  EXPECT_TRUE(showing());  // the popover stays open after a flip

  const int allowedLoads = pageLoads();
  siteSwitch(content).set_active(true);
  ASSERT_TRUE(waitUntil([&] { return pageLoads() > allowedLoads; }));
  pump();
  EXPECT_FALSE(blocker().isAllowed("127.0.0.1"));
  EXPECT_TRUE(blocking());
  EXPECT_EQ(statusLabel(content).get_text(), "Bu sitede reklamlar engelleniyor");
}

TEST_F(ShieldButtonTest, TheGlobalSwitchTurnsEveryPageOffAndGreysTheSiteSwitch) {
  blocker().setAllowed(true, "127.0.0.1");
  pump();
  auto& content = popover();
  const int loads = pageLoads();

  globalSwitch(content).set_active(false);
  ASSERT_TRUE(waitUntil([&] { return pageLoads() > loads && !page->isLoading.peek(); }));
  pump();
  EXPECT_FALSE(blocker().isEnabled.peek());
  EXPECT_FALSE(blocking());
  EXPECT_EQ(statusLabel(content).get_text(), "Kapalı");
  EXPECT_FALSE(siteRow(content).get_sensitive());
  EXPECT_FALSE(siteSwitch(content).get_active());  // still shows the site's own choice

  // Back on everywhere: the selected tab of the current space reloads.
  const int offLoads = pageLoads();
  globalSwitch(content).set_active(true);
  ASSERT_TRUE(waitUntil([&] { return pageLoads() > offLoads; }));
  pump();
  EXPECT_TRUE(siteRow(content).get_sensitive());
  EXPECT_EQ(statusLabel(content).get_text(), "Bu sitede kapalı");
}

TEST_F(ShieldButtonTest, ABlockerThatIsNotReadyExplainsItself) {
  auto& content = popover();
  blocker().status.set(AdBlocker::Preparing{});
  pump();
  EXPECT_FALSE(blocking());
  EXPECT_EQ(statusLabel(content).get_text(), "Kurallar hazırlanıyor…");
  EXPECT_TRUE(globalSwitch(content).get_sensitive());

  blocker().status.set(AdBlocker::Failed{"bozuk dosya"});
  pump();
  EXPECT_EQ(statusLabel(content).get_text(), "Başlatılamadı: bozuk dosya");
  harness.setLanguage(AppLanguage::english);
  auto& english = popover();
  EXPECT_EQ(statusLabel(english).get_text(), "Couldn't start: bozuk dosya");
  EXPECT_EQ(shield().get_tooltip_text(), "Ad blocker off");
}

TEST_F(ShieldButtonTest, PagesWithoutAHostHaveNoSiteSwitchAndTheStartPageNoShield) {
  auto& content = popover();
  content.setTab(std::make_shared<BrowserTab>(Uuid::random(), Url::parse("about:blank"), ""));
  pump();
  EXPECT_FALSE(siteRow(content).get_visible());
  EXPECT_EQ(statusLabel(content).get_text(), "Bu sitede reklamlar engelleniyor");

  harness.window().openNewTab();
  pump();
  EXPECT_FALSE(shield().get_visible());
  EXPECT_FALSE(popoverOf(shield()).get_visible());
}

}  // namespace
}  // namespace zemblo
