#pragma once

#include <gtk/gtk.h>

#include "support/wait.h"

namespace zemblo::testing {

// The file chooser on screen, once one shows: where no portal runs, the toolkit's own dialog
// stands in for the native one.
inline GtkFileChooser* shownFileChooser() {
  GtkFileChooser* found = nullptr;
  waitUntil([&] {
    GListModel* toplevels = gtk_window_get_toplevels();
    for (guint i = 0; i < g_list_model_get_n_items(toplevels) && !found; ++i) {
      auto* window = GTK_WIDGET(g_list_model_get_item(toplevels, i));
      if (GTK_IS_FILE_CHOOSER_DIALOG(window) && gtk_widget_get_mapped(window)) {
        found = GTK_FILE_CHOOSER(window);
      }
      g_object_unref(window);
    }
    return found != nullptr;
  });
  return found;
}

}  // namespace zemblo::testing
