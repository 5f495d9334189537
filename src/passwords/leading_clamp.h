#pragma once

#include <gtkmm.h>

namespace zemblo {

// Holds one child at the leading edge, as wide as the space allows but never wider than a limit.
class LeadingClamp : public Gtk::Widget {
 public:
  LeadingClamp(Gtk::Widget& child, int maximumWidth);
  ~LeadingClamp() override;

 protected:
  Gtk::SizeRequestMode get_request_mode_vfunc() const override {
    return Gtk::SizeRequestMode::HEIGHT_FOR_WIDTH;
  }
  void measure_vfunc(Gtk::Orientation orientation, int for_size, int& minimum, int& natural,
                     int& minimum_baseline, int& natural_baseline) const override;
  void size_allocate_vfunc(int width, int height, int baseline) override;

 private:
  Gtk::Widget& child_;
  int maximumWidth_;
};

}  // namespace zemblo
