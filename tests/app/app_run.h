#pragma once

#include <gtkmm.h>

#include <functional>

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

// Runs it with `checks` once it is up, then quits it and hides its windows.
inline void runChecks(Gtk::Application& app, const std::function<void()>& checks) {
  app.signal_activate().connect(
      [&app, checks] {
        Glib::signal_idle().connect_once([&app, checks] {
          checks();
          app.quit();
        });
      },
      true);
  runAndHideWindows(app);
}

}  // namespace zemblo::testing
