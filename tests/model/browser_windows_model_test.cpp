// The windows of one store: shared spaces, tabs of their own, a private window that writes
// nothing, and the session that keeps the normal windows readable by a browser with one window.
#include <gtest/gtest.h>

#include "model/browser_store.h"
#include "model/browser_tab.h"
#include "model/history_model.h"
#include "model/window_model.h"
#include "support/store_fixture.h"

namespace zemblo {
namespace {

using testing::savedSpace;

class BrowserWindowsModelTest : public testing::StoreFixture {};

TEST_F(BrowserWindowsModelTest, WindowsShareSpacesKeepTheirTabsAndOnlyNormalOnesAreSaved) {
  startStore({savedSpace("a", 2, 1), savedSpace("b", 1, 0)}, 0);
  WindowModel& first = store->tabs();
  WindowModel& second = store->openWindow(false);
  WindowModel& hidden = store->openWindow(true);
  ASSERT_EQ(second.spaces.peek().size(), 2u);
  EXPECT_EQ(second.spaces.peek()[1]->id, first.spaces.peek()[1]->id);
  EXPECT_EQ(second.tabCount(), 0u);

  // A space renamed, added or deleted anywhere is so in every normal window.
  first.spaces.peek()[0]->name.set("renamed");
  EXPECT_EQ(second.spaces.peek()[0]->name.peek(), "renamed");
  const auto added = second.addSpace();
  ASSERT_EQ(first.spaces.peek().size(), 3u);
  EXPECT_EQ(first.spaces.peek()[2]->id, added->id);
  const auto secondTab = second.openTab(*Url::parse("https://second.example/"), false);
  second.select(*second.spaces.peek()[1]);
  second.openTab(*Url::parse("https://in-b.example/"), false);
  // What deleting the space closes, counted as the space editor tells it, from any window.
  EXPECT_EQ(store->browserWindows().tabCountIn(first.spaces.peek()[1]->id), 2u);
  first.deleteSpace(*first.spaces.peek()[1]);
  EXPECT_EQ(second.spaces.peek().size(), 2u);
  EXPECT_EQ(second.tabCount(), 1u);  // the tab in the deleted space went along
  EXPECT_EQ(second.currentSpaceID.peek(), first.spaces.peek()[0]->id);

  // A private window's pages leave no history and its tabs are in no saved window.
  const auto secret = hidden.openTab(*Url::parse("https://secret.example/"), false);
  EXPECT_TRUE(secret->isPrivate());
  secret->navigationDidFinish(secret->url.peek(), "Secret");
  secondTab->navigationDidFinish(secondTab->url.peek(), "Second");
  ASSERT_EQ(store->history().entries.peek().size(), 1u);
  EXPECT_EQ(store->history().entries.peek().front().url.str(), "https://second.example/");
  // Tabs move only between windows of one kind.
  hidden.moveTabToWindow(*secret, first);
  EXPECT_TRUE(hidden.spaceContaining(*secret));
  second.moveTabToWindow(*secondTab, first);
  EXPECT_TRUE(first.spaceContaining(*secondTab));
  EXPECT_EQ(first.selectedTab(), secondTab);
  first.moveTabToWindow(*secondTab, second);

  store->saveNow();
  ASSERT_TRUE(store->finishWrites());
  auto saved = SessionFiles().readSession();
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved->spaces[0].tabs.size(), 2u);
  ASSERT_EQ(saved->windows.size(), 1u);
  ASSERT_EQ(saved->windows[0].spaces[0].tabs.size(), 1u);
  EXPECT_EQ(saved->windows[0].spaces[0].tabs[0].url, Url::parse("https://second.example/"));

  // Closing the first window while another is open closes its tabs for reopening elsewhere; the
  // other window then takes today's keys. The private window's end ends its network session.
  store->closeWindow(first);
  EXPECT_EQ(store->windows(), (std::vector<WindowModel*>{&second, &hidden}));
  EXPECT_EQ(&store->tabs(), &second);
  store->closeWindow(hidden);
  EXPECT_EQ(engine.privateSessionsEnded, 1);
  second.reopenClosedTab();
  EXPECT_EQ(second.tabCount(), 2u);
  store->saveNow();
  ASSERT_TRUE(store->finishWrites());
  saved = SessionFiles().readSession();
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved->windows.size(), 0u);
  EXPECT_EQ(saved->spaces[0].tabs.size(), 2u);
}

TEST_F(BrowserWindowsModelTest, AFurtherWindowThatDoesNotDecodeCostsOnlyItself) {
  SessionSnapshot session;
  session.spaces.push_back(savedSpace("a", 1, 0));
  session.currentSpaceID = session.spaces[0].id;
  SessionSnapshot other;
  other.spaces.push_back(savedSpace("a", 2, 1));
  other.spaces[0].id = session.spaces[0].id;
  other.currentSpaceID = session.spaces[0].id;
  other.frame = WindowFrame{800, 600, false, true};
  session.windows.push_back(other);
  auto encoded = encodeSession(session);
  ASSERT_TRUE(encoded);
  const auto decoded = decodeSession(*encoded);
  ASSERT_TRUE(decoded);
  ASSERT_EQ(decoded->windows.size(), 1u);
  EXPECT_EQ(decoded->windows[0].spaces[0].tabs.size(), 2u);
  EXPECT_EQ(decoded->windows[0].spaces[0].selectedTabID, other.spaces[0].selectedTabID);
  EXPECT_EQ(decoded->windows[0].frame, other.frame);
  EXPECT_FALSE(decoded->frame);  // as in a session written before windows kept theirs

  session.windows.clear();
  const auto plain = encodeSession(session);
  ASSERT_TRUE(plain);
  const std::string broken = plain->substr(0, plain->rfind('}')) +
                             R"(,"windowFrame":{"width":-3},"windows":[{"spaces":7},"x"]})";
  const auto kept = decodeSession(broken);
  ASSERT_TRUE(kept);
  EXPECT_EQ(kept->spaces[0].tabs.size(), 1u);
  EXPECT_TRUE(kept->windows.empty());
  EXPECT_FALSE(kept->frame);
}

// Each restored window shows a page, a web process each: a session of a hundred windows loads a
// few dozen of them at the start.
TEST_F(BrowserWindowsModelTest, ASessionOfAHundredWindowsLoadsAFewDozenPagesAtTheStart) {
  SessionSnapshot session;
  session.spaces.push_back(savedSpace("a", 1, 0));
  session.currentSpaceID = session.spaces[0].id;
  for (int i = 0; i < 100; ++i) {
    session.windows.push_back(
        {.spaces = {savedSpace("a", 1, 0)}, .currentSpaceID = session.currentSpaceID});
    session.windows.back().spaces[0].id = session.currentSpaceID;
  }
  ASSERT_TRUE(SessionFiles().writeSession(session));
  startStore({}, 0);
  EXPECT_EQ(store->windows().size(), 101u);
  EXPECT_GE(webViews.log.loads.size(), 10u);
  EXPECT_LE(webViews.log.loads.size(), 30u);
}

}  // namespace
}  // namespace zemblo
