#pragma once

#include <gtkmm.h>

#include "settings/kit/pane_icon_tile.h"
#include "settings/settings_pane.h"

namespace zemblo {

// One row of the pane list: the pane's icon tile and title. Its highlight (chosen, else under
// the pointer) never takes the pane's colour.
class SettingsSidebarRow : public Gtk::ListBoxRow {
 public:
  static constexpr int kHeight = 34;

  explicit SettingsSidebarRow(SettingsPane pane);

  SettingsPane pane() const { return pane_; }

 private:
  SettingsPane pane_;
  Gtk::Box content_{Gtk::Orientation::HORIZONTAL, 10};
  PaneIconTile tile_;
  Gtk::Label title_;
};

}  // namespace zemblo
