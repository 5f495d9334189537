#pragma once

#include <memory>
#include <optional>
#include <string>

#include <gtkmm.h>

#include "platform/observable.h"
#include "settings/kit/binding.h"
#include "settings/kit/settings_row.h"

namespace zemblo {

// A settings row whose control is a switch bound to a Bool. Each flip by the user writes the
// binding once; showing the value writes nothing.
class ToggleRow : public SettingsRow {
 public:
  ToggleRow(std::string title, std::optional<std::string> subtitle,
            std::optional<std::string> symbol, Binding<bool> isOn);
  ~ToggleRow() override;

 private:
  void sync();
  void flipped();

  Binding<bool> isOn_;
  Gtk::Switch switch_;
  bool showing_ = false;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
