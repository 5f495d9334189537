#pragma once

#include <gtkmm.h>

#include "model/app_preferences.h"

namespace zemblo {

// A gradient direction to pick: a small tile in the theme gradient along the direction with an
// arrow pointing its way, ringed in the theme colour while it is the chosen one.
class DirectionButton : public Gtk::Button {
 public:
  static constexpr double kWidth = 40;
  static constexpr double kHeight = 30;
  static constexpr double kRingOutset = 3;

  explicit DirectionButton(GradientDirection direction);

  GradientDirection direction() const { return direction_; }
  void show(const Palette& palette, bool selected);

  // The arrow drawn on the tile of a direction.
  static const char* arrowSymbol(GradientDirection direction);

 protected:
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;

 private:
  GradientDirection direction_;
  Palette palette_;
  bool selected_ = false;
};

}  // namespace zemblo
