#include "model/tab_web_view.h"

#include <gtest/gtest.h>

#include "model/browser_tab.h"
#include "support/store_fixture.h"

namespace zemblo {
namespace {

using WithoutList = TabWebView::WithoutList;

class TabWebViewTest : public testing::StoreFixture {
 protected:
  void SetUp() override {
    startStore({}, 0);
    tab = store->tabs().openTab(*Url::parse("https://a.example/"), false);
  }
  testing::FakeWebView& view() { return dynamic_cast<testing::FakeWebView&>(*tab->webView()); }

  std::shared_ptr<BrowserTab> tab;
};

// Sleep keeps the engine's list for the next show, and a view with none to give stays, unless its
// window goes; a closing tab keeps nothing.
TEST_F(TabWebViewTest, ASleepingTabWakesIntoItsListAndAClosingOneKeepsNothing) {
  EXPECT_FALSE(tab->page.sleep(WithoutList::keepView));
  EXPECT_FALSE(tab->page.isAsleep());
  view().list = "a list";
  ASSERT_TRUE(tab->page.sleep(WithoutList::keepView));
  EXPECT_EQ(tab->storedWebView(), nullptr);
  EXPECT_TRUE(tab->page.isAsleep());
  EXPECT_EQ(tab->page.sessionState(), "a list");
  tab->loadIfNeeded();
  EXPECT_FALSE(tab->page.isAsleep());
  EXPECT_EQ(webViews.log.listsOffered, std::vector<std::string>{tab->id.str() + " a list"});
  // The fake engine refuses every list: the tab loads its address instead.
  EXPECT_EQ(webViews.log.loads.back(), tab->id.str() + " https://a.example/");

  ASSERT_TRUE(tab->page.sleep(WithoutList::releaseAnyway));
  EXPECT_TRUE(tab->page.isAsleep());
  EXPECT_FALSE(tab->page.hasStartedLoading());

  tab->loadIfNeeded();
  tab->page.setAdBlockApplied(true);
  tab->tearDown();
  EXPECT_EQ(tab->storedWebView(), nullptr);
  EXPECT_FALSE(tab->page.adBlockApplied());
  EXPECT_EQ(webViews.log.viewsCreated, webViews.log.viewsDestroyed);
}

}  // namespace
}  // namespace zemblo
