#pragma once

#include <memory>
#include <optional>
#include <string>

#include <gtkmm.h>

#include "model/app_preferences.h"
#include "model/theme_colors.h"
#include "platform/observable.h"
#include "widgets/animated_value.h"
#include "widgets/drawing_cache.h"
#include "window/grain_overlay.h"
#include "window/visual_effect_view.h"

namespace zemblo {

class PreferencesModel;
class SystemColorScheme;
class WindowModel;

// The surface behind the sidebar and around the content card: a material, a tint in the theme
// colours at the strength the settings give, and a grain over both. A change of colours or
// direction cross-fades the old tint into the new one.
class SpaceBackground : public Gtk::Widget {
 public:
  SpaceBackground(const WindowModel& tabs, const PreferencesModel& preferences,
                  const SystemColorScheme& scheme, VisualEffectView::BlendingMode blending);
  ~SpaceBackground() override;

  void sync();

 protected:
  void size_allocate_vfunc(int width, int height, int baseline) override;
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;

 private:
  void paintTint(GtkSnapshot* snapshot, const BackgroundTint& tint, double fade) const;
  void paintLayers(GtkSnapshot* snapshot, double fade);

  const WindowModel& tabs_;
  const PreferencesModel& preferences_;
  const SystemColorScheme& scheme_;
  VisualEffectView::BlendingMode blending_;
  VisualEffectView base_;
  GrainOverlay grain_;
  BackgroundTint tint_;
  std::optional<BackgroundTint> fadingTint_;
  std::optional<ColorScheme> forcedScheme_;
  ColorScheme resolvedScheme_ = ColorScheme::light;
  SidebarMaterial material_ = SidebarMaterial::glass;
  AnimatedValue crossFade_;
  DrawingCache cache_;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
