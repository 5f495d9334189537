#pragma once

#include <gtkmm.h>

#include "widgets/frame_ticker.h"

namespace zemblo {

// Fades a widget from its full opacity to `low` times it and back, each way taking `period`
// seconds with the style sheets' ease-in-out, for as long as it runs. Only that widget is drawn
// again, ten times a second: it runs as long as a download does, and each step costs the window a
// whole frame (its scene snapshotted, compared and the change painted), which at the display's
// rate made a running download cost the interface more than the download itself. On a small
// symbol a fade this slow shows no steps of a tenth of a second.
class OpacityPulse {
 public:
  static constexpr std::chrono::milliseconds kFrameInterval{100};

  OpacityPulse(Gtk::Widget& widget, double low, double period);

  void setRunning(bool running) { ticker_.setOn(running); }
  bool running() const { return ticker_.on(); }

  // The opacity `seconds` into a run.
  static double opacityAt(double seconds, double low, double period);

 private:
  Gtk::Widget& widget_;
  double low_;
  double period_;
  FrameTicker ticker_;
};

// The style sheets' "ease-in-out" curve, cubic-bezier(0.42, 0, 0.58, 1), at `progress` in 0…1.
double cssEaseInOut(double progress);

}  // namespace zemblo
