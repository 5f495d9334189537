#pragma once

#include <string>
#include <string_view>

#include <gtk/gtk.h>
#include <gtkmm.h>

#include "model/color.h"

namespace zemblo {

// Draws a symbol filled with one colour into `box` (a square of the symbol's pixel size).
void appendSymbol(GtkSnapshot* snapshot, Gtk::Widget& widget, std::string_view symbol,
                  int pixelSize, const graphene_rect_t& box, const GdkRGBA& color);

// Draws a symbol filled with a gradient spread across `box`.
void appendGradientSymbol(GtkSnapshot* snapshot, Gtk::Widget& widget, std::string_view symbol,
                          int pixelSize, const graphene_rect_t& box,
                          const LinearGradient& gradient);

// A symbol painted with the theme gradient, centred in its allocation.
class GradientSymbol : public Gtk::Widget {
 public:
  GradientSymbol(std::string symbol, int pixelSize);

  void setGradient(const LinearGradient& gradient);
  const std::string& symbol() const { return symbol_; }

 protected:
  void measure_vfunc(Gtk::Orientation orientation, int for_size, int& minimum, int& natural,
                     int& minimum_baseline, int& natural_baseline) const override;
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;

 private:
  std::string symbol_;
  int pixelSize_;
  LinearGradient gradient_;
};

}  // namespace zemblo
