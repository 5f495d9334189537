#include "sidebar/favorites_grid.h"

#include <gtest/gtest.h>

#include "sidebar/sidebar_harness.h"
#include "web/web_harness.h"

namespace zemblo {
namespace {

using testing::pump;
using testing::SidebarHarness;
using testing::waitUntil;
using testing::WebHarness;

class FavoritesGridTest : public ::testing::Test {
 protected:
  FavoritesGridTest() {
    harness.server().page("/site", "<title>Favourite site</title><p>favourite</p>");
    harness.server().page("/other", "<title>Other</title><p>other</p>");
  }

  FavoritesGrid& grid() { return harness.sidebar().favoritesGrid(); }

  void setFavorites(std::vector<Favorite> favorites) {
    harness.store().favorites.set(std::move(favorites));
    pump();
  }

  void click(Gtk::Widget& widget) {
    const auto frame = harness.bounds(widget);
    harness.input("mousemove --window %1 " + std::to_string(int(frame.x + frame.width / 2)) + " " +
                  std::to_string(int(frame.y + frame.height / 2)) + " click 1");
  }

  SidebarHarness harness;
};

TEST_F(FavoritesGridTest, ShowsTilesInColumnsOnlyWhenThereAreFavouritesAndTheyAreWanted) {
  setFavorites({});
  EXPECT_FALSE(harness.sidebar().favoritesSlot().get_visible());

  std::vector<Favorite> five;
  for (int i = 0; i < 5; ++i) {
    five.emplace_back("Site " + std::to_string(i), *Url::parse(harness.server().url("/site")));
  }
  setFavorites(five);
  ASSERT_TRUE(harness.sidebar().favoritesSlot().get_visible());
  auto tiles = grid().tiles();
  ASSERT_EQ(tiles.size(), 5u);
  const auto first = harness.bounds(*tiles[0]);
  const auto second = harness.bounds(*tiles[1]);
  const auto fifth = harness.bounds(*tiles[4]);
  EXPECT_EQ(first.height, FavoriteTile::kHeight);
  EXPECT_EQ(second.x - (first.x + first.width), FavoritesGrid::kSpacing);
  // The fifth tile starts a second row at one column's width.
  EXPECT_EQ(fifth.x, first.x);
  EXPECT_EQ(fifth.y, first.y + first.height + FavoritesGrid::kSpacing);
  EXPECT_EQ(fifth.width, first.width);

  harness.store().updatePrefs([](AppPreferences& prefs) { prefs.favoriteColumns = 3; });
  pump();
  EXPECT_GT(harness.bounds(*grid().tiles()[0]).width, first.width);
  EXPECT_EQ(harness.bounds(*grid().tiles()[0]).height, FavoriteTile::kHeight);

  harness.store().updatePrefs([](AppPreferences& prefs) { prefs.showFavorites = false; });
  pump();
  EXPECT_FALSE(harness.sidebar().favoritesSlot().get_visible());
}

TEST_F(FavoritesGridTest, AClickOpensTheSiteAndMarksItsTile) {
  const Url site = *Url::parse(harness.server().url("/site"));
  setFavorites(
      {Favorite("Local", site), Favorite("Elsewhere", *Url::parse("https://example.org/"))});
  harness.addTab("");  // a blank tab: nothing is marked on the start page
  pump();
  auto tiles = grid().tiles();
  ASSERT_EQ(tiles.size(), 2u);
  EXPECT_FALSE(tiles[0]->isActive());

  click(*tiles[0]);
  ASSERT_TRUE(waitUntil([&] {
    auto tab = harness.space().selectedTab();
    return tab && tab->url.peek() && tab->url.peek()->host() == site.host();
  }));
  auto opened = harness.space().selectedTab();
  ASSERT_TRUE(WebHarness::waitForPage(*opened, "Favourite site"));
  pump();
  EXPECT_TRUE(grid().tiles()[0]->isActive());
  EXPECT_FALSE(grid().tiles()[1]->isActive());
  SidebarHarness::screenshot("sidebar-favourites");

  // A second click selects the open tab instead of opening another.
  const size_t tabCount = harness.space().tabs.peek().size();
  click(*grid().tiles()[0]);
  pump();
  EXPECT_EQ(harness.space().tabs.peek().size(), tabCount);

  // "Open in New Tab" always opens one; removal takes the tile away.
  grid().tiles()[0]->openInNewTab();
  pump();
  EXPECT_EQ(harness.space().tabs.peek().size(), tabCount + 1);
  grid().tiles()[1]->remove();
  ASSERT_TRUE(waitUntil([&] { return harness.store().favorites.peek().size() == 1; }));
  pump();
  EXPECT_EQ(grid().tiles().size(), 1u);
}

}  // namespace
}  // namespace zemblo
