#pragma once

#include <gtkmm.h>

#include "settings/settings_pane.h"

namespace zemblo {

// A pane's symbol in white on a rounded tile of the pane's colour, lighter at the top.
class PaneIconTile : public Gtk::Widget {
 public:
  struct Style {
    double size = 24;
    double cornerRadius = 6;
    double symbolPoints = 11;
    bool shadow = false;  // the pane colour at 0.35, blur 8, 4 below
  };
  static constexpr Style kHeader{50, 13, 22, true};
  static constexpr Style kPaneList{24, 6, 11, false};

  PaneIconTile(SettingsPane pane, Style style);

 protected:
  void measure_vfunc(Gtk::Orientation orientation, int for_size, int& minimum, int& natural,
                     int& minimum_baseline, int& natural_baseline) const override;
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;

 private:
  SettingsPane pane_;
  Style style_;
};

}  // namespace zemblo
