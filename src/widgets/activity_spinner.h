#pragma once

#include <gtkmm.h>

#include "widgets/frame_ticker.h"

namespace zemblo {

// The toolkit's busy indicator as it looks (the theme's "process-working" symbol, turning once a
// second, shown only while spinning), turned on the widget's own frame clock: the toolkit's own
// spinner turns through a style-sheet animation, which restyles and lays out the whole window
// again on every frame.
class ActivitySpinner : public Gtk::Widget {
 public:
  static constexpr double kTurnSeconds = 1;

  explicit ActivitySpinner(int size);
  ~ActivitySpinner() override;

  void setSpinning(bool spinning);

 protected:
  void measure_vfunc(Gtk::Orientation orientation, int for_size, int& minimum, int& natural,
                     int& minimum_baseline, int& natural_baseline) const override;
  void size_allocate_vfunc(int width, int height, int baseline) override;
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;

 private:
  bool spinning() const { return ticker_.on(); }
  void turnTo(double angle);

  Gtk::Image symbol_;
  double angle_ = 0;
  FrameTicker ticker_;
};

}  // namespace zemblo
