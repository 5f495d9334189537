#pragma once

#include <gtkmm.h>

namespace zemblo {

// A control that takes the wheel (a slider, a spin button) changes its value when a scroll of the
// pane passes under the pointer, and the user loses a setting without noticing. After this the
// wheel goes on to the pane around the control; clicks, drags and keys still change it.
void leaveWheelToPane(Gtk::Widget& control);

// A row that scrolls sideways inside a pane that scrolls up and down: it takes only the sideways
// wheel and touchpad movement, and an up-and-down turn of the wheel over it scrolls the pane.
void leaveVerticalWheelToPane(Gtk::ScrolledWindow& row);

}  // namespace zemblo
