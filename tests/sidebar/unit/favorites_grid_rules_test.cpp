#include <gtest/gtest.h>

#include "sidebar/favorites_grid.h"

namespace zemblo {
namespace {

Favorite favorite(const char* address) { return Favorite("Site", *Url::parse(address)); }

TEST(FavoritesGridRules, TilesFillRowsOfTheConfiguredColumnCount) {
  EXPECT_EQ(favoriteGridColumns(4), 4);
  EXPECT_EQ(favoriteGridColumns(3), 3);
  // Values the settings never produce still give a usable grid.
  EXPECT_EQ(favoriteGridColumns(0), 1);
  EXPECT_EQ(favoriteGridColumns(-3), 1);

  // Five favourites in four columns: four tiles, then one on the second row.
  EXPECT_EQ(favoriteGridCell(0, 4), (FavoriteGridCell{0, 0}));
  EXPECT_EQ(favoriteGridCell(3, 4), (FavoriteGridCell{0, 3}));
  EXPECT_EQ(favoriteGridCell(4, 4), (FavoriteGridCell{1, 0}));
  EXPECT_EQ(favoriteGridCell(4, 3), (FavoriteGridCell{1, 1}));
  EXPECT_EQ(favoriteGridCell(2, 0), (FavoriteGridCell{2, 0}));
}

TEST(FavoritesGridRules, ATileIsMarkedOnlyForExactlyTheSelectedHost) {
  const std::optional<std::string> host = "example.org";
  EXPECT_TRUE(isFavoriteActive(favorite("https://example.org/"), host));
  // Path, scheme and port do not matter; the host alone decides.
  EXPECT_TRUE(isFavoriteActive(favorite("http://example.org:8080/a?b"), host));
  // Hosts are compared as they are: no dropping of "www.", no other subdomains.
  EXPECT_FALSE(isFavoriteActive(favorite("https://www.example.org/"), host));
  EXPECT_FALSE(isFavoriteActive(favorite("https://mail.example.org/"), host));
  EXPECT_FALSE(isFavoriteActive(favorite("https://example.org.evil/"), host));
  // No selected host (start page), or a favourite without one: never marked.
  EXPECT_FALSE(isFavoriteActive(favorite("https://example.org/"), std::nullopt));
  EXPECT_FALSE(isFavoriteActive(favorite("about:blank"), host));
  EXPECT_FALSE(isFavoriteActive(favorite("about:blank"), std::nullopt));
}

}  // namespace
}  // namespace zemblo
