#pragma once

#include <gtkmm.h>

namespace zemblo {

// The style sheet of the passwords window and its import sheet, installed for the display while
// the window lives.
class PasswordsStyle {
 public:
  PasswordsStyle();
  ~PasswordsStyle();
  PasswordsStyle(const PasswordsStyle&) = delete;
  PasswordsStyle& operator=(const PasswordsStyle&) = delete;

 private:
  Glib::RefPtr<Gtk::CssProvider> provider_;
};

}  // namespace zemblo
