#pragma once

#include <string>
#include <string_view>

#include <gtkmm.h>

#include "model/app_preferences.h"

namespace zemblo {

// The round tile of the pane list's greeting card: the first letter of the user's name (or of
// the product) in white on the theme gradient, with a glow of the theme colour under it.
class BrandTile : public Gtk::Widget {
 public:
  static constexpr int kSize = 42;

  BrandTile();

  // The letter for a display name: its first character (with any marks on it), upper-cased the
  // same way in every locale; "Z" for an empty name.
  static std::string initial(std::string_view displayName);

  void set(std::string letter, const Palette& palette);
  const std::string& letter() const { return letter_; }

 protected:
  void measure_vfunc(Gtk::Orientation orientation, int for_size, int& minimum, int& natural,
                     int& minimum_baseline, int& natural_baseline) const override;
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;

 private:
  std::string letter_;
  Palette palette_;
};

}  // namespace zemblo
