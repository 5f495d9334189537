#pragma once

#include <gtk/gtk.h>

#include <string>

// Widgets found as a screen reader finds them: by the name it announces.
namespace zemblo::testing {

// The name the toolkit holds for the widget: its own label, else, for a button, the text of its
// label (what labels it); empty when none.
inline std::string accessibleName(GtkWidget* widget) {
  // The checker answers with the value held when it differs from the one asked for.
  char* held = gtk_test_accessible_check_property(GTK_ACCESSIBLE(widget),
                                                  GTK_ACCESSIBLE_PROPERTY_LABEL, "\x01");
  std::string name = held && std::string(held) != "undefined" ? held : "";
  g_free(held);
  if (!name.empty()) return name;
  if (GTK_IS_BUTTON(widget) && gtk_button_get_label(GTK_BUTTON(widget))) {
    return gtk_button_get_label(GTK_BUTTON(widget));
  }
  if (GTK_IS_BUTTON(widget)) {
    for (GtkWidget* child = gtk_widget_get_first_child(widget); child;
         child = gtk_widget_get_next_sibling(child)) {
      if (GTK_IS_LABEL(child)) return gtk_label_get_text(GTK_LABEL(child));
    }
  }
  return {};
}

// The first widget at or under `root`, in the order of the widget tree, of that role and name.
inline GtkWidget* findByAccessibleName(GtkWidget* root, const std::string& name,
                                       GtkAccessibleRole role = GTK_ACCESSIBLE_ROLE_BUTTON) {
  if (gtk_accessible_get_accessible_role(GTK_ACCESSIBLE(root)) == role &&
      accessibleName(root) == name) {
    return root;
  }
  for (GtkWidget* child = gtk_widget_get_first_child(root); child;
       child = gtk_widget_get_next_sibling(child)) {
    if (GtkWidget* found = findByAccessibleName(child, name, role)) return found;
  }
  return nullptr;
}

}  // namespace zemblo::testing
