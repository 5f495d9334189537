#include "widgets/heap_release.h"

#include "platform/heap.h"

namespace zemblo {

HeapRelease::HeapRelease(Gtk::Widget& window) : window_(window) {
  // The frame clock comes with the window's surface, anew each time it is realized.
  realized_ = window_.signal_realize().connect(sigc::mem_fun(*this, &HeapRelease::watch));
  if (window_.get_realized()) watch();
}

HeapRelease::~HeapRelease() {
  realized_.disconnect();
  check_.disconnect();
  unwatch();
}

void HeapRelease::watch() {
  unwatch();
  clock_ = window_.get_frame_clock();
  if (!clock_) return;
  afterPaint_ = g_signal_connect_swapped(
      clock_->gobj(), "after-paint", G_CALLBACK(+[](HeapRelease* self) { self->painted(); }), this);
}

void HeapRelease::unwatch() {
  if (clock_ && afterPaint_) g_signal_handler_disconnect(clock_->gobj(), afterPaint_);
  afterPaint_ = 0;
  clock_.reset();
}

void HeapRelease::painted() {
  paintedSinceCheck_ = true;
  if (!check_.connected()) {
    check_ = Glib::signal_timeout().connect(sigc::mem_fun(*this, &HeapRelease::check),
                                            kStillMilliseconds);
  }
}

bool HeapRelease::check() {
  if (std::exchange(paintedSinceCheck_, false)) return true;
  heap::release();
  return false;
}

}  // namespace zemblo
