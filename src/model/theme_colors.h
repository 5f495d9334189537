#pragma once

#include <optional>
#include <string_view>

#include "model/app_preferences.h"
#include "model/color.h"

// The colours every window paints with, derived from the colour settings and the current space.
// Reading them through the models subscribes a running view to the inputs, so switching spaces or
// editing the theme recolours the views that use them.
namespace zemblo {

class PreferencesModel;
class WindowModel;

// A colour drawn at an opacity.
struct TranslucentColor {
  Color color;
  double opacity = 1;

  friend bool operator==(const TranslucentColor&, const TranslucentColor&) = default;
};

// The theme pair: the custom colours when the settings ask for them, else the given space's.
Palette themeColors(const AppPreferences& prefs, std::string_view spaceColorA,
                    std::string_view spaceColorB);
// The theme pair of the current space.
Palette themeColors(const PreferencesModel& preferences, const WindowModel& tabs);

// The scheme the sidebar's content is forced into so that its text stays readable on the tint;
// none when it follows `scheme`.
std::optional<ColorScheme> sidebarColorScheme(const AppPreferences& prefs, const Palette& palette,
                                              ColorScheme scheme);
std::optional<ColorScheme> sidebarColorScheme(const PreferencesModel& preferences,
                                              const WindowModel& tabs, ColorScheme scheme);

// What the window's background lays over its material.
struct BackgroundTint {
  SidebarTint kind = SidebarTint::none;
  Palette palette;
  double opacity = 0;

  friend bool operator==(const BackgroundTint&, const BackgroundTint&) = default;
};

// The background's tint in `palette`. Its strength follows the window's scheme, not the one
// forced on the sidebar's content: the tint lies under the whole window.
BackgroundTint backgroundTint(const AppPreferences& prefs, Palette palette,
                              ColorScheme windowScheme);

// The fill of a selected tab row or favourite tile.
TranslucentColor selectedTabFill(const AppPreferences& prefs, const Palette& palette,
                                 ColorScheme scheme);
TranslucentColor selectedTabFill(const PreferencesModel& preferences, const WindowModel& tabs,
                                 ColorScheme scheme);

// Mixes `fraction` (0…1) of `other` into `color` in the Oklab space, where equal steps look
// equally large; the result is clipped back into the sRGB gamut.
Color mixPerceptual(const Color& color, const Color& other, double fraction);

}  // namespace zemblo
