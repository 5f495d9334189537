#include "widgets/resting_pointer.h"

#include <gtkmm/eventcontrollerlegacy.h>

#include <cmath>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace zemblo {
namespace {

using Position = std::optional<std::pair<double, double>>;

constexpr const char* kKept = "zemblo-resting-pointer-kept";

// Where the pointer is over the popover's surface, in the coordinates of its motion events.
Position pointerOver(Gtk::Popover& popover) {
  auto* native = popover.get_native();
  GdkSurface* surface = native ? gtk_native_get_surface(native->gobj()) : nullptr;
  GdkSeat* seat =
      surface ? gdk_display_get_default_seat(gdk_surface_get_display(surface)) : nullptr;
  GdkDevice* device = seat ? gdk_seat_get_pointer(seat) : nullptr;
  double x = 0, y = 0;
  if (!device || !gdk_surface_get_device_position(surface, device, &x, &y, nullptr)) {
    return std::nullopt;
  }
  return std::pair{x, y};
}

void keepOff(Gtk::Popover& popover) {
  if (g_object_get_data(G_OBJECT(popover.gobj()), kKept)) return;
  g_object_set_data(G_OBJECT(popover.gobj()), kKept, GINT_TO_POINTER(TRUE));
  auto last = std::make_shared<Position>();
  auto moves = Gtk::EventControllerLegacy::create();
  // Ahead of the rows' own controllers, which would take the selection back to their row.
  moves->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
  moves->signal_event().connect(
      [last](const Glib::RefPtr<const Gdk::Event>& event) {
        if (event->get_event_type() != Gdk::Event::Type::MOTION_NOTIFY) return false;
        double x = 0, y = 0;
        event->get_position(x, y);
        const bool still = last->has_value() && std::abs((*last)->first - x) < 0.5 &&
                           std::abs((*last)->second - y) < 0.5;
        *last = std::pair{x, y};
        return still;
      },
      false);
  popover.add_controller(moves);
  // A menu that opens under a resting pointer takes that spot as where the pointer was last seen.
  popover.signal_map().connect([&popover, last] { *last = pointerOver(popover); });
}

}  // namespace

void keepRestingPointerOffRows(Gtk::PopoverMenu& menu) {
  std::vector<GtkWidget*> pending{GTK_WIDGET(menu.gobj())};
  while (!pending.empty()) {
    GtkWidget* widget = pending.back();
    pending.pop_back();
    if (GTK_IS_POPOVER(widget)) keepOff(*Glib::wrap(GTK_POPOVER(widget)));
    for (GtkWidget* child = gtk_widget_get_first_child(widget); child;
         child = gtk_widget_get_next_sibling(child)) {
      pending.push_back(child);
    }
  }
}

}  // namespace zemblo
