#include "settings/kit/row_divider.h"

namespace zemblo {

RowDivider::RowDivider() : Gtk::Separator(Gtk::Orientation::HORIZONTAL) {
  set_name("RowDivider");
  add_css_class("settings-row-divider");
}

}  // namespace zemblo
