#pragma once

#include <gtkmm.h>

namespace zemblo {

// An open popover holds the keyboard: the toolkit hands every key to it alone, so the window's
// shortcuts never see them and Ctrl+Q, Ctrl+T or Ctrl+L would do nothing while it is open. This
// offers the window the keys that can only mean a shortcut (with Control, Alt or Super, and the
// function keys) before the popover's controls get them. Space presses the focused control, as it
// does in the window (the toolkit's popover leaves that to Return).
void setUpPopoverKeys(Gtk::Popover& popover);

// Opens the popover; opened with the pointer (`byPointer`), it leaves the keyboard focus on none
// of its controls. The toolkit focuses the first one, so that Space or Return pressed without
// looking flipped a switch the user never chose. Tab still walks the controls from the first.
void popupFor(Gtk::Popover& popover, bool byPointer);

}  // namespace zemblo
