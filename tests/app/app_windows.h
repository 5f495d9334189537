#pragma once

#include <gtkmm.h>

#include <vector>

#include "model/window_model.h"
#include "window/browser_window.h"

// The application's browser windows as GTK lists them: every window it has added and not yet
// destroyed, hidden ones on their way out included.
namespace zemblo::testing {

inline std::vector<BrowserWindow*> browserWindowsOf(Gtk::Application& app) {
  std::vector<BrowserWindow*> found;
  for (Gtk::Window* window : app.get_windows()) {
    if (auto* browser = dynamic_cast<BrowserWindow*>(window)) found.push_back(browser);
  }
  return found;
}

// The browser window showing `tabs`; null when none does.
inline BrowserWindow* browserWindowShowing(Gtk::Application& app, const WindowModel& tabs) {
  for (BrowserWindow* window : browserWindowsOf(app)) {
    if (&window->tabs() == &tabs) return window;
  }
  return nullptr;
}

// The one browser window besides `window`; null unless there is exactly one.
inline BrowserWindow* otherBrowserWindow(Gtk::Application& app, const BrowserWindow& window) {
  const auto windows = browserWindowsOf(app);
  if (windows.size() != 2) return nullptr;
  return windows[0] == &window ? windows[1] : windows[0];
}

}  // namespace zemblo::testing
