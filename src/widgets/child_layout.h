#pragma once

#include <gtkmm.h>

namespace zemblo {

// Gives a child the frame, grown to the child's own minimum size where the frame is smaller:
// GTK requires at least the minimum, even when the parent has less room.
void allocateChild(Gtk::Widget& child, int x, int y, int width, int height);

}  // namespace zemblo
