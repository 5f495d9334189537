#include "settings/previews/side_thumb.h"

#include "settings/previews/settings_paint.h"

namespace zemblo {
namespace {

constexpr double kPadding = 6;
constexpr double kSpacing = 4;
constexpr double kSidebarWidth = 30;
constexpr double kSidebarRadius = 3;
constexpr double kCardRadius = 4;

}  // namespace

SideThumb::Miniature SideThumb::miniature(SidebarSide side, double width, double height) {
  const double inner = height - 2 * kPadding;
  const double cardWidth = width - 2 * kPadding - kSidebarWidth - kSpacing;
  if (side == SidebarSide::leading) {
    return {{kPadding, kPadding, kSidebarWidth, inner},
            {kPadding + kSidebarWidth + kSpacing, kPadding, cardWidth, inner}};
  }
  return {{width - kPadding - kSidebarWidth, kPadding, kSidebarWidth, inner},
          {kPadding, kPadding, cardWidth, inner}};
}

SideThumb::SideThumb(const SettingsContext& context, SidebarSide side)
    : OptionThumbnail(context), side_(side) {
  set_name("SideThumb");
}

void SideThumb::draw(GtkSnapshot* s, const graphene_rect_t& bounds) {
  const GdkRGBA behind = primary(0.05);
  gtk_snapshot_append_color(s, &behind, &bounds);
  const Miniature m = miniature(side_, bounds.size.width, bounds.size.height);
  settings_paint::roundedGradient(
      s, m.sidebar, kSidebarRadius,
      gradient(palette().direction, palette().primary, palette().secondary), 0.55);
  settings_paint::roundedFill(s, m.card, kCardRadius,
                              paint::grey(scheme() == ColorScheme::dark ? 0.22 : 1));
}

}  // namespace zemblo
