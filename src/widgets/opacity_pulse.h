#pragma once

#include <gtkmm.h>

#include "widgets/frame_ticker.h"

namespace zemblo {

// Fades a widget from its full opacity to `low` times it and back, each way taking `period`
// seconds with the style sheets' ease-in-out, for as long as it runs. Only that widget is drawn
// again, 30 times a second: a fade this slow looks as smooth as at the display's full rate, and
// each frame repaints the window's whole scene through the software renderer.
class OpacityPulse {
 public:
  static constexpr std::chrono::milliseconds kFrameInterval{33};

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
