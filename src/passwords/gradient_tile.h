#pragma once

#include <optional>

#include <gtkmm.h>

#include "model/color.h"

namespace zemblo {

// A square badge filled with the theme's gradient, holding one small child (a symbol or a
// number) centred on it, with an optional coloured glow under it.
class GradientTile : public Gtk::Widget {
 public:
  struct Shadow {
    Color color;
    double opacity = 0.4;
    double radius = 16;
    double offsetY = 8;
  };

  GradientTile(int size, double cornerRadius, Gtk::Widget& content);
  ~GradientTile() override;

  void setFill(const LinearGradient& fill);
  void setShadow(std::optional<Shadow> shadow);

 protected:
  void measure_vfunc(Gtk::Orientation orientation, int for_size, int& minimum, int& natural,
                     int& minimum_baseline, int& natural_baseline) const override;
  void size_allocate_vfunc(int width, int height, int baseline) override;
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;

 private:
  int size_;
  double cornerRadius_;
  Gtk::Widget& content_;
  LinearGradient fill_;
  std::optional<Shadow> shadow_;
};

}  // namespace zemblo
