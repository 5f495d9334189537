#include "model/navigation_decisions.h"

#include <gtest/gtest.h>

#include "model/browser_tab.h"
#include "support/store_fixture.h"

namespace zemblo {
namespace {

using namespace std::chrono_literals;
using Policy = NavigationDecisions::Policy;

Url url(const char* text) { return *Url::parse(text); }

// A store with one open, loaded tab in the current space.
class NavigationDecisionsTest : public testing::StoreFixture {
 protected:
  void SetUp() override {
    startStore({}, 0);
    tab = store->tabs().openTab(url("https://a.example/"), false);
  }

  std::vector<std::shared_ptr<BrowserTab>> tabs() const {
    return store->tabs().currentSpace()->tabs.peek();
  }

  std::shared_ptr<BrowserTab> tab;
};

TEST_F(NavigationDecisionsTest, ControlClickOpensATabRightAfterItsOpener) {
  auto other = store->tabs().openTab(url("https://z.example/"), false);  // placed on top
  store->tabs().select(*tab);
  using Action = NavigationDecisions::NavigationAction;
  EXPECT_EQ(tab->navigation.decideAction(Action{
                .url = url("https://b.example/"), .isLinkActivation = true, .control = true}),
            Policy::cancel);
  ASSERT_EQ(tabs().size(), 3u);
  EXPECT_EQ(tabs()[1], tab);
  EXPECT_EQ(tabs()[2]->url.peek(), url("https://b.example/"));
  EXPECT_EQ(store->tabs().currentSpace()->selectedTab(), tab);  // background

  tab->navigation.decideAction(Action{
      .url = url("https://c.example/"), .isLinkActivation = true, .control = true, .shift = true});
  EXPECT_EQ(tabs()[2]->url.peek(), url("https://c.example/"));
  EXPECT_EQ(store->tabs().currentSpace()->selectedTab(), tabs()[2]);  // foreground
  // A plain click or a form submission with Control stays in place.
  EXPECT_EQ(tab->navigation.decideAction(Action{.url = url("https://d.example/"), .control = true}),
            Policy::allow);
  EXPECT_EQ(tabs().size(), 4u);
  (void)other;
}

// The user's answer lets through the one request it was given for.
TEST_F(NavigationDecisionsTest, AFormIsSentAgainOnlyByTheRequestTheUserAgreedTo) {
  using Action = NavigationDecisions::NavigationAction;
  const Action again{.url = url("https://shop.example/pay"), .sendsFormData = true};
  const Action other{.url = url("https://shop.example/other"), .sendsFormData = true};
  // Neither another page's form nor one after another navigation started takes the answer.
  EXPECT_EQ(tab->navigation.decideAction(again), Policy::cancel);
  tab->navigation.resendForm();
  EXPECT_EQ(tab->navigation.decideAction(other), Policy::cancel);
  tab->navigation.resendForm();
  tab->provisionalNavigationStarted(url("https://shop.example/"));
  EXPECT_EQ(tab->navigation.decideAction(other), Policy::cancel);
  EXPECT_EQ(webViews.log.formResends.size(), 2u);
  // A frame's form is never sent again, nor asked about; a redirect goes on with its navigation.
  tab->loadError.set(std::nullopt);
  EXPECT_EQ(
      tab->navigation.decideAction({.url = again.url, .sendsFormData = true, .inFrame = true}),
      Policy::cancel);
  EXPECT_FALSE(tab->loadError.peek());
  EXPECT_EQ(
      tab->navigation.decideAction({.url = again.url, .isRedirect = true, .sendsFormData = true}),
      Policy::allow);
}

TEST_F(NavigationDecisionsTest, PopupsBecomeSelectedTabsAfterTheirOpenerWithARelatedView) {
  EXPECT_EQ(tab->navigation.createPopupTab(), nullptr);  // no window without the user's press
  tab->navigation.pageActivatedByUser();
  auto popup = tab->navigation.createPopupTab();
  ASSERT_TRUE(popup);
  EXPECT_EQ(tab->navigation.createPopupTab(), nullptr);  // one window per press
  EXPECT_TRUE(popup->isPopup());
  EXPECT_TRUE(popup->page.hasStartedLoading());
  EXPECT_EQ(tabs()[1], popup);
  EXPECT_EQ(store->tabs().currentSpace()->selectedTab(), popup);
  ASSERT_EQ(webViews.log.popups.size(), 1u);
  EXPECT_EQ(webViews.log.popups[0], popup->id.str() + " " + tab->id.str());
  popup->navigation.pageClosed();
  EXPECT_EQ(tabs().size(), 1u);
}

TEST_F(NavigationDecisionsTest, ACrashingPageIsReloadedAtMostTwiceAMinute) {
  auto moment = std::chrono::steady_clock::time_point{};
  tab->navigation.setClock([&] { return moment; });
  auto reloads = [&] { return webViews.log.reloads.size(); };

  tab->navigation.webContentProcessTerminated(/*endedByBrowser=*/true);
  EXPECT_EQ(reloads(), 0u);
  tab->navigation.webContentProcessTerminated(false);
  moment += 10s;
  tab->navigation.webContentProcessTerminated(false);
  EXPECT_EQ(reloads(), 2u);
  EXPECT_FALSE(tab->loadError.peek());
  moment += 10s;
  tab->navigation.webContentProcessTerminated(false);
  EXPECT_EQ(reloads(), 2u);
  ASSERT_TRUE(tab->loadError.peek());
  EXPECT_EQ(tab->loadError.peek()->url, url("https://a.example/"));

  moment += 61s;  // a quiet minute later the page gets its chances again
  tab->loadError.set(std::nullopt);
  tab->navigation.webContentProcessTerminated(false);
  EXPECT_EQ(reloads(), 3u);
}

TEST(NavigationDecisions, ResponsePolicy) {
  using Response = NavigationDecisions::NavigationResponse;
  EXPECT_EQ(NavigationDecisions::decideResponse(Response{}), Policy::allow);
  EXPECT_EQ(NavigationDecisions::decideResponse(Response{.canShowMimeType = false}),
            Policy::download);
  EXPECT_EQ(NavigationDecisions::decideResponse(
                Response{.isHttp = true, .contentDisposition = "ATTACHMENT; filename=a.bin"}),
            Policy::download);
  EXPECT_EQ(NavigationDecisions::decideResponse(Response{
                .isForMainFrame = false, .isHttp = true, .contentDisposition = "attachment"}),
            Policy::allow);
  EXPECT_EQ(NavigationDecisions::decideResponse(
                Response{.isHttp = true, .contentDisposition = "inline; filename=attachment"}),
            Policy::allow);
}

TEST(NavigationDecisions, ActionPolicyWithoutAStore) {
  auto tab = std::make_shared<BrowserTab>(Uuid::random(), url("https://a.example/"));
  using Action = NavigationDecisions::NavigationAction;
  EXPECT_EQ(tab->navigation.decideAction(Action{.url = url("https://b.example/")}), Policy::allow);
  EXPECT_EQ(tab->navigation.decideAction(Action{.shouldPerformDownload = true}), Policy::download);
  // A Ctrl-click is swallowed even when there is no store to open a tab in.
  EXPECT_EQ(tab->navigation.decideAction(Action{
                .url = url("https://b.example/"), .isLinkActivation = true, .control = true}),
            Policy::cancel);
  EXPECT_EQ(tab->navigation.decideAction(Action{.isLinkActivation = true, .control = true}),
            Policy::allow);
  EXPECT_EQ(tab->navigation.createPopupTab(), nullptr);
}

}  // namespace
}  // namespace zemblo
