#include <gtest/gtest.h>

#include <adwaita.h>

#include "model/preferences_model.h"
#include "settings/pane_harness.h"
#include "settings/panes/appearance_pane.h"
#include "settings/panes/colors_pane.h"
#include "support/find_window.h"
#include "window/space_background.h"

namespace zemblo {
namespace {

using testing::click;
using testing::drag;
using testing::flip;
using testing::PrefsWrites;
using testing::pump;
using testing::SettingsHarness;

std::vector<std::string> cardTitles(ChoiceCardRow& row) {
  std::vector<std::string> titles;
  for (size_t i = 0; i < row.size(); ++i) titles.push_back(row.card(i).title().get_text());
  return titles;
}

TEST(AppearancePaneTest, ControlsWriteTheirPreferencesAndTheDarkModeBlockFollowsTheMode) {
  SettingsHarness harness;
  BrowserStore& store = harness.store();
  store.preferences().updatePrefs([](AppPreferences& prefs) {
    prefs.darkDisabledHosts = {"b.example", "A.example", "b.example"};
  });
  auto& pane = testing::showPane<AppearancePane>(harness, SettingsPane::appearance);
  // Off: the cards alone, whatever the list holds.
  EXPECT_FALSE(pane.brightnessRow().get_visible());
  EXPECT_FALSE(pane.contrastRow().get_visible());
  EXPECT_FALSE(pane.excludedSites().get_visible());
  EXPECT_EQ(cardTitles(pane.fontCards()),
            (std::vector<std::string>{"Standart", "Yuvarlak", "Serif", "Mono"}));

  PrefsWrites writes(store);
  click(pane.themeCards().card(2));
  click(pane.pageDarkCards().card(2));
  drag(pane.brightnessRow(), 1.234);
  drag(pane.contrastRow(), 0.6);
  click(pane.fontCards().card(3));
  flip(pane.reduceMotionRow().control());
  // The chosen theme again writes nothing.
  click(pane.themeCards().card(2));
  EXPECT_EQ(writes.fields(),
            (std::vector<std::string>{"theme", "pageDarkMode", "darkBrightness", "darkContrast",
                                      "interfaceFont", "reduceMotion"}));
  const AppPreferences& prefs = store.preferences().prefs();
  EXPECT_EQ(prefs.theme, ThemeMode::dark);
  EXPECT_EQ(prefs.pageDarkMode, PageDarkMode::always);
  EXPECT_NEAR(prefs.darkBrightness, 1.25, 1e-12);
  EXPECT_EQ(pane.brightnessRow().badge().get_text(), "%125");
  EXPECT_EQ(prefs.darkContrast, 0.6);
  EXPECT_EQ(prefs.interfaceFont, InterfaceFont::mono);
  EXPECT_TRUE(prefs.reduceMotion);
  EXPECT_EQ(testing::savedPrefs(store), store.preferences().prefs());

  // Darkening: the sliders and the sites, in character-code order, the stored order untouched.
  EXPECT_TRUE(pane.brightnessRow().get_visible());
  ASSERT_TRUE(pane.excludedSites().get_visible());
  EXPECT_EQ(pane.excludedSites().hosts(), (std::vector<std::string>{"A.example", "b.example"}));
  SettingsHarness::shot(harness.view().shownPane(), "pane-appearance-tr");
  click(pane.excludedSites().removeButton(1));
  EXPECT_EQ(store.preferences().prefs().darkDisabledHosts, std::vector<std::string>{"A.example"});
  EXPECT_EQ(testing::savedPrefs(store).darkDisabledHosts, std::vector<std::string>{"A.example"});
  click(pane.excludedSites().removeButton(0));
  EXPECT_FALSE(pane.excludedSites().get_visible());
  EXPECT_TRUE(pane.contrastRow().get_visible());

  harness.setLanguage(AppLanguage::english);
  auto& english = testing::showPane<AppearancePane>(harness, SettingsPane::appearance);
  EXPECT_EQ(cardTitles(english.fontCards()),
            (std::vector<std::string>{"Standard", "Rounded", "Serif", "Mono"}));
  EXPECT_EQ(english.brightnessRow().badge().get_text(), "125%");
}

// What each action writes is the model's (color_settings); here, that the controls reach it and
// the pane and the window follow.
TEST(ColorsPaneTest, ColourActionsReachThePreferencesAndTheWindowTakesThemOn) {
  SettingsHarness harness;
  BrowserStore& store = harness.store();
  auto& pane = testing::showPane<ColorsPane>(harness, SettingsPane::colors);
  EXPECT_FALSE(pane.themeSection().get_visible());
  EXPECT_TRUE(pane.directionRow().get_visible());
  EXPECT_EQ(pane.grainRow().badge().get_text(), "Kapalı");

  // No tint: the strength is out of reach and the direction gone.
  click(pane.tintRow().control().segment(2));
  EXPECT_EQ(store.preferences().prefs().sidebarTint, SidebarTint::none);
  EXPECT_FALSE(pane.strengthRow().get_sensitive());
  EXPECT_NEAR(pane.strengthRow().get_opacity(), 0.45, 0.01);
  EXPECT_FALSE(pane.directionRow().get_visible());

  click(pane.swatch(3));
  const std::string green = "#34C759";
  EXPECT_EQ(store.preferences().prefs().customColorA, green);
  EXPECT_EQ(store.preferences().prefs().sidebarTint, SidebarTint::gradient);
  EXPECT_TRUE(pane.themeSection().get_visible());
  EXPECT_TRUE(pane.swatch(3).selected());
  EXPECT_TRUE(pane.strengthRow().get_sensitive());
  // The browser window is tinted with the new pair at once.
  const SpaceBackground::Tint& tint =
      testing::viewNamed<SpaceBackground>(harness.window(), "SpaceBackground").tint();
  EXPECT_EQ(tint.kind, SidebarTint::gradient);
  EXPECT_EQ(tint.palette.primary, Color::fromHex(green));

  click(pane.preset(3));  // "Orman"
  EXPECT_EQ(store.preferences().prefs().customColorA, "#1FA67A");
  EXPECT_EQ(store.preferences().prefs().customColorB, "#A8E063");
  EXPECT_TRUE(pane.preset(3).selected());
  EXPECT_FALSE(pane.swatch(3).selected());
  EXPECT_EQ(pane.preset(3).get_tooltip_text(), "Orman");
  SettingsHarness::shot(harness.view().shownPane(), "pane-colors-tr");

  click(pane.harmonizeButton());
  EXPECT_EQ(store.preferences().prefs().customColorB,
            Color::fromHex("#1FA67A").hsbAdjusted().hexString());
  click(pane.shuffleButton());
  EXPECT_NE(store.preferences().prefs().customColorA, "#1FA67A");

  click(pane.directionButton(3));
  click(pane.materialRow().control().segment(1));
  drag(pane.grainRow(), 0.004);
  EXPECT_EQ(store.preferences().prefs().gradientDirection, GradientDirection::diagonalUp);
  EXPECT_TRUE(pane.directionButton(3).selected());
  EXPECT_FALSE(testing::viewNamed(testing::viewNamed(harness.window(), "SpaceBackground"),
                                  "VisualEffectView")
                   .get_visible());
  EXPECT_EQ(pane.grainRow().badge().get_text(), "%0");

  store.preferences().updatePrefs([](AppPreferences& prefs) {
    prefs.colorStrength = 0.8;
    prefs.grain = 0.5;
    prefs.sidebarTint = SidebarTint::solid;
    prefs.sidebarTextStyle = SidebarTextStyle::darkText;
    prefs.selectedTabStyle = SelectedTabStyle::tinted;
  });
  pump();
  click(pane.resetButton());
  EXPECT_EQ(store.preferences().prefs().colorStrength, AppPreferences{}.colorStrength);
  EXPECT_EQ(testing::savedPrefs(store), store.preferences().prefs());
  EXPECT_FALSE(pane.themeSection().get_visible());
  EXPECT_TRUE(pane.directionButton(0).selected());
  EXPECT_TRUE(testing::viewNamed(testing::viewNamed(harness.window(), "SpaceBackground"),
                                 "VisualEffectView")
                  .get_visible());
  AdwStyleManager* style = adw_style_manager_get_default();
  adw_style_manager_set_color_scheme(style, ADW_COLOR_SCHEME_FORCE_DARK);
  click(pane.preset(0));
  harness.view().shownScroller().get_vadjustment()->set_value(380);
  SettingsHarness::shot(*harness.view().get_child(), "pane-colors-dark");
  adw_style_manager_set_color_scheme(style, ADW_COLOR_SCHEME_DEFAULT);
}

}  // namespace
}  // namespace zemblo
