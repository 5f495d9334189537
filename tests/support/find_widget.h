#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <string>
#include <vector>

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

// Every widget at or under `root` that `matches`, in the order of the widget tree.
inline std::vector<GtkWidget*> findAll(GtkWidget* root,
                                       const std::function<bool(GtkWidget*)>& matches) {
  std::vector<GtkWidget*> found;
  if (matches(root)) found.push_back(root);
  for (GtkWidget* child = gtk_widget_get_first_child(root); child;
       child = gtk_widget_get_next_sibling(child)) {
    for (GtkWidget* inner : findAll(child, matches)) found.push_back(inner);
  }
  return found;
}

// The first widget at or under `root` that `matches`, or null.
inline GtkWidget* findFirst(GtkWidget* root, const std::function<bool(GtkWidget*)>& matches) {
  if (matches(root)) return root;
  for (GtkWidget* child = gtk_widget_get_first_child(root); child;
       child = gtk_widget_get_next_sibling(child)) {
    if (GtkWidget* found = findFirst(child, matches)) return found;
  }
  return nullptr;
}

// The first widget at or under `root`, in the order of the widget tree, of that role and name.
inline GtkWidget* findByAccessibleName(GtkWidget* root, const std::string& name,
                                       GtkAccessibleRole role = GTK_ACCESSIBLE_ROLE_BUTTON) {
  return findFirst(root, [&](GtkWidget* widget) {
    return gtk_accessible_get_accessible_role(GTK_ACCESSIBLE(widget)) == role &&
           accessibleName(widget) == name;
  });
}

// Widgets with no name a user hears (a progress bar, a picture) are found by the widget name
// their view gives them, which is also what the style sheets select.
inline GtkWidget* findByWidgetName(GtkWidget* root, const std::string& name) {
  return findFirst(root, [&](GtkWidget* widget) { return gtk_widget_get_name(widget) == name; });
}

// Every widget at or under `root` with that accessible role.
inline std::vector<GtkWidget*> findAllByRole(GtkWidget* root, GtkAccessibleRole role) {
  return findAll(root, [&](GtkWidget* widget) {
    return gtk_accessible_get_accessible_role(GTK_ACCESSIBLE(widget)) == role;
  });
}

}  // namespace zemblo::testing
