#include <gtest/gtest.h>

#include "model/ad_blocker.h"
#include "model/autofill_bridge.h"
#include "model/browser_store.h"
#include "model/browser_tab.h"
#include "model/history_model.h"
#include "model/page_services_model.h"
#include "model/window_model.h"
#include "support/fake_scheduler.h"
#include "support/fake_web_view.h"
#include "support/saved_files.h"
#include "support/temp_home.h"

namespace zemblo {
namespace {

// Whether the address bar shows the tab's page as secure.
bool shownSecure(const BrowserTab& tab) {
  return tab.connectionSecurity() == BrowserTab::ConnectionSecurity::secure;
}

Url url(const char* text) { return *Url::parse(text); }

// A store with one open, loaded tab in the current space.
class TabEventsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BrowserStoreEnvironment environment;
    environment.defaults = &defaults;
    environment.scheduler = &scheduler;
    store = BrowserStore::create(webViewFactory_, std::move(environment));
    tab = store->tabs().openTab(url("https://a.example/"), false);
  }

  std::vector<std::shared_ptr<BrowserTab>> tabs() const {
    return store->tabs().currentSpace()->tabs.peek();
  }

  testing::TempHome home;
  UserDefaults defaults{home.root() / "defaults.json"};
  testing::FakeScheduler scheduler;
  std::shared_ptr<testing::FakeEngine> webViewFactory_ = std::make_shared<testing::FakeEngine>();
  testing::FakeEngine& webViews = *webViewFactory_;
  std::shared_ptr<BrowserStore> store;
  std::shared_ptr<BrowserTab> tab;
  testing::SavedFiles savedFiles;
};

// A navigation stopped before it committed leaves the verified page on screen, and its lock,
// whichever the engine reports first: the failure or its return to the page's address.
TEST_F(TabEventsTest, AStoppedNavigationGivesBackTheLockOfThePageStillOnScreen) {
  const Url secure = url("https://a.example/");
  const Url next = url("https://b.example/");
  using Kind = BrowserTab::LoadFailure::Kind;
  tab->provisionalNavigationStarted(secure);
  tab->navigationCommitted(true);
  ASSERT_TRUE(shownSecure(*tab));
  for (const bool failureFirst : {true, false}) {
    tab->provisionalNavigationStarted(next);
    tab->webViewURLChanged(next);
    EXPECT_FALSE(shownSecure(*tab));
    if (failureFirst) tab->handleLoadFailure({Kind::cancelled, "", next});
    tab->webViewURLChanged(secure);
    EXPECT_EQ(shownSecure(*tab), failureFirst);  // still under way until the failure
    if (!failureFirst) tab->handleLoadFailure({Kind::cancelled, "", next});
    EXPECT_TRUE(shownSecure(*tab)) << failureFirst;
  }
  // A page that came over no verified connection gets no lock back.
  tab->provisionalNavigationStarted(next);
  tab->webViewURLChanged(next);
  tab->navigationCommitted(false);
  tab->provisionalNavigationStarted(secure);
  tab->webViewURLChanged(secure);
  tab->handleLoadFailure({Kind::cancelled, "", secure});
  tab->webViewURLChanged(next);
  EXPECT_FALSE(shownSecure(*tab));
}

TEST_F(TabEventsTest, AVisitTakesThePageTitleThatArrivesAfterTheLoadFinished) {
  const Url address = url("https://lazy.example/");
  tab->provisionalNavigationStarted(address);
  tab->navigationDidFinish(address, "");
  tab->webViewTitleChanged("Lazy Page");
  ASSERT_FALSE(store->history().entries.peek().empty());
  EXPECT_EQ(store->history().entries.peek().front().title, "Lazy Page");
  // A reload that finishes before the title is known keeps it.
  tab->provisionalNavigationStarted(address);
  tab->navigationDidFinish(address, "");
  EXPECT_EQ(store->history().entries.peek().front().title, "Lazy Page");
  // Other tabs' visits recorded since, one of the same address, neither take this tab's late
  // title nor keep it from its own visit.
  auto other = store->tabs().openTab(url("https://other.example/"), true);
  auto same = store->tabs().openTab(address, true);
  other->navigationDidFinish(url("https://other.example/"), "");
  same->navigationDidFinish(address, "");
  tab->webViewTitleChanged("Renamed");
  same->webViewTitleChanged("Same Address");
  std::vector<std::string> titles;
  for (const auto& entry : store->history().entries.peek()) titles.push_back(entry.title);
  EXPECT_EQ(titles, (std::vector<std::string>{"Same Address", "", "Renamed"}));
}

