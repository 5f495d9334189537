#include "widgets/pointer_return.h"

#include <cmath>

namespace zemblo {

PointerReturn::PointerReturn(Gtk::Widget& owner) : motion_(Gtk::EventControllerMotion::create()) {
  motion_->signal_motion().connect([this](double, double) { moved(); });
  owner.add_controller(motion_);
}

PointerReturn::~PointerReturn() {
  if (lastMove_) gdk_event_unref(lastMove_);
}

void PointerReturn::watch(Gtk::Popover& opened) {
  opened.signal_closed().connect(
      sigc::track_object([this, &opened] { closed(opened); }, *this, opened));
}

void PointerReturn::moved() {
  GdkEvent* event = gtk_event_controller_get_current_event(GTK_EVENT_CONTROLLER(motion_->gobj()));
  if (!event) return;
  if (lastMove_) gdk_event_unref(lastMove_);
  lastMove_ = gdk_event_ref(event);
}

void PointerReturn::closed(Gtk::Popover& opened) {
  // The menu is closed by now. Without its surface the display's late reports of the pointer
  // inside the menu are dropped, and the move handed back below stays in force.
  if (opened.get_realized()) gtk_widget_unrealize(GTK_WIDGET(opened.gobj()));
  handBack();
}

void PointerReturn::handBack() {
  GdkSurface* surface = lastMove_ ? gdk_event_get_surface(lastMove_) : nullptr;
  if (!surface || !gdk_surface_get_mapped(surface)) return;
  double x = 0, y = 0, nowX = 0, nowY = 0;
  gdk_event_get_position(lastMove_, &x, &y);
  // Only for a pointer that has not moved since: any move of its own sets the toolkit right.
  if (!gdk_surface_get_device_position(surface, gdk_event_get_device(lastMove_), &nowX, &nowY,
                                       nullptr) ||
      std::abs(nowX - x) >= 0.5 || std::abs(nowY - y) >= 0.5) {
    return;
  }
  G_GNUC_BEGIN_IGNORE_DEPRECATIONS
  gdk_display_put_event(gdk_surface_get_display(surface), lastMove_);
  G_GNUC_END_IGNORE_DEPRECATIONS
}

}  // namespace zemblo
