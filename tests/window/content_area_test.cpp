#include "window/content_area.h"
#include "model/preferences_model.h"
#include "model/window_model.h"

#include <gtest/gtest.h>

#include "support/find_window.h"
#include "window/card_drawing.h"
#include "window/window_harness.h"

namespace zemblo {
namespace {

using testing::pump;
using testing::TestServer;
using testing::WebHarness;
using testing::WindowHarness;

class ContentAreaTest : public ::testing::Test {
 protected:
  ContentAreaTest() {
    server.page("/page",
                "<title>Local page</title><body style='font:15px sans-serif;padding:32px'>"
                "<h1>A local page</h1><p>Served from 127.0.0.1 for the window's tests. The "
                "alpha, the Alpha and the ALPHA.</p></body>");
  }

  ContentArea& content() { return harness.content(); }
  Gtk::Widget& part(const std::string& name) { return testing::widgetNamed(content(), name); }

  std::shared_ptr<BrowserTab> blankTab() {
    auto tab = std::make_shared<BrowserTab>();
    harness.store().tabs().insertTab(tab);
    harness.store().tabs().select(*tab);
    pump();
    return tab;
  }

  TestServer server;
  WindowHarness harness;
};

TEST_F(ContentAreaTest, ShowsTheStartPageOrTheSelectedTabsLivePage) {
  // A space without tabs shows the start page without a tab.
  ASSERT_TRUE(harness.store().tabs().currentSpace()->tabs.peek().empty());
  EXPECT_TRUE(testing::showsStartPage(content()));

  auto blank = blankTab();
  EXPECT_TRUE(testing::showsStartPage(content()));
  EXPECT_EQ(blank->storedWebView(), nullptr);  // a start page needs no web view

  auto page = harness.open(server.url("/page"));
  ASSERT_TRUE(WebHarness::waitForPage(*page, "Local page"));
  pump();
  EXPECT_TRUE(testing::showsWebPage(content()));
  EXPECT_TRUE(WebHarness::portOf(*page).widget().get_mapped());
  EXPECT_EQ(WebHarness::portOf(*page).widget().get_parent(), &part("PageViewContainer"));
  const auto card = harness.bounds(content());
  EXPECT_EQ(harness.bounds(part("PageViewContainer")), card);
  WindowHarness::screenshot("content-local-page");

  // Selecting the blank tab again brings its start page back; the page's view leaves the card.
  harness.store().tabs().select(*blank);
  pump();
  EXPECT_TRUE(testing::showsStartPage(content()));
  EXPECT_EQ(WebHarness::portOf(*page).widget().get_parent(), nullptr);

  // A selection that names no tab of the space counts as none: what is typed on the start page
  // opens in a new tab, not in the blank one.
  harness.store().tabs().currentSpace()->selectedTabID.set(Uuid::random());
  pump();
  EXPECT_TRUE(testing::showsStartPage(content()));
  Gtk::Text& field = testing::widgetNamed<Gtk::Text>(content(), "StartPageField");
  field.set_text(server.url("/page"));
  g_signal_emit_by_name(field.gobj(), "activate");
  pump();
  EXPECT_EQ(harness.store().tabs().currentSpace()->tabs.peek().size(), 3u);
  EXPECT_TRUE(blank->showsStartPage());
}

TEST_F(ContentAreaTest, TheFindBarSitsInTheTopTrailingCornerOverAWebPageOnly) {
  blankTab();
  harness.store().tabs().findBarVisible.set(true);
  pump();
  EXPECT_FALSE(part("FindBar").get_visible());  // the start page has nothing to search

  auto page = harness.open(server.url("/page"));
  ASSERT_TRUE(WebHarness::waitForPage(*page, "Local page"));
  harness.store().tabs().findBarVisible.set(true);
  pump();
  ASSERT_TRUE(part("FindBar").get_visible());
  const auto card = harness.bounds(content());
  const auto bar = harness.bounds(part("FindBar"));
  EXPECT_EQ(bar.y - card.y, ContentArea::kFindBarInset);
  EXPECT_EQ(card.x + card.width - (bar.x + bar.width), ContentArea::kFindBarInset);
  EXPECT_EQ(part("FindBar").get_opacity(), 1);
  // The banner slot moves below the bar.
  EXPECT_EQ(harness.bounds(part("SavePasswordOverlay")).y - card.y,
            ContentArea::kFindBarInset + ContentArea::kBannerBelowFindBar);

  harness.store().tabs().findBarVisible.set(false);
  pump();
  EXPECT_FALSE(part("FindBar").get_visible());
  EXPECT_EQ(harness.bounds(part("SavePasswordOverlay")).y - card.y, ContentArea::kFindBarInset);
}

TEST_F(ContentAreaTest, CardShapeFollowsThePreferences) {
  EXPECT_NEAR(testing::drawnCornerRadius(content()), 12, 3.5);
  EXPECT_TRUE(testing::castsShadow(content()));
  harness.store().preferences().updatePrefs([](AppPreferences& p) {
    p.cornerRadius = 0;
    p.contentShadow = false;
  });
  pump();
  EXPECT_EQ(testing::drawnCornerRadius(content()), 0);
  EXPECT_FALSE(testing::castsShadow(content()));
  harness.store().preferences().updatePrefs([](AppPreferences& p) { p.cornerRadius = 400; });
  pump();
  EXPECT_NEAR(testing::drawnCornerRadius(content()), 48, 3.5);
}

TEST_F(ContentAreaTest, OverlaysStackErrorBarAndFindBarOverThePage) {
  // Back to front, whatever the card shows.
  std::vector<std::string> order;
  for (auto* child = content().get_first_child(); child; child = child->get_next_sibling()) {
    order.push_back(child->get_name());
  }
  const std::vector<std::string> expected{
      "StartPage",     "PageViewContainer",   "LoadErrorView", "ProgressLine", "FindBar",
      "PermissionBar", "SavePasswordOverlay", "PageDialog",    "AutofillMenu"};
  EXPECT_EQ(order, expected);
}

}  // namespace
}  // namespace zemblo
