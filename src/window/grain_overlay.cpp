#include "window/grain_overlay.h"

#include "widgets/accessibility.h"
#include "widgets/grain_paint.h"
#include "widgets/paint.h"

namespace zemblo {

GrainOverlay::GrainOverlay() {
  set_name("GrainOverlay");
  presentAsDecoration(*this);
  set_can_target(false);
}

void GrainOverlay::setAmount(double amount) {
  if (amount == amount_) return;
  amount_ = amount;
  queue_draw();
}

Glib::RefPtr<Gdk::Texture> GrainOverlay::noiseImage() { return paint::grainNoise(); }

void GrainOverlay::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
  if (!isVisible()) return;
  paint::appendGrain(snapshot->gobj(), paint::rect(0, 0, get_width(), get_height()), amount_);
}

}  // namespace zemblo
