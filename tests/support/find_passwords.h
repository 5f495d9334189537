#pragma once

#include <gtk/gtk.h>

#include <string_view>

// The passwords window's parts that live outside its own widget tree.
namespace zemblo::testing {

// The import sheet over `window` until it is dropped, shown or not.
inline GtkWindow* importSheetOver(GtkWindow* window) {
  GListModel* toplevels = gtk_window_get_toplevels();
  for (guint i = 0; i < g_list_model_get_n_items(toplevels); ++i) {
    auto* shown = static_cast<GtkWindow*>(g_list_model_get_item(toplevels, i));
    g_object_unref(shown);
    if (gtk_window_get_transient_for(shown) == window &&
        std::string_view(gtk_widget_get_name(GTK_WIDGET(shown))) == "ImportPasswordsSheet") {
      return shown;
    }
  }
  return nullptr;
}

}  // namespace zemblo::testing
