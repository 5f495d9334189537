#pragma once

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include "support/wait.h"

// Waiting on the main loop of a test that shows widgets: for a condition, for the work already
// queued, for the next frame. Each waits for an event with a deadline, never for a time.
namespace zemblo::testing {

using namespace std::chrono_literals;

// Runs the main loop until the work queued so far has run: the views' re-syncs and whatever
// they queue in turn (idle work), ahead of an idle of the lowest priority. A frame clock that
// keeps ticking (an animated background) does not hold it up: frames come at their times, and
// the loop is idle in between.
inline void drain() {
  bool reached = false;
  const guint idle = g_idle_add_full(
      G_PRIORITY_LOW,
      [](gpointer flag) {
        *static_cast<bool*>(flag) = true;
        return gboolean(G_SOURCE_REMOVE);
      },
      &reached, nullptr);
  if (!waitUntil([&] { return reached; })) {
    g_source_remove(idle);  // it must not write to `reached` later
    ADD_FAILURE() << "the main loop never ran out of work";
  }
}

// Runs the main loop until every shown window has been through one more frame: the views'
// re-syncs (idle work, which runs before a frame) are laid out and drawn. False when a window
// drew no frame within the deadline.
inline bool waitForFrame() {
  struct Watch {
    GdkFrameClock* clock;
    gulong handler;
    bool painted = false;
  };
  std::vector<std::unique_ptr<Watch>> watches;
  GList* toplevels = gtk_window_list_toplevels();
  for (GList* item = toplevels; item; item = item->next) {
    GtkWidget* window = GTK_WIDGET(item->data);
    GdkFrameClock* clock =
        gtk_widget_get_mapped(window) ? gtk_widget_get_frame_clock(window) : nullptr;
    if (!clock) continue;
    auto watch = std::make_unique<Watch>(Watch{clock, 0});
    watch->handler = g_signal_connect_swapped(
        clock, "after-paint", G_CALLBACK(+[](Watch* seen) { seen->painted = true; }), watch.get());
    gdk_frame_clock_request_phase(clock, GDK_FRAME_CLOCK_PHASE_LAYOUT);
    watches.push_back(std::move(watch));
  }
  g_list_free(toplevels);
  const bool drawn = waitUntil([&] {
    return std::all_of(watches.begin(), watches.end(), [](const auto& w) { return w->painted; });
  });
  for (const auto& watch : watches) g_signal_handler_disconnect(watch->clock, watch->handler);
  return drawn;
}

// Lets the views sync, GTK lay out and draw what changed, and the work the frame queued run.
inline void pump() {
  drain();
  waitForFrame();
  drain();
}

}  // namespace zemblo::testing
