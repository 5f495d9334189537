#pragma once

#include <chrono>
#include <memory>
#include <string>

#include <gtkmm.h>

#include "platform/scheduler.h"

namespace zemblo {

// Puts logins on the desktop's clipboard. A copied password is taken off again when its time
// runs out, or when the browser quits, as long as the clipboard still holds it: whatever was
// copied since, here or in another program, is left alone. It is also marked as a secret, which
// clipboard histories honour by not keeping it. A copied username stays.
class PasswordClipboard {
 public:
  static constexpr std::chrono::seconds kPasswordLifetime{90};

  explicit PasswordClipboard(Scheduler& scheduler);
  ~PasswordClipboard();
  PasswordClipboard(const PasswordClipboard&) = delete;
  PasswordClipboard& operator=(const PasswordClipboard&) = delete;

  void copyUsername(const std::string& username);
  void copyPassword(const std::string& password);

  // Takes a copied password off the clipboard if it is still there.
  void clearPassword();

 private:
  Glib::RefPtr<Gdk::Clipboard> clipboard() const;

  Scheduler& scheduler_;
  Glib::RefPtr<Gdk::ContentProvider> password_;
  std::unique_ptr<ScheduledTask> expiry_;
};

}  // namespace zemblo
