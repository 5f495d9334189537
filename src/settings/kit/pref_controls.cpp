#include "settings/kit/pref_controls.h"

#include <cmath>
#include <cstdio>

#include "widgets/accessibility.h"

namespace zemblo::pref_controls {

std::string pointText(double value) {
  // Formatted as a floating-point number, so that no stored value can overflow a conversion.
  double whole = std::trunc(value);
  if (whole == 0 || !std::isfinite(whole)) whole = 0;
  char text[400];
  std::snprintf(text, sizeof text, "%.0f pt", whole);
  return text;
}

void setAvailable(Gtk::Widget& row, bool available) {
  setUsable(row, available);
  row.set_opacity(available ? 1 : 0.45);
}

}  // namespace zemblo::pref_controls
