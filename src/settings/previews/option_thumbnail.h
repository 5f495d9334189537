#pragma once

#include <memory>

#include <gtk/gtk.h>
#include <gtkmm.h>

#include "model/app_preferences.h"
#include "platform/observable.h"
#include "settings/settings_context.h"

namespace zemblo {

// A small picture of one option, drawn inside a choice card from the option and the theme
// colours. It takes the size the card gives it; its lengths are fixed points, not scaled.
class OptionThumbnail : public Gtk::Widget {
 public:
  explicit OptionThumbnail(const SettingsContext& context);
  ~OptionThumbnail() override;

 protected:
  // Draws into `bounds` (the whole widget) with the palette and the window's scheme as they
  // were last read.
  virtual void draw(GtkSnapshot* snapshot, const graphene_rect_t& bounds) = 0;

  const Palette& palette() const { return palette_; }
  ColorScheme scheme() const { return scheme_; }
  // The window scheme's primary colour (black in light, white in dark) at an opacity.
  GdkRGBA primary(double opacity) const;

  void measure_vfunc(Gtk::Orientation orientation, int for_size, int& minimum, int& natural,
                     int& minimum_baseline, int& natural_baseline) const override;
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;

 private:
  const SettingsContext& context_;
  Palette palette_;
  ColorScheme scheme_ = ColorScheme::light;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
