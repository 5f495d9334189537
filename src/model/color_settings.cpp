#include "model/color_settings.h"

#include "model/preferences_model.h"

namespace zemblo::color_settings {

void applyTheme(PreferencesModel& preferences, const Color& a, const Color& b) {
  preferences.setPref(&AppPreferences::customColorA, a.hexString());
  preferences.setPref(&AppPreferences::customColorB, b.hexString());
  preferences.setPref(&AppPreferences::colorSource, ColorSource::custom);
  if (preferences.prefs().sidebarTint == SidebarTint::none) {
    preferences.setPref(&AppPreferences::sidebarTint, SidebarTint::gradient);
  }
}

void pickSwatch(PreferencesModel& preferences, const std::string& swatch) {
  const Color color = Color::fromHex(swatch);
  applyTheme(preferences, color, color.hsbAdjusted());
  preferences.setPref(&AppPreferences::customColorA, swatch);
}

void pickPreset(PreferencesModel& preferences, const SpacePreset& preset) {
  preferences.setPref(&AppPreferences::customColorA, preset.colorA);
  preferences.setPref(&AppPreferences::customColorB, preset.colorB);
}

void harmonize(PreferencesModel& preferences) {
  const Color a = Color::fromHex(preferences.prefs().customColorA);
  preferences.setPref(&AppPreferences::customColorB, a.hsbAdjusted().hexString());
}

void shuffle(PreferencesModel& preferences, const Color& random) {
  applyTheme(preferences, random, random.hsbAdjusted());
}

void resetColors(PreferencesModel& preferences) {
  const AppPreferences defaults;
  preferences.setPref(&AppPreferences::colorSource, defaults.colorSource);
  preferences.setPref(&AppPreferences::customColorA, defaults.customColorA);
  preferences.setPref(&AppPreferences::customColorB, defaults.customColorB);
  preferences.setPref(&AppPreferences::gradientDirection, defaults.gradientDirection);
  preferences.setPref(&AppPreferences::colorStrength, defaults.colorStrength);
  preferences.setPref(&AppPreferences::grain, defaults.grain);
  preferences.setPref(&AppPreferences::sidebarTint, defaults.sidebarTint);
  preferences.setPref(&AppPreferences::sidebarMaterial, defaults.sidebarMaterial);
  preferences.setPref(&AppPreferences::sidebarTextStyle, defaults.sidebarTextStyle);
  preferences.setPref(&AppPreferences::selectedTabStyle, defaults.selectedTabStyle);
}

}  // namespace zemblo::color_settings
