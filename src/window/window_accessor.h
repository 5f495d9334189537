#pragma once

#include <optional>

#include <gtkmm.h>

#include "widgets/animated_value.h"

namespace zemblo {

// The window's close, minimise and maximise buttons, drawn by the content because the title bar
// is hidden. Hidden buttons fade out and also stop taking clicks, so that a click on the page
// beneath never closes or minimises the window by accident.
class WindowAccessor : public Gtk::Widget {
 public:
  WindowAccessor();
  ~WindowAccessor() override;

  // Fades with `spring`, or switches at once without one.
  void setTrafficLightsHidden(bool hidden, std::optional<Spring> spring = std::nullopt);

 private:
  Gtk::WindowControls controls_{Gtk::PackType::START};
  AnimatedValue opacity_;
};

}  // namespace zemblo
