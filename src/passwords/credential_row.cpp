#include "passwords/credential_row.h"

#include "model/localization.h"
#include "widgets/accessibility.h"

namespace zemblo {

CredentialRow::CredentialRow(FaviconLoader& favicons)
    : Gtk::Box(Gtk::Orientation::HORIZONTAL, 10), icon_(favicons, kIconSize) {
  add_css_class("credential-row");
  set_margin_top(3);
  set_margin_bottom(3);
  icon_.set_valign(Gtk::Align::CENTER);
  for (Gtk::Label* label : {&host_, &username_}) {
    label->set_xalign(0);
    label->set_ellipsize(Pango::EllipsizeMode::END);
    label->set_single_line_mode(true);
    text_.append(*label);
  }
  host_.add_css_class("credential-row-host");
  username_.add_css_class("credential-row-username");
  username_.add_css_class("dim-label");
  text_.set_valign(Gtk::Align::CENTER);
  text_.set_hexpand(true);
  append(icon_);
  append(text_);
}

void CredentialRow::set(const Credential& credential) {
  id_ = credential.id;
  icon_.set(std::nullopt, credential.host, kIconSize);
  host_.set_text(credential.host);
  username_.set_text(credential.username.empty() ? localized("Kullanıcı adı yok")
                                                 : credential.username);
  // Two logins on one host must not sound the same.
  const std::string name = username_.get_text() + ", " + credential.host;
  setAccessibleName(*this, name);
  // The list puts the row in an item of its own, and that item is what takes the focus.
  if (Gtk::Widget* item = get_parent()) setAccessibleName(*item, name);
}

}  // namespace zemblo
