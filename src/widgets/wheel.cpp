#include "widgets/wheel.h"

namespace zemblo {

namespace {

template <class Change>
void changeScrollControllers(Gtk::Widget& widget, Change change) {
  GListModel* controllers = gtk_widget_observe_controllers(widget.gobj());
  for (guint i = 0; i < g_list_model_get_n_items(controllers); ++i) {
    auto* controller = static_cast<GtkEventController*>(g_list_model_get_item(controllers, i));
    if (GTK_IS_EVENT_CONTROLLER_SCROLL(controller)) {
      change(GTK_EVENT_CONTROLLER_SCROLL(controller));
    }
    g_object_unref(controller);
  }
  g_object_unref(controllers);
}

}  // namespace

void leaveWheelToPane(Gtk::Widget& control) {
  changeScrollControllers(control, [](GtkEventControllerScroll* controller) {
    gtk_event_controller_set_propagation_phase(GTK_EVENT_CONTROLLER(controller), GTK_PHASE_NONE);
  });
}

void leaveVerticalWheelToPane(Gtk::ScrolledWindow& row) {
  changeScrollControllers(row, [](GtkEventControllerScroll* controller) {
    gtk_event_controller_scroll_set_flags(
        controller, GtkEventControllerScrollFlags(GTK_EVENT_CONTROLLER_SCROLL_HORIZONTAL |
                                                  GTK_EVENT_CONTROLLER_SCROLL_KINETIC));
  });
}

}  // namespace zemblo
