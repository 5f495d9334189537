#pragma once

#include <gtkmm.h>

namespace zemblo {

// The toolkit's menus select the row under the pointer a moment after they hear of the pointer
// there, also from the moves they make up themselves where the pointer rests, each time a key
// press redraws the menu: the arrow keys moved the selection and it went back to the row under a
// pointer the user never moved. After this, those made-up moves never reach the rows of `menu`
// or of the menus opened from its items; a pointer that really moves still picks the row under
// it. Again whenever the model changes, for the menus built anew.
void keepRestingPointerOffRows(Gtk::PopoverMenu& menu);

}  // namespace zemblo
