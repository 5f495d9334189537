#include "settings/previews/preview_layout.h"

#include <algorithm>

#include "model/localization.h"
#include "model/preference_sizes.h"
#include "model/preferences_model.h"
#include "model/window_model.h"

namespace zemblo {
namespace {

// The mock sidebar.
constexpr double kSidebarPadding = 6;
constexpr double kSidebarSpacing = 5;
constexpr double kLeadingTopSpacer = 12;
constexpr double kTrailingTopSpacer = 6;
constexpr double kPillHeight = 13;
constexpr double kGridSpacing = 3;
constexpr double kTileHeight = 16;
constexpr double kMinimumTileWidth = 10;
constexpr int64_t kMaximumColumns = 8;
constexpr double kTabListTop = 2;
constexpr double kTabSpacing = 1;
constexpr double kTabInset = 5;
constexpr double kSmallDot = 5;
constexpr double kDotToBar = 4;
constexpr double kBarHeight = 3;
constexpr double kMinimumBarBase = 10;
constexpr double kBarAllowance = 30;
constexpr double kSpaceDot = 7;
constexpr double kSpaceDotSpacing = 4;
constexpr size_t kSpaceDots = 4;
// With the sidebar on the right the window buttons stand over the content card.
constexpr double kTrailingTopInset = 30;

// The mock content card.
constexpr double kCardPadding = 10;
constexpr double kCardSpacing = 6;
constexpr double kBannerHeight = 64;
constexpr double kTextBlockHeight = 44;
constexpr double kTextLineHeight = 4;
constexpr double kTextLineSpacing = 5;
constexpr double kTileRowHeight = 40;
constexpr double kCardRadiusFactor = 1.2;
constexpr double kLoadingBarStrip = 2;
constexpr double kLoadingBarLength = 0.6;

// The window buttons.
constexpr double kLightSize = 6;
constexpr double kLightSpacing = 0.7 * kLightSize;
constexpr double kLightsX = 9;
constexpr double kLightsY = 8;

void layoutSidebar(const PreviewInputs& in, bool leading, double x, double width,
                   PreviewLayout& out) {
  const AppPreferences& prefs = in.prefs;
  PreviewLayout::Sidebar& sidebar = out.sidebar;
  sidebar.frame = {x, 0, width, PreviewLayout::kHeight};
  const double left = x + kSidebarPadding;
  const double inner = width - 2 * kSidebarPadding;
  double y = kSidebarPadding + (leading ? kLeadingTopSpacer : kTrailingTopSpacer) + kSidebarSpacing;
  sidebar.pill = {left, y, inner, kPillHeight};
  y = sidebar.pill.bottom();

  const auto& dots = PreviewLayout::dotColors();
  if (prefs.showFavorites) {
    y += kSidebarSpacing;
    const int64_t columns = std::clamp<int64_t>(prefs.favoriteColumns, 1, kMaximumColumns);
    const double tileWidth =
        std::max(kMinimumTileWidth, (inner - kGridSpacing * double(columns - 1)) / double(columns));
    const double gridWidth = tileWidth * double(columns) + kGridSpacing * double(columns - 1);
    const double gridLeft = left + (inner - gridWidth) / 2;
    for (int64_t i = 0; i < 2 * columns; ++i) {
      const double tileX = gridLeft + double(i % columns) * (tileWidth + kGridSpacing);
      const double tileY = y + double(i / columns) * (kTileHeight + kGridSpacing);
      const LayoutRect frame{tileX, tileY, tileWidth, kTileHeight};
      sidebar.tiles.push_back({frame,
                               {tileX + (tileWidth - kSmallDot) / 2,
                                tileY + (kTileHeight - kSmallDot) / 2, kSmallDot, kSmallDot},
                               dots[size_t(i) % dots.size()]});
    }
    y += 2 * kTileHeight + kGridSpacing;
  }

  y += kSidebarSpacing + kTabListTop;
  const double rowHeight = PreviewLayout::tabRowHeight(prefs.tabDensity);
  const double barBase = std::max(kMinimumBarBase, width - kBarAllowance);
  const TranslucentColor selectedFill = selectedTabFill(prefs, in.palette, out.sidebarScheme);
  for (size_t i = 0; i < PreviewLayout::kTabWidths.size(); ++i) {
    PreviewLayout::TabRow row;
    row.frame = {left, y + double(i) * (rowHeight + kTabSpacing), inner, rowHeight};
    const double middle = row.frame.y + rowHeight / 2;
    row.dot = {left + kTabInset, middle - kSmallDot / 2, kSmallDot, kSmallDot};
    row.dotColor = dots[i % dots.size()];
    row.bar = {row.dot.right() + kDotToBar, middle - kBarHeight / 2,
               barBase * PreviewLayout::kTabWidths[i], kBarHeight};
    row.barOpacity = i == 0 ? 0.45 : 0.22;
    row.fill = i == 0 ? selectedFill : TranslucentColor{selectedFill.color, 0};
    sidebar.tabs.push_back(row);
  }

  const size_t count = std::min(kSpaceDots, in.spaces.size());
  const double rowWidth =
      double(count) * kSpaceDot + double(count ? count - 1 : 0) * kSpaceDotSpacing;
  const double dotsLeft = left + (inner - rowWidth) / 2;
  const double dotsY = PreviewLayout::kHeight - kSidebarPadding - kSpaceDot;
  for (size_t i = 0; i < count; ++i) {
    sidebar.spaces.push_back(
        {{dotsLeft + double(i) * (kSpaceDot + kSpaceDotSpacing), dotsY, kSpaceDot, kSpaceDot},
         in.spaces[i].gradient,
         in.spaces[i].shown ? 1.0 : 0.0});
  }
}

void layoutCard(const PreviewInputs& in, const LayoutRect& frame, PreviewLayout& out) {
  const AppPreferences& prefs = in.prefs;
  PreviewLayout::Card& card = out.card;
  card.frame = frame;
  card.cornerRadius = sizes::cornerRadius(prefs) * in.scale * kCardRadiusFactor;
  card.shadowOpacity = prefs.contentShadow ? 0.18 : 0;
  card.pageGrey = in.windowScheme == ColorScheme::dark ? 0.18 : 1;
  const double left = frame.x + kCardPadding;
  const double inner = frame.width - 2 * kCardPadding;
  card.banner = {left, frame.y + kCardPadding, inner, kBannerHeight};
  const double blockY = card.banner.bottom() + kCardSpacing;
  const double linesHeight = 5 * kTextLineHeight + 4 * kTextLineSpacing;
  for (size_t i = 0; i < card.lines.size(); ++i) {
    card.lines[i] = {left,
                     blockY + (kTextBlockHeight - linesHeight) / 2 +
                         double(i) * (kTextLineHeight + kTextLineSpacing),
                     inner * PreviewLayout::kTextWidths[i], kTextLineHeight};
  }
  const double tilesY = blockY + kTextBlockHeight + kCardSpacing;
  const double tileWidth = (inner - 2 * kCardSpacing) / 3;
  for (size_t i = 0; i < card.tiles.size(); ++i) {
    card.tiles[i] = {left + double(i) * (tileWidth + kCardSpacing), tilesY, tileWidth,
                     kTileRowHeight};
  }
  double barHeight = 0;
  if (prefs.progressStyle == ProgressStyle::gradient) barHeight = 1.8;
  if (prefs.progressStyle == ProgressStyle::minimal) barHeight = 1;
  card.loadingBar = {frame.x, frame.y + (kLoadingBarStrip - barHeight) / 2,
                     frame.width * kLoadingBarLength, barHeight};
  card.loadingBarGradient = prefs.progressStyle == ProgressStyle::minimal ? 0 : 1;
}

// Exact at both ends, so a finished animation shows the target itself.
double mix(double a, double b, double t) { return a * (1 - t) + b * t; }

LayoutRect mix(const LayoutRect& a, const LayoutRect& b, double t) {
  return {mix(a.x, b.x, t), mix(a.y, b.y, t), mix(a.width, b.width, t), mix(a.height, b.height, t)};
}

Color mix(const Color& a, const Color& b, double t) {
  // Springs overshoot; a colour must stay a colour.
  const double c = std::clamp(t, 0.0, 1.0);
  return {mix(a.r, b.r, c), mix(a.g, b.g, c), mix(a.b, b.b, c)};
}

LinearGradient mix(const LinearGradient& a, const LinearGradient& b, double t) {
  const double c = std::clamp(t, 0.0, 1.0);
  return {mix(a.startColor, b.startColor, t),
          mix(a.endColor, b.endColor, t),
          {mix(a.startPoint.x, b.startPoint.x, c), mix(a.startPoint.y, b.startPoint.y, c)},
          {mix(a.endPoint.x, b.endPoint.x, c), mix(a.endPoint.y, b.endPoint.y, c)}};
}

TranslucentColor mix(const TranslucentColor& a, const TranslucentColor& b, double t) {
  return {mix(a.color, b.color, t), std::clamp(mix(a.opacity, b.opacity, t), 0.0, 1.0)};
}

double mixOpacity(double a, double b, double t) { return std::clamp(mix(a, b, t), 0.0, 1.0); }

}  // namespace

const std::array<Color, 6>& PreviewLayout::dotColors() {
  static const std::array<Color, 6> colors{Color::fromHex("#FF5F57"), Color::fromHex("#2F80FF"),
                                           Color::fromHex("#1FA67A"), Color::fromHex("#FF9F0A"),
                                           Color::fromHex("#AF52DE"), Color::fromHex("#FF375F")};
  return colors;
}

double PreviewLayout::tabRowHeight(TabDensity density) {
  switch (density) {
    case TabDensity::compact:
      return 11.76;
    case TabDensity::spacious:
      return 16.8;
    case TabDensity::regular:
      break;
  }
  return 14.28;
}

PreviewLayout layoutPreview(const PreviewInputs& in, double width) {
  const AppPreferences& prefs = in.prefs;
  PreviewLayout out;
  out.width = width;
  out.windowScheme = in.windowScheme;
  out.sidebarScheme =
      sidebarColorScheme(prefs, in.palette, in.windowScheme).value_or(in.windowScheme);
  out.palette = in.palette;
  out.greeting = in.greeting;
  out.backdropGrey = out.sidebarScheme == ColorScheme::dark ? 0.13 : 0.93;
  const double tint = sizes::tintOpacity(prefs, in.windowScheme);
  out.gradientTint = prefs.sidebarTint == SidebarTint::gradient ? tint : 0;
  out.solidTint = prefs.sidebarTint == SidebarTint::solid ? tint : 0;
  out.grain = sizes::grain(prefs);

  const bool leading = prefs.sidebarSide == SidebarSide::leading;
  const double sidebarWidth = sizes::sidebarWidth(prefs) * in.scale;
  const double inset = sizes::contentInset(prefs) * in.scale;
  const double top = leading ? inset : std::max(inset, kTrailingTopInset * in.scale);
  layoutSidebar(in, leading, leading ? 0 : width - sidebarWidth, sidebarWidth, out);
  const LayoutRect card{leading ? sidebarWidth : inset, top, width - sidebarWidth - inset,
                        PreviewLayout::kHeight - top - inset};
  layoutCard(in, card, out);

  for (size_t i = 0; i < out.trafficLights.size(); ++i) {
    out.trafficLights[i] = {kLightsX + double(i) * (kLightSize + kLightSpacing), kLightsY,
                            kLightSize, kLightSize};
  }
  return out;
}

PreviewLayout blendLayouts(const PreviewLayout& from, const PreviewLayout& to, double t) {
  PreviewLayout out = to;
  out.palette.primary = mix(from.palette.primary, to.palette.primary, t);
  out.palette.secondary = mix(from.palette.secondary, to.palette.secondary, t);
  out.backdropGrey = mixOpacity(from.backdropGrey, to.backdropGrey, t);
  out.gradientTint = mixOpacity(from.gradientTint, to.gradientTint, t);
  out.solidTint = mixOpacity(from.solidTint, to.solidTint, t);
  out.grain = mixOpacity(from.grain, to.grain, t);

  out.sidebar.frame = mix(from.sidebar.frame, to.sidebar.frame, t);
  out.sidebar.pill = mix(from.sidebar.pill, to.sidebar.pill, t);
  if (from.sidebar.tiles.size() == to.sidebar.tiles.size()) {
    for (size_t i = 0; i < out.sidebar.tiles.size(); ++i) {
      out.sidebar.tiles[i].frame = mix(from.sidebar.tiles[i].frame, to.sidebar.tiles[i].frame, t);
      out.sidebar.tiles[i].dot = mix(from.sidebar.tiles[i].dot, to.sidebar.tiles[i].dot, t);
    }
  }
  for (size_t i = 0; i < out.sidebar.tabs.size() && i < from.sidebar.tabs.size(); ++i) {
    auto& row = out.sidebar.tabs[i];
    const auto& a = from.sidebar.tabs[i];
    row.frame = mix(a.frame, row.frame, t);
    row.dot = mix(a.dot, row.dot, t);
    row.bar = mix(a.bar, row.bar, t);
    row.fill = mix(a.fill, row.fill, t);
  }
  if (from.sidebar.spaces.size() == to.sidebar.spaces.size()) {
    for (size_t i = 0; i < out.sidebar.spaces.size(); ++i) {
      auto& dot = out.sidebar.spaces[i];
      const auto& a = from.sidebar.spaces[i];
      dot.frame = mix(a.frame, dot.frame, t);
      dot.gradient = mix(a.gradient, dot.gradient, t);
      dot.highlight = mixOpacity(a.highlight, dot.highlight, t);
    }
  }

  auto& card = out.card;
  const auto& a = from.card;
  card.frame = mix(a.frame, card.frame, t);
  card.cornerRadius = std::max(0.0, mix(a.cornerRadius, card.cornerRadius, t));
  card.shadowOpacity = mixOpacity(a.shadowOpacity, card.shadowOpacity, t);
  card.pageGrey = mixOpacity(a.pageGrey, card.pageGrey, t);
  card.banner = mix(a.banner, card.banner, t);
  for (size_t i = 0; i < card.lines.size(); ++i) card.lines[i] = mix(a.lines[i], card.lines[i], t);
  for (size_t i = 0; i < card.tiles.size(); ++i) card.tiles[i] = mix(a.tiles[i], card.tiles[i], t);
  card.loadingBar = mix(a.loadingBar, card.loadingBar, t);
  card.loadingBar.height = std::max(0.0, card.loadingBar.height);
  card.loadingBarGradient = mixOpacity(a.loadingBarGradient, card.loadingBarGradient, t);
  return out;
}

PreviewInputs previewInputs(const PreferencesModel& preferences, const WindowModel& tabs,
                            ColorScheme windowScheme, double scale) {
  PreviewInputs in;
  in.prefs = preferences.prefs();
  in.palette = themeColors(preferences, tabs);
  in.windowScheme = windowScheme;
  in.scale = scale;
  const auto shown = tabs.currentSpace();
  const auto& spaces = tabs.spaces.get();
  for (size_t i = 0; i < spaces.size() && i < 4; ++i) {
    in.spaces.push_back({spaces[i]->gradient(), shown && spaces[i]->id == shown->id});
  }
  in.greeting = localized("Merhaba");
  return in;
}

}  // namespace zemblo
