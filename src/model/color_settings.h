#pragma once

#include <string>

#include "model/app_preferences.h"
#include "model/color.h"

// What the colour settings' actions write. Each changes one preference per write, in the order
// given, so that every step is saved and shown on its own.
namespace zemblo {

class PreferencesModel;

namespace color_settings {

// Makes `a` and `b` the single theme: colour A, colour B, the source, and a tint that shows them
// when there was none.
void applyTheme(PreferencesModel& preferences, const Color& a, const Color& b);
// The swatch's colour with its companion; colour A keeps the swatch's own text.
void pickSwatch(PreferencesModel& preferences, const std::string& swatch);
// Both colours of the preset; the source and the tint stay as they are.
void pickPreset(PreferencesModel& preferences, const SpacePreset& preset);
// Colour B becomes the companion of colour A.
void harmonize(PreferencesModel& preferences);
// A random pleasant colour with its companion as the theme.
void shuffle(PreferencesModel& preferences, const Color& random = Color::randomPleasant());
// The ten colour settings back to their defaults.
void resetColors(PreferencesModel& preferences);

}  // namespace color_settings
}  // namespace zemblo
