#pragma once

#include <gtkmm.h>

#include "model/color.h"

namespace zemblo {

// A material behind content. Without a blurring compositor it is a flat fill in the material's
// colour: opaque behind the window, barely translucent within it, so that a floating panel hints
// at what lies under it while a page's text there never competes with the panel's own.
class VisualEffectView : public Gtk::Widget {
 public:
  enum class Material { sidebar };
  enum class BlendingMode { behindWindow, withinWindow };

  VisualEffectView(Material material, BlendingMode blending,
                   ColorScheme appearance = ColorScheme::light);

  void update(Material material, BlendingMode blending, ColorScheme appearance);

  // The colour painted for the given appearance.
  static GdkRGBA fill(Material material, BlendingMode blending, ColorScheme appearance);

 protected:
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;

 private:
  Material material_;
  BlendingMode blending_;
  ColorScheme appearance_;
};

}  // namespace zemblo
