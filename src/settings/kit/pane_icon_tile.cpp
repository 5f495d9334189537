#include "settings/kit/pane_icon_tile.h"

#include "widgets/accessibility.h"

#include <cmath>

#include "model/theme_colors.h"
#include "widgets/paint.h"
#include "widgets/symbol_icons.h"
#include "widgets/symbol_paint.h"

namespace zemblo {

PaneIconTile::PaneIconTile(SettingsPane pane, Style style) : pane_(pane), style_(style) {
  set_name("PaneIconTile");
  set_can_target(false);
  // The pane's name stands beside it.
  hideFromScreenReaders(*this);
}

void PaneIconTile::measure_vfunc(Gtk::Orientation, int, int& minimum, int& natural,
                                 int& minimum_baseline, int& natural_baseline) const {
  minimum = natural = static_cast<int>(std::ceil(style_.size));
  minimum_baseline = natural_baseline = -1;
}

void PaneIconTile::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
  GtkSnapshot* s = snapshot->gobj();
  const Color tint = paneTint(pane_);
  const graphene_rect_t bounds = paint::rect(
      (get_width() - style_.size) / 2, (get_height() - style_.size) / 2, style_.size, style_.size);
  const GskRoundedRect tile = paint::roundedRect(bounds, style_.cornerRadius);
  if (style_.shadow) {
    const GdkRGBA shadow = paint::rgba(tint, 0.35);
    gtk_snapshot_append_outset_shadow(s, &tile, &shadow, 0, 4, 0, 8);
  }
  gtk_snapshot_push_rounded_clip(s, &tile);
  paint::appendLinearGradient(
      s, bounds, UnitPoint::top(), UnitPoint::bottom(),
      {paint::rgba(mixPerceptual(tint, {1, 1, 1}, 0.15)), paint::rgba(tint)});
  gtk_snapshot_pop(s);
  const int pixels = symbolPixelSize(style_.symbolPoints);
  const graphene_rect_t box =
      paint::rect(bounds.origin.x + (style_.size - pixels) / 2,
                  bounds.origin.y + (style_.size - pixels) / 2, pixels, pixels);
  appendSymbol(s, *this, paneSymbol(pane_), pixels, box, paint::grey(1));
}

}  // namespace zemblo
