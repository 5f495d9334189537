#pragma once

#include <gtk/gtk.h>

#include "model/color.h"
#include "settings/previews/layout_rect.h"
#include "widgets/paint.h"

// Drawing steps the settings' pictures repeat.
namespace zemblo::settings_paint {

inline void roundedFill(GtkSnapshot* snapshot, const LayoutRect& rect, double radius,
                        const GdkRGBA& color) {
  paint::appendRoundedFill(snapshot, paint::roundedRect(rect.graphene(), radius), color);
}

inline void roundedGradient(GtkSnapshot* snapshot, const LayoutRect& rect, double radius,
                            const LinearGradient& gradient, double opacity) {
  const graphene_rect_t bounds = rect.graphene();
  const GskRoundedRect outline = paint::roundedRect(bounds, radius);
  gtk_snapshot_push_rounded_clip(snapshot, &outline);
  paint::appendLinearGradient(snapshot, bounds, gradient, opacity);
  gtk_snapshot_pop(snapshot);
}

// A picture drawn twice, light on the left half and dark on the right, for choices that follow
// the system's appearance. `draw(bool dark)` paints the whole bounds.
template <class Draw>
void lightBesideDark(GtkSnapshot* snapshot, const graphene_rect_t& bounds, Draw draw) {
  draw(false);
  const float half = bounds.size.width / 2;
  const graphene_rect_t right =
      paint::rect(bounds.origin.x + half, bounds.origin.y, half, bounds.size.height);
  gtk_snapshot_push_clip(snapshot, &right);
  draw(true);
  gtk_snapshot_pop(snapshot);
}

inline GdkRGBA primary(ColorScheme scheme, double opacity) {
  return paint::grey(scheme == ColorScheme::dark ? 1 : 0, opacity);
}

}  // namespace zemblo::settings_paint
