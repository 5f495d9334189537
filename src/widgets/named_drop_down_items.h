#pragma once

#include <gtkmm.h>

namespace zemblo {

// The texts of a drop-down of texts (a Gtk::StringList), drawn as the toolkit draws them: the
// chosen text on the button, and in the open list each text with a check mark beside the chosen
// one. The toolkit leaves the item widgets, which take the focus, unnamed, so a screen reader
// meets "GtkListItemWidget"; these are named by their text.
void nameDropDownItems(Gtk::DropDown& dropDown);

}  // namespace zemblo
