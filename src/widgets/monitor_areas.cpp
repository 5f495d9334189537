#include "widgets/monitor_areas.h"

namespace zemblo {

std::vector<MonitorArea> monitorAreas(const Glib::RefPtr<Gdk::Display>& display) {
  std::vector<MonitorArea> areas;
  if (!display) return areas;
  GListModel* monitors = gdk_display_get_monitors(display->gobj());
  for (guint i = 0; i < g_list_model_get_n_items(monitors); ++i) {
    auto* monitor = GDK_MONITOR(g_list_model_get_item(monitors, i));
    GdkRectangle geometry;
    gdk_monitor_get_geometry(monitor, &geometry);
    areas.push_back({geometry.width, geometry.height, gdk_monitor_get_scale_factor(monitor)});
    g_object_unref(monitor);
  }
  return areas;
}

}  // namespace zemblo
