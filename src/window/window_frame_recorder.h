#pragma once

#include <gtkmm.h>

namespace zemblo {

class WindowFrameMemory;

// Remembers a window's frame as the user leaves it: when it is hidden (closed, or the application
// quits) and when it is maximized or unmaximized. The size is the window's default size, which
// the toolkit keeps at the unmaximized size while the window is maximized or full screen.
class WindowFrameRecorder {
 public:
  WindowFrameRecorder(Gtk::Window& window, WindowFrameMemory& memory);
  ~WindowFrameRecorder();
  WindowFrameRecorder(const WindowFrameRecorder&) = delete;
  WindowFrameRecorder& operator=(const WindowFrameRecorder&) = delete;

 private:
  void record();

  Gtk::Window& window_;
  WindowFrameMemory& memory_;
  sigc::connection hidden_;
  sigc::connection maximized_;
};

}  // namespace zemblo
