#pragma once

#include <gtkmm.h>

namespace zemblo {

// Installs the application's style sheet, the sizes and text styles of the browser window's
// views, for the display of `widget` for as long as the result is held.
class AppStyle {
 public:
  explicit AppStyle(const Glib::RefPtr<Gdk::Display>& display);
  ~AppStyle();
  AppStyle(const AppStyle&) = delete;
  AppStyle& operator=(const AppStyle&) = delete;

 private:
  Glib::RefPtr<Gdk::Display> display_;
  Glib::RefPtr<Gtk::CssProvider> provider_;
};

}  // namespace zemblo
