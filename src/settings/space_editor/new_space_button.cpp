#include "settings/space_editor/new_space_button.h"

#include "model/localization.h"
#include "settings/previews/label_font.h"
#include "settings/space_editor/space_chip.h"
#include "widgets/accessibility.h"
#include "widgets/paint.h"
#include "widgets/symbol_icons.h"

namespace zemblo {

NewSpaceButton::NewSpaceButton() {
  set_name("NewSpaceButton");
  add_css_class("settings-card-button");
  const std::string title = localized("Yeni Alan");
  // A new space takes that name too: its chip beside this button is announced by it.
  setAccessibleName(*this, localized("Yeni alan ekle"));
  set_tooltip_text(title);
  plus_.set_from_icon_name(symbolIconName("plus"));
  plus_.set_pixel_size(symbolPixelSize(17));
  plus_.add_css_class("settings-secondary");
  hideFromScreenReaders(plus_);
  plus_.set_valign(Gtk::Align::CENTER);
  discRoom_.set_size_request(int(kDiscSide), int(kDiscSide));
  discRoom_.set_halign(Gtk::Align::CENTER);
  // The plus takes the whole room, centred in it.
  discRoom_.set_homogeneous(true);
  // In line with the chips' discs, which leave room above for their ring.
  discRoom_.set_margin_top(int(SpaceChip::kRingOutset));
  discRoom_.append(plus_);
  title_.set_text(title);
  title_.add_css_class("settings-secondary");
  setLabelFont(title_, {12});
  face_.set_size_request(kWidth, -1);
  face_.append(discRoom_);
  face_.append(title_);
  set_child(face_);
}

void NewSpaceButton::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
  graphene_rect_t room;
  if (gtk_widget_compute_bounds(GTK_WIDGET(discRoom_.gobj()), GTK_WIDGET(gobj()), &room)) {
    // GSK of this GTK has no dashed stroke: the dashed circle is drawn with cairo.
    cairo_t* cr = gtk_snapshot_append_cairo(snapshot->gobj(), &room);
    const GdkRGBA color = paint::foreground(*this);
    constexpr double kLineWidth = 1.5;
    const double dashes[] = {4, 3};
    cairo_set_source_rgba(cr, color.red, color.green, color.blue, 0.25);
    cairo_set_line_width(cr, kLineWidth);
    cairo_set_dash(cr, dashes, 2, 0);
    cairo_arc(cr, room.origin.x + room.size.width / 2, room.origin.y + room.size.height / 2,
              (kDiscSide - kLineWidth) / 2, 0, 2 * G_PI);
    cairo_stroke(cr);
    cairo_destroy(cr);
  }
  Gtk::Button::snapshot_vfunc(snapshot);
}

}  // namespace zemblo
