#pragma once

#include <functional>

#include <gtkmm.h>

namespace zemblo {

// Calls `hovering` with true when the pointer enters `widget` and with false when it leaves.
void trackHover(Gtk::Widget& widget, std::function<void(bool hovering)> hovering);

// A press and release of the primary button inside `widget` (not a drag out of it) runs `tap`,
// and the pointer entering and leaving drives `hovering`.
void addTapAndHover(Gtk::Widget& widget, std::function<void()> tap,
                    std::function<void(bool hovering)> hovering);

}  // namespace zemblo
