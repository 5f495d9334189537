#include "window/space_background.h"

#include "model/preference_enums.h"
#include "model/preference_sizes.h"
#include "model/preferences_model.h"
#include "model/theme_colors.h"
#include "widgets/accessibility.h"
#include "widgets/paint.h"
#include "widgets/system_color_scheme.h"

namespace zemblo {
namespace {

// The cross-fade runs with the window's spring for colour and space changes.
constexpr Spring kPaletteSpring{0.4, 1.0};

}  // namespace

SpaceBackground::SpaceBackground(const WindowModel& tabs, const PreferencesModel& preferences,
                                 const SystemColorScheme& scheme,
                                 VisualEffectView::BlendingMode blending)
    : tabs_(tabs),
      preferences_(preferences),
      scheme_(scheme),
      blending_(blending),
      base_(VisualEffectView::Material::sidebar, blending, scheme.get()),
      crossFade_(*this, 1, [this] { queue_draw(); }) {
  set_name("SpaceBackground");
  presentAsDecoration(*this);
  set_can_target(false);
  base_.set_parent(*this);
  grain_.set_parent(*this);
  observer_ = std::make_unique<Observer>([this] { sync(); });
}

SpaceBackground::~SpaceBackground() {
  observer_.reset();
  base_.unparent();
  grain_.unparent();
}

void SpaceBackground::sync() {
  const AppPreferences& prefs = preferences_.prefs();
  const ColorScheme scheme = scheme_.get();
  forcedScheme_ = sidebarColorScheme(preferences_, tabs_, scheme);
  resolvedScheme_ = forcedScheme_.value_or(scheme);
  material_ = prefs.sidebarMaterial;

  base_.set_visible(material_ == SidebarMaterial::glass);
  // The material is given the scheme it shows even when it follows the window, so a change of
  // the window's scheme always repaints it.
  base_.update(VisualEffectView::Material::sidebar, blending_, resolvedScheme_);
  grain_.setAmount(sizes::grain(prefs));

  BackgroundTint next = backgroundTint(prefs, themeColors(preferences_, tabs_), scheme);
  // New colours or a new direction cross-fade; the first tint is simply there.
  if (next.palette != tint_.palette && tint_ != BackgroundTint{}) {
    fadingTint_ = tint_;
    crossFade_.jumpTo(0);
    crossFade_.springTo(1, kPaletteSpring);
  }
  tint_ = std::move(next);
  queue_draw();
}

void SpaceBackground::size_allocate_vfunc(int width, int height, int baseline) {
  base_.size_allocate(Gtk::Allocation(0, 0, width, height), baseline);
  grain_.size_allocate(Gtk::Allocation(0, 0, width, height), baseline);
}

void SpaceBackground::paintTint(GtkSnapshot* snapshot, const BackgroundTint& tint,
                                double fade) const {
  const graphene_rect_t bounds = paint::rect(0, 0, get_width(), get_height());
  const double opacity = tint.opacity * std::clamp(fade, 0.0, 1.0);
  if (opacity <= 0) return;
  switch (tint.kind) {
    case SidebarTint::gradient:
      paint::appendLinearGradient(
          snapshot, bounds,
          gradient(tint.palette.direction, tint.palette.primary, tint.palette.secondary), opacity);
      break;
    case SidebarTint::solid: {
      const GdkRGBA color = paint::rgba(tint.palette.primary, opacity);
      gtk_snapshot_append_color(snapshot, &color, &bounds);
      break;
    }
    case SidebarTint::none:
      break;
  }
}

void SpaceBackground::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
  const double fade = crossFade_.value();
  // The old tint fades out while the new one fades in; a finished fade leaves only the new one.
  const bool fading = fadingTint_ && fade < 1;
  GtkSnapshot* s = snapshot->gobj();
  if (fading) {
    paintLayers(s, fade);
    return;
  }
  // Still, it is the same drawing on every frame, under the sidebar and around the card.
  const std::string key = std::to_string(int(material_)) + "/" +
                          std::to_string(int(resolvedScheme_)) + "/" +
                          std::to_string(int(tint_.kind)) + "/" + tint_.palette.key + "/" +
                          std::string(rawValue(tint_.palette.direction)) + "/" +
                          std::to_string(tint_.opacity) + "/" + std::to_string(grain_.amount());
  cache_.append(s, *this, paint::rect(0, 0, get_width(), get_height()), key,
                [this](GtkSnapshot* inner) { paintLayers(inner, 1); });
}

void SpaceBackground::paintLayers(GtkSnapshot* s, double fade) {
  const bool grain = grain_.isVisible();
  if (grain) gtk_snapshot_push_blend(s, GSK_BLEND_MODE_OVERLAY);
  if (material_ == SidebarMaterial::glass) {
    gtk_widget_snapshot_child(gobj(), base_.gobj(), s);
  } else {
    const GdkRGBA color = paint::grey(resolvedScheme_ == ColorScheme::dark ? 0.11 : 0.95);
    const graphene_rect_t bounds = paint::rect(0, 0, get_width(), get_height());
    gtk_snapshot_append_color(s, &color, &bounds);
  }
  const bool fading = fadingTint_ && fade < 1;
  if (fading) paintTint(s, *fadingTint_, 1 - fade);
  paintTint(s, tint_, fading ? fade : 1);
  if (grain) {
    gtk_snapshot_pop(s);
    gtk_widget_snapshot_child(gobj(), grain_.gobj(), s);
    gtk_snapshot_pop(s);
  }
}

}  // namespace zemblo
