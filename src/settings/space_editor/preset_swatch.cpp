#include "settings/space_editor/preset_swatch.h"

#include "settings/previews/label_font.h"
#include "widgets/accessibility.h"
#include "widgets/paint.h"
#include "widgets/symbol_icons.h"
#include "widgets/symbol_paint.h"

namespace zemblo {

PresetSwatch::PresetSwatch(SpacePreset preset) : preset_(std::move(preset)) {
  set_name("PresetSwatch");
  add_css_class("settings-card-button");
  const std::string title = preset_.localizedName();
  setAccessibleName(*this, title);
  setAccessiblePressed(*this, false);
  set_tooltip_text(title);
  const int room = int(kSwatchSide + 2 * kRingOutset);
  swatchRoom_.set_size_request(room, room);
  swatchRoom_.set_halign(Gtk::Align::CENTER);
  name_.set_text(title);
  name_.add_css_class("settings-secondary");
  name_.set_ellipsize(Pango::EllipsizeMode::END);
  name_.set_single_line_mode(true);
  name_.set_max_width_chars(1);
  setLabelFont(name_, {10});
  face_.append(swatchRoom_);
  face_.append(name_);
  set_child(face_);
}

bool PresetSwatch::matches(const std::string& colorA, const std::string& colorB) const {
  return colorA == preset_.colorA && colorB == preset_.colorB;
}

void PresetSwatch::setSelected(bool selected) {
  if (selected == selected_) return;
  selected_ = selected;
  setAccessiblePressed(*this, selected);
  queue_draw();
}

void PresetSwatch::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
  graphene_rect_t room;
  if (gtk_widget_compute_bounds(GTK_WIDGET(swatchRoom_.gobj()), GTK_WIDGET(gobj()), &room)) {
    GtkSnapshot* s = snapshot->gobj();
    const Color first = Color::fromHex(preset_.colorA);
    const double cx = room.origin.x + room.size.width / 2;
    const double cy = room.origin.y + room.size.height / 2;
    const double radius = kSwatchSide / 2;
    const graphene_rect_t bounds = paint::rect(cx - radius, cy - radius, kSwatchSide, kSwatchSide);
    const GskRoundedRect circle = paint::roundedRect(bounds, radius);
    const GdkRGBA shadow = paint::rgba(first, 0.35);
    gtk_snapshot_append_outset_shadow(s, &circle, &shadow, 0, 2, 0, 4);
    gtk_snapshot_push_rounded_clip(s, &circle);
    paint::appendLinearGradient(s, bounds,
                                {first, Color::fromHex(preset_.colorB), UnitPoint::topLeading(),
                                 UnitPoint::bottomTrailing()});
    gtk_snapshot_pop(s);
    if (selected_) {
      const int pixels = symbolPixelSize(13);
      appendSymbol(s, *this, "checkmark", pixels,
                   paint::rect(cx - pixels / 2.0, cy - pixels / 2.0, pixels, pixels),
                   paint::grey(1));
      const double ring = radius + kRingOutset;
      paint::appendInsideBorder(
          s, paint::roundedRect(paint::rect(cx - ring, cy - ring, 2 * ring, 2 * ring), ring),
          kSelectedRingWidth, paint::rgba(first));
    }
  }
  Gtk::Button::snapshot_vfunc(snapshot);
}

}  // namespace zemblo
