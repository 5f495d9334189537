// The updates a window of any program puts on the X server, seen from outside it: the frames a
// user sees, whatever the program's own clock says. Prints their number, their rate and the
// intervals between them (p50, p95, p99, longest).
//
//   zemblo_window_updates WINDOW SECONDS     WINDOW: an X window id, e.g. from xdotool search

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "damage_meter.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: zemblo_window_updates WINDOW SECONDS\n");
    return 2;
  }
  zemblo::bench::DamageMeter meter(nullptr, std::strtoul(argv[1], nullptr, 0));
  if (!meter.available()) {
    std::fprintf(stderr, "no X display with the DAMAGE extension\n");
    return 1;
  }
  meter.reset();
  const auto end =
      std::chrono::steady_clock::now() + std::chrono::duration<double>(std::atof(argv[2]));
  // Read as they come, so that the server never holds a long queue of them for this client.
  while (std::chrono::steady_clock::now() < end) {
    meter.rectangles();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  std::vector<double> intervals = meter.updateIntervals();
  std::sort(intervals.begin(), intervals.end());
  const auto at = [&](double p) {
    return intervals.empty()
               ? 0
               : intervals[std::min(intervals.size() - 1, size_t(p * intervals.size()))];
  };
  const double seconds = std::atof(argv[2]);
  std::printf(
      "updates %zu, %.1f/s, intervals p50 %.1f ms, p95 %.1f ms, p99 %.1f ms, longest %.0f ms\n",
      meter.updates(), double(meter.updates()) / seconds, at(0.5), at(0.95), at(0.99),
      intervals.empty() ? 0 : intervals.back());
  return 0;
}
