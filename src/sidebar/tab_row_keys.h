#pragma once

#include <gtkmm.h>

namespace zemblo {

class TabRow;

// A tab row with the keyboard focus: Return selects its tab, Delete closes it, Shift+F10 and the
// Menu key open its menu.
void addTabRowKeys(TabRow& row);

// Ctrl+W closes the tab of the row that has the keyboard focus in `window`, not the current tab;
// false when no row has it.
bool closeFocusedTabRow(Gtk::Window& window);

}  // namespace zemblo
