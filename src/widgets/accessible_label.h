#pragma once

#include <string>

#include <gtkmm.h>

namespace zemblo {

// The name assistive technologies read for a control that shows no text of its own.
inline void setAccessibleLabel(Gtk::Widget& widget, const std::string& label) {
  gtk_accessible_update_property(GTK_ACCESSIBLE(widget.gobj()), GTK_ACCESSIBLE_PROPERTY_LABEL,
                                 label.c_str(), -1);
}

}  // namespace zemblo
