#include "window/window_frame_recorder.h"

namespace zemblo {

WindowFrameRecorder::WindowFrameRecorder(Gtk::Window& window, WindowFrameMemory& memory,
                                         std::optional<WindowFrame>& kept)
    : window_(window), memory_(memory), kept_(kept) {
  connections_.push_back(window_.signal_hide().connect([this] { record(); }));
  connections_.push_back(window_.property_maximized().signal_changed().connect([this] {
    if (window_.get_visible()) record();
  }));
  const auto keepFrame = [this] { keep(); };
  connections_.push_back(window_.property_fullscreened().signal_changed().connect(keepFrame));
  connections_.push_back(window_.property_default_width().signal_changed().connect(keepFrame));
  connections_.push_back(window_.property_default_height().signal_changed().connect(keepFrame));
}

WindowFrameRecorder::~WindowFrameRecorder() {
  for (auto& connection : connections_) connection.disconnect();
}

std::optional<WindowFrame> WindowFrameRecorder::current() const {
  WindowFrame frame;
  window_.get_default_size(frame.width, frame.height);
  // Unset, the default size reads -1: there is nothing to remember then.
  if (frame.width <= 0 || frame.height <= 0) return std::nullopt;
  frame.maximized = window_.is_maximized();
  frame.fullScreen = window_.is_fullscreen();
  return frame;
}

void WindowFrameRecorder::record() {
  const auto frame = current();
  if (!frame) return;
  kept_ = frame;
  memory_.remember(*frame);
}

void WindowFrameRecorder::keep() {
  if (!window_.get_visible()) return;
  if (const auto frame = current()) kept_ = frame;
}

}  // namespace zemblo
