#pragma once

#include <gtkmm.h>

namespace zemblo {

// The last item of the spaces pane's row: a dashed circle with a plus and "New Space" under it,
// clickable across its whole 80 points of width.
class NewSpaceButton : public Gtk::Button {
 public:
  static constexpr int kWidth = 80;
  static constexpr double kDiscSide = 48;

  NewSpaceButton();

 protected:
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;

 private:
  Gtk::Box face_{Gtk::Orientation::VERTICAL, 8};
  Gtk::Box discRoom_;
  Gtk::Image plus_;
  Gtk::Label title_;
};

}  // namespace zemblo
