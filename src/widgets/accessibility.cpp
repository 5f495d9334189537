#include "widgets/accessibility.h"

namespace zemblo {

void setAccessibleName(Gtk::Widget& widget, const Glib::ustring& name) {
  gtk_accessible_update_property(GTK_ACCESSIBLE(widget.gobj()), GTK_ACCESSIBLE_PROPERTY_LABEL,
                                 name.c_str(), -1);
}

void setHelpText(Gtk::Widget& widget, const Glib::ustring& help) {
  if (widget.get_tooltip_text() == help) return;
  widget.set_tooltip_text(help);
  setAccessibleName(widget, help);
}

void setAccessibleRole(Gtk::Widget& widget, Gtk::Accessible::Role role) {
  widget.property_accessible_role() = role;
}

void setAccessibleSelected(Gtk::Widget& widget, bool selected) {
  gtk_accessible_update_state(GTK_ACCESSIBLE(widget.gobj()), GTK_ACCESSIBLE_STATE_SELECTED,
                              selected, -1);
}

void presentAsTextField(Gtk::Text& field) {
  setAccessibleRole(field, Gtk::Accessible::Role::TEXT_BOX);
}

void setPlaceholder(Gtk::Text& field, const Glib::ustring& placeholder) {
  if (field.get_placeholder_text() == placeholder) return;
  field.set_placeholder_text(placeholder);
  setAccessibleName(field, placeholder);
}

}  // namespace zemblo
