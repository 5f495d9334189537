#include "widgets/activity_spinner.h"

#include <cmath>

namespace zemblo {

ActivitySpinner::ActivitySpinner(int size)
    : ticker_(
          *this, [this](double seconds) { turnTo(360 * std::fmod(seconds / kTurnSeconds, 1.0)); },
          [this] { turnTo(0); }) {
  set_name("ActivitySpinner");
  symbol_.set_from_icon_name("process-working-symbolic");
  symbol_.set_pixel_size(size);
  symbol_.set_parent(*this);
}

ActivitySpinner::~ActivitySpinner() { symbol_.unparent(); }

void ActivitySpinner::setSpinning(bool spinning) {
  if (spinning == ticker_.on()) return;
  ticker_.setOn(spinning);
  queue_draw();
}

void ActivitySpinner::turnTo(double angle) {
  if (angle == angle_) return;
  angle_ = angle;
  queue_draw();
}

void ActivitySpinner::measure_vfunc(Gtk::Orientation orientation, int for_size, int& minimum,
                                    int& natural, int& minimum_baseline,
                                    int& natural_baseline) const {
  symbol_.measure(orientation, for_size, minimum, natural, minimum_baseline, natural_baseline);
}

void ActivitySpinner::size_allocate_vfunc(int width, int height, int baseline) {
  symbol_.size_allocate(Gtk::Allocation(0, 0, width, height), baseline);
}

void ActivitySpinner::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
  if (!spinning()) return;
  GtkSnapshot* s = snapshot->gobj();
  const graphene_point_t centre = GRAPHENE_POINT_INIT(get_width() / 2.0f, get_height() / 2.0f);
  const graphene_point_t back = GRAPHENE_POINT_INIT(-centre.x, -centre.y);
  gtk_snapshot_save(s);
  gtk_snapshot_translate(s, &centre);
  gtk_snapshot_rotate(s, static_cast<float>(angle_));
  gtk_snapshot_translate(s, &back);
  snapshot_child(symbol_, snapshot);
  gtk_snapshot_restore(s);
}

}  // namespace zemblo
