#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <gtkmm.h>

#include "passwords/gradient_tile.h"
#include "platform/observable.h"
#include "widgets/aurora_background.h"
#include "widgets/balanced_label.h"
#include "widgets/system_color_scheme.h"

namespace zemblo {

class BrowserWindows;
class PreferencesModel;

// The passwords window while it is locked: the lock badge over the drifting aurora of the theme
// colours, "Passwords are locked", the account password field, and "Import…" beside "Unlock",
// which shows an open lock: it unlocks with a password, not a fingerprint.
// Escape ends an authentication that is waiting for the password.
class LockedPasswordsView : public Gtk::Overlay {
 public:
  static constexpr int kBadgeSize = 72;

  struct Actions {
    std::function<void()> unlock;
    std::function<void()> importAction;
    std::function<void()> cancel;
  };

  // What the window's authentication is doing.
  struct Status {
    bool authenticating = false;
    // The system waits for the password field's text.
    bool awaitingAnswer = false;
    std::optional<std::string> error;
    // A note of the system's, such as a fingerprint reader's request.
    std::optional<std::string> notice;
    // The system's own wording for a question after the first.
    std::optional<std::string> prompt;
  };

  // The aurora takes the theme colours of `preferences` and the first of `windows`.
  LockedPasswordsView(const PreferencesModel& preferences, const BrowserWindows& windows,
                      const SystemColorScheme& scheme, Actions actions);
  ~LockedPasswordsView() override;

  void show(const Status& status);

  Gtk::PasswordEntry& passwordField() { return password_; }
  Gtk::Button& unlockButton() { return unlock_; }

 private:
  void syncTheme();

  const PreferencesModel& preferences_;
  const BrowserWindows& windows_;
  Actions actions_;
  const SystemColorScheme& scheme_;
  AuroraBackground aurora_;
  Gtk::Box column_{Gtk::Orientation::VERTICAL, 16};
  Gtk::Image lockSymbol_;
  GradientTile badge_{kBadgeSize, 22, lockSymbol_};
  Gtk::Label title_;
  BalancedLabel explanation_;
  BalancedLabel error_;
  BalancedLabel notice_;
  Gtk::PasswordEntry password_;
  Gtk::Box buttons_{Gtk::Orientation::HORIZONTAL, 10};
  Gtk::Button import_;
  Gtk::Button unlock_;
  Gtk::Stack unlockContent_;
  Gtk::Spinner spinner_;
  Gtk::Box unlockLabel_{Gtk::Orientation::HORIZONTAL, 6};
  Gtk::Image unlockSymbol_;
  Gtk::Label unlockText_;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
