#pragma once

#include <memory>

#include <gtkmm.h>

#include "model/space.h"
#include "platform/observable.h"
#include "widgets/animated_value.h"

namespace zemblo {

// One space in the spaces pane's row: its symbol in white on a disc of its gradient with its
// name under it, 80 wide. The chip of the space being edited wears a ring in the space's first
// colour 5 outside the disc, grows a little and casts a deeper shadow. Edits of the space show at
// once.
class SpaceChip : public Gtk::Button {
 public:
  static constexpr int kWidth = 80;
  static constexpr double kDiscSide = 48;
  static constexpr double kRingOutset = 5;
  static constexpr double kSelectedRingWidth = 2.5;
  static constexpr double kSelectedScale = 1.05;
  static constexpr Spring kSelectionSpring{0.5, 0.85};

  explicit SpaceChip(std::shared_ptr<Space> space);
  ~SpaceChip() override;

  const std::shared_ptr<Space>& space() const { return space_; }
  // Springs to the new look when `animated` and the chip is on screen.
  void setSelected(bool selected, bool animated);
  bool isSelected() const { return selected_; }

 protected:
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;

 private:
  void sync();

  std::shared_ptr<Space> space_;
  Gtk::Box face_{Gtk::Orientation::VERTICAL, 8};
  Gtk::Box discRoom_;
  Gtk::Label name_;
  bool selected_ = false;
  AnimatedValue selectedness_;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
