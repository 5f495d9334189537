#pragma once

#include <gtkmm.h>

#include <vector>

namespace zemblo {

// One monitor's size in application pixels and its scale to device pixels.
struct MonitorArea {
  int width = 0;
  int height = 0;
  int scale = 1;
};

// The display's monitors as it knows them now; none without a display.
std::vector<MonitorArea> monitorAreas(const Glib::RefPtr<Gdk::Display>& display);

}  // namespace zemblo
