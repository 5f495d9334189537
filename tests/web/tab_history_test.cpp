// A closed tab comes back with its back and forward list, and the engine goes through that list to
// the very pages it held.
#include <gtest/gtest.h>

#include "model/window_model.h"
#include "web_harness.h"

namespace zemblo {
namespace {

using testing::callJavaScript;
using testing::TestServer;
using testing::waitUntil;
using testing::WebHarness;

class TabHistoryTest : public ::testing::Test {
 protected:
  TabHistoryTest() {
    // Never from a cache: each page the engine shows is a request the server sees.
    for (const char* name : {"A", "B", "C"}) {
      server.route(std::string("/") + name, {std::string("<title>Page ") + name + "</title>",
                                             "text/html; charset=utf-8",
                                             {{"Cache-Control", "no-store"}}});
    }
  }

  static std::string pathShown(BrowserTab& tab) {
    return callJavaScript(WebHarness::viewOf(tab), "return location.pathname;").value_or("");
  }

  // A tab that went A, B, C and back to B.
  std::shared_ptr<BrowserTab> tabBackAtB(WebHarness& harness) {
    auto tab = harness.show(server.url("/A"));
    EXPECT_TRUE(WebHarness::waitForPage(*tab, "Page A"));
    tab->load(server.address("/B"));
    EXPECT_TRUE(WebHarness::waitForPage(*tab, "Page B"));
    tab->load(server.address("/C"));
    EXPECT_TRUE(WebHarness::waitForPage(*tab, "Page C"));
    tab->storedWebView()->goBack();
    EXPECT_TRUE(waitUntil([&] { return tab->title.peek() == "Page B" && !tab->isLoading.peek(); }));
    return tab;
  }

  TestServer server;
};

TEST_F(TabHistoryTest, AReopenedTabGoesBackAndForwardThroughThePagesItHad) {
  WebHarness harness;
  auto tab = tabBackAtB(harness);
  const int hitsOfB = server.hits("/B");

  harness.store().tabs().closeTab(*tab);
  harness.store().tabs().reopenClosedTab();
  auto reopened = harness.selectedTab();
  harness.container().setTab(reopened);
  ASSERT_TRUE(WebHarness::waitForPage(*reopened, "Page B"));
  EXPECT_EQ(pathShown(*reopened), "/B");
  EXPECT_EQ(server.hits("/B"), hitsOfB + 1);
  ASSERT_TRUE(
      waitUntil([&] { return reopened->canGoBack.peek() && reopened->canGoForward.peek(); }));

  reopened->storedWebView()->goBack();
  ASSERT_TRUE(WebHarness::waitForPage(*reopened, "Page A"));
  EXPECT_EQ(pathShown(*reopened), "/A");
  EXPECT_EQ(server.hits("/A"), 2);
  reopened->storedWebView()->goForward();
  ASSERT_TRUE(WebHarness::waitForPage(*reopened, "Page B"));
  reopened->storedWebView()->goForward();
  ASSERT_TRUE(WebHarness::waitForPage(*reopened, "Page C"));
  EXPECT_EQ(pathShown(*reopened), "/C");
  EXPECT_EQ(server.hits("/C"), 2);
  EXPECT_FALSE(reopened->canGoForward.peek());
}

}  // namespace
}  // namespace zemblo
