#include "widgets/child_layout.h"

#include <algorithm>

namespace zemblo {

void allocateChild(Gtk::Widget& child, int x, int y, int width, int height) {
  int minWidth = 0, natural = 0, minHeight = 0, b1 = -1, b2 = -1;
  child.measure(Gtk::Orientation::HORIZONTAL, -1, minWidth, natural, b1, b2);
  width = std::max(width, minWidth);
  child.measure(Gtk::Orientation::VERTICAL, width, minHeight, natural, b1, b2);
  child.size_allocate(Gtk::Allocation(x, y, width, std::max(height, minHeight)), -1);
}

}  // namespace zemblo
