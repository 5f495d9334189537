#pragma once

#include <gtkmm.h>

namespace zemblo::testing {

// Runs the application as a start without arguments, until something quits it.
inline void runWithoutArguments(Gtk::Application& app) {
  char name[] = "zemblo-browser";
  char* argv[] = {name, nullptr};
  app.run(1, argv);
}

// Runs it, then hides the windows it leaves: windows left on screen by a finished run would take
// the keyboard from later tests' windows.
inline void runAndHideWindows(Gtk::Application& app) {
  runWithoutArguments(app);
  for (auto* shown : app.get_windows()) shown->set_visible(false);
}

}  // namespace zemblo::testing
