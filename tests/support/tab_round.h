#pragma once

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "support/wait.h"

// Where Tab takes the keyboard focus in a window, as a keyboard user goes round it.
namespace zemblo::testing {

// The widgets that took the focus in `window`, in order, while `press` sent `presses` Tabs through
// the X server from no focus at all; counted once the window has seen every one of them.
inline std::vector<GtkWidget*> focusVisits(GtkWindow* window,
                                           const std::function<void(const std::string&)>& press,
                                           int presses) {
  std::vector<GtkWidget*> visits;
  gtk_window_set_focus(window, nullptr);
  const gulong handler = g_signal_connect(
      window, "notify::focus-widget", G_CALLBACK(+[](GtkWindow* w, GParamSpec*, gpointer data) {
        if (GtkWidget* focus = gtk_window_get_focus(w)) {
          static_cast<std::vector<GtkWidget*>*>(data)->push_back(focus);
        }
      }),
      &visits);
  int seen = 0;
  GtkEventController* counter = gtk_event_controller_key_new();
  gtk_event_controller_set_propagation_phase(counter, GTK_PHASE_CAPTURE);
  g_signal_connect(
      counter, "key-pressed",
      G_CALLBACK(+[](GtkEventControllerKey*, guint key, guint, GdkModifierType, gpointer data) {
        if (key == GDK_KEY_Tab) ++*static_cast<int*>(data);
        return FALSE;
      }),
      &seen);
  gtk_widget_add_controller(GTK_WIDGET(window), counter);
  std::string keys = "--delay 4";
  for (int i = 0; i < presses; ++i) keys += " Tab";
  press(keys);
  EXPECT_TRUE(waitUntil([&] { return seen == presses; })) << seen << " of " << presses << " Tabs";
  gtk_widget_remove_controller(GTK_WIDGET(window), counter);
  g_signal_handler_disconnect(window, handler);
  return visits;
}

// One round of `visits`: from the first widget to the last before the focus came back to it;
// empty when it never came back (the focus got stuck or the round is longer).
inline std::vector<GtkWidget*> focusRound(const std::vector<GtkWidget*>& visits) {
  if (visits.empty()) return {};
  const auto back = std::find(visits.begin() + 1, visits.end(), visits.front());
  if (back == visits.end()) return {};
  return {visits.begin(), back};
}

}  // namespace zemblo::testing
