#pragma once

#include <gtkmm.h>

namespace zemblo {

// Adds or removes one style class, for states the style sheet draws (hovering, running…).
inline void setCssClass(Gtk::Widget& widget, const char* name, bool present) {
  if (present) {
    widget.add_css_class(name);
  } else {
    widget.remove_css_class(name);
  }
}

}  // namespace zemblo
