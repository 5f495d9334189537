#include "settings/settings_pane.h"

#include <gtest/gtest.h>

#include "model/localization.h"
#include "settings/brand_tile.h"
#include "settings/kit/slider_row.h"

namespace zemblo {
namespace {

TEST(SettingsPane, ListsEightPanesInOrderWithTheirTextsInBothLanguages) {
  const struct {
    const char* raw;
    const char* turkish;
    const char* english;
    const char* englishSubtitle;
  } expected[] = {
      {"general", "Genel", "General", "Language, search, startup and shortcuts"},
      {"appearance", "Görünüm", "Appearance", "Theme, font and motion"},
      {"colors", "Renkler", "Colors", "Your browser's color, intensity and texture"},
      {"sidebar", "Kenar Çubuğu", "Sidebar", "Position, color and tabs"},
      {"window", "Pencere", "Window", "Content card, loading bar and command bar"},
      {"startPage", "Başlangıç Sayfası", "Start Page", "Clock, greeting and background"},
      {"spaces", "Alanlar", "Spaces", "Each space's name, color and icon"},
      {"privacy", "Gizlilik ve Güvenlik", "Privacy & Security",
       "Ad blocker, passwords and site data"},
  };
  const auto panes = allCases<SettingsPane>();
  ASSERT_EQ(panes.size(), std::size(expected));
  const bool wasEnglish = L10n::isEnglish();
  for (size_t i = 0; i < panes.size(); ++i) {
    EXPECT_EQ(rawValue(panes[i]), expected[i].raw);
    EXPECT_EQ(fromRawValue<SettingsPane>(expected[i].raw), panes[i]);
    L10n::setEnglish(false);
    EXPECT_EQ(paneTitle(panes[i]), expected[i].turkish);
    EXPECT_NE(paneSubtitle(panes[i]), expected[i].englishSubtitle);
    L10n::setEnglish(true);
    EXPECT_EQ(paneTitle(panes[i]), expected[i].english);
    EXPECT_EQ(paneSubtitle(panes[i]), expected[i].englishSubtitle);
  }
  L10n::setEnglish(wasEnglish);
  EXPECT_EQ(fromRawValue<SettingsPane>("StartPage"), std::nullopt);
  EXPECT_EQ(fromRawValue<SettingsPane>(""), std::nullopt);
  EXPECT_EQ(paneTint(SettingsPane::sidebar), Color::fromHex("#0A84FF"));
}

TEST(BrandTile, InitialIsTheFirstCharacterUpperCasedOrTheProductsLetter) {
  EXPECT_EQ(BrandTile::initial(""), "Z");
  EXPECT_EQ(BrandTile::initial("ayşe"), "A");
  // The same in every locale: a Turkish dotless capital is not produced for "i".
  EXPECT_EQ(BrandTile::initial("irem"), "I");
  EXPECT_EQ(BrandTile::initial("çağla"), "Ç");
  // A letter written with a combining mark keeps its mark.
  EXPECT_EQ(BrandTile::initial("e\xCC\x81milie"), "E\xCC\x81");
  EXPECT_EQ(BrandTile::initial("\xFF\xFE"), "Z");
}

TEST(SliderRow, UserMovesSnapToTheStepGridFromTheLowerBoundWithinTheRange) {
  const SliderRow::Range width{200, 400, 4};
  EXPECT_EQ(SliderRow::snapped(231.7, width), 232);
  EXPECT_EQ(SliderRow::snapped(1000, width), 400);
  const SliderRow::Range speed{0, 2, 0.25};
  EXPECT_EQ(SliderRow::snapped(1.13, speed), 1.25);
  EXPECT_EQ(SliderRow::snapped(-1, speed), 0);
  const SliderRow::Range continuous{0, 1, std::nullopt};
  EXPECT_EQ(SliderRow::snapped(0.337, continuous), 0.337);
  // Exactly the number the grid's decimals write, not the sum of binary fractions near it.
  const SliderRow::Range zoom{0.5, 2.0, 0.1}, brightness{0.6, 1.3, 0.05};
  EXPECT_EQ(SliderRow::snapped(1.92, zoom), 1.9);
  EXPECT_EQ(SliderRow::snapped(0.71, zoom), 0.7);
  EXPECT_EQ(SliderRow::snapped(1.151, brightness), 1.15);
}

}  // namespace
}  // namespace zemblo
