#pragma once

#include <memory>

#include <gtkmm.h>

#include "model/space.h"
#include "widgets/animated_value.h"

namespace zemblo {

// The top of the space editor: a 120-high card of the space's gradient with its symbol as a large
// tilted watermark, and the symbol on a white disc beside the name and the number of tabs. New
// colours glide in.
class SpaceHeaderTile : public Gtk::Widget {
 public:
  static constexpr int kHeight = 120;
  static constexpr double kCornerRadius = 16;
  static constexpr double kPadding = 18;
  static constexpr double kDiscSide = 50;
  static constexpr Spring kColorSpring{0.3, 1.0};

  explicit SpaceHeaderTile(std::shared_ptr<Space> space);
  ~SpaceHeaderTile() override;

  // Reads the space (subscribing the running observer) and shows it.
  void sync();

 protected:
  Gtk::SizeRequestMode get_request_mode_vfunc() const override;
  void measure_vfunc(Gtk::Orientation orientation, int for_size, int& minimum, int& natural,
                     int& minimum_baseline, int& natural_baseline) const override;
  void size_allocate_vfunc(int width, int height, int baseline) override;
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;

 private:
  Color shownA() const;
  Color shownB() const;

  std::shared_ptr<Space> space_;
  Gtk::Box texts_{Gtk::Orientation::VERTICAL, 2};
  Gtk::Label name_;
  Gtk::Label count_;
  // The colours the glide starts from and heads for.
  Color fromA_, fromB_, toA_, toB_;
  AnimatedValue glide_;
};

}  // namespace zemblo
