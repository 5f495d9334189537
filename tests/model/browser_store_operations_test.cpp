#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/browser_store.h"
#include "model/favorites_model.h"
#include "model/localization.h"
#include "model/preferences_model.h"
#include "model/window_model.h"
#include "support/store_fixture.h"

namespace zemblo {
namespace {

using namespace std::chrono_literals;
using testing::fakeView;
using testing::savedSpace;

Url url(const std::string& text) { return *Url::parse(text); }

std::vector<std::string> titles(const Space& space) {
  std::vector<std::string> result;
  for (const auto& tab : space.tabs.peek()) result.push_back(tab->title.peek());
  return result;
}

std::vector<std::string> names(const BrowserStore& store) {
  std::vector<std::string> result;
  for (const auto& space : store.tabs().spaces.peek()) result.push_back(space->name.peek());
  return result;
}

class BrowserStoreOperationsTest : public testing::StoreFixture {
 protected:
  std::shared_ptr<BrowserStore> start(std::vector<SpaceSnapshot> spaces = {}, size_t current = 0) {
    return startStore(std::move(spaces), current);
  }

  std::optional<Uuid> selection(size_t spaceIndex) {
    return space(spaceIndex).selectedTabID.peek();
  }
  bool loaded(const BrowserTab& tab) const {
    for (const auto& line : webViews.log.loads) {
      if (line.starts_with(tab.id.str() + " ")) return true;
    }
    return false;
  }
};

// Opening and selecting ---------------------------------------------------------------------------

TEST_F(BrowserStoreOperationsTest, NewTabsGoToTheTopOrRightAfterTheirAnchor) {
  start({savedSpace("a", 2, 0), savedSpace("b", 2, 0)});
  settle();

  auto top = store->tabs().openTab(url("https://top.example/"), false);
  EXPECT_EQ(tab(0, 0), top);
  EXPECT_TRUE(testing::servedBy(*top, *store));
  EXPECT_EQ(top->url.peek(), url("https://top.example/"));
  EXPECT_TRUE(top->page.hasStartedLoading());
  EXPECT_TRUE(loaded(*top));
  EXPECT_EQ(selection(0), top->id);
  EXPECT_TRUE(savedSinceLastCheck());

  auto anchored = store->tabs().openTab(url("https://anchored.example/"), true, tab(0, 1));
  EXPECT_EQ(tab(0, 2), anchored);
  EXPECT_EQ(selection(0), top->id);  // in the background: selection unchanged ...
  EXPECT_TRUE(loaded(*anchored));    // ... but loading at once

  // An anchor in another space puts the tab into that space; the space on screen keeps both its
  // place and its selection.
  const auto anchorElsewhere = tab(1, 0);
  auto elsewhere = store->tabs().openTab(url("https://elsewhere.example/"), false, anchorElsewhere);
  EXPECT_EQ(tab(1, 1), elsewhere);
  EXPECT_EQ(store->tabs().currentSpace().get(), &space(0));
  EXPECT_EQ(selection(0), top->id);
  EXPECT_EQ(selection(1), elsewhere->id);
  EXPECT_TRUE(loaded(*elsewhere));

  // An anchor that no space holds any more counts as no anchor.
  auto orphan = std::make_shared<BrowserTab>();
  auto fallback = store->tabs().openTab(url("https://fallback.example/"), true, orphan);
  EXPECT_EQ(tab(0, 0), fallback);
}

TEST_F(BrowserStoreOperationsTest, SelectingUsesTheTabsOwnSpaceAndLoadsOnlyOnScreen) {
  start({savedSpace("a", 3, 0), savedSpace("b", 2, 0)});
  settle();
  store->tabs().findBarVisible.set(true);

  store->tabs().select(*tab(0, 2));
  EXPECT_EQ(selection(0), tab(0, 2)->id);
  EXPECT_TRUE(loaded(*tab(0, 2)));
  EXPECT_FALSE(store->tabs().findBarVisible.peek());
  EXPECT_TRUE(savedSinceLastCheck());

  // A tab of a background space becomes that space's selection without loading and without
  // touching the selection on screen.
  store->tabs().select(*tab(1, 1));
  EXPECT_EQ(selection(1), tab(1, 1)->id);
  EXPECT_EQ(selection(0), tab(0, 2)->id);
  EXPECT_EQ(store->tabs().currentSpace().get(), &space(0));
  EXPECT_FALSE(tab(1, 1)->page.hasStartedLoading());
  store->tabs().select(space(1));
  EXPECT_TRUE(loaded(*tab(1, 1)));

  settle();
  BrowserTab stranger(Uuid::random(), url("https://stranger.example/"));
  store->tabs().select(stranger);
  EXPECT_FALSE(savedSinceLastCheck());
  EXPECT_EQ(selection(1), tab(1, 1)->id);
}

TEST_F(BrowserStoreOperationsTest, APopupFromABackgroundSpaceStaysThere) {
  start({savedSpace("a", 2, 1), savedSpace("b", 2, 0)});
  const auto opener = tab(1, 0);
  opener->navigation.pageActivatedByUser();
  auto popup = opener->navigation.createPopupTab();
  ASSERT_TRUE(popup);
  EXPECT_EQ(tab(1, 1), popup);
  EXPECT_EQ(selection(1), popup->id);
  EXPECT_EQ(selection(0), tab(0, 1)->id);
  EXPECT_EQ(store->tabs().currentSpace()->selectedTab(), tab(0, 1));
}

TEST_F(BrowserStoreOperationsTest, SelectingASpaceMakesItCurrentAndLoadsItsSelection) {
  start({savedSpace("a", 1, 0), savedSpace("b", 2, 1), savedSpace("c", 1)});
  settle();
  store->tabs().findBarVisible.set(true);
  store->tabs().select(space(1));
  EXPECT_EQ(store->tabs().currentSpace().get(), &space(1));
  EXPECT_TRUE(loaded(*tab(1, 1)));
  EXPECT_FALSE(tab(1, 0)->page.hasStartedLoading());
  EXPECT_FALSE(store->tabs().findBarVisible.peek());
  EXPECT_TRUE(savedSinceLastCheck());

  const size_t loadsBefore = webViews.log.loads.size();
  store->tabs().select(space(2));  // nothing selected there: nothing loads
  EXPECT_EQ(store->tabs().currentSpaceID.peek(), space(2).id);
  EXPECT_EQ(webViews.log.loads.size(), loadsBefore);
}

TEST_F(BrowserStoreOperationsTest, RestoringAHundredTabsCreatesOneWebView) {
  start({savedSpace("a", 40, 3), savedSpace("b", 35, 20), savedSpace("c", 25, 24)}, 1);
  size_t tabCount = 0;
  for (const auto& restored : store->tabs().spaces.peek()) tabCount += restored->tabs.peek().size();
  EXPECT_EQ(tabCount, 100u);
  EXPECT_EQ(webViews.log.viewsCreated, 1);
  ASSERT_EQ(webViews.log.loads.size(), 1u);
  EXPECT_TRUE(loaded(*tab(1, 20)));
  EXPECT_NE(tab(1, 20)->storedWebView(), nullptr);
}

// Closing ----------------------------------------------------------------------------------------

TEST_F(BrowserStoreOperationsTest, ClosingTheSelectedTabSelectsTheOneThatTookItsPlace) {
  start({savedSpace("t", 5, 2)});
  settle();
  const auto third = tab(0, 2);
  third->webView();
  const auto fourth = tab(0, 3);

  store->tabs().findBarVisible.set(true);
  store->tabs().closeTab(*third);
  EXPECT_EQ(titles(space(0)), (std::vector<std::string>{"t0", "t1", "t3", "t4"}));
  EXPECT_EQ(selection(0), fourth->id);
  EXPECT_TRUE(loaded(*fourth));
  EXPECT_FALSE(store->tabs().findBarVisible.peek());
  EXPECT_TRUE(savedSinceLastCheck());
  // The closed tab let go of its page.
  EXPECT_EQ(third->storedWebView(), nullptr);
  EXPECT_EQ(webViews.log.viewsDestroyed, 1);
  EXPECT_EQ(webViews.log.stops, std::vector<std::string>{third->id.str()});

  store->tabs().select(*tab(0, 3));
  store->tabs().closeTab(*tab(0, 3));  // the selected last tab: the new last one takes over
  EXPECT_EQ(selection(0), tab(0, 2)->id);

  store->tabs().findBarVisible.set(true);
  store->tabs().closeTab(*tab(0, 0));  // unselected: the selection stays
  EXPECT_EQ(selection(0), tab(0, 1)->id);
  EXPECT_FALSE(store->tabs().findBarVisible.peek());

  store->tabs().closeTab(*tab(0, 0));
  store->tabs().closeTab(*tab(0, 0));
  EXPECT_TRUE(space(0).tabs.peek().empty());
  EXPECT_EQ(selection(0), std::nullopt);
}

TEST_F(BrowserStoreOperationsTest, ClosingInABackgroundSpaceLoadsNothing) {
  start({savedSpace("a", 1, 0), savedSpace("b", 3, 0)});
  store->tabs().closeTab(*tab(1, 0));
  EXPECT_EQ(selection(1), tab(1, 0)->id);
  EXPECT_FALSE(tab(1, 0)->page.hasStartedLoading());

  settle();
  BrowserTab stranger(Uuid::random(), url("https://stranger.example/"));
  const size_t closed = store->tabs().closedTabs.size();
  store->tabs().closeTab(stranger);
  EXPECT_EQ(store->tabs().closedTabs.size(), closed);
  EXPECT_FALSE(savedSinceLastCheck());
}

TEST_F(BrowserStoreOperationsTest, TheClosedTabStackKeepsTheNewestThirty) {
  start({savedSpace("t", 31)});
  const Uuid spaceId = space(0).id;
  for (int i = 0; i < 31; ++i) store->tabs().closeTab(*tab(0, 0));
  ASSERT_EQ(store->tabs().closedTabs.size(), 30u);
  EXPECT_EQ(store->tabs().closedTabs.front().url, url("https://t1.example/"));  // t0 fell off
  EXPECT_EQ(store->tabs().closedTabs.back().url, url("https://t30.example/"));
  EXPECT_EQ(store->tabs().closedTabs.back().title, "t30");
  EXPECT_EQ(store->tabs().closedTabs.back().spaceID, spaceId);

  auto startPage = std::make_shared<BrowserTab>();
  store->tabs().insertTab(startPage);
  store->tabs().closeTab(*startPage);
  EXPECT_EQ(store->tabs().closedTabs.size(), 30u);
  EXPECT_EQ(store->tabs().closedTabs.back().title, "t30");
}

TEST_F(BrowserStoreOperationsTest, ClosingOtherTabsKeepsOnlyThatTabSelected) {
  start({savedSpace("t", 3, 0), savedSpace("u", 3, 0)});
  const auto middle = tab(0, 1);
  store->tabs().closeOtherTabs(*middle);
  EXPECT_EQ(titles(space(0)), std::vector<std::string>{"t1"});
  EXPECT_EQ(selection(0), middle->id);
  ASSERT_EQ(store->tabs().closedTabs.size(), 2u);
  EXPECT_EQ(store->tabs().closedTabs[0].title, "t0");
  EXPECT_EQ(store->tabs().closedTabs[1].title, "t2");

  // A kept tab outside the current space clears its own space, never the one on screen.
  store->tabs().closeOtherTabs(*tab(1, 2));
  EXPECT_EQ(titles(space(1)), std::vector<std::string>{"u2"});
  EXPECT_EQ(titles(space(0)), std::vector<std::string>{"t1"});
  EXPECT_EQ(selection(1), tab(1, 0)->id);
}

TEST_F(BrowserStoreOperationsTest, ClosingAllTabsStacksThemInListOrder) {
  start({savedSpace("t", 3, 1), savedSpace("empty", 0)});
  store->tabs().closeAllTabsInCurrentSpace();
  EXPECT_TRUE(space(0).tabs.peek().empty());
  EXPECT_EQ(selection(0), std::nullopt);
  ASSERT_EQ(store->tabs().closedTabs.size(), 3u);
  EXPECT_EQ(store->tabs().closedTabs.back().title, "t2");  // the last one comes back first

  store->tabs().select(space(1));
  settle();
  int notifications = 0;
  space(1).tabs.signalChanged().connect([&] { ++notifications; });
  store->tabs().closeAllTabsInCurrentSpace();
  EXPECT_EQ(notifications, 0);
  EXPECT_FALSE(savedSinceLastCheck());
}

// Moving -----------------------------------------------------------------------------------------

TEST_F(BrowserStoreOperationsTest, MovingTabsFollowsTheListMove) {
  start({savedSpace("t", 5, 1)});
  settle();
  const auto selected = selection(0);
  int notifications = 0;
  space(0).tabs.signalChanged().connect([&] { ++notifications; });

  store->tabs().moveTabs({0, 2}, 4);  // before t4, keeping their order
  EXPECT_EQ(titles(space(0)), (std::vector<std::string>{"t1", "t3", "t0", "t2", "t4"}));
  EXPECT_EQ(notifications, 1);
  EXPECT_TRUE(savedSinceLastCheck());
  store->tabs().moveTabs({4}, 0);
  EXPECT_EQ(titles(space(0)), (std::vector<std::string>{"t4", "t1", "t3", "t0", "t2"}));
  store->tabs().moveTabs({0, 1}, 5);  // the count: to the end
  EXPECT_EQ(titles(space(0)), (std::vector<std::string>{"t3", "t0", "t2", "t4", "t1"}));
  store->tabs().moveTabs({1, 3}, 2);  // a destination among the moved ones
  EXPECT_EQ(titles(space(0)), (std::vector<std::string>{"t3", "t0", "t4", "t2", "t1"}));
  store->tabs().moveTabs({0, 9}, 99);  // positions past the end are ignored
  EXPECT_EQ(titles(space(0)), (std::vector<std::string>{"t0", "t4", "t2", "t1", "t3"}));
  EXPECT_EQ(selection(0), selected);
}

TEST_F(BrowserStoreOperationsTest, MovingTheSelectedTabToAnotherSpace) {
  start({savedSpace("a", 3, 1), savedSpace("b", 2, 0), savedSpace("c", 2, 1)});
  settle();
  const auto moving = tab(0, 1);
  moving->webView();
  WebViewPort* view = moving->storedWebView();
  const auto neighbour = tab(0, 2);

  store->tabs().moveTab(*moving, space(1));
  EXPECT_EQ(titles(space(0)), (std::vector<std::string>{"a0", "a2"}));
  EXPECT_EQ(titles(space(1)), (std::vector<std::string>{"a1", "b0", "b1"}));
  EXPECT_EQ(selection(0), neighbour->id);
  EXPECT_EQ(selection(1), tab(1, 1)->id);  // b0 stays selected in the target
  EXPECT_EQ(moving->storedWebView(), view);
  EXPECT_EQ(store->tabs().currentSpace().get(), &space(0));
  EXPECT_TRUE(savedSinceLastCheck());
  // The neighbour is now on screen, so it loads as it would after a close.
  EXPECT_TRUE(loaded(*neighbour));

  // Out of a background space nothing loads.
  const auto backgroundNeighbour = tab(2, 0);
  store->tabs().moveTab(*tab(2, 1), space(0));
  EXPECT_EQ(selection(2), backgroundNeighbour->id);
  EXPECT_FALSE(backgroundNeighbour->page.hasStartedLoading());
  EXPECT_EQ(titles(space(0)), (std::vector<std::string>{"c1", "a0", "a2"}));

  store->tabs().moveTab(*tab(2, 0), space(1));
  EXPECT_TRUE(space(2).tabs.peek().empty());
  EXPECT_EQ(selection(2), std::nullopt);

  settle();
  store->tabs().moveTab(*tab(0, 0), space(0));  // onto its own space
  Space detached("x", "star", "#000000", "#FFFFFF");
  store->tabs().moveTab(*tab(0, 0), detached);  // onto a space the store does not hold
  EXPECT_EQ(titles(space(0)), (std::vector<std::string>{"c1", "a0", "a2"}));
  EXPECT_TRUE(detached.tabs.peek().empty());
  EXPECT_FALSE(savedSinceLastCheck());
}

// Spaces -----------------------------------------------------------------------------------------

TEST_F(BrowserStoreOperationsTest, NewSpacesTakePresetAndSymbolFromTheirCount) {
  defaults.setData("appPreferences.v1", R"({"language":"turkish"})");
  start();
  settle();
  const auto current = store->tabs().currentSpaceID.peek();
  auto fourth = store->tabs().addSpace();
  ASSERT_EQ(store->tabs().spaces.peek().size(), 4u);
  EXPECT_EQ(store->tabs().spaces.peek().back(), fourth);
  const auto& forest = SpacePreset::all()[3];
  EXPECT_EQ(forest.name, "Orman");
  EXPECT_EQ(fourth->colorA.peek(), forest.colorA);
  EXPECT_EQ(fourth->colorB.peek(), forest.colorB);
  EXPECT_EQ(fourth->symbol.peek(), "terminal.fill");
  EXPECT_EQ(fourth->name.peek(), "Yeni Alan");
  EXPECT_TRUE(fourth->tabs.peek().empty());
  EXPECT_EQ(fourth->selectedTabID.peek(), std::nullopt);
  EXPECT_EQ(store->tabs().currentSpaceID.peek(), current);
  EXPECT_TRUE(savedSinceLastCheck());

  testing::switchLanguage(store->preferences(), AppLanguage::english);
  while (store->tabs().spaces.peek().size() < 12) store->tabs().addSpace();
  auto thirteenth = store->tabs().addSpace();
  EXPECT_EQ(thirteenth->colorA.peek(), SpacePreset::all()[0].colorA);
  EXPECT_EQ(thirteenth->colorB.peek(), SpacePreset::all()[0].colorB);
  EXPECT_EQ(thirteenth->symbol.peek(), "book.fill");
  EXPECT_EQ(thirteenth->name.peek(), "New Space");
}

TEST_F(BrowserStoreOperationsTest, DeletingSpacesKeepsOneAndMovesTheCurrentOne) {
  start({savedSpace("a", 2, 1), savedSpace("b", 2, 0), savedSpace("c", 1, 0)}, 1);
  const auto doomed = tab(1, 0);
  ASSERT_NE(doomed->storedWebView(), nullptr);
  const auto firstSelected = tab(0, 1);

  store->tabs().deleteSpace(space(1));  // the current one
  EXPECT_EQ(names(*store), (std::vector<std::string>{"a", "c"}));
  EXPECT_EQ(store->tabs().currentSpaceID.peek(), space(0).id);
  EXPECT_TRUE(loaded(*firstSelected));
  EXPECT_EQ(doomed->storedWebView(), nullptr);
  EXPECT_EQ(webViews.log.viewsDestroyed, 1);
  EXPECT_TRUE(savedSinceLastCheck());
  // Its tabs can be reopened one after another, back in their order, in the current space.
  store->tabs().reopenClosedTab();
  store->tabs().reopenClosedTab();
  ASSERT_EQ(space(0).tabs.peek().size(), 4u);
  EXPECT_EQ(tab(0, 0)->url.peek(), url("https://b0.example/"));
  EXPECT_EQ(tab(0, 1)->url.peek(), url("https://b1.example/"));
  EXPECT_TRUE(store->tabs().closedTabs.empty());

  store->tabs().deleteSpace(space(1));  // not current
  EXPECT_EQ(names(*store), std::vector<std::string>{"a"});
  EXPECT_EQ(store->tabs().currentSpaceID.peek(), space(0).id);

  settle();
  store->tabs().deleteSpace(space(0));  // the last one stays
  EXPECT_EQ(names(*store), std::vector<std::string>{"a"});
  EXPECT_FALSE(savedSinceLastCheck());
}

TEST_F(BrowserStoreOperationsTest, ReorderingSpacesKeepsTheCurrentOne) {
  start({savedSpace("a", 0), savedSpace("b", 0), savedSpace("c", 0), savedSpace("d", 0)}, 2);
  settle();
  int notifications = 0;
  store->tabs().spaces.signalChanged().connect([&] { ++notifications; });
  store->tabs().moveSpaces({3}, 0);
  EXPECT_EQ(names(*store), (std::vector<std::string>{"d", "a", "b", "c"}));
  store->tabs().moveSpaces({0, 2}, 4);
  EXPECT_EQ(names(*store), (std::vector<std::string>{"a", "c", "d", "b"}));
  store->tabs().moveSpaces({}, 1);  // nothing to move still counts as a change
  EXPECT_EQ(notifications, 3);
  EXPECT_EQ(store->tabs().currentSpace()->name.peek(), "c");
  EXPECT_TRUE(savedSinceLastCheck());
}

// Favourites -------------------------------------------------------------------------------------

class FavoritesTest : public BrowserStoreOperationsTest {
 protected:
  std::shared_ptr<BrowserTab> openQuietly(const std::string& address) {
    return store->tabs().openTab(url(address), true);
  }
};

TEST_F(FavoritesTest, MatchByExactHost) {
  start({savedSpace("a", 0)});
  store->favorites().list.set({Favorite("Example", url("https://example.com/start"))});
  EXPECT_TRUE(store->favorites().isFavorite(*openQuietly("https://example.com/other?page=2")));
  EXPECT_TRUE(store->favorites().isFavorite(*openQuietly("http://example.com:8080/")));
  EXPECT_FALSE(store->favorites().isFavorite(*openQuietly("https://www.example.com/start")));
  EXPECT_FALSE(store->favorites().isFavorite(*openQuietly("https://Example.com/start")));
  EXPECT_FALSE(store->favorites().isFavorite(*openQuietly("about:blank")));
  EXPECT_FALSE(store->favorites().isFavorite(BrowserTab()));
}

TEST_F(FavoritesTest, OpeningSelectsTheFirstTabOfThatHostOrOpensOne) {
  start({savedSpace("a", 1, 0), savedSpace("b", 0)});
  openQuietly("https://news.example/b");
  const auto first = openQuietly("https://news.example/a");
  const Favorite news("News", url("https://news.example/"));
  store->favorites().open(news, store->tabs());
  EXPECT_EQ(selection(0), first->id);
  EXPECT_EQ(space(0).tabs.peek().size(), 3u);

  store->tabs().select(space(1));
  store->favorites().open(news, store->tabs());  // only the current space's tabs count
  ASSERT_EQ(space(1).tabs.peek().size(), 1u);
  EXPECT_EQ(tab(1, 0)->url.peek(), news.url);
  EXPECT_EQ(selection(1), tab(1, 0)->id);
}

TEST_F(FavoritesTest, AFavouriteWithoutHostMatchesOnlyItsOwnAddress) {
  start({savedSpace("a", 1, 0)});
  const auto startPage = std::make_shared<BrowserTab>();
  store->tabs().insertTab(startPage);
  const auto blank = openQuietly("about:blank");
  const Favorite notes("Notes", url("file:///home/me/notes.html"));

  // Neither the start page nor another host-less page stands for the file.
  store->favorites().open(notes, store->tabs());
  ASSERT_EQ(space(0).tabs.peek().size(), 4u);
  const auto opened = tab(0, 0);
  EXPECT_EQ(opened->url.peek(), notes.url);
  EXPECT_EQ(selection(0), opened->id);

  store->tabs().select(*blank);
  store->favorites().open(notes, store->tabs());
  EXPECT_EQ(space(0).tabs.peek().size(), 4u);
  EXPECT_EQ(selection(0), opened->id);
}

TEST_F(FavoritesTest, TogglingAddsAtTheEndAndRemovesTheWholeHost) {
  start();
  store->favorites().list.set({Favorite("First", url("https://first.example/"))});
  const auto page = openQuietly("https://docs.example/guide");
  page->title.set("Guide");
  page->faviconURL.set(url("https://docs.example/icon.png"));
  settle();

  store->favorites().toggle(*page);
  ASSERT_EQ(store->favorites().list.peek().size(), 2u);
  const Favorite& added = store->favorites().list.peek().back();
  EXPECT_EQ(added.title, "Guide");
  EXPECT_EQ(added.url, url("https://docs.example/guide"));
  EXPECT_EQ(added.faviconURL, url("https://docs.example/icon.png"));
  EXPECT_TRUE(store->favorites().isFavorite(*page));
  EXPECT_TRUE(savedSinceLastCheck());

  store->favorites().list.mutate([](auto& list) {
    list.push_back(Favorite("Other page", url("https://docs.example/api")));
    list.push_back(Favorite("www", url("https://www.docs.example/")));
  });
  settle();
  store->favorites().toggle(*page);
  ASSERT_EQ(store->favorites().list.peek().size(), 2u);
  EXPECT_EQ(store->favorites().list.peek()[0].title, "First");
  EXPECT_EQ(store->favorites().list.peek()[1].title, "www");
  EXPECT_TRUE(savedSinceLastCheck());

  settle();
  store->favorites().toggle(BrowserTab());  // the start page
  EXPECT_EQ(store->favorites().list.peek().size(), 2u);
  EXPECT_FALSE(savedSinceLastCheck());
}

TEST_F(FavoritesTest, TogglingAPageWithoutHostAddsItOnceAndRemovesItAgain) {
  start();
  store->favorites().list.set({Favorite("Other file", url("file:///tmp/other.html"))});
  const auto page = openQuietly("file:///home/me/notes.html");
  EXPECT_FALSE(store->favorites().isFavorite(*page));
  store->favorites().toggle(*page);
  ASSERT_EQ(store->favorites().list.peek().size(), 2u);
  EXPECT_TRUE(store->favorites().isFavorite(*page));
  EXPECT_EQ(store->favorites().list.peek().back().title, page->displayTitle());
  store->favorites().toggle(*page);
  ASSERT_EQ(store->favorites().list.peek().size(), 1u);
  EXPECT_EQ(store->favorites().list.peek()[0].title, "Other file");
}

TEST_F(FavoritesTest, RemovingAndIconUpdates) {
  start();
  const Favorite keep("Keep", url("https://keep.example/"));
  const Favorite docs("Docs", url("https://docs.example/"));
  const Favorite api("Api", url("https://docs.example/api"));
  store->favorites().list.set({keep, docs, api});
  settle();

  store->favorites().remove(keep.id);
  EXPECT_EQ(store->favorites().list.peek(), (std::vector<Favorite>{docs, api}));
  EXPECT_TRUE(savedSinceLastCheck());

  const auto page = openQuietly("https://docs.example/other");
  settle();
  store->favorites().updateIcon(*page);  // no icon yet
  EXPECT_FALSE(savedSinceLastCheck());

  page->faviconURL.set(url("https://docs.example/favicon.png"));
  int notifications = 0;
  store->favorites().list.signalChanged().connect([&] { ++notifications; });
  store->favorites().updateIcon(*page);
  for (const auto& favorite : store->favorites().list.peek()) {
    EXPECT_EQ(favorite.faviconURL, url("https://docs.example/favicon.png"));
  }
  EXPECT_EQ(notifications, 2);
  EXPECT_TRUE(savedSinceLastCheck());

  settle();
  const auto unrelated = openQuietly("https://unrelated.example/");
  unrelated->faviconURL.set(url("https://unrelated.example/favicon.png"));
  settle();
  store->favorites().updateIcon(*unrelated);  // no favourite matched: saved all the same
  EXPECT_TRUE(savedSinceLastCheck());
}

}  // namespace
}  // namespace zemblo
