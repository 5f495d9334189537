#include "settings/space_editor/space_chip.h"

#include "settings/previews/label_font.h"
#include "widgets/accessibility.h"
#include "widgets/paint.h"
#include "widgets/symbol_icons.h"
#include "widgets/symbol_paint.h"

namespace zemblo {

SpaceChip::SpaceChip(std::shared_ptr<Space> space)
    : space_(std::move(space)), selectedness_(*this, 0, [this] { queue_draw(); }) {
  set_name("SpaceChip");
  add_css_class("settings-card-button");
  set_overflow(Gtk::Overflow::VISIBLE);
  discRoom_.set_name("SpaceChipDisc");
  discRoom_.set_size_request(int(kDiscSide), int(kDiscSide));
  discRoom_.set_halign(Gtk::Align::CENTER);
  // Room for the ring and the grown disc above the name.
  discRoom_.set_margin_top(int(kRingOutset));
  name_.set_name("SpaceChipName");
  name_.set_ellipsize(Pango::EllipsizeMode::END);
  name_.set_single_line_mode(true);
  name_.set_max_width_chars(1);
  face_.set_size_request(kWidth, -1);
  face_.append(discRoom_);
  face_.append(name_);
  set_child(face_);
  setSelected(false, false);
  observer_ = std::make_unique<Observer>([this] { sync(); });
}

SpaceChip::~SpaceChip() { observer_.reset(); }

void SpaceChip::sync() {
  const std::string& name = space_->name.get();
  name_.set_text(name);
  set_tooltip_text(name);
  setAccessibleName(*this, name);
  space_->symbol.get();
  space_->colorA.get();
  space_->colorB.get();
  queue_draw();
}

void SpaceChip::setSelected(bool selected, bool animated) {
  selected_ = selected;
  setAccessiblePressed(*this, selected);
  if (selected) {
    name_.remove_css_class("settings-secondary");
  } else {
    name_.add_css_class("settings-secondary");
  }
  setLabelFont(name_, {12, selected ? Pango::Weight::SEMIBOLD : Pango::Weight::NORMAL});
  if (animated) {
    selectedness_.springTo(selected ? 1 : 0, kSelectionSpring);
  } else {
    selectedness_.jumpTo(selected ? 1 : 0);
  }
}

void SpaceChip::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
  graphene_rect_t room;
  if (!gtk_widget_compute_bounds(GTK_WIDGET(discRoom_.gobj()), GTK_WIDGET(gobj()), &room)) {
    Gtk::Button::snapshot_vfunc(snapshot);
    return;
  }
  GtkSnapshot* s = snapshot->gobj();
  const double t = selectedness_.value();
  const Color first = Color::fromHex(space_->colorA.peek());
  const graphene_point_t centre{room.origin.x + room.size.width / 2,
                                room.origin.y + room.size.height / 2};
  const graphene_point_t back{-centre.x, -centre.y};
  gtk_snapshot_save(s);
  gtk_snapshot_translate(s, &centre);
  const auto scale = float(1 + (kSelectedScale - 1) * t);
  gtk_snapshot_scale(s, scale, scale);
  gtk_snapshot_translate(s, &back);

  const double radius = kDiscSide / 2;
  const graphene_rect_t discBounds =
      paint::rect(centre.x - radius, centre.y - radius, kDiscSide, kDiscSide);
  const GskRoundedRect disc = paint::roundedRect(discBounds, radius);
  const GdkRGBA shadow = paint::rgba(first, 0.2 + 0.25 * t);
  gtk_snapshot_append_outset_shadow(s, &disc, &shadow, 0, 3, 0, float(4 + 4 * t));
  gtk_snapshot_push_rounded_clip(s, &disc);
  paint::appendLinearGradient(s, discBounds, space_->gradient());
  gtk_snapshot_pop(s);
  const int pixels = symbolPixelSize(18);
  appendSymbol(s, *this, space_->symbol.peek(), pixels,
               paint::rect(centre.x - pixels / 2.0, centre.y - pixels / 2.0, pixels, pixels),
               paint::grey(1));
  if (t > 0) {
    const double ring = radius + kRingOutset;
    const GskRoundedRect outline =
        paint::roundedRect(paint::rect(centre.x - ring, centre.y - ring, 2 * ring, 2 * ring), ring);
    paint::appendInsideBorder(s, outline, kSelectedRingWidth * t, paint::rgba(first));
  }
  gtk_snapshot_restore(s);
  Gtk::Button::snapshot_vfunc(snapshot);
}

}  // namespace zemblo
