#pragma once

#include <gtkmm.h>

#include "model/credential.h"
#include "widgets/favicon_view.h"

namespace zemblo {

// One line of the login list: the site's icon, its host, and the username (or "No username").
class CredentialRow : public Gtk::Box {
 public:
  static constexpr int kIconSize = 22;

  explicit CredentialRow(FaviconLoader& favicons);

  void set(const Credential& credential);
  const Uuid& credentialId() const { return id_; }

 private:
  Uuid id_;
  FaviconView icon_;
  Gtk::Box text_{Gtk::Orientation::VERTICAL, 1};
  Gtk::Label host_;
  Gtk::Label username_;
};

}  // namespace zemblo
