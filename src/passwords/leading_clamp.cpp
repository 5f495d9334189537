#include "passwords/leading_clamp.h"

#include <algorithm>

#include "widgets/accessibility.h"
#include "widgets/child_layout.h"

namespace zemblo {

LeadingClamp::LeadingClamp(Gtk::Widget& child, int maximumWidth)
    : child_(child), maximumWidth_(maximumWidth) {
  child_.set_parent(*this);
  groupForScreenReaders(*this);
}

LeadingClamp::~LeadingClamp() { child_.unparent(); }

void LeadingClamp::measure_vfunc(Gtk::Orientation orientation, int for_size, int& minimum,
                                 int& natural, int& minimum_baseline, int& natural_baseline) const {
  minimum_baseline = natural_baseline = -1;
  int b1 = -1, b2 = -1;
  if (orientation == Gtk::Orientation::HORIZONTAL) {
    child_.measure(orientation, for_size, minimum, natural, b1, b2);
    natural = std::max(minimum, std::min(natural, maximumWidth_));
    return;
  }
  const int width = for_size < 0 ? -1 : std::min(for_size, std::max(maximumWidth_, 0));
  child_.measure(orientation, width, minimum, natural, b1, b2);
}

void LeadingClamp::size_allocate_vfunc(int width, int height, int) {
  allocateChild(child_, 0, 0, std::min(width, maximumWidth_), height);
}

}  // namespace zemblo
