#pragma once

#include <gtk/gtk.h>

#include <filesystem>
#include <string>

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

// The path of `file` (taken); empty without one.
inline std::filesystem::path pathOf(GFile* file) {
  char* path = file ? g_file_get_path(file) : nullptr;
  std::filesystem::path found = path ? path : "";
  g_free(path);
  if (file) g_object_unref(file);
  return found;
}

// Where the chooser would save now.
inline std::filesystem::path chosenPath(GtkFileChooser* dialog) {
  return pathOf(gtk_file_chooser_get_file(dialog));
}

// Answers with `name` in `folder`, as the user types them, and waits until the chooser would save
// there: it takes a folder it is given on a later turn.
inline bool chooseToSave(GtkFileChooser* dialog, const std::filesystem::path& folder,
                         const std::string& name) {
  GFile* target = g_file_new_for_path(folder.c_str());
  const bool taken = gtk_file_chooser_set_current_folder(dialog, target, nullptr);
  g_object_unref(target);
  gtk_file_chooser_set_current_name(dialog, name.c_str());
  return taken && waitUntil([&] { return chosenPath(dialog) == folder / name; });
}

}  // namespace zemblo::testing
