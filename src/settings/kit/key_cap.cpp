#include "settings/kit/key_cap.h"

namespace zemblo {

KeyCap::KeyCap(const std::string& key) : Gtk::Label(key) {
  set_name("KeyCap");
  add_css_class("settings-keycap");
  set_size_request(kMinimumWidth, kMinimumHeight);
  set_xalign(0.5);
  set_valign(Gtk::Align::CENTER);
}

}  // namespace zemblo
