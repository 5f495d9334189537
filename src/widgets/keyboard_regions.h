#pragma once

#include <functional>
#include <optional>
#include <vector>

#include <gtkmm.h>

namespace zemblo {

// One large part of a window the keyboard can jump to: `enter` puts the focus in it; without
// one, the focus goes to its first control.
struct KeyboardRegion {
  Gtk::Widget* widget = nullptr;
  std::function<void()> enter;
};

// F6 moves the keyboard to the next part of `window` that is shown, Shift+F6 to the one before,
// round and round, as in the desktop's own programs: the only way out of a page that keeps every
// Tab to itself. `regions` gives the parts in their order at the time of the key.
void cycleRegionsWithF6(Gtk::Window& window, std::function<std::vector<KeyboardRegion>()> regions);

// A list or grid of controls that Tab and Shift+Tab pass as one stop, the arrows moving inside it:
// a key of Tab's round from inside it goes on to what follows it (or precedes it) in the window.
void passAsOneTabStop(Gtk::Widget& group);

// A control about to go, or to be disabled, while it has the focus hands it to its nearest
// neighbour inside `within`: the next control, or the one before when none follows there. Without
// this the focus would be nowhere, and the next Tab would start over at the window's top.
void passFocusOn(Gtk::Widget& leaving, Gtk::Widget& within);

// Where the focus is among the controls inside `root`, in the order of the widget tree; none when
// it is elsewhere. A view built anew in the same shape gives it back with `focusControlAt`, to
// the control at the same place or, with fewer, the last.
std::optional<size_t> focusedControlIndex(Gtk::Widget& root);
void focusControlAt(Gtk::Widget& root, size_t index);

}  // namespace zemblo
