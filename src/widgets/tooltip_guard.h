#pragma once

#include <gtkmm.h>

namespace zemblo {

// Keeps the tooltip of `owner` out of the way of `opened`, a menu, popover or window the owner
// shows: the tooltip goes when `opened` comes and stays away while it is shown. Lasts as long as
// both.
void hideTooltipWhileOpen(Gtk::Widget& owner, Gtk::Widget& opened);

}  // namespace zemblo
