#pragma once

#include <gtkmm.h>

#include "settings/kit/pane_icon_tile.h"
#include "settings/settings_pane.h"

namespace zemblo {

// The top of every pane: the pane's icon tile, its title and its one-line description.
class PaneHeader : public Gtk::Box {
 public:
  explicit PaneHeader(SettingsPane pane);

 private:
  PaneIconTile tile_;
  Gtk::Box texts_{Gtk::Orientation::VERTICAL, 3};
  Gtk::Label title_;
  Gtk::Label subtitle_;
};

}  // namespace zemblo
