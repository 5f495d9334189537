#pragma once

#include <gtkmm.h>

#include "model/app_preferences.h"

namespace zemblo {

// One colour pair of the space editor: a round swatch of the pair's gradient with its name under
// it. The pair the space wears shows a white checkmark and a ring in its first colour 4 outside
// the swatch.
class PresetSwatch : public Gtk::Button {
 public:
  static constexpr double kSwatchSide = 36;
  static constexpr double kRingOutset = 4;
  static constexpr double kSelectedRingWidth = 2;

  explicit PresetSwatch(SpacePreset preset);

  const SpacePreset& preset() const { return preset_; }
  // Whether the space's two colours are exactly the pair's texts.
  bool matches(const std::string& colorA, const std::string& colorB) const;
  void setSelected(bool selected);

 protected:
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;

 private:
  SpacePreset preset_;
  Gtk::Box face_{Gtk::Orientation::VERTICAL, 6};
  Gtk::Box swatchRoom_;
  Gtk::Label name_;
  bool selected_ = false;
};

}  // namespace zemblo
