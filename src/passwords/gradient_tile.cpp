#include "passwords/gradient_tile.h"

#include "widgets/accessibility.h"
#include "widgets/child_layout.h"
#include "widgets/paint.h"

namespace zemblo {

GradientTile::GradientTile(int size, double cornerRadius, Gtk::Widget& content)
    : size_(size), cornerRadius_(cornerRadius), content_(content) {
  set_overflow(Gtk::Overflow::VISIBLE);
  // A badge around a symbol or a step's number, beside the text that says it.
  presentAsDecoration(*this);
  content_.set_parent(*this);
}

GradientTile::~GradientTile() { content_.unparent(); }

void GradientTile::setFill(const LinearGradient& fill) {
  if (fill == fill_) return;
  fill_ = fill;
  queue_draw();
}

void GradientTile::setShadow(std::optional<Shadow> shadow) {
  shadow_ = shadow;
  queue_draw();
}

void GradientTile::measure_vfunc(Gtk::Orientation, int, int& minimum, int& natural,
                                 int& minimum_baseline, int& natural_baseline) const {
  minimum = natural = size_;
  minimum_baseline = natural_baseline = -1;
}

void GradientTile::size_allocate_vfunc(int width, int height, int) {
  int minimum = 0, natural = 0, b1 = -1, b2 = -1;
  content_.measure(Gtk::Orientation::HORIZONTAL, -1, minimum, natural, b1, b2);
  const int contentWidth = std::min(natural, width);
  content_.measure(Gtk::Orientation::VERTICAL, contentWidth, minimum, natural, b1, b2);
  const int contentHeight = std::min(natural, height);
  allocateChild(content_, (width - contentWidth) / 2, (height - contentHeight) / 2, contentWidth,
                contentHeight);
}

void GradientTile::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
  GtkSnapshot* s = snapshot->gobj();
  const GskRoundedRect tile =
      paint::roundedRect(paint::rect(0, 0, get_width(), get_height()), cornerRadius_);
  if (shadow_) {
    const GdkRGBA glow = paint::rgba(shadow_->color, shadow_->opacity);
    gtk_snapshot_append_outset_shadow(s, &tile, &glow, 0, float(shadow_->offsetY), 0,
                                      float(shadow_->radius));
  }
  gtk_snapshot_push_rounded_clip(s, &tile);
  paint::appendLinearGradient(s, tile.bounds, fill_);
  gtk_snapshot_pop(s);
  snapshot_child(content_, snapshot);
}

}  // namespace zemblo
