#pragma once

#include <optional>
#include <string>
#include <vector>

#include <gtkmm.h>

namespace zemblo {

// Joined buttons, one per option, exactly one of them (or none) shown as chosen, at a fixed
// width whatever the length of the labels.
class SegmentedControl : public Gtk::Box {
 public:
  SegmentedControl(const std::vector<std::string>& labels, int width);

  // Shows the segment as chosen (none: no segment) without reporting a pick.
  void show(std::optional<size_t> index);
  // A segment the user picked, by position.
  sigc::signal<void(size_t)>& signalPicked() { return picked_; }

 private:
  std::vector<Gtk::ToggleButton*> segments_;
  sigc::signal<void(size_t)> picked_;
  bool showing_ = false;
};

}  // namespace zemblo
