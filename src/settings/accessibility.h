#pragma once

#include <string>

#include <gtk/gtk.h>
#include <gtkmm.h>

// What assistive technologies read for the controls of the settings window. Every control gets
// a name: rows name their control after their title, pictures after their option.
namespace zemblo::accessibility {

inline void setLabel(Gtk::Widget& widget, const std::string& label) {
  gtk_accessible_update_property(GTK_ACCESSIBLE(widget.gobj()), GTK_ACCESSIBLE_PROPERTY_LABEL,
                                 label.c_str(), -1);
}

inline void setDescription(Gtk::Widget& widget, const std::string& description) {
  gtk_accessible_update_property(GTK_ACCESSIBLE(widget.gobj()), GTK_ACCESSIBLE_PROPERTY_DESCRIPTION,
                                 description.c_str(), -1);
}

// For a control whose focus lands on a button inside it (a drop-down, a colour button): the
// name goes to the button as well, since that is what assistive technologies meet.
inline void setLabelWithInnerButton(Gtk::Widget& control, const std::string& label) {
  setLabel(control, label);
  if (Gtk::Widget* inner = control.get_first_child()) setLabel(*inner, label);
}

// For buttons that stand for one choice among several.
inline void setPressed(Gtk::Widget& widget, bool pressed) {
  gtk_accessible_update_state(
      GTK_ACCESSIBLE(widget.gobj()), GTK_ACCESSIBLE_STATE_PRESSED,
      pressed ? GTK_ACCESSIBLE_TRISTATE_TRUE : GTK_ACCESSIBLE_TRISTATE_FALSE, -1);
}

}  // namespace zemblo::accessibility
