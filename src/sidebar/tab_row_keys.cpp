#include "sidebar/tab_row_keys.h"

#include "sidebar/keyboard_focus.h"
#include "sidebar/tab_row.h"

namespace zemblo {

void addTabRowKeys(TabRow& row) {
  activateWithKeys(row, [&row] { row.tap(); });
  removeWithKeys(row, [&row] { row.closeClicked(); });
  openMenuWithKeys(row, [&row](double x, double y) -> Gtk::Popover* {
    row.popupContextMenu(x, y);
    return row.contextMenu();
  });
}

bool closeFocusedTabRow(Gtk::Window& window) {
  auto* row = dynamic_cast<TabRow*>(window.get_focus());
  if (!row) return false;
  row->closeClicked();
  return true;
}

}  // namespace zemblo
