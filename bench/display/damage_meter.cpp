#include "damage_meter.h"

// After every gtkmm header: Xlib's macros clash with glibmm's names.
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <gdk/x11/gdkx.h>

namespace zemblo::bench {

struct DamageMeter::Connection {
  Display* display = nullptr;
  int eventBase = 0;
  Damage damage = 0;
  ~Connection() {
    if (damage) XDamageDestroy(display, damage);
    if (display) XCloseDisplay(display);
  }
};

DamageMeter::DamageMeter(Gtk::Window& window) {
  GdkDisplay* display = gtk_widget_get_display(GTK_WIDGET(window.gobj()));
  const std::optional<unsigned long> xid = xWindowOf(window);
  if (!GDK_IS_X11_DISPLAY(display) || !xid) return;
  x_ = connect(DisplayString(gdk_x11_display_get_xdisplay(display)), *xid);
}

DamageMeter::DamageMeter(const char* display, unsigned long xid) : x_(connect(display, xid)) {}

std::unique_ptr<DamageMeter::Connection> DamageMeter::connect(const char* display,
                                                              unsigned long xid) {
  auto x = std::make_unique<Connection>();
  x->display = XOpenDisplay(display);
  int errorBase = 0;
  if (!x->display || !XDamageQueryExtension(x->display, &x->eventBase, &errorBase)) return nullptr;
  // Every rectangle drawn, not only the growth of a region since the last report.
  x->damage = XDamageCreate(x->display, xid, XDamageReportRawRectangles);
  XSync(x->display, False);
  return x;
}

DamageMeter::~DamageMeter() = default;

bool DamageMeter::available() const { return x_ != nullptr; }

void DamageMeter::reset() {
  collect();
  pixels_ = 0;
  rectangles_ = 0;
  times_.clear();
  areas_.clear();
}

double DamageMeter::pixels() {
  collect();
  return pixels_;
}

size_t DamageMeter::rectangles() {
  collect();
  return rectangles_;
}

const std::vector<uint32_t>& DamageMeter::times() {
  collect();
  return times_;
}

size_t DamageMeter::updates(uint32_t gap) {
  collect();
  size_t runs = 0;
  for (size_t i = 0; i < times_.size(); ++i) {
    if (i == 0 || times_[i] - times_[i - 1] > gap) ++runs;
  }
  return runs;
}

std::vector<double> DamageMeter::updateIntervals(uint32_t gap) {
  collect();
  std::vector<double> intervals;
  std::optional<uint32_t> started;
  for (size_t i = 0; i < times_.size(); ++i) {
    if (i > 0 && times_[i] - times_[i - 1] <= gap) continue;
    if (started) intervals.push_back(double(times_[i] - *started));
    started = times_[i];
  }
  return intervals;
}

std::optional<unsigned long> xWindowOf(Gtk::Window& window) {
  GdkSurface* surface = gtk_native_get_surface(GTK_NATIVE(window.gobj()));
  if (!surface || !GDK_IS_X11_SURFACE(surface)) return std::nullopt;
  return gdk_x11_surface_get_xid(surface);
}

void DamageMeter::collect() {
  if (!x_) return;
  XSync(x_->display, False);
  while (XPending(x_->display)) {
    XEvent event;
    XNextEvent(x_->display, &event);
    if (event.type != x_->eventBase + XDamageNotify) continue;
    const auto& notify = reinterpret_cast<const XDamageNotifyEvent&>(event);
    pixels_ += double(notify.area.width) * notify.area.height;
    ++rectangles_;
    times_.push_back(uint32_t(notify.timestamp));
    areas_.push_back({notify.area.x, notify.area.y, notify.area.width, notify.area.height});
  }
}

}  // namespace zemblo::bench
