#include "sidebar/favorites_grid.h"
#include "model/favorites_model.h"
#include "model/preferences_model.h"

#include <gtest/gtest.h>

#include "sidebar/sidebar_harness.h"
#include "support/drawn_nodes.h"
#include "web/web_harness.h"

namespace zemblo {
namespace {

using testing::pump;
using testing::SidebarHarness;
using testing::waitUntil;
using testing::WebHarness;

bool underPointer(Gtk::Widget& tile) {
  return (tile.get_state_flags() & Gtk::StateFlags::PRELIGHT) == Gtk::StateFlags::PRELIGHT;
}

// The fill a tile drew last, lighter under the pointer.
double fillOpacity(Gtk::Widget& tile) { return testing::fillOpacityDrawnBy(tile.gobj()); }

class FavoritesGridTest : public ::testing::Test {
 protected:
  FavoritesGridTest() {
    harness.server().page("/site", "<title>Favourite site</title><p>favourite</p>");
    harness.server().page("/other", "<title>Other</title><p>other</p>");
  }

  FavoritesGrid& grid() { return harness.favoritesGrid(); }

  void setFavorites(std::vector<Favorite> favorites) {
    harness.store().favorites().list.set(std::move(favorites));
    pump();
  }

  void click(Gtk::Widget& widget) { harness.click(widget); }

