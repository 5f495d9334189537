#pragma once

#include <gtkmm.h>

// What screen readers get from the views: a name and a role for every control. Controls whose
// text is not a label of their own (symbols, custom-drawn rows and tiles, text fields) say it
// here.
namespace zemblo {

// The name a screen reader announces `widget` by.
void setAccessibleName(Gtk::Widget& widget, const Glib::ustring& name);

// The tooltip of a control that shows only a symbol, which is also the name it is announced by.
void setHelpText(Gtk::Widget& widget, const Glib::ustring& help);

// A custom-drawn control takes the role of what it does. Only before it is first shown.
void setAccessibleRole(Gtk::Widget& widget, Gtk::Accessible::Role role);

// Whether the row, tile or button stands for the current choice (the selected tab, the current
// space).
void setAccessibleSelected(Gtk::Widget& widget, bool selected);

// A text part on its own, outside an entry, is left out of the tree by the toolkit: it is shown
// as a text field, named by its placeholder.
void presentAsTextField(Gtk::Text& field);
void setPlaceholder(Gtk::Text& field, const Glib::ustring& placeholder);

}  // namespace zemblo
