#include "window/visual_effect_view.h"

#include "widgets/accessibility.h"
#include "widgets/paint.h"

namespace zemblo {

VisualEffectView::VisualEffectView(Material material, BlendingMode blending, ColorScheme appearance)
    : material_(material), blending_(blending), appearance_(appearance) {
  set_name("VisualEffectView");
  presentAsDecoration(*this);
  set_can_target(false);
}

void VisualEffectView::update(Material material, BlendingMode blending, ColorScheme appearance) {
  if (material == material_ && blending == blending_ && appearance == appearance_) return;
  material_ = material;
  blending_ = blending;
  appearance_ = appearance;
  queue_draw();
}

GdkRGBA VisualEffectView::fill(Material, BlendingMode blending, ColorScheme appearance) {
  const double opacity = blending == BlendingMode::withinWindow ? 0.97 : 1.0;
  return appearance == ColorScheme::dark ? paint::rgba(Color::fromHex("#26262A"), opacity)
                                         : paint::rgba(Color::fromHex("#E8E8ED"), opacity);
}

void VisualEffectView::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
  const GdkRGBA color = fill(material_, blending_, appearance_);
  const graphene_rect_t bounds = paint::rect(0, 0, get_width(), get_height());
  gtk_snapshot_append_color(snapshot->gobj(), &color, &bounds);
}

}  // namespace zemblo