  SidebarHarness harness;
};

TEST_F(FavoritesGridTest, ShowsTilesInColumnsOnlyWhenThereAreFavouritesAndTheyAreWanted) {
  setFavorites({});
  EXPECT_FALSE(testing::widgetNamed(harness.sidebar(), "FavoritesSlot").get_visible());

  std::vector<Favorite> five;
  for (int i = 0; i < 5; ++i) {
    five.emplace_back("Site " + std::to_string(i), *Url::parse(harness.server().url("/site")));
  }
  setFavorites(five);
  ASSERT_TRUE(testing::widgetNamed(harness.sidebar(), "FavoritesSlot").get_visible());
  auto tiles = testing::favoriteTiles(grid());
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

  // A favourite changed in place gets a tile of its own; a screen reader still meets the tiles in
  // the order they are shown.
  five[0].title = "Renamed";
  setFavorites(five);
  EXPECT_EQ(testing::allNamed<FavoriteTile>(grid(), "FavoriteTile"),
            testing::favoriteTiles(grid()));

  harness.store().preferences().updatePrefs(
      [](AppPreferences& prefs) { prefs.favoriteColumns = 3; });
  pump();
  EXPECT_GT(harness.bounds(*testing::favoriteTiles(grid())[0]).width, first.width);
  EXPECT_EQ(harness.bounds(*testing::favoriteTiles(grid())[0]).height, FavoriteTile::kHeight);

  harness.store().preferences().updatePrefs(
      [](AppPreferences& prefs) { prefs.showFavorites = false; });
  pump();
  EXPECT_FALSE(testing::widgetNamed(harness.sidebar(), "FavoritesSlot").get_visible());
}

TEST_F(FavoritesGridTest, AClickOpensTheSiteAndMarksItsTile) {
  const Url site = *Url::parse(harness.server().url("/site"));
  setFavorites(
      {Favorite("Local", site), Favorite("Elsewhere", *Url::parse("https://example.org/"))});
  harness.addTab("");  // a blank tab: nothing is marked on the start page
  pump();
  auto tiles = testing::favoriteTiles(grid());
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
  EXPECT_TRUE(testing::favoriteTiles(grid())[0]->isActive());
  EXPECT_FALSE(testing::favoriteTiles(grid())[1]->isActive());
  SidebarHarness::screenshot("sidebar-favourites");

  // A second click selects the open tab instead of opening another.
  const size_t tabCount = harness.space().tabs.peek().size();
  click(*testing::favoriteTiles(grid())[0]);
  pump();
  EXPECT_EQ(harness.space().tabs.peek().size(), tabCount);

  // "Open in New Tab" always opens one; removal takes the tile away.
  testing::favoriteTiles(grid())[0]->activate_action("favorite.open-in-new-tab");
  pump();
  EXPECT_EQ(harness.space().tabs.peek().size(), tabCount + 1);
  testing::favoriteTiles(grid())[1]->activate_action("favorite.remove");
  ASSERT_TRUE(waitUntil([&] { return harness.store().favorites().list.peek().size() == 1; }));
  pump();
  EXPECT_EQ(testing::favoriteTiles(grid()).size(), 1u);
}

TEST_F(FavoritesGridTest, TheMenuOpensInANewTabOrRemovesAndTheOthersReflow) {
  std::vector<Favorite> favorites;
  for (int i = 0; i < 5; ++i) {
    favorites.emplace_back("Site " + std::to_string(i),
                           *Url::parse("https://site" + std::to_string(i) + ".example/"));
  }
  setFavorites(favorites);
  auto tiles = testing::favoriteTiles(grid());
  ASSERT_EQ(tiles.size(), 5u);
  const auto secondCell = harness.bounds(*tiles[1]);
  const auto fifthCell = harness.bounds(*tiles[4]);
  const int gridHeight = harness.bounds(grid()).height;
  EXPECT_EQ(gridHeight, 2 * FavoriteTile::kHeight + FavoritesGrid::kSpacing);

  // The menu is built in the language of the moment, open-in-new-tab above removal.
  tiles[1]->popupMenu(10, 10);
  pump();
  ASSERT_NE(testing::menuUnder(*tiles[1]), nullptr);
  const auto model = testing::menuUnder(*tiles[1])->get_menu_model();
  ASSERT_EQ(model->get_n_items(), 2);
  std::vector<std::string> labels;
  for (int section = 0; section < 2; ++section) {
    const auto items = model->get_item_link(section, Gio::MenuModel::Link::SECTION);
    Glib::VariantBase label;
    label = items->get_item_attribute(0, Gio::MenuModel::Attribute::LABEL, Glib::VariantType("s"));
    labels.push_back(Glib::VariantBase::cast_dynamic<Glib::Variant<Glib::ustring>>(label).get());
  }
  EXPECT_EQ(labels, (std::vector<std::string>{"Yeni Sekmede Aç", "Favorilerden Kaldır"}));
  testing::menuUnder(*tiles[1])->popdown();

  const size_t tabCount = harness.space().tabs.peek().size();
  tiles[1]->activate_action("favorite.open-in-new-tab");
  pump();
  ASSERT_EQ(harness.space().tabs.peek().size(), tabCount + 1);
  EXPECT_EQ(harness.space().selectedTab()->url.peek(), favorites[1].url);

  // Removal: the third tile takes the second's cell, the fifth moves up to end the first row.
  const FavoriteTile* third = tiles[2];
  tiles[1]->activate_action("favorite.remove");
  ASSERT_TRUE(waitUntil([&] { return testing::favoriteTiles(grid()).size() == 4; }));
  pump();
  EXPECT_EQ(harness.store().favorites().list.peek().size(), 4u);
  EXPECT_EQ(testing::favoriteTiles(grid())[1], third);  // kept, not rebuilt
  EXPECT_EQ(harness.bounds(*testing::favoriteTiles(grid())[1]).x, secondCell.x);
  EXPECT_EQ(harness.bounds(*testing::favoriteTiles(grid())[3]).y, secondCell.y);
  EXPECT_LT(harness.bounds(*testing::favoriteTiles(grid())[3]).y, fifthCell.y);
  EXPECT_EQ(harness.bounds(grid()).height, FavoriteTile::kHeight);

  // Removing the rest hides the grid.
  while (!testing::favoriteTiles(grid()).empty()) {
    testing::favoriteTiles(grid())[0]->activate_action("favorite.remove");
    pump();
  }
  EXPECT_FALSE(testing::widgetNamed(harness.sidebar(), "FavoritesSlot").get_visible());
}

TEST_F(FavoritesGridTest, HoverRaisesAndLightensOnlyWhileThePointerIsOver) {
  setFavorites({Favorite("One", *Url::parse("https://one.example/")),
                Favorite("Two", *Url::parse("https://two.example/"))});
  auto tiles = testing::favoriteTiles(grid());
  ASSERT_EQ(tiles.size(), 2u);
  // Done before the next move starts: two xdotool runs at once may interleave their moves.
  harness.inputAndWait("mousemove --window %1 900 500");
  const auto frame = harness.bounds(*tiles[0]);
  harness.input("mousemove --window %1 " + std::to_string(int(frame.x + frame.width / 2)) + " " +
                std::to_string(int(frame.y + frame.height / 2)));
  ASSERT_TRUE(waitUntil([&] { return underPointer(*tiles[0]); }));
  pump();
  const double resting = fillOpacity(*tiles[1]);
  EXPECT_GT(fillOpacity(*tiles[0]), resting);
  EXPECT_FALSE(underPointer(*tiles[1]));
  harness.input("mousemove --window %1 900 500");
  ASSERT_TRUE(waitUntil([&] { return !underPointer(*tiles[0]); }));
  pump();
  EXPECT_DOUBLE_EQ(fillOpacity(*tiles[0]), resting);
}

TEST_F(FavoritesGridTest, WithAnimationsTheRemovedTileFadesAndIsThenDropped) {
  setFavorites({Favorite("One", *Url::parse("https://one.example/")),
                Favorite("Two", *Url::parse("https://two.example/")),
                Favorite("Three", *Url::parse("https://three.example/"))});
  auto children = [&] {
    int count = 0;
    for (auto* child = grid().get_first_child(); child; child = child->get_next_sibling()) ++count;
    return count;
  };
  ASSERT_EQ(children(), 3);
  testing::AnimationsOn animations;
  const FavoriteTile* third = testing::favoriteTiles(grid())[2];
  const int thirdX = harness.bounds(*testing::favoriteTiles(grid())[2]).x;

  testing::favoriteTiles(grid())[1]->activate_action("favorite.remove");
  ASSERT_TRUE(waitUntil([&] { return testing::favoriteTiles(grid()).size() == 2; }));
  EXPECT_EQ(children(), 3);  // still fading out, and no longer takes clicks
  EXPECT_EQ(testing::favoriteTiles(grid())[1], third);
  // The third tile slides into the freed cell and the faded one leaves the grid.
  ASSERT_TRUE(waitUntil([&] { return children() == 2; }, std::chrono::seconds(3)));
  ASSERT_TRUE(
      waitUntil([&] { return harness.bounds(*testing::favoriteTiles(grid())[1]).x < thirdX; }));
}

}  // namespace
}  // namespace zemblo
