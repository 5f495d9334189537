#pragma once

#include <gtk/gtk.h>

#include "model/color.h"
#include "settings/layout_rect.h"
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

inline GdkRGBA primary(ColorScheme scheme, double opacity) {
  return paint::grey(scheme == ColorScheme::dark ? 1 : 0, opacity);
}

}  // namespace zemblo::settings_paint
