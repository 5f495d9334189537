#include "model/theme_colors.h"

#include <gtest/gtest.h>

#include "model/browser_store.h"
#include "model/preferences_model.h"
#include "model/window_model.h"
#include "support/fake_scheduler.h"
#include "support/fake_web_view.h"
#include "support/temp_home.h"

namespace zemblo {
namespace {

constexpr Color kWhite{1, 1, 1};
constexpr Color kBlack{0, 0, 0};

Palette pair(Color primary, Color secondary) { return {primary, secondary, {}, "test"}; }

AppPreferences automaticAt(double strength, SidebarTint tint = SidebarTint::gradient) {
  AppPreferences prefs;
  prefs.sidebarTextStyle = SidebarTextStyle::automatic;
  prefs.sidebarTint = tint;
  prefs.colorStrength = strength;
  return prefs;
}

void expectNear(const Color& actual, const Color& expected, double tolerance = 1e-6) {
  EXPECT_NEAR(actual.r, expected.r, tolerance);
  EXPECT_NEAR(actual.g, expected.g, tolerance);
  EXPECT_NEAR(actual.b, expected.b, tolerance);
}

TEST(ThemeColorsTest, PaletteComesFromTheSpaceOrTheCustomPair) {
  AppPreferences prefs;
  prefs.gradientDirection = GradientDirection::diagonalUp;
  prefs.customColorA = "#112233";
  prefs.customColorB = "#445566";

  const Palette fromSpace = themeColors(prefs, "#7B61FF", "#FF6FB5");
  EXPECT_EQ(fromSpace.primary, Color::fromHex("#7B61FF"));
  EXPECT_EQ(fromSpace.secondary, Color::fromHex("#FF6FB5"));
  EXPECT_EQ(fromSpace.direction, GradientDirection::diagonalUp);
  EXPECT_EQ(fromSpace.key, "#7B61FF#FF6FB5");
  EXPECT_EQ(fromSpace.key.size(), 14u);

  prefs.colorSource = ColorSource::custom;
  const Palette custom = themeColors(prefs, "#7B61FF", "#FF6FB5");
  EXPECT_EQ(custom.primary, Color::fromHex("#112233"));
  EXPECT_EQ(custom.secondary, Color::fromHex("#445566"));
  EXPECT_EQ(custom.key, "#112233#445566");

  // Colour text is read leniently: the key keeps the text as written, unreadable text is black.
  const Palette odd = themeColors(AppPreferences{}, " 7b61ff", "purple");
  EXPECT_EQ(odd.primary, Color::fromHex("#7B61FF"));
  EXPECT_EQ(odd.secondary, kBlack);
  EXPECT_EQ(odd.key, " 7b61ffpurple");
}

TEST(ThemeColorsTest, ExplicitTextStylesWinOverEveryTint) {
  for (const SidebarTint tint : allCases<SidebarTint>()) {
    for (const double strength : {0.0, 0.33, 1.0}) {
      AppPreferences prefs = automaticAt(strength, tint);
      prefs.sidebarTextStyle = SidebarTextStyle::lightText;
      EXPECT_EQ(sidebarColorScheme(prefs, pair(kWhite, kWhite), ColorScheme::light),
                ColorScheme::dark);
      prefs.sidebarTextStyle = SidebarTextStyle::darkText;
      EXPECT_EQ(sidebarColorScheme(prefs, pair(kBlack, kBlack), ColorScheme::dark),
                ColorScheme::light);
    }
  }
}

TEST(ThemeColorsTest, AutomaticSchemeFollowsTheWindowBelowTheStrengthThreshold) {
  const Palette bright = pair(kWhite, kWhite);
  // The defaults (gradient tint at 0.33) leave the sidebar to the window.
  EXPECT_EQ(sidebarColorScheme(AppPreferences{}, bright, ColorScheme::light), std::nullopt);
  EXPECT_EQ(sidebarColorScheme(AppPreferences{}, bright, ColorScheme::dark), std::nullopt);
  // No tint means no strength at all.
  EXPECT_EQ(sidebarColorScheme(automaticAt(1.0, SidebarTint::none), bright, ColorScheme::light),
            std::nullopt);
  // 0.4 counts in the light scheme; the dark scheme tints at 0.9 of it, which falls short.
  EXPECT_NE(sidebarColorScheme(automaticAt(0.4), bright, ColorScheme::light), std::nullopt);
  EXPECT_EQ(sidebarColorScheme(automaticAt(0.4), bright, ColorScheme::dark), std::nullopt);
}

TEST(ThemeColorsTest, AutomaticSchemeWeighsTheTintAgainstTheWindowBase) {
  EXPECT_EQ(sidebarColorScheme(automaticAt(1.0), pair(kWhite, Color::fromHex("#EEEEEE")),
                               ColorScheme::dark),
            ColorScheme::light);
  EXPECT_EQ(sidebarColorScheme(automaticAt(1.0), pair(kBlack, Color::fromHex("#202020")),
                               ColorScheme::light),
            ColorScheme::dark);
  // Exactly half way counts as light: white and black average to a luminance of 0.5.
  EXPECT_EQ(sidebarColorScheme(automaticAt(1.0), pair(kWhite, kBlack), ColorScheme::light),
            ColorScheme::light);
  // A solid tint looks at the first colour only.
  EXPECT_EQ(sidebarColorScheme(automaticAt(1.0, SidebarTint::solid), pair(kBlack, kWhite),
                               ColorScheme::light),
            ColorScheme::dark);
  // With a partial tint the light window's base (0.93) carries a black tint over the line...
  EXPECT_EQ(sidebarColorScheme(automaticAt(0.45), pair(kBlack, kBlack), ColorScheme::light),
            ColorScheme::light);
  // ...while the dark window's base (0.12) pulls a white tint of 0.45 (× 0.9) under it.
  EXPECT_EQ(sidebarColorScheme(automaticAt(0.45), pair(kWhite, kWhite), ColorScheme::dark),
            ColorScheme::dark);
  EXPECT_EQ(sidebarColorScheme(automaticAt(0.9), pair(kWhite, kWhite), ColorScheme::dark),
            ColorScheme::light);
}

TEST(ThemeColorsTest, BackgroundTintTakesTheWindowsStrengthNotTheSidebars) {
  const Palette palette = pair(kWhite, kBlack);
  const AppPreferences solid = automaticAt(0.5, SidebarTint::solid);
  EXPECT_EQ(backgroundTint(solid, palette, ColorScheme::light),
            (BackgroundTint{SidebarTint::solid, palette, 0.5}));
  // Bright colours force the sidebar light; the dark window still weakens the tint.
  ASSERT_EQ(sidebarColorScheme(solid, palette, ColorScheme::dark), ColorScheme::light);
  EXPECT_DOUBLE_EQ(backgroundTint(solid, palette, ColorScheme::dark).opacity, 0.45);
  EXPECT_EQ(backgroundTint(automaticAt(0.5, SidebarTint::none), palette, ColorScheme::light),
            (BackgroundTint{SidebarTint::none, palette, 0}));
}

TEST(ThemeColorsTest, SelectedTabFillIsWhiteOrAPastelOfThePrimaryColour) {
  AppPreferences prefs;
  const Palette palette = pair(Color::fromHex("#5E5CE6"), kBlack);
  EXPECT_EQ(selectedTabFill(prefs, palette, ColorScheme::light), (TranslucentColor{kWhite, 0.82}));
  EXPECT_EQ(selectedTabFill(prefs, palette, ColorScheme::dark), (TranslucentColor{kWhite, 0.14}));

  prefs.selectedTabStyle = SelectedTabStyle::tinted;
  const TranslucentColor light = selectedTabFill(prefs, palette, ColorScheme::light);
  const TranslucentColor dark = selectedTabFill(prefs, palette, ColorScheme::dark);
  EXPECT_EQ(light.opacity, 0.85);
  EXPECT_EQ(dark.opacity, 0.85);
  expectNear(light.color, mixPerceptual(palette.primary, kWhite, 0.55));
  expectNear(dark.color, mixPerceptual(palette.primary, kWhite, 0.15));
  // More white in the light scheme: a pastel, still bluish.
  EXPECT_GT(light.color.luminance(), dark.color.luminance());
  EXPECT_GT(dark.color.luminance(), palette.primary.luminance());
  EXPECT_GT(light.color.b, light.color.r);
}

TEST(ThemeColorsTest, PerceptualMixMovesEvenlyInLightness) {
  const Color red{1, 0, 0};
  expectNear(mixPerceptual(red, kWhite, 0), red, 1e-4);
  expectNear(mixPerceptual(red, kWhite, 1), kWhite, 1e-4);
  // Half way from black to white in Oklab is lightness 0.5: linear light 0.125, sRGB about 0.389,
  // darker than a plain average of the components (0.5).
  const Color grey = mixPerceptual(kBlack, kWhite, 0.5);
  EXPECT_NEAR(grey.r, 0.3885, 1e-3);
  EXPECT_NEAR(grey.g, grey.r, 1e-4);
  EXPECT_NEAR(grey.b, grey.r, 1e-4);
  // Out-of-range fractions stay at the ends; results stay inside the gamut.
  expectNear(mixPerceptual(red, kWhite, 2), kWhite, 1e-4);
  const Color mixed = mixPerceptual(Color{0, 0, 1}, Color{1, 1, 0}, 0.5);
  for (const double component : {mixed.r, mixed.g, mixed.b}) {
    EXPECT_GE(component, 0);
    EXPECT_LE(component, 1);
  }
}

class StoreThemeColorsTest : public ::testing::Test {
 protected:
  std::shared_ptr<BrowserStore> start() {
    BrowserStoreEnvironment environment;
    environment.defaults = &defaults;
    environment.scheduler = &scheduler;
    return BrowserStore::create(std::make_shared<testing::FakeEngine>(), std::move(environment));
  }

