#include "passwords/passwords_window.h"

#include "model/localization.h"

namespace zemblo {

PasswordsWindow::PasswordsWindow(BrowserStore& store) : store_(store) {
  set_default_size(kDefaultWidth, kDefaultHeight);
  rebuildContent();
}

void PasswordsWindow::rebuildContent() {
  set_title(localized("Şifreler"));
  set_child(*Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL));
}

}  // namespace zemblo
