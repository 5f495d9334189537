#pragma once

#include <initializer_list>

#include <gtkmm.h>

namespace zemblo {

// Keys that close the window as its close button does, given in the toolkit's accelerator form
// ("Escape", "<Control>w"). They act only when nothing inside the window took the key first: an
// open menu or popover closes itself on Escape and leaves the window open.
void closeWithKeys(Gtk::Window& window, std::initializer_list<const char*> keys);

}  // namespace zemblo
