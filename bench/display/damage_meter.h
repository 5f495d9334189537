#pragma once

#include <gtkmm.h>

#include <cstddef>
#include <memory>

namespace zemblo::bench {

// The area of a window the X server is told was drawn, through a connection of its own: what the
// toolkit really repaints, whatever it computed as damaged. Counts nothing off X11.
class DamageMeter {
 public:
  explicit DamageMeter(Gtk::Window& window);
  ~DamageMeter();
  DamageMeter(const DamageMeter&) = delete;
  DamageMeter& operator=(const DamageMeter&) = delete;

  bool available() const;
  // Forgets what was drawn so far.
  void reset();
  double pixels();
  size_t rectangles();

 private:
  struct Connection;
  void collect();

  std::unique_ptr<Connection> x_;
  double pixels_ = 0;
  size_t rectangles_ = 0;
};

}  // namespace zemblo::bench
