#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "model/app_preferences.h"
#include "model/theme_colors.h"
#include "settings/previews/layout_rect.h"

namespace zemblo {

class PreferencesModel;
class WindowModel;

// What the miniature of the browser window is drawn from.
struct PreviewInputs {
  struct SpaceDot {
    LinearGradient gradient;  // the space's own colours
    bool shown = false;       // the space the miniature stands for

    friend bool operator==(const SpaceDot&, const SpaceDot&) = default;
  };

  AppPreferences prefs;
  Palette palette;
  ColorScheme windowScheme = ColorScheme::light;
  std::vector<SpaceDot> spaces;  // the first four spaces, in order
  std::string greeting;          // the banner's text, localised
  double scale = 0.42;           // miniature lengths per real length, for preference lengths

  friend bool operator==(const PreviewInputs&, const PreviewInputs&) = default;
};

// Where everything of the miniature lies for a width, and how it is coloured. Lengths are in
// points from the miniature's top-left corner; colours with their opacity. Every number is
// continuous, so two layouts can be blended while the miniature animates from one to the other.
struct PreviewLayout {
  static constexpr double kHeight = 260;
  static constexpr double kCornerRadius = 12;
  static constexpr std::array<double, 6> kTabWidths{0.62, 0.5, 0.7, 0.42, 0.56, 0.48};
  static constexpr std::array<double, 5> kTextWidths{0.8, 0.65, 0.74, 0.5, 0.7};
  // The favicon colours of the mock tabs and favourites.
  static const std::array<Color, 6>& dotColors();
  static double tabRowHeight(TabDensity density);

  struct Tile {
    LayoutRect frame;
    LayoutRect dot;
    Color dotColor;
  };
  struct TabRow {
    LayoutRect frame;
    LayoutRect dot;
    Color dotColor;
    LayoutRect bar;
    double barOpacity = 0;
    TranslucentColor fill;  // opacity 0 for every row but the selected one
  };
  struct SpaceDot {
    LayoutRect frame;
    LinearGradient gradient;
    double highlight = 0;  // 1: the space's gradient; 0: primary at 0.2
  };
  struct Sidebar {
    LayoutRect frame;
    LayoutRect pill;
    std::vector<Tile> tiles;
    std::vector<TabRow> tabs;
    std::vector<SpaceDot> spaces;
  };
  struct Card {
    LayoutRect frame;
    double cornerRadius = 0;
    double shadowOpacity = 0;
    double pageGrey = 1;
    LayoutRect banner;
    std::array<LayoutRect, 5> lines;
    std::array<LayoutRect, 3> tiles;
    LayoutRect loadingBar;          // 0 high when hidden
    double loadingBarGradient = 0;  // 1: primary to secondary; 0: primary alone
  };

  double width = 0;
  double height = kHeight;
  ColorScheme windowScheme = ColorScheme::light;
  ColorScheme sidebarScheme = ColorScheme::light;
  Palette palette;
  double backdropGrey = 0.93;
  double gradientTint = 0;  // opacity of the palette gradient over the backdrop
  double solidTint = 0;     // opacity of the palette's primary colour over the backdrop
  double grain = 0;
  Sidebar sidebar;
  Card card;
  std::array<LayoutRect, 3> trafficLights;
  std::string greeting;
};

// The miniature for the inputs at a width. Preference values outside what the settings offer
// are brought into range first, so a damaged settings file never gives a negative or runaway
// layout.
PreviewLayout layoutPreview(const PreviewInputs& inputs, double width);

// The layout `fraction` of the way from `from` to `to` (springs may pass 0 and 1). Parts that
// cannot blend (the number of favourites or space dots, the schemes, the text) are those of `to`.
PreviewLayout blendLayouts(const PreviewLayout& from, const PreviewLayout& to, double fraction);

// The inputs as the models have them now: the preferences, the shown space (the current one, else
// the first) and the theme palette. Every read is observed.
PreviewInputs previewInputs(const PreferencesModel& preferences, const WindowModel& tabs,
                            ColorScheme windowScheme, double scale);

}  // namespace zemblo
