#include "settings/previews/theme_thumb.h"

#include "settings/previews/settings_paint.h"

namespace zemblo {
namespace {

constexpr double kPadding = 6;
constexpr double kSpacing = 4;
constexpr double kSidebarWidth = 26;
constexpr double kSidebarTop = 14;
constexpr double kLineHeight = 3;
constexpr double kLineSpacing = 3;
constexpr double kCardRadius = 4;

}  // namespace

ThemeThumb::Miniature ThemeThumb::miniature(double width, double height) {
  Miniature m;
  for (size_t i = 0; i < m.sidebarLines.size(); ++i) {
    m.sidebarLines[i] = {kPadding, kPadding + kSidebarTop + i * (kLineHeight + kLineSpacing),
                         kSidebarWidth, kLineHeight};
  }
  const double cardX = kPadding + kSidebarWidth + kSpacing;
  m.card = {cardX, kPadding, width - cardX - kPadding, height - 2 * kPadding};
  return m;
}

ThemeThumb::ThemeThumb(const SettingsContext& context, ThemeMode mode)
    : OptionThumbnail(context), mode_(mode) {
  set_name("ThemeThumb");
}

void ThemeThumb::draw(GtkSnapshot* s, const graphene_rect_t& bounds) {
  if (mode_ != ThemeMode::system) {
    drawWindow(s, bounds, mode_ == ThemeMode::dark ? ColorScheme::dark : ColorScheme::light);
    return;
  }
  settings_paint::lightBesideDark(s, bounds, [&](bool dark) {
    drawWindow(s, bounds, dark ? ColorScheme::dark : ColorScheme::light);
  });
}

void ThemeThumb::drawWindow(GtkSnapshot* s, const graphene_rect_t& bounds, ColorScheme scheme) {
  const bool dark = scheme == ColorScheme::dark;
  const GdkRGBA backdrop = paint::grey(dark ? 0.13 : 0.93);
  gtk_snapshot_append_color(s, &backdrop, &bounds);
  paint::appendLinearGradient(s, bounds,
                              gradient(palette().direction, palette().primary, palette().secondary),
                              dark ? 0.25 : 0.3);
  const Miniature m = miniature(bounds.size.width, bounds.size.height);
  for (size_t i = 0; i < m.sidebarLines.size(); ++i) {
    const LayoutRect& line = m.sidebarLines[i];
    settings_paint::roundedFill(s, line, line.height / 2,
                                paint::grey(dark ? 1 : 0, i == 0 ? 0.4 : 0.18));
  }
  settings_paint::roundedFill(s, m.card, kCardRadius, paint::grey(dark ? 0.22 : 1));
}

}  // namespace zemblo
