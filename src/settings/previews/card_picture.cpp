#include "settings/previews/card_picture.h"

#include <algorithm>

#include "widgets/child_layout.h"
#include "widgets/paint.h"

namespace zemblo {
namespace {

constexpr double kRestingOutline = 0.5;
constexpr double kChosenOutline = 2.5;
constexpr double kRestingOutlineOpacity = 0.1;
constexpr double kChosenShadowOpacity = 0.12;

GdkRGBA mix(const GdkRGBA& from, const GdkRGBA& to, double fraction) {
  const auto f = static_cast<float>(std::clamp(fraction, 0.0, 1.0));
  return {from.red + (to.red - from.red) * f, from.green + (to.green - from.green) * f,
          from.blue + (to.blue - from.blue) * f, from.alpha + (to.alpha - from.alpha) * f};
}

}  // namespace

CardPicture::CardPicture(Gtk::Widget& preview) : preview_(preview) {
  set_name("CardPicture");
  set_can_target(false);
  set_hexpand(true);
  preview_.set_parent(*this);
}

CardPicture::~CardPicture() { preview_.unparent(); }

void CardPicture::setLook(const GdkRGBA& accent, const GdkRGBA& primary, double selectedness) {
  if (gdk_rgba_equal(&accent, &accent_) && gdk_rgba_equal(&primary, &primary_) &&
      selectedness == selectedness_) {
    return;
  }
  accent_ = accent;
  primary_ = primary;
  selectedness_ = selectedness;
  queue_draw();
}

double CardPicture::outlineWidth(double selectedness) {
  return std::max(0.0, kRestingOutline + (kChosenOutline - kRestingOutline) * selectedness);
}

double CardPicture::shadowOpacity(double selectedness) {
  return std::clamp(kChosenShadowOpacity * selectedness, 0.0, 1.0);
}

Gtk::SizeRequestMode CardPicture::get_request_mode_vfunc() const {
  return Gtk::SizeRequestMode::CONSTANT_SIZE;
}

void CardPicture::measure_vfunc(Gtk::Orientation orientation, int, int& minimum, int& natural,
                                int& minimum_baseline, int& natural_baseline) const {
  // The cards share the row's width; the preview stretches to whatever it gets.
  minimum = natural = orientation == Gtk::Orientation::VERTICAL ? kHeight : 0;
  minimum_baseline = natural_baseline = -1;
}

void CardPicture::size_allocate_vfunc(int width, int height, int) {
  allocateChild(preview_, 0, 0, width, height);
}

void CardPicture::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
  GtkSnapshot* s = snapshot->gobj();
  const graphene_rect_t bounds = paint::rect(0, 0, get_width(), get_height());
  const GskRoundedRect outline = paint::roundedRect(bounds, kCornerRadius);
  if (const double opacity = shadowOpacity(selectedness_); opacity > 0) {
    const GdkRGBA shadow = paint::grey(0, opacity);
    gtk_snapshot_append_outset_shadow(s, &outline, &shadow, 0, 2, 0, 6);
  }
  gtk_snapshot_push_rounded_clip(s, &outline);
  snapshot_child(preview_, snapshot);
  gtk_snapshot_pop(s);
  GdkRGBA resting = primary_;
  resting.alpha *= kRestingOutlineOpacity;
  paint::appendInsideBorder(s, outline, outlineWidth(selectedness_),
                            mix(resting, accent_, selectedness_));
}

}  // namespace zemblo
