#include "window/window_frame_recorder.h"

#include "model/window_frame.h"

namespace zemblo {

WindowFrameRecorder::WindowFrameRecorder(Gtk::Window& window, WindowFrameMemory& memory)
    : window_(window), memory_(memory) {
  hidden_ = window_.signal_hide().connect([this] { record(); });
  // Once the window is hidden the desktop drops its maximized state, which is not the user's.
  maximized_ = window_.property_maximized().signal_changed().connect([this] {
    if (window_.get_visible()) record();
  });
}

WindowFrameRecorder::~WindowFrameRecorder() {
  hidden_.disconnect();
  maximized_.disconnect();
}

void WindowFrameRecorder::record() {
  WindowFrame frame;
  window_.get_default_size(frame.width, frame.height);
  // Unset, the default size reads -1: there is nothing to remember then.
  if (frame.width <= 0 || frame.height <= 0) return;
  frame.maximized = window_.is_maximized();
  memory_.remember(frame);
}

}  // namespace zemblo
