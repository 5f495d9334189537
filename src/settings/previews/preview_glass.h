#pragma once

#include <gtkmm.h>

namespace zemblo {

// A small rounded pane of frosted glass in the start-page miniature (its search capsule and its
// favourite tiles): a faint fill in the text colour under a thin white edge, holding its
// children like a horizontal box.
class PreviewGlass : public Gtk::Box {
 public:
  PreviewGlass(int width, int height, double radius);

 protected:
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;

 private:
  double radius_;
};

}  // namespace zemblo
