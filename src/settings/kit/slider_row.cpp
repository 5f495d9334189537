#include "settings/kit/slider_row.h"

#include <algorithm>
#include <cmath>

#include "settings/kit/row_parts.h"
#include "widgets/accessibility.h"
#include "widgets/wheel.h"

namespace zemblo {

SliderRow::SliderRow(std::string title, std::optional<std::string> subtitle,
                     std::optional<std::string> symbol, Binding<double> value, Range range,
                     std::function<std::string(double)> format)
    : Gtk::Box(Gtk::Orientation::VERTICAL, 8),
      value_(std::move(value)),
      range_(range),
      format_(std::move(format)),
      title_(title) {
  set_name("SliderRow");
  add_css_class("settings-slider-row");
  if (symbol) header_.append(*row_parts::makeIcon(*symbol));
  row_parts::wrappingText(title_, {"settings-row-title"});
  title_.set_hexpand(true);
  header_.append(title_);
  badge_.set_name("SliderBadge");
  badge_.add_css_class("settings-secondary");
  badgeBox_.add_css_class("settings-badge");
  badgeBox_.set_valign(Gtk::Align::CENTER);
  badgeBox_.append(badge_);
  header_.append(badgeBox_);
  append(header_);

  const double step = keyStep();
  scale_.set_adjustment(
      Gtk::Adjustment::create(range_.lower, range_.lower, range_.upper, step, step * 5, 0));
  scale_.set_draw_value(false);
  leaveWheelToPane(scale_);
  scale_.set_hexpand(true);
  scale_.add_css_class("settings-slider");
  scale_.signal_change_value().connect(sigc::mem_fun(*this, &SliderRow::moved), false);
  setAccessibleName(scale_, title);
  append(scale_);

  if (subtitle) {
    subtitle_.set_text(*subtitle);
    row_parts::wrappingText(subtitle_, {"settings-row-subtitle", "settings-secondary"});
    append(subtitle_);
    setAccessibleDescription(scale_, *subtitle);
  }
  observer_ = std::make_unique<Observer>([this] { sync(); });
}

SliderRow::~SliderRow() { observer_.reset(); }

double SliderRow::keyStep() const {
  return range_.step.value_or((range_.upper - range_.lower) / kKeyStepsAcross);
}

namespace {

// The decimal places a number written in the code has: 0.05 has 2, 264 has none. Beyond 9
// places the number is taken as it is.
std::optional<int> decimalPlaces(double number) {
  double scale = 1;
  for (int places = 0; places <= 9; ++places, scale *= 10) {
    const double scaled = number * scale;
    if (std::abs(scaled - std::round(scaled)) < 1e-9 * std::max(1.0, std::abs(scaled))) {
      return places;
    }
  }
  return std::nullopt;
}

}  // namespace

double SliderRow::snapped(double value, const Range& range) {
  if (range.step && *range.step > 0) {
    value = range.lower + std::round((value - range.lower) / *range.step) * *range.step;
    // Counting steps in binary fractions leaves a trace: 0.5 + 14 × 0.1 is 1.9000000000000001.
    // The grid's own decimals give the value as written, so the file reads 1.9.
    const auto lowerPlaces = decimalPlaces(range.lower);
    const auto stepPlaces = decimalPlaces(*range.step);
    if (lowerPlaces && stepPlaces) {
      const double scale = std::pow(10.0, std::max(*lowerPlaces, *stepPlaces));
      value = std::round(value * scale) / scale;
    }
  }
  return std::clamp(value, range.lower, range.upper);
}

void SliderRow::sync() {
  const double value = value_.get();
  badge_.set_text(format_(value));
  ShowingModelValue showing(showing_);
  // The slider cannot show a value outside its range; it stands at the nearer end, and the
  // stored value stays as it is.
  scale_.set_value(value);
}

bool SliderRow::moved(Gtk::ScrollType scroll, double value) {
  if (showing_) return true;
  // A key moves even a continuous slider by a step of its own, and lands on that step's grid.
  const bool keyed = scroll != Gtk::ScrollType::JUMP && scroll != Gtk::ScrollType::NONE;
  const Range grid = keyed && !range_.step ? Range{range_.lower, range_.upper, keyStep()} : range_;
  const double chosen = snapped(value, grid);
  if (chosen != value_.get()) value_.set(chosen);
  {
    ShowingModelValue showing(showing_);
    scale_.set_value(chosen);
  }
  return true;
}

}  // namespace zemblo
