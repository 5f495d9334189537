#include "window/start_page.h"

#include <gtest/gtest.h>

#include "model/localization.h"
#include "support/interface_language.h"

namespace zemblo {
namespace {

using Language = testing::InterfaceLanguage;

TEST(StartPageRules, TileColumnsFitBetweenTheMinimumWidthAndTheSpacing) {
  EXPECT_EQ(startTileColumns(520), 5);  // the grid's widest
  EXPECT_EQ(startTileColumns(84), 1);
  EXPECT_EQ(startTileColumns(181), 1);
  EXPECT_EQ(startTileColumns(182), 2);
  EXPECT_EQ(startTileColumns(10), 1);  // never fewer than one
}

TEST(StartPageRules, PlaceholderNamesTheEngine) {
  {
    Language english(true);
    EXPECT_EQ(startPagePlaceholder("Bing"), "Search with Bing or enter an address");
  }
  Language turkish(false);
  EXPECT_EQ(startPagePlaceholder("Ecosia"), "Ecosia ile ara veya adres gir");
}

}  // namespace
}  // namespace zemblo
