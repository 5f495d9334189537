#pragma once

#include <gtkmm.h>

#include "widgets/grain_paint.h"

namespace zemblo {

// A fine random grain. Its parent draws it in the overlay blend mode over what it covers; on its
// own it paints the grey noise at opacity `amount` × 0.55, tiled at half the image's size.
class GrainOverlay : public Gtk::Widget {
 public:
  static constexpr int kNoiseSize = paint::kGrainNoiseSize;

  GrainOverlay();

  void setAmount(double amount);
  double amount() const { return amount_; }
  // Nothing is drawn for 0, negative amounts and not-a-number.
  bool isVisible() const { return amount_ > 0; }

  // The one noise texture of the process: random grey pixels, made on first use.
  static Glib::RefPtr<Gdk::Texture> noiseImage();

 protected:
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;

 private:
  double amount_ = 0;
};

}  // namespace zemblo
