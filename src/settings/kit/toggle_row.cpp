#include "settings/kit/toggle_row.h"

namespace zemblo {

ToggleRow::ToggleRow(std::string title, std::optional<std::string> subtitle,
                     std::optional<std::string> symbol, Binding<bool> isOn)
    : SettingsRow(std::move(title), std::move(subtitle), std::move(symbol)),
      isOn_(std::move(isOn)) {
  switch_.add_css_class("settings-switch");
  switch_.property_active().signal_changed().connect(sigc::mem_fun(*this, &ToggleRow::flipped));
  setAccessory(switch_);
  observer_ = std::make_unique<Observer>([this] { sync(); });
}

ToggleRow::~ToggleRow() { observer_.reset(); }

void ToggleRow::sync() {
  const bool on = isOn_.get();
  ShowingModelValue showing(showing_);
  switch_.set_active(on);
}

void ToggleRow::flipped() {
  if (showing_) return;
  isOn_.set(switch_.get_active());
}

}  // namespace zemblo
