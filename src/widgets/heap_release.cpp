#include "widgets/heap_release.h"

#include "platform/heap.h"

namespace zemblo {

HeapRelease::HeapRelease(Gtk::Widget& window) : window_(window) {
  const auto watch = [this] {
    clock_ = gtk_widget_get_frame_clock(window_.gobj());
    if (!clock_) return;
    handler_ = g_signal_connect_swapped(
        clock_, "after-paint", G_CALLBACK(+[](HeapRelease* self) { self->painted(); }), this);
  };
  // The frame clock comes with the window's surface.
  if (window_.get_realized()) {
    watch();
  } else {
    realized_ = window_.signal_realize().connect(watch);
  }
}

HeapRelease::~HeapRelease() {
  realized_.disconnect();
  check_.disconnect();
  if (clock_ && handler_) g_signal_handler_disconnect(clock_, handler_);
}

void HeapRelease::painted() {
  paintedSinceCheck_ = true;
  if (!check_.connected()) {
    check_ = Glib::signal_timeout().connect(sigc::mem_fun(*this, &HeapRelease::check),
                                            kStillMilliseconds);
  }
}

bool HeapRelease::check() {
  const bool drawing = std::exchange(paintedSinceCheck_, false);
  if (drawing && ++drawingChecks_ < kDrawingChecks) return true;
  drawingChecks_ = 0;
  heap::release();
  ++releases_;
  return drawing;
}

}  // namespace zemblo
