#pragma once

#include <functional>
#include <memory>
#include <string>

#include <gtkmm.h>

#include "model/color.h"
#include "widgets/animated_value.h"

namespace zemblo {

// A round colour sample to click: a 30-point disc of a colour or a gradient. The chosen one
// wears a ring 2 to 4 points outside its edge and a checkmark; under the pointer it lifts a
// little on a spring.
class ThemeSwatch : public Gtk::Button {
 public:
  static constexpr double kDiameter = 30;
  static constexpr double kRingOutset = 4;
  static constexpr double kRingWidth = 2;
  static constexpr double kHoverScale = 1.1;
  static constexpr Spring kHoverSpring{0.25, 0.7};

  // `name` is what assistive technologies read for it.
  ThemeSwatch(const LinearGradient& fill, const Color& ring, const std::string& name,
              std::function<void()> action);
  ~ThemeSwatch() override;

  void setSelected(bool selected);

  // Black on rings lighter than 0.7 in luminance, white on the others.
  static Color checkmarkColor(const Color& ring);

 protected:
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;
  bool contains_vfunc(double x, double y) const override;

 private:
  LinearGradient fill_;
  Color ring_;
  bool selected_ = false;
  std::unique_ptr<AnimatedValue> lift_;
};

}  // namespace zemblo
