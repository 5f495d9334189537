#pragma once

#include <gtkmm.h>

namespace zemblo {

class BrowserCommands;

// "Save Page As…": asks where the current tab's page goes, offering a name made from its title,
// and writes the page there as one MHTML file. A page that can't be saved is told to the user.
// Nothing on the start page.
void saveCurrentPage(const BrowserCommands& commands, Gtk::Window& parent);

}  // namespace zemblo
