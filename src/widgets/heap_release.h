#pragma once

#include <gtkmm.h>

namespace zemblo {

// Gives the heap's free memory back to the system once a window has painted nothing for a
// second. While it keeps drawing, the frame buffers of one frame serve the next: handing them
// back then would only have the next frames fault them in again, and a release stalls the
// frame it falls in.
class HeapRelease {
 public:
  static constexpr unsigned kStillMilliseconds = 1000;

  explicit HeapRelease(Gtk::Widget& window);
  ~HeapRelease();
  HeapRelease(const HeapRelease&) = delete;
  HeapRelease& operator=(const HeapRelease&) = delete;

 private:
  void watch();
  void unwatch();
  void painted();
  bool check();

  Gtk::Widget& window_;
  // Held, so that the window's going away first leaves nothing dangling.
  Glib::RefPtr<Gdk::FrameClock> clock_;
  gulong afterPaint_ = 0;
  sigc::connection realized_, check_;
  bool paintedSinceCheck_ = false;
};

}  // namespace zemblo
