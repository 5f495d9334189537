#include "settings/kit/theme_swatch.h"

#include "settings/previews/settings_paint.h"
#include "widgets/accessibility.h"
#include "widgets/hover.h"
#include "widgets/symbol_icons.h"
#include "widgets/symbol_paint.h"

namespace zemblo {
namespace {

constexpr double kSize = ThemeSwatch::kDiameter + 2 * ThemeSwatch::kRingOutset;
constexpr double kHairline = 0.5;
constexpr double kHairlineOpacity = 0.12;
constexpr double kCheckmarkPoints = 11;
constexpr double kShadowOpacity = 0.35;
constexpr double kShadowBlur = 2;
constexpr double kLiftedShadowBlur = 5;
constexpr double kShadowY = 1;
constexpr double kLightRing = 0.7;

}  // namespace

ThemeSwatch::ThemeSwatch(const LinearGradient& fill, const Color& ring, const std::string& name,
                         std::function<void()> action)
    : fill_(fill), ring_(ring) {
  set_name("ThemeSwatch");
  add_css_class("settings-card-button");
  set_has_frame(false);
  // A button lays out its child, not itself: the size is asked for directly.
  set_size_request(int(kSize), int(kSize));
  set_focus_on_click(false);
  set_halign(Gtk::Align::CENTER);
  set_valign(Gtk::Align::CENTER);
  setAccessibleName(*this, name);
  setAccessiblePressed(*this, false);
  signal_clicked().connect(std::move(action));
  lift_ = std::make_unique<AnimatedValue>(*this, 0, [this] { queue_draw(); });
  trackHover(*this, [this](bool hovering) { lift_->springTo(hovering ? 1 : 0, kHoverSpring); });
}

ThemeSwatch::~ThemeSwatch() { lift_.reset(); }

void ThemeSwatch::setSelected(bool selected) {
  if (selected == selected_) return;
  selected_ = selected;
  setAccessiblePressed(*this, selected);
  queue_draw();
}

Color ThemeSwatch::checkmarkColor(const Color& ring) {
  return ring.luminance() > kLightRing ? Color{0, 0, 0} : Color{1, 1, 1};
}

bool ThemeSwatch::contains_vfunc(double x, double y) const {
  const double dx = x - get_width() / 2.0, dy = y - get_height() / 2.0;
  const double radius = kDiameter / 2;
  return dx * dx + dy * dy <= radius * radius;
}

void ThemeSwatch::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
  GtkSnapshot* s = snapshot->gobj();
  const double lift = lift_->value();
  const graphene_point_t centre = GRAPHENE_POINT_INIT(get_width() / 2.0f, get_height() / 2.0f);
  gtk_snapshot_save(s);
  gtk_snapshot_translate(s, &centre);
  const auto scale = static_cast<float>(1 + (kHoverScale - 1) * lift);
  gtk_snapshot_scale(s, scale, scale);

  const double radius = kDiameter / 2;
  const GskRoundedRect disc =
      paint::roundedRect(paint::rect(-radius, -radius, kDiameter, kDiameter), radius);
  const GdkRGBA shadow = paint::rgba(ring_, kShadowOpacity);
  gtk_snapshot_append_outset_shadow(s, &disc, &shadow, 0, kShadowY, 0,
                                    kShadowBlur + (kLiftedShadowBlur - kShadowBlur) * lift);
  gtk_snapshot_push_rounded_clip(s, &disc);
  paint::appendLinearGradient(s, disc.bounds, fill_);
  gtk_snapshot_pop(s);
  GdkRGBA hairline = paint::foreground(*this);
  hairline.alpha *= float(kHairlineOpacity);
  paint::appendInsideBorder(s, disc, kHairline, hairline);
  if (selected_) {
    const double outer = radius + kRingOutset;
    const GskRoundedRect ring =
        paint::roundedRect(paint::rect(-outer, -outer, 2 * outer, 2 * outer), outer);
    paint::appendInsideBorder(s, ring, kRingWidth, paint::rgba(ring_));
    const int size = symbolPixelSize(kCheckmarkPoints);
    appendSymbol(s, *this, "checkmark", size, paint::rect(-size / 2.0, -size / 2.0, size, size),
                 paint::rgba(checkmarkColor(ring_)));
  }
  gtk_snapshot_restore(s);
}

}  // namespace zemblo
