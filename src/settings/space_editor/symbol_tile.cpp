#include "settings/space_editor/symbol_tile.h"

#include "model/localization.h"
#include "model/space.h"
#include "widgets/accessibility.h"
#include "widgets/paint.h"
#include "widgets/symbol_icons.h"
#include "widgets/symbol_paint.h"

namespace zemblo {

SymbolTile::SymbolTile(std::string symbol) : symbol_(std::move(symbol)) {
  set_name("SymbolTile");
  add_css_class("settings-card-button");
  set_halign(Gtk::Align::CENTER);
  set_size_request(kSide, kSide);
  const std::string name = localized(spaceSymbolName(symbol_));
  set_tooltip_text(name);
  setAccessibleName(*this, name);
  setAccessiblePressed(*this, false);
}

void SymbolTile::show(bool selected, const LinearGradient& gradient) {
  if (selected == selected_ && gradient == gradient_) return;
  if (selected != selected_) setAccessiblePressed(*this, selected);
  selected_ = selected;
  gradient_ = gradient;
  queue_draw();
}

void SymbolTile::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
  GtkSnapshot* s = snapshot->gobj();
  const graphene_rect_t bounds = paint::rect(0, 0, kSide, kSide);
  const GskRoundedRect tile = paint::roundedRect(bounds, kCornerRadius);
  GdkRGBA primary = paint::foreground(*this);
  if (selected_) {
    gtk_snapshot_push_rounded_clip(s, &tile);
    paint::appendLinearGradient(s, bounds, gradient_);
    gtk_snapshot_pop(s);
  } else {
    GdkRGBA faint = primary;
    faint.alpha = 0.05f;
    paint::appendRoundedFill(s, tile, faint);
  }
  primary.alpha = 0.75f;
  const int pixels = symbolPixelSize(14);
  appendSymbol(s, *this, symbol_, pixels,
               paint::rect((kSide - pixels) / 2.0, (kSide - pixels) / 2.0, pixels, pixels),
               selected_ ? paint::grey(1) : primary);
}

}  // namespace zemblo