  testing::TempHome home;
  UserDefaults defaults{home.root() / "config" / "user-defaults.json"};
  testing::FakeScheduler scheduler;
};

TEST_F(StoreThemeColorsTest, SwitchingSpacesRecoloursOnlyWithSpaceColours) {
  auto store = start();
  auto first = store->tabs().currentSpace();
  auto second = store->tabs().addSpace();
  first->colorA.set("#7B61FF");
  first->colorB.set("#FF6FB5");
  second->colorA.set("#00AA00");
  second->colorB.set("#0000AA");

  int syncs = 0;
  Palette seen;
  Observer view(
      [&] {
        seen = themeColors(store->preferences(), store->tabs());
        ++syncs;
      },
      scheduler);
  EXPECT_EQ(seen.key, "#7B61FF#FF6FB5");

  store->tabs().select(*second);
  scheduler.runPending();
  EXPECT_EQ(seen.primary, Color::fromHex("#00AA00"));
  EXPECT_EQ(seen.key, "#00AA00#0000AA");

  store->preferences().updatePrefs(
      [](AppPreferences& prefs) { prefs.colorSource = ColorSource::custom; });
  scheduler.runPending();
  EXPECT_EQ(seen.key,
            store->preferences().prefs().customColorA + store->preferences().prefs().customColorB);
  const int before = syncs;
  store->tabs().select(*first);
  second->colorA.set("#123456");
  scheduler.runPending();
  EXPECT_EQ(seen.key,
            store->preferences().prefs().customColorA + store->preferences().prefs().customColorB);
  // With custom colours the space's colours are not even read.
  EXPECT_EQ(syncs, before);

  EXPECT_EQ(selectedTabFill(store->preferences(), store->tabs(), ColorScheme::dark),
            (TranslucentColor{kWhite, 0.14}));
  EXPECT_EQ(sidebarColorScheme(store->preferences(), store->tabs(), ColorScheme::light),
            std::nullopt);
}

}  // namespace
}  // namespace zemblo
