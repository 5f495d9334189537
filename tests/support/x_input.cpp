#include "support/x_input.h"

#include <gtest/gtest.h>

#include <chrono>

#include "support/wait.h"

// Last, and kept out of the header: the X headers define words like None and Status as macros.
#include <gdk/x11/gdkx.h>

namespace zemblo::testing {

GtkWindow* shownWindowTitled(const std::string& title) {
  GtkWindow* found = nullptr;
  waitUntil([&] {
    GListModel* toplevels = gtk_window_get_toplevels();
    for (guint i = 0; i < g_list_model_get_n_items(toplevels) && !found; ++i) {
      auto* window = GTK_WINDOW(g_list_model_get_item(toplevels, i));
      const char* shown = gtk_window_get_title(window);
      if (shown && title == shown && gtk_widget_get_mapped(GTK_WIDGET(window))) found = window;
      g_object_unref(window);
    }
    return found != nullptr;
  });
  return found;
}

std::string xdotoolOn(GtkWindow* window, std::string actions) {
  GdkSurface* surface = window ? gtk_native_get_surface(GTK_NATIVE(window)) : nullptr;
  const std::string id = surface && GDK_IS_X11_SURFACE(surface)
                             ? std::to_string(gdk_x11_surface_get_xid(surface))
                             : "no-such-window";
  for (auto at = actions.find("%1"); at != std::string::npos; at = actions.find("%1", at)) {
    actions.replace(at, 2, id);
  }
  return "xdotool " + actions;
}

std::string xdotoolOn(const std::string& title, const std::string& actions) {
  return xdotoolOn(shownWindowTitled(title), actions);
}

void runBesideMainLoop(const std::string& command) {
  // Runs that this process started and that have not finished yet.
  static int running = 0;
  if (!waitUntil([] { return running == 0; }, std::chrono::seconds(30))) {
    ADD_FAILURE() << "the input before did not finish: " << command;
    return;
  }
  const char* argv[] = {"/bin/sh", "-c", command.c_str(), nullptr};
  GPid pid = 0;
  GError* error = nullptr;
  if (!g_spawn_async(nullptr, const_cast<char**>(argv), nullptr, G_SPAWN_DO_NOT_REAP_CHILD, nullptr,
                     nullptr, &pid, &error)) {
    ADD_FAILURE() << "could not run " << command << ": " << error->message;
    g_error_free(error);
    return;
  }
  ++running;
  g_child_watch_add(
      pid,
      [](GPid child, gint, gpointer) {
        g_spawn_close_pid(child);
        --running;
      },
      nullptr);
}

}  // namespace zemblo::testing
