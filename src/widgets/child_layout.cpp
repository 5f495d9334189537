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

void snapshotChildAround(Gtk::Widget& parent, Gtk::Widget& child, const Gdk::Rectangle& hole,
                         const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
  const int width = parent.get_width(), height = parent.get_height();
  const int left = std::clamp(hole.get_x(), 0, width);
  const int top = std::clamp(hole.get_y(), 0, height);
  const int right = std::clamp(hole.get_x() + hole.get_width(), left, width);
  const int bottom = std::clamp(hole.get_y() + hole.get_height(), top, height);
  const Gdk::Rectangle bands[] = {{0, 0, width, top},
                                  {0, bottom, width, height - bottom},
                                  {0, top, left, bottom - top},
                                  {right, top, width - right, bottom - top}};
  GtkSnapshot* s = snapshot->gobj();
  for (const Gdk::Rectangle& band : bands) {
    if (band.get_width() <= 0 || band.get_height() <= 0) continue;
    const graphene_rect_t clip =
        GRAPHENE_RECT_INIT(float(band.get_x()), float(band.get_y()), float(band.get_width()),
                           float(band.get_height()));
    gtk_snapshot_push_clip(s, &clip);
    // The child renders once; each band appends the same node.
    parent.snapshot_child(child, snapshot);
    gtk_snapshot_pop(s);
  }
}

}  // namespace zemblo
