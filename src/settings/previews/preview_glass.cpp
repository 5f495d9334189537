#include "settings/previews/preview_glass.h"

#include <algorithm>

#include "widgets/paint.h"

namespace zemblo {

PreviewGlass::PreviewGlass(int width, int height, double radius)
    : Gtk::Box(Gtk::Orientation::HORIZONTAL, 0), radius_(radius) {
  set_size_request(width, height);
  set_halign(Gtk::Align::CENTER);
  set_valign(Gtk::Align::CENTER);
}

void PreviewGlass::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
  GtkSnapshot* s = snapshot->gobj();
  const double radius = std::min(radius_, std::min(get_width(), get_height()) / 2.0);
  const GskRoundedRect shape =
      paint::roundedRect(paint::rect(0, 0, get_width(), get_height()), radius);
  GdkRGBA fill = paint::foreground(*this);
  fill.alpha = 0.08f;
  paint::appendRoundedFill(s, shape, fill);
  paint::appendInsideBorder(s, shape, 0.5, paint::grey(1, 0.2));
  Gtk::Box::snapshot_vfunc(snapshot);
}

}  // namespace zemblo
