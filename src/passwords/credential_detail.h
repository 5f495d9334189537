#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <gtkmm.h>

#include "model/credential.h"
#include "passwords/leading_clamp.h"
#include "platform/alive_token.h"
#include "widgets/favicon_view.h"

namespace zemblo {

class PasswordClipboard;
class PasswordStore;
class WindowModel;

// The page of one saved login: its site, the date line, the username, the password (hidden
// until revealed), the website and the notes, with copy, reveal, open and delete. It never edits
// the login and never marks it used.
class CredentialDetail : public Gtk::ScrolledWindow {
 public:
  static constexpr int kMaximumWidth = 560;
  static constexpr int kPadding = 28;
  static constexpr int kHeaderIconSize = 40;
  static constexpr unsigned kCheckmarkMilliseconds = 1500;

  // The website opens in a new tab of the tabs `lastUsedTabs` gives at the time.
  CredentialDetail(PasswordStore& passwords, std::function<WindowModel*()> lastUsedTabs,
                   FaviconLoader& favicons, PasswordClipboard& clipboard, Credential credential);
  ~CredentialDetail() override;

  // Shows the login's newest values, keeping what is revealed and copied.
  void set(Credential credential);
  const Credential& credential() const { return credential_; }

 private:
  void toggleReveal();
  void copyUsername();
  void copyPassword();
  void openSite();
  // Asks before deleting.
  void confirmDelete();
  void sync();
  void markCopied(const char* tag);
  void deleteConfirmed();

  PasswordStore& passwords_;
  std::function<WindowModel*()> lastUsedTabs_;
  PasswordClipboard& clipboard_;
  Credential credential_;
  bool revealed_ = false;
  // "user" or "pass" while that field's copy button shows its checkmark.
  std::optional<std::string> copied_;
  sigc::connection copiedReset_;
  AliveToken alive_;

  Gtk::Box column_{Gtk::Orientation::VERTICAL, 24};
  LeadingClamp clamp_{column_, kMaximumWidth};
  Gtk::Box header_{Gtk::Orientation::HORIZONTAL, 16};
  Gtk::Box iconTile_;
  FaviconView icon_;
  Gtk::Box headerText_{Gtk::Orientation::VERTICAL, 4};
  Gtk::Label title_;
  Gtk::Label dateLine_;

  Gtk::Box card_{Gtk::Orientation::VERTICAL, 0};
  Gtk::Label usernameValue_;
  Gtk::Button copyUsername_;
  Gtk::Label passwordValue_;
  Gtk::Button reveal_;
  Gtk::Button copyPassword_;
  Gtk::Label websiteValue_;
  Gtk::Button open_;

  Gtk::Box notes_{Gtk::Orientation::VERTICAL, 6};
  Gtk::Label notesLabel_;
  Gtk::Label notesValue_;
  Gtk::Button delete_;
  Gtk::Box deleteContent_{Gtk::Orientation::HORIZONTAL, 6};
  Gtk::Image deleteIcon_;
  Gtk::Label deleteLabel_;
};

}  // namespace zemblo
