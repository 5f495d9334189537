#pragma once

#include <optional>

#include <gtkmm.h>

#include "model/window_frame.h"

namespace zemblo {

// Remembers a window's frame as the user leaves it: when it is hidden (closed, or the application
// quits) and when it is maximized or unmaximized, for the next new window; and as it changes, in
// `kept`, for the session to restore this window. The size is the window's default size, which
// the toolkit keeps at the unmaximized size while the window is maximized or full screen.
class WindowFrameRecorder {
 public:
  // `kept` outlives the recorder.
  WindowFrameRecorder(Gtk::Window& window, WindowFrameMemory& memory,
                      std::optional<WindowFrame>& kept);
  ~WindowFrameRecorder();
  WindowFrameRecorder(const WindowFrameRecorder&) = delete;
  WindowFrameRecorder& operator=(const WindowFrameRecorder&) = delete;

 private:
  void record();
  // Only while the window is on screen: once hidden the desktop drops its states, which are not
  // the user's.
  void keep();
  std::optional<WindowFrame> current() const;

  Gtk::Window& window_;
  WindowFrameMemory& memory_;
  std::optional<WindowFrame>& kept_;
  std::vector<sigc::connection> connections_;
};

}  // namespace zemblo