TEST_F(TabEventsTest, FinishedLoadsRecordHistoryAndKeepOnlyWebFavicons) {
  tab->navigationDidFinish(url("https://a.example/"), "A");
  ASSERT_EQ(store->history().entries.peek().size(), 1u);
  EXPECT_EQ(store->history().entries.peek()[0].title, "A");
  EXPECT_TRUE(savedFiles.writtenAfterSaveDelay(scheduler, *store));
  tab->navigationDidFinish(url("file:///tmp/x.html"), "File");
  EXPECT_EQ(store->history().entries.peek().size(), 1u);  // only http and https are history

  auto* view = testing::fakeView(*tab);
  ASSERT_TRUE(view);
  view->answerFavicon(std::string("javascript:alert(1)"));
  EXPECT_FALSE(tab->faviconURL.peek());
  // Each finished load asks the page for its icon again.
  tab->navigationDidFinish(url("https://a.example/"), "A");
  view->answerFavicon(std::string("/relative.png"));
  EXPECT_FALSE(tab->faviconURL.peek());
  tab->navigationDidFinish(url("https://a.example/"), "A");
  view->answerFavicon(std::string("https://a.example/icon.png"));
  EXPECT_EQ(tab->faviconURL.peek(), url("https://a.example/icon.png"));
}

TEST_F(TabEventsTest, TheContentBlockerFollowsNavigationsThatReallyStart) {
  store->pageServices().adBlocker().ruleList = std::make_shared<testing::FakeRuleList>();
  store->pageServices().adBlocker().setAllowed(true, "allowed.example");
  tab->provisionalNavigationStarted(url("https://blocked.example/"));
  EXPECT_TRUE(tab->page.adBlockApplied());
  // Deciding a Ctrl-click changes nothing for the page that stays.
  tab->navigation.decideAction(
      {.url = url("https://allowed.example/"), .isLinkActivation = true, .control = true});
  EXPECT_TRUE(tab->page.adBlockApplied());
  tab->provisionalNavigationStarted(url("https://www.allowed.example/"));
  EXPECT_FALSE(tab->page.adBlockApplied());
}

// Page handlers keep tabs and the autofill bridge alive past the store: then neither reaches any
// model (under the sanitizers a call into a destroyed one fails here).
TEST_F(TabEventsTest, ATabAndTheAutofillBridgeKeptPastTheStoreReachNothing) {
  std::shared_ptr<AutofillBridge> bridge;
  if (const auto services = tab->services()) bridge = services->autofill.lock();
  ASSERT_TRUE(bridge);
  tab->navigation.pageActivatedByUser();
  store.reset();
  EXPECT_FALSE(tab->services());

  tab->webViewURLChanged(url("https://b.example/"));
  tab->navigationDidFinish(url("https://b.example/"), "B");
  tab->webViewTitleChanged("B again");
  tab->zoomTo(2);
  tab->resetZoom();
  EXPECT_EQ(tab->navigation.createPopupTab(), nullptr);
  tab->navigation.pageClosed();
  tab->tearDown();
  EXPECT_EQ(tab->webView(), nullptr);
  const std::string frame = R"("origin":"https://b.example","href":"https://b.example/")";
  EXPECT_EQ(bridge->reply(R"({"type":"submit",)" + frame + R"(,"username":"u","password":"p"})"),
            "null");
  EXPECT_FALSE(bridge->menuRows("{" + frame + "}"));
}

}  // namespace
}  // namespace zemblo
