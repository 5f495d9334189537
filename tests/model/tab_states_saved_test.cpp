#include <gtest/gtest.h>

#include "model/browser_store.h"
#include "model/browser_tab.h"
#include "model/window_model.h"
#include "support/store_fixture.h"

namespace zemblo {
namespace {

using testing::savedSpace;

class TabStatesSavedTest : public testing::StoreFixture {
 protected:
  std::filesystem::path stateFile(const Uuid& tabID) const {
    return home.dataDir() / "tab-states" / tabID.str();
  }
};

// The engine's bytes are the tabs' own until the tabs go: a tab never shown keeps its list through
// saves, a closed tab takes its list along for reopening, and the files of tabs that are gone go.
TEST_F(TabStatesSavedTest, AListStaysWithItsTabThroughSavesAndClosing) {
  auto shown = savedSpace("a", 2, 0);
  auto background = savedSpace("b", 1, 0);
  const Uuid neverShown = shown.tabs[1].id;
  const Uuid closing = background.tabs[0].id;
  const Uuid gone = Uuid::random();
  home.writeFile(stateFile(neverShown), std::string("list\0of a1", 10));
  home.writeFile(stateFile(closing), "list of b0");
  home.writeFile(stateFile(gone), "list of a closed tab");
  startStore({shown, background}, 0);
  ASSERT_TRUE(store->finishWrites());
  EXPECT_EQ(tab(0, 1)->page.sessionState(), std::string("list\0of a1", 10));

  store->tabs().closeTab(*tab(1, 0));
  ASSERT_FALSE(store->tabs().closedTabs.empty());
  EXPECT_EQ(store->tabs().closedTabs.back().sessionState, "list of b0");
  store->saveNow();
  ASSERT_TRUE(store->finishWrites());
  EXPECT_EQ(home.readFile(stateFile(neverShown)), std::string("list\0of a1", 10));
  EXPECT_FALSE(std::filesystem::exists(stateFile(closing)));
  EXPECT_FALSE(std::filesystem::exists(stateFile(gone)));
}

// A list the engine refuses and an entry that is no file are both kept aside, told once as the
// tab's loss, and never make the session's save fail (nor try again every few seconds).
TEST_F(TabStatesSavedTest, UnreadableListsAreKeptAsideAndToldOnceWithoutBlamingTheSession) {
  auto space = savedSpace("a", 2, 0);
  const Uuid refused = space.tabs[0].id;
  const Uuid folder = space.tabs[1].id;
  home.writeFile(stateFile(refused), "not the engine's");  // the fake engine takes no list back
  std::filesystem::create_directories(stateFile(folder) / "inside");
  L10n::setEnglish(true);
  startStore({space}, 0);
  ASSERT_TRUE(store->finishWrites());
  EXPECT_EQ(home.readFile(stateFile(refused).string() + ".bad"), "not the engine's");
  EXPECT_TRUE(std::filesystem::is_directory(stateFile(folder).string() + ".bad/inside"));
  EXPECT_EQ(store->notices.peek(),
            std::vector<std::string>{"A tab's history couldn't be read and was kept as \"" +
                                     folder.str() +
                                     ".bad\"; the tab opens its page without its back and "
                                     "forward list."});

  std::filesystem::create_directories(stateFile(folder));
  tab(0, 1)->page.keepSessionState("a list");
  store->saveNow();
  EXPECT_TRUE(store->finishWrites());
  EXPECT_EQ(home.readFile(stateFile(folder)), "a list");
  EXPECT_EQ(home.readFile(stateFile(refused).string() + ".bad"), "not the engine's");
  EXPECT_EQ(store->notices.peek().size(), 1u);
}

}  // namespace
}  // namespace zemblo
