#include "model/theme_colors.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "model/preference_sizes.h"
#include "model/preferences_model.h"
#include "model/window_model.h"

namespace zemblo {
namespace {

using Triple = std::array<double, 3>;

double toLinear(double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); }

double fromLinear(double c) {
  c = std::clamp(c, 0.0, 1.0);
  return c <= 0.0031308 ? c * 12.92 : 1.055 * std::pow(c, 1 / 2.4) - 0.055;
}

Triple toOklab(const Color& color) {
  const double r = toLinear(color.r), g = toLinear(color.g), b = toLinear(color.b);
  const double l = std::cbrt(0.4122214708 * r + 0.5363325363 * g + 0.0514459929 * b);
  const double m = std::cbrt(0.2119034982 * r + 0.6806995451 * g + 0.1073969566 * b);
  const double s = std::cbrt(0.0883024619 * r + 0.2817188376 * g + 0.6299787005 * b);
  return {0.2104542553 * l + 0.7936177850 * m - 0.0040720468 * s,
          1.9779984951 * l - 2.4285922050 * m + 0.4505937099 * s,
          0.0259040371 * l + 0.7827717662 * m - 0.8086757660 * s};
}

Color fromOklab(const Triple& lab) {
  const double l = std::pow(lab[0] + 0.3963377774 * lab[1] + 0.2158037573 * lab[2], 3);
  const double m = std::pow(lab[0] - 0.1055613458 * lab[1] - 0.0638541728 * lab[2], 3);
  const double s = std::pow(lab[0] - 0.0894841775 * lab[1] - 1.2914855480 * lab[2], 3);
  return {fromLinear(4.0767416621 * l - 3.3077115913 * m + 0.2309699292 * s),
          fromLinear(-1.2684380046 * l + 2.6097574011 * m - 0.3413193965 * s),
          fromLinear(-0.0041960863 * l - 0.7034186147 * m + 1.7076147010 * s)};
}

constexpr Color kWhite{1, 1, 1};

}  // namespace

Palette themeColors(const AppPreferences& prefs, std::string_view spaceColorA,
                    std::string_view spaceColorB) {
  const bool custom = prefs.colorSource == ColorSource::custom;
  const std::string_view first = custom ? std::string_view(prefs.customColorA) : spaceColorA;
  const std::string_view second = custom ? std::string_view(prefs.customColorB) : spaceColorB;
  std::string key(first);
  key += second;
  return {Color::fromHex(first), Color::fromHex(second), prefs.gradientDirection, std::move(key)};
}

Palette themeColors(const PreferencesModel& preferences, const WindowModel& tabs) {
  const AppPreferences& prefs = preferences.prefs();
  // The space's colours are read only when they are used, so that with custom colours a change
  // of space does not disturb the views that paint the theme.
  if (prefs.colorSource == ColorSource::custom) return themeColors(prefs, {}, {});
  const auto space = tabs.currentSpace();
  return themeColors(prefs, space->colorA.get(), space->colorB.get());
}

std::optional<ColorScheme> sidebarColorScheme(const AppPreferences& prefs, const Palette& palette,
                                              ColorScheme scheme) {
  switch (prefs.sidebarTextStyle) {
    case SidebarTextStyle::lightText:
      return ColorScheme::dark;
    case SidebarTextStyle::darkText:
      return ColorScheme::light;
    case SidebarTextStyle::automatic:
      break;
  }
  const double strength = prefs.tintStrength(scheme);
  if (!(strength >= 0.4)) return std::nullopt;
  const double tint = prefs.sidebarTint == SidebarTint::solid
                          ? palette.primary.luminance()
                          : (palette.primary.luminance() + palette.secondary.luminance()) * 0.5;
  const double base = scheme == ColorScheme::dark ? 0.12 : 0.93;
  const double mixed = tint * strength + base * (1 - strength);
  return mixed >= 0.5 ? ColorScheme::light : ColorScheme::dark;
}

std::optional<ColorScheme> sidebarColorScheme(const PreferencesModel& preferences,
                                              const WindowModel& tabs, ColorScheme scheme) {
  const AppPreferences& prefs = preferences.prefs();
  // Only the automatic style looks at the colours; the others must not depend on the space.
  if (prefs.sidebarTextStyle != SidebarTextStyle::automatic || prefs.tintStrength(scheme) < 0.4) {
    return sidebarColorScheme(prefs, Palette{}, scheme);
  }
  return sidebarColorScheme(prefs, themeColors(preferences, tabs), scheme);
}

BackgroundTint backgroundTint(const AppPreferences& prefs, Palette palette,
                              ColorScheme windowScheme) {
  return {prefs.sidebarTint, std::move(palette), sizes::tintOpacity(prefs, windowScheme)};
}

TranslucentColor selectedTabFill(const AppPreferences& prefs, const Palette& palette,
                                 ColorScheme scheme) {
  const bool dark = scheme == ColorScheme::dark;
  if (prefs.selectedTabStyle == SelectedTabStyle::tinted) {
    return {mixPerceptual(palette.primary, kWhite, dark ? 0.15 : 0.55), 0.85};
  }
  return {kWhite, dark ? 0.14 : 0.82};
}

TranslucentColor selectedTabFill(const PreferencesModel& preferences, const WindowModel& tabs,
                                 ColorScheme scheme) {
  const AppPreferences& prefs = preferences.prefs();
  if (prefs.selectedTabStyle != SelectedTabStyle::tinted) {
    return selectedTabFill(prefs, Palette{}, scheme);
  }
  return selectedTabFill(prefs, themeColors(preferences, tabs), scheme);
}

Color mixPerceptual(const Color& color, const Color& other, double fraction) {
  if (std::isnan(fraction)) fraction = 0;
  fraction = std::clamp(fraction, 0.0, 1.0);
  const Triple a = toOklab(color);
  const Triple b = toOklab(other);
  Triple mixed;
  for (size_t i = 0; i < 3; ++i) mixed[i] = a[i] + (b[i] - a[i]) * fraction;
  return fromOklab(mixed);
}

}  // namespace zemblo
