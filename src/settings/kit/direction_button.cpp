#include "settings/kit/direction_button.h"

#include "settings/previews/settings_paint.h"
#include "widgets/accessibility.h"
#include "widgets/symbol_icons.h"
#include "widgets/symbol_paint.h"

namespace zemblo {
namespace {

constexpr double kTileRadius = 7;
constexpr double kRingRadius = 9;
constexpr double kRingWidth = 2;
constexpr double kArrowPoints = 11;
constexpr double kArrowShadowOpacity = 0.3;
constexpr double kArrowShadowBlur = 2;

}  // namespace

DirectionButton::DirectionButton(GradientDirection direction) : direction_(direction) {
  set_name("DirectionButton");
  add_css_class("settings-card-button");
  set_has_frame(false);
  // A button lays out its child, not itself: the size is asked for directly.
  set_size_request(int(kWidth + 2 * kRingOutset), int(kHeight + 2 * kRingOutset));
  set_focus_on_click(false);
  set_valign(Gtk::Align::CENTER);
  set_tooltip_text(label(direction));
  setAccessibleName(*this, label(direction));
  setAccessiblePressed(*this, false);
}

const char* DirectionButton::arrowSymbol(GradientDirection direction) {
  switch (direction) {
    case GradientDirection::vertical:
      return "arrow.down";
    case GradientDirection::horizontal:
      return "arrow.right";
    case GradientDirection::diagonalUp:
      return "arrow.up.right";
    case GradientDirection::diagonal:
      break;
  }
  return "arrow.down.right";
}

void DirectionButton::show(const Palette& palette, bool selected) {
  if (palette == palette_ && selected == selected_) return;
  palette_ = palette;
  if (selected != selected_) setAccessiblePressed(*this, selected);
  selected_ = selected;
  queue_draw();
}

void DirectionButton::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
  GtkSnapshot* s = snapshot->gobj();
  const LayoutRect tile{(get_width() - kWidth) / 2, (get_height() - kHeight) / 2, kWidth, kHeight};
  settings_paint::roundedGradient(s, tile, kTileRadius,
                                  gradient(direction_, palette_.primary, palette_.secondary), 1);
  const int size = symbolPixelSize(kArrowPoints);
  const GskShadow shadow{paint::grey(0, kArrowShadowOpacity), 0, 0, float(kArrowShadowBlur)};
  GtkSnapshot* arrow = gtk_snapshot_new();
  gtk_snapshot_push_shadow(arrow, &shadow, 1);
  appendSymbol(arrow, *this, arrowSymbol(direction_), size,
               paint::rect(tile.x + (kWidth - size) / 2, tile.y + (kHeight - size) / 2, size, size),
               paint::grey(1));
  gtk_snapshot_pop(arrow);
  paint::appendWithContainedBlur(s, *this, gtk_snapshot_free_to_node(arrow), 3 * shadow.radius);
  if (selected_) {
    const LayoutRect ring{tile.x - kRingOutset, tile.y - kRingOutset, kWidth + 2 * kRingOutset,
                          kHeight + 2 * kRingOutset};
    paint::appendInsideBorder(s, paint::roundedRect(ring.graphene(), kRingRadius), kRingWidth,
                              paint::rgba(palette_.primary));
  }
}

}  // namespace zemblo
