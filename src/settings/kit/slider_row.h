#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <gtkmm.h>

#include "platform/observable.h"
#include "settings/kit/binding.h"

namespace zemblo {

// A row with a title line (optional symbol, title, and a badge showing the bound value as the
// pane formats it), a slider across the row under it, and an optional subtitle under the
// slider. While the user drags, every value is written through the binding; showing a value
// never writes it, not even one outside the range (the badge then shows the stored value
// itself). The wheel scrolls the pane the row is in, never the slider: a value changes only by a
// click, a drag or a key.
class SliderRow : public Gtk::Box {
 public:
  // A continuous slider moves by this share of its range per key press.
  static constexpr double kKeyStepsAcross = 100;

  struct Range {
    double lower = 0;
    double upper = 1;
    // With a step the slider moves on the grid of steps counted from `lower`.
    std::optional<double> step;
  };

  SliderRow(std::string title, std::optional<std::string> subtitle,
            std::optional<std::string> symbol, Binding<double> value, Range range,
            std::function<std::string(double)> format);
  ~SliderRow() override;

  // The value a move of the knob to `value` gives: on the grid of the step, within the range.
  static double snapped(double value, const Range& range);

 private:
  void sync();
  bool moved(Gtk::ScrollType scroll, double value);
  double keyStep() const;

  Binding<double> value_;
  Range range_;
  std::function<std::string(double)> format_;
  Gtk::Box header_{Gtk::Orientation::HORIZONTAL, 12};
  Gtk::Label title_;
  Gtk::Box badgeBox_;
  Gtk::Label badge_;
  Gtk::Scale scale_;
  Gtk::Label subtitle_;
  bool showing_ = false;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
