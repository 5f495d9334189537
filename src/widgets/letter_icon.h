#pragma once

#include <string>
#include <string_view>

#include <gtk/gtk.h>
#include <gtkmm.h>

#include "model/color.h"

namespace zemblo {

// A site's stand-in icon: the first letter of its name on a tile whose colour is derived from
// the name, so that a site always gets the same tile, across windows and launches.
class LetterIcon : public Gtk::Widget {
 public:
  explicit LetterIcon(std::string text = "?", double size = 16);

  void set(std::string text, double size);
  const std::string& text() const { return text_; }

  // The letter shown: the first character of the name without a leading "www.", upper-cased
  // (which may give more than one letter); "?" for an empty name.
  static std::string initial(std::string_view text);
  // The tile's hue in whole degrees, 0…359, folded over every character of the name.
  static int hue(std::string_view text);
  // The tile's gradient, light at the top and deeper at the bottom.
  static Color topColor(int hue);
  static Color bottomColor(int hue);

  // Draws the tile for `text` into `bounds`; for views that show the tile in place of a picture.
  static void paint(Gtk::Widget& widget, GtkSnapshot* snapshot, const graphene_rect_t& bounds,
                    std::string_view text);

 protected:
  void measure_vfunc(Gtk::Orientation orientation, int for_size, int& minimum, int& natural,
                     int& minimum_baseline, int& natural_baseline) const override;
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;

 private:
  std::string text_;
  double size_;
};

}  // namespace zemblo
