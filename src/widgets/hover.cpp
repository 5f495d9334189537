#include "widgets/hover.h"

namespace zemblo {

void trackHover(Gtk::Widget& widget, std::function<void(bool hovering)> hovering) {
  auto motion = Gtk::EventControllerMotion::create();
  motion->signal_enter().connect([hovering](double, double) { hovering(true); });
  motion->signal_leave().connect([hovering] { hovering(false); });
  widget.add_controller(motion);
}

void addTapAndHover(Gtk::Widget& widget, std::function<void()> tap,
                    std::function<void(bool hovering)> hovering) {
  auto click = Gtk::GestureClick::create();
  click->set_button(GDK_BUTTON_PRIMARY);
  click->signal_released().connect([&widget, tap](int presses, double x, double y) {
    if (presses == 1 && widget.contains(x, y)) tap();
  });
  widget.add_controller(click);
  trackHover(widget, std::move(hovering));
}

}  // namespace zemblo
