#include "widgets/frame_ticker.h"

namespace zemblo {

FrameTicker::FrameTicker(Gtk::Widget& widget, std::function<void(double)> onFrame,
                         std::function<void()> onStop,
                         std::optional<std::chrono::milliseconds> interval)
    : widget_(widget),
      onFrame_(std::move(onFrame)),
      onStop_(std::move(onStop)),
      interval_(interval) {
  mapped_ = widget_.signal_map().connect([this] { update(); });
  unmapped_ = widget_.signal_unmap().connect([this] { update(); });
  settings_ = Gtk::Settings::get_for_display(widget_.get_display())
                  ->property_gtk_enable_animations()
                  .signal_changed()
                  .connect([this] { update(); });
}

FrameTicker::~FrameTicker() {
  mapped_.disconnect();
  unmapped_.disconnect();
  settings_.disconnect();
  timer_.disconnect();
  if (tick_) widget_.remove_tick_callback(tick_);
}

void FrameTicker::setOn(bool on) {
  if (on == on_) return;
  on_ = on;
  update();
}

bool FrameTicker::animationsEnabled(Gtk::Widget& widget) {
  return Gtk::Settings::get_for_display(widget.get_display())
      ->property_gtk_enable_animations()
      .get_value();
}

void FrameTicker::update() {
  const bool wanted = on_ && widget_.get_mapped() && animationsEnabled(widget_);
  if (wanted == ticking()) return;
  if (wanted) {
    start();
  } else {
    stop();
  }
}

void FrameTicker::start() {
  firstFrame_ = -1;
  if (interval_) {
    frame(g_get_monotonic_time());
    timer_ = Glib::signal_timeout().connect(
        [this] {
          frame(g_get_monotonic_time());
          return true;
        },
        static_cast<unsigned>(interval_->count()));
    return;
  }
  tick_ = widget_.add_tick_callback([this](const Glib::RefPtr<Gdk::FrameClock>& clock) {
    frame(clock->get_frame_time());
    return true;
  });
}

void FrameTicker::stop() {
  timer_.disconnect();
  if (tick_) widget_.remove_tick_callback(tick_);
  tick_ = 0;
  onStop_();
}

void FrameTicker::frame(gint64 now) {
  if (firstFrame_ < 0) firstFrame_ = now;
  onFrame_(double(now - firstFrame_) / G_USEC_PER_SEC);
}

}  // namespace zemblo
