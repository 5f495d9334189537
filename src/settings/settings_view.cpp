#include "settings/settings_view.h"

#include "model/localization.h"

namespace zemblo {

SettingsView::SettingsView(BrowserStore& store) : store_(store) {
  set_title(localized("Ayarlar"));
  set_default_size(720, 560);
  set_child(*Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL));
}

}  // namespace zemblo
