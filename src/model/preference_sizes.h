#pragma once

#include "model/app_preferences.h"

// Preference values used as sizes or strengths, brought into sane ranges where they are read. A
// hand-edited or damaged settings file must not give a negative card or a sidebar wider than the
// screen; the stored value itself is left as it is.
namespace zemblo::sizes {

inline constexpr double kSidebarWidthMin = 200;
inline constexpr double kSidebarWidthMax = 400;
inline constexpr double kInsetMax = 48;
inline constexpr double kCornerRadiusMax = 48;

double sidebarWidth(const AppPreferences& prefs);                     // 200…400
double contentInset(const AppPreferences& prefs);                     // 0…48
double cornerRadius(const AppPreferences& prefs);                     // 0…48
double grain(const AppPreferences& prefs);                            // 0…1
double tintOpacity(const AppPreferences& prefs, ColorScheme scheme);  // 0…1

}  // namespace zemblo::sizes
