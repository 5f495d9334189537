#include <gtest/gtest.h>

#include <adwaita.h>

#include "model/preferences_model.h"
#include "settings/pane_harness.h"
#include "settings/panes/appearance_pane.h"
#include "settings/panes/colors_pane.h"
#include "support/find_pane_controls.h"
#include "support/find_window.h"
#include "support/hsb_of.h"
#include "window/window_harness.h"

namespace zemblo {
namespace {

using testing::badge;
using testing::cardTitles;
using testing::click;
using testing::drag;
using testing::flip;
using testing::hasSection;
using testing::named;
using testing::PrefsWrites;
using testing::pressed;
using testing::pump;
using testing::row;
using testing::segment;
using testing::SettingsHarness;
using testing::slider;
using testing::switchNamed;

Gtk::Widget& excludedSites(Gtk::Widget& pane) {
  return testing::byWidgetName(pane, "ExcludedSitesList");
}

std::vector<std::string> excludedHosts(Gtk::Widget& pane) {
  return testing::labelTexts(excludedSites(pane), "settings-row-title");
}

TEST(AppearancePaneTest, ControlsWriteTheirPreferencesAndTheDarkModeBlockFollowsTheMode) {
  SettingsHarness harness;
  BrowserStore& store = harness.store();
  store.preferences().updatePrefs([](AppPreferences& prefs) {
    prefs.darkDisabledHosts = {"b.example", "A.example", "b.example"};
  });
  auto& pane = testing::showPane<AppearancePane>(harness, SettingsPane::appearance);
  // Off: the cards alone, whatever the list holds.
  EXPECT_FALSE(row(pane, "Parlaklık").get_visible());
  EXPECT_FALSE(row(pane, "Kontrast").get_visible());
  EXPECT_FALSE(excludedSites(pane).get_visible());
  EXPECT_EQ(cardTitles(pane, "Serif"),
            (std::vector<std::string>{"Standart", "Yuvarlak", "Serif", "Mono"}));

  PrefsWrites writes(store);
  click(named(pane, "Koyu"));
  click(named(pane, "Her zaman"));
  drag(slider(pane, "Parlaklık"), 1.234);
  drag(slider(pane, "Kontrast"), 0.6);
  click(named(pane, "Mono"));
  flip(switchNamed(pane, "Hareketi azalt"));
  // The chosen theme again writes nothing.
  click(named(pane, "Koyu"));
  EXPECT_EQ(writes.fields(),
            (std::vector<std::string>{"theme", "pageDarkMode", "darkBrightness", "darkContrast",
                                      "interfaceFont", "reduceMotion"}));
  const AppPreferences& prefs = store.preferences().prefs();
  EXPECT_EQ(prefs.theme, ThemeMode::dark);
  EXPECT_EQ(prefs.pageDarkMode, PageDarkMode::always);
  EXPECT_NEAR(prefs.darkBrightness, 1.25, 1e-12);
  EXPECT_EQ(badge(pane, "Parlaklık"), "%125");
  EXPECT_EQ(prefs.darkContrast, 0.6);
  EXPECT_EQ(prefs.interfaceFont, InterfaceFont::mono);
  EXPECT_TRUE(prefs.reduceMotion);
  EXPECT_EQ(testing::savedPrefs(harness), store.preferences().prefs());

  // Darkening: the sliders and the sites, in character-code order, the stored order untouched.
  EXPECT_TRUE(row(pane, "Parlaklık").get_visible());
  ASSERT_TRUE(excludedSites(pane).get_visible());
  EXPECT_EQ(excludedHosts(pane), (std::vector<std::string>{"A.example", "b.example"}));
  SettingsHarness::shot(testing::shownPane(harness.view()), "pane-appearance-tr");
  click(named(pane, "b.example sitesini kaldır"));
  EXPECT_EQ(store.preferences().prefs().darkDisabledHosts, std::vector<std::string>{"A.example"});
  EXPECT_EQ(testing::savedPrefs(harness).darkDisabledHosts, std::vector<std::string>{"A.example"});
  click(named(pane, "A.example sitesini kaldır"));
  EXPECT_FALSE(excludedSites(pane).get_visible());
  EXPECT_TRUE(row(pane, "Kontrast").get_visible());

  harness.setLanguage(AppLanguage::english);
  auto& english = testing::showPane<AppearancePane>(harness, SettingsPane::appearance);
  EXPECT_EQ(cardTitles(english, "Serif"),
            (std::vector<std::string>{"Standard", "Rounded", "Serif", "Mono"}));
  EXPECT_EQ(badge(english, "Brightness"), "125%");
}

// What each action writes is the model's (color_settings); here, that the controls reach it and
// the pane and the window follow.
TEST(ColorsPaneTest, ColourActionsReachThePreferencesAndTheWindowTakesThemOn) {
  SettingsHarness harness;
  BrowserStore& store = harness.store();
  auto& pane = testing::showPane<ColorsPane>(harness, SettingsPane::colors);
  EXPECT_FALSE(hasSection(pane, "Tema rengi"));
  EXPECT_TRUE(row(pane, "Yön").get_visible());
  EXPECT_EQ(badge(pane, "Doku"), "Kapalı");

  // No tint: the strength is out of reach and the direction gone.
  click(segment(pane, "Stil", "Renksiz"));
  EXPECT_EQ(store.preferences().prefs().sidebarTint, SidebarTint::none);
  EXPECT_FALSE(row(pane, "Renk yoğunluğu").get_sensitive());
  EXPECT_NEAR(row(pane, "Renk yoğunluğu").get_opacity(), 0.45, 0.01);
  EXPECT_FALSE(row(pane, "Yön").get_visible());

  click(named(pane, "Yeşil"));
  const std::string green = "#34C759";
  EXPECT_EQ(store.preferences().prefs().customColorA, green);
  EXPECT_EQ(store.preferences().prefs().sidebarTint, SidebarTint::gradient);
  EXPECT_TRUE(hasSection(pane, "Tema rengi"));
  EXPECT_TRUE(pressed(named(pane, "Yeşil")));
  EXPECT_TRUE(row(pane, "Renk yoğunluğu").get_sensitive());
  // The browser window is tinted with the new pair at once: from green at the top left to the
  // second colour at the bottom right.
  Gtk::Widget& background = testing::widgetNamed(harness.window(), "SpaceBackground");
  const auto hueAt = [&](double left, double top) {
    return testing::hsbOf(testing::meanDrawnColor(background, left, top, left + 0.05, top + 0.05))
        .hue;
  };
  const auto hueOf = [](const std::string& hex) { return testing::hsbOf(Color::fromHex(hex)).hue; };
  EXPECT_NEAR(hueAt(0, 0), hueOf(green), 0.03);
  EXPECT_NEAR(hueAt(0.95, 0.95), hueOf(store.preferences().prefs().customColorB), 0.03);

  Gtk::Button& forest = named(pane, "Orman");
  click(forest);
  EXPECT_EQ(store.preferences().prefs().customColorA, "#1FA67A");
  EXPECT_EQ(store.preferences().prefs().customColorB, "#A8E063");
  EXPECT_TRUE(pressed(forest));
  EXPECT_FALSE(pressed(named(pane, "Yeşil")));
  EXPECT_EQ(forest.get_tooltip_text(), "Orman");
  SettingsHarness::shot(testing::shownPane(harness.view()), "pane-colors-tr");

  click(named(pane, "Uyumlu renk"));
  EXPECT_EQ(store.preferences().prefs().customColorB,
            Color::fromHex("#1FA67A").hsbAdjusted().hexString());
  click(named(pane, "Karıştır"));
  EXPECT_NE(store.preferences().prefs().customColorA, "#1FA67A");

  click(named(pane, "Ters çapraz"));
  click(segment(pane, "Malzeme", "Opak"));
  drag(slider(pane, "Doku"), 0.004);
  EXPECT_EQ(store.preferences().prefs().gradientDirection, GradientDirection::diagonalUp);
  EXPECT_TRUE(pressed(named(pane, "Ters çapraz")));
  EXPECT_FALSE(testing::widgetNamed(testing::widgetNamed(harness.window(), "SpaceBackground"),
                                    "VisualEffectView")
                   .get_visible());
  EXPECT_EQ(badge(pane, "Doku"), "%0");

  store.preferences().updatePrefs([](AppPreferences& prefs) {
    prefs.colorStrength = 0.8;
    prefs.grain = 0.5;
    prefs.sidebarTint = SidebarTint::solid;
    prefs.sidebarTextStyle = SidebarTextStyle::darkText;
    prefs.selectedTabStyle = SelectedTabStyle::tinted;
  });
  pump();
  click(named(pane, "Renkleri sıfırla"));
  EXPECT_EQ(store.preferences().prefs().colorStrength, AppPreferences{}.colorStrength);
  EXPECT_EQ(testing::savedPrefs(harness), store.preferences().prefs());
  EXPECT_FALSE(hasSection(pane, "Tema rengi"));
  EXPECT_TRUE(pressed(named(pane, "Çapraz")));
  EXPECT_TRUE(testing::widgetNamed(testing::widgetNamed(harness.window(), "SpaceBackground"),
                                   "VisualEffectView")
                  .get_visible());
  AdwStyleManager* style = adw_style_manager_get_default();
  adw_style_manager_set_color_scheme(style, ADW_COLOR_SCHEME_FORCE_DARK);
  click(named(pane, "Lavanta"));
  testing::shownScroller(harness.view()).get_vadjustment()->set_value(380);
  SettingsHarness::shot(*harness.view().get_child(), "pane-colors-dark");
  adw_style_manager_set_color_scheme(style, ADW_COLOR_SCHEME_DEFAULT);
}

}  // namespace
}  // namespace zemblo
