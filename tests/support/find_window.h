#pragma once

#include <gtkmm.h>

#include <stdexcept>
#include <string>

#include "support/find_sidebar.h"
#include "support/find_widget.h"

// The window's views reached through the widget tree, as the class a test drives: by the widget
// name each view gives itself (which the style sheets select too, found with `widgetNamed`) or by
// what a screen reader announces (`announced`).
namespace zemblo::testing {

// The first widget at or under `root` with that style class, as a `Part`.
template <class Part = Gtk::Widget>
Part& partWithClass(Gtk::Widget& root, const std::string& styleClass) {
  GtkWidget* found = findFirst(root.gobj(), [&](GtkWidget* widget) {
    return gtk_widget_has_css_class(widget, styleClass.c_str());
  });
  auto* part = asView<Part>(found);
  if (!part) throw std::runtime_error("nothing of style class " + styleClass + " here");
  return *part;
}

// The widget of that name at or under `root` that takes the pointer now, as a `View`; null when
// none does (a view on its way out no longer does).
template <class View = Gtk::Widget>
View* activeView(Gtk::Widget& root, const std::string& name) {
  GtkWidget* found = findFirst(root.gobj(), [&](GtkWidget* widget) {
    return gtk_widget_get_name(widget) == name && gtk_widget_get_visible(widget) &&
           gtk_widget_get_can_target(widget);
  });
  return asView<View>(found);
}

// The first text field at or under `root`.
inline Gtk::Text& textFieldIn(Gtk::Widget& root) {
  GtkWidget* field = findFirst(root.gobj(), [](GtkWidget* widget) { return GTK_IS_TEXT(widget); });
  if (!field) throw std::runtime_error("no text field here");
  return *Glib::wrap(GTK_TEXT(field));
}

// The sidebar docked in the window's column (not the one in the peek panel).
inline Gtk::Widget& sidebarColumn(Gtk::Widget& window) {
  Gtk::Widget& layout = widgetNamed(window, "BrowserWindowContent");
  for (Gtk::Widget* child = layout.get_first_child(); child; child = child->get_next_sibling()) {
    if (child->get_name() == "SidebarView") return *child;
  }
  throw std::runtime_error("the window has no sidebar column");
}

// The window's own close, minimise and maximise buttons.
inline Gtk::WindowControls& windowButtons(Gtk::Widget& window) {
  GtkWidget* controls = findFirst(widgetNamed(window, "WindowAccessor").gobj(),
                                  [](GtkWidget* widget) { return GTK_IS_WINDOW_CONTROLS(widget); });
  if (!controls) throw std::runtime_error("the window has no buttons");
  return *Glib::wrap(GTK_WINDOW_CONTROLS(controls));
}

}  // namespace zemblo::testing
