#include "window/window_accessor.h"
#include "widgets/accessibility.h"

#include <algorithm>

namespace zemblo {

WindowAccessor::WindowAccessor()
    : opacity_(*this, 1,
               [this] { controls_.set_opacity(std::clamp(opacity_.value(), 0.0, 1.0)); }) {
  set_name("WindowAccessor");
  groupForScreenReaders(*this);
  set_layout_manager(Gtk::BinLayout::create());
  // All three buttons, in this order, whatever layout the desktop prefers for its own windows.
  controls_.set_decoration_layout("close,minimize,maximize:");
  controls_.add_css_class("zemblo-window-buttons");
  controls_.set_parent(*this);
}

WindowAccessor::~WindowAccessor() { controls_.unparent(); }

void WindowAccessor::setTrafficLightsHidden(bool hidden, std::optional<Spring> spring) {
  controls_.set_can_target(!hidden);
  const double target = hidden ? 0 : 1;
  if (spring) {
    opacity_.springTo(target, *spring);
  } else {
    opacity_.jumpTo(target);
  }
}

}  // namespace zemblo
