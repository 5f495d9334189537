#pragma once

#include <gtkmm.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace zemblo::bench {

// The area of a window the X server is told was drawn, through a connection of its own: what the
// toolkit really repaints, whatever it computed as damaged. Counts nothing off X11.
class DamageMeter {
 public:
  explicit DamageMeter(Gtk::Window& window);
  // Any program's window `xid` on the display `display` (null: $DISPLAY).
  DamageMeter(const char* display, unsigned long xid);
  ~DamageMeter();
  DamageMeter(const DamageMeter&) = delete;
  DamageMeter& operator=(const DamageMeter&) = delete;

  bool available() const;
  // Forgets what was drawn so far.
  void reset();
  double pixels();
  size_t rectangles();
  // The X server's time of each rectangle drawn, in milliseconds of the monotonic clock (the
  // clock the frame clock's times come from): the rectangles of one frame come within a
  // millisecond or two of each other.
  const std::vector<uint32_t>& times();
  // The rectangles drawn, as x, y, width and height, in the order of `times()`.
  const std::vector<std::array<int, 4>>& areas() const { return areas_; }
  // How many times the window was drawn as seen from outside: runs of rectangles no more than
  // `gap` milliseconds apart count once.
  size_t updates(uint32_t gap = 3);
  // The milliseconds between the starts of those updates: the frame intervals a user sees.
  std::vector<double> updateIntervals(uint32_t gap = 3);

 private:
  struct Connection;
  static std::unique_ptr<Connection> connect(const char* display, unsigned long xid);
  void collect();

  std::unique_ptr<Connection> x_;
  double pixels_ = 0;
  size_t rectangles_ = 0;
  std::vector<uint32_t> times_;
  std::vector<std::array<int, 4>> areas_;
};

// The X window of `window`; none off X11.
std::optional<unsigned long> xWindowOf(Gtk::Window& window);

}  // namespace zemblo::bench
