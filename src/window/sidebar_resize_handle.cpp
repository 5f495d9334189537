#include "window/sidebar_resize_handle.h"

#include <algorithm>
#include <cmath>

#include "model/localization.h"
#include "model/preference_sizes.h"
#include "model/preferences_model.h"
#include "model/theme_colors.h"
#include "widgets/hover.h"
#include "widgets/paint.h"
#include "widgets/system_color_scheme.h"

namespace zemblo {

SidebarResizeHandle::SidebarResizeHandle(const WindowModel& tabs, PreferencesModel& preferences,
                                         const SystemColorScheme& scheme)
    : tabs_(tabs),
      preferences_(preferences),
      scheme_(scheme),
      line_(*this, 0, [this] { queue_draw(); }) {
  set_name("SidebarResizeHandle");
  // The cursor belongs to this widget alone, so there is no cursor stack to unbalance.
  set_cursor(Gdk::Cursor::create("ew-resize"));
  const std::string label = localized("Genişlik");
  gtk_accessible_update_property(GTK_ACCESSIBLE(gobj()), GTK_ACCESSIBLE_PROPERTY_LABEL,
                                 label.c_str(), -1);

  trackHover(*this, [this](bool hovering) { setHovering(hovering); });

  drag_ = Gtk::GestureDrag::create();
  drag_->set_button(GDK_BUTTON_PRIMARY);
  drag_->signal_drag_begin().connect([this](double, double) { dragBegan(); });
  drag_->signal_drag_update().connect([this](double, double) { dragMoved(); });
  drag_->signal_drag_end().connect([this](double, double) { dragEnded(); });
  drag_->signal_cancel().connect([this](Gdk::EventSequence*) { dragEnded(); });
  add_controller(drag_);

  observer_ = std::make_unique<Observer>([this] { sync(); });
}

SidebarResizeHandle::~SidebarResizeHandle() { observer_.reset(); }

double SidebarResizeHandle::widthFor(double startWidth, double dx, bool leading) {
  if (!std::isfinite(startWidth)) startWidth = AppPreferences{}.sidebarWidth;
  if (!leading) dx = -dx;
  return std::min(sizes::kSidebarWidthMax, std::max(sizes::kSidebarWidthMin, startWidth + dx));
}

void SidebarResizeHandle::sync() {
  // The line is drawn in the sidebar's own scheme, which may differ from the window's.
  const ColorScheme window = scheme_.get();
  const bool dark =
      sidebarColorScheme(preferences_, tabs_, window).value_or(window) == ColorScheme::dark;
  if (dark != dark_) queue_draw();
  dark_ = dark;
}

void SidebarResizeHandle::setHovering(bool hovering) {
  hovering_ = hovering;
  showLine();
}

void SidebarResizeHandle::showLine() {
  line_.easeTo(hovering_ || dragging() ? kLineOpacity : 0, kFadeSeconds, Ease::out);
}

std::optional<double> SidebarResizeHandle::pointerX() const {
  // The event's own position is in the coordinates of the window's surface, which stays put
  // while the handle follows the width.
  GdkEvent* event = gtk_event_controller_get_current_event(GTK_EVENT_CONTROLLER(drag_->gobj()));
  double x = 0;
  double y = 0;
  if (!event || !gdk_event_get_position(event, &x, &y)) return std::nullopt;
  return x;
}

void SidebarResizeHandle::dragBegan() {
  pressX_ = pointerX();
  drag_->set_state(Gtk::EventSequenceState::CLAIMED);
}

void SidebarResizeHandle::dragMoved() {
  const auto x = pointerX();
  if (!pressX_ || !x) return;
  const double dx = *x - *pressX_;
  // A drag starts once the pointer has moved by a point.
  if (!startWidth_ && std::abs(dx) < 1) return;
  if (!startWidth_) {
    startWidth_ = preferences_.prefs().sidebarWidth;
    showLine();
  }
  const double width = widthFor(*startWidth_, dx, leading_);
  // Each change is one write of the preferences, saved with them; an unchanged width is not.
  if (width == preferences_.prefs().sidebarWidth) return;
  preferences_.updatePrefs([width](AppPreferences& prefs) { prefs.sidebarWidth = width; });
}

void SidebarResizeHandle::dragEnded() {
  pressX_.reset();
  startWidth_.reset();
  showLine();
}

void SidebarResizeHandle::on_map() {
  Gtk::Widget::on_map();
  set_cursor(Gdk::Cursor::create("ew-resize"));
}

void SidebarResizeHandle::on_unmap() {
  // Hidden under a pointer that does not move, the handle would keep its cursor on the window
  // until the next motion; dropping it makes the window show what now lies under the pointer.
  set_cursor(Glib::RefPtr<Gdk::Cursor>());
  hovering_ = false;
  dragEnded();
  Gtk::Widget::on_unmap();
}

void SidebarResizeHandle::measure_vfunc(Gtk::Orientation orientation, int, int& minimum,
                                        int& natural, int& minimum_baseline,
                                        int& natural_baseline) const {
  minimum = natural = orientation == Gtk::Orientation::HORIZONTAL ? int(kWidth) : 0;
  minimum_baseline = natural_baseline = -1;
}

void SidebarResizeHandle::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
  const double opacity = line_.value();
  if (opacity <= 0) return;
  const GdkRGBA color = paint::grey(dark_ ? 1 : 0, opacity);
  const graphene_rect_t line =
      paint::rect((get_width() - kLineWidth) / 2, 0, kLineWidth, get_height());
  gtk_snapshot_append_color(snapshot->gobj(), &color, &line);
}

}  // namespace zemblo
