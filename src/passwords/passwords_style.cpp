#include "passwords/passwords_style.h"

#include "passwords/passwords_resources.h"

namespace zemblo {

PasswordsStyle::PasswordsStyle() : provider_(Gtk::CssProvider::create()) {
  provider_->load_from_data(resources::passwordsStyleSheet());
  Gtk::StyleContext::add_provider_for_display(Gdk::Display::get_default(), provider_,
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
}

PasswordsStyle::~PasswordsStyle() {
  Gtk::StyleContext::remove_provider_for_display(Gdk::Display::get_default(), provider_);
}

}  // namespace zemblo
