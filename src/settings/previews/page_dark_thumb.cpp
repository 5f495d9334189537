#include "settings/previews/page_dark_thumb.h"

#include <array>

#include "settings/previews/settings_paint.h"

namespace zemblo {
namespace {

constexpr double kPadding = 8;
constexpr double kPageRadius = 5;
constexpr double kInset = 7;
constexpr double kHeadingHeight = 5;
constexpr double kLineHeight = 3;
constexpr double kLineGap = 4;
constexpr double kPhotoWidth = 0.3;  // of the page
constexpr double kPhotoRadius = 3;
constexpr std::array<double, 4> kLineWidths{0.55, 0.5, 0.42, 0.48};  // of the page

}  // namespace

PageDarkThumb::PageDarkThumb(const SettingsContext& context, PageDarkMode mode)
    : OptionThumbnail(context), mode_(mode) {
  set_name("PageDarkThumb");
}

void PageDarkThumb::draw(GtkSnapshot* s, const graphene_rect_t& bounds) {
  const GdkRGBA behind = primary(0.05);
  gtk_snapshot_append_color(s, &behind, &bounds);
  if (mode_ != PageDarkMode::withTheme) {
    drawPage(s, bounds, mode_ == PageDarkMode::always);
    return;
  }
  settings_paint::lightBesideDark(s, bounds, [&](bool dark) { drawPage(s, bounds, dark); });
}

void PageDarkThumb::drawPage(GtkSnapshot* s, const graphene_rect_t& bounds, bool dark) {
  const LayoutRect page{bounds.origin.x + kPadding, bounds.origin.y + kPadding,
                        bounds.size.width - 2 * kPadding, bounds.size.height - kPadding};
  settings_paint::roundedFill(s, page, kPageRadius, paint::grey(dark ? 0.12 : 1));
  const double ink = dark ? 1 : 0;
  const double left = page.x + kInset;
  double y = page.y + kInset;
  settings_paint::roundedFill(s, {left, y, page.width * 0.35, kHeadingHeight}, kHeadingHeight / 2,
                              paint::grey(ink, 0.55));
  y += kHeadingHeight + kLineGap + 1;
  const double linesTop = y;
  for (double width : kLineWidths) {
    settings_paint::roundedFill(s, {left, y, page.width * width, kLineHeight}, kLineHeight / 2,
                                paint::grey(ink, 0.2));
    y += kLineHeight + kLineGap;
  }
  const double photoWidth = page.width * kPhotoWidth;
  const LayoutRect photo{page.right() - kInset - photoWidth, linesTop, photoWidth,
                         y - kLineGap - linesTop};
  settings_paint::roundedGradient(
      s, photo, kPhotoRadius, gradient(palette().direction, palette().primary, palette().secondary),
      1);
}

}  // namespace zemblo
