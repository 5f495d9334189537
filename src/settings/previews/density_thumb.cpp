#include "settings/previews/density_thumb.h"

#include "settings/previews/settings_paint.h"

namespace zemblo {
namespace {

constexpr double kPadding = 8;
constexpr double kRowSpacing = 2;
constexpr double kRowInset = 6;
constexpr double kDot = 5;
constexpr double kDotSpacing = 4;
constexpr double kBarHeight = 3;
constexpr double kRowRadius = 3;

}  // namespace

double DensityThumb::rowHeight(TabDensity density) {
  switch (density) {
    case TabDensity::compact:
      return 10.08;
    case TabDensity::spacious:
      return 14.4;
    case TabDensity::regular:
      break;
  }
  return 12.24;
}

std::array<DensityThumb::Row, DensityThumb::kRows> DensityThumb::rows(TabDensity density,
                                                                      double width) {
  const double height = rowHeight(density);
  std::array<Row, kRows> rows;
  for (size_t i = 0; i < kRows; ++i) {
    Row& row = rows[i];
    row.frame = {kPadding, kPadding + i * (height + kRowSpacing), width - 2 * kPadding, height};
    const double middle = row.frame.y + height / 2;
    row.dot = {row.frame.x + kRowInset, middle - kDot / 2, kDot, kDot};
    const double barX = row.dot.right() + kDotSpacing;
    row.bar = {barX, middle - kBarHeight / 2, row.frame.right() - kRowInset - barX, kBarHeight};
  }
  return rows;
}

DensityThumb::DensityThumb(const SettingsContext& context, TabDensity density)
    : OptionThumbnail(context), density_(density) {
  set_name("DensityThumb");
}

void DensityThumb::draw(GtkSnapshot* s, const graphene_rect_t& bounds) {
  const GdkRGBA behind = primary(0.04);
  gtk_snapshot_append_color(s, &behind, &bounds);
  const auto all = rows(density_, bounds.size.width);
  for (size_t i = 0; i < all.size(); ++i) {
    const Row& row = all[i];
    const bool selected = i == 0;
    if (selected) settings_paint::roundedFill(s, row.frame, kRowRadius, primary(0.08));
    settings_paint::roundedFill(s, row.dot, kDot / 2,
                                selected ? paint::rgba(palette().primary) : primary(0.3));
    settings_paint::roundedFill(s, row.bar, kBarHeight / 2, primary(selected ? 0.45 : 0.2));
  }
}

}  // namespace zemblo
