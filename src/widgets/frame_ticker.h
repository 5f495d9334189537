#pragma once

#include <chrono>
#include <functional>
#include <optional>

#include <gtkmm.h>

namespace zemblo {

// Calls `onFrame` while it is switched on, the widget is mapped and the desktop has animations
// on: on every frame of the widget's frame clock, or every `interval` when one is given (a
// slow change that the eye sees as smooth at a lower rate then costs fewer frames of the whole
// window). Each new run starts at an elapsed time of 0. Unlike a style-sheet animation, nothing
// else of the window is restyled or laid out again because of it.
class FrameTicker {
 public:
  // `onFrame` gets the seconds since the run began; `onStop` runs when frames stop coming.
  FrameTicker(Gtk::Widget& widget, std::function<void(double)> onFrame,
              std::function<void()> onStop,
              std::optional<std::chrono::milliseconds> interval = std::nullopt);
  ~FrameTicker();
  FrameTicker(const FrameTicker&) = delete;
  FrameTicker& operator=(const FrameTicker&) = delete;

  void setOn(bool on);
  bool on() const { return on_; }
  // Frames are coming now.
  bool ticking() const { return tick_ != 0 || timer_.connected(); }

 private:
  void update();
  void start();
  void stop();
  void frame(gint64 now);
  static bool animationsEnabled(Gtk::Widget& widget);

  Gtk::Widget& widget_;
  std::function<void(double)> onFrame_;
  std::function<void()> onStop_;
  std::optional<std::chrono::milliseconds> interval_;
  bool on_ = false;
  guint tick_ = 0;
  sigc::connection timer_;
  gint64 firstFrame_ = -1;
  sigc::connection mapped_, unmapped_, settings_;
};

}  // namespace zemblo
