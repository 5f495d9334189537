#pragma once

#include <gtkmm.h>

namespace zemblo {

// The thin line between two rows of a section card, inset like the rows' text.
class RowDivider : public Gtk::Separator {
 public:
  static constexpr int kLeadingInset = 14;

  RowDivider();
};

}  // namespace zemblo
