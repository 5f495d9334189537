#include "widgets/opacity_pulse.h"

#include <algorithm>
#include <cmath>

namespace zemblo {

double cssEaseInOut(double progress) {
  if (!(progress > 0)) return 0;
  if (progress >= 1) return 1;
  const double x = progress;
  // The curve's x(t) grows monotonically: bisect for the t where it reaches x.
  constexpr double x1 = 0.42, x2 = 0.58;
  const auto bezier = [](double t, double p1, double p2) {
    const double u = 1 - t;
    return 3 * u * u * t * p1 + 3 * u * t * t * p2 + t * t * t;
  };
  double lo = 0, hi = 1, t = x;
  for (int i = 0; i < 40; ++i) {
    t = (lo + hi) / 2;
    if (bezier(t, x1, x2) < x) {
      lo = t;
    } else {
      hi = t;
    }
  }
  return bezier(t, 0, 1);
}

double OpacityPulse::opacityAt(double seconds, double low, double period) {
  // Alternating: out on even runs, back on odd ones.
  const double phase = std::fmod(std::max(0.0, seconds) / period, 2.0);
  const double progress = phase <= 1 ? phase : 2 - phase;
  return 1 + (low - 1) * cssEaseInOut(progress);
}

OpacityPulse::OpacityPulse(Gtk::Widget& widget, double low, double period)
    : widget_(widget),
      low_(low),
      period_(period),
      ticker_(
          widget,
          [this](double seconds) { widget_.set_opacity(opacityAt(seconds, low_, period_)); },
          [this] { widget_.set_opacity(1); }, kFrameInterval) {}

}  // namespace zemblo
