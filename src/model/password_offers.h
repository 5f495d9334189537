#pragma once

#include <memory>
#include <optional>

#include "model/pending_credential.h"
#include "platform/observable.h"

namespace zemblo {

class PasswordStore;

// The one offer of the whole browser to save a login the user just sent from a page. Each answer
// acts on the offer the user was shown, and ends the pending offer only while it is still that
// one: a newer offer from another page stays.
class PasswordOffers : public std::enable_shared_from_this<PasswordOffers> {
 public:
  // Saved logins go into `vault`, which outlives the offers.
  explicit PasswordOffers(PasswordStore& vault);

  Observable<std::optional<PendingCredential>> pending;
  Observable<PendingSaveStatus> status{PendingSaveStatus::offered};

  // Replaces the pending offer; a different one starts afresh.
  void offer(PendingCredential credential);
  // Saves the login into the vault for its site. The offer ends once the keyring holds it; when
  // the keyring refuses, it stays with the status `failed`.
  void save(const PendingCredential& shown);
  void save();
  // Never offers the site again.
  void neverSave(const PendingCredential& shown);
  void neverSave();
  // "Not now": nothing is stored.
  void dismiss(const PendingCredential& shown);

 private:
  void end(const PendingCredential& shown);

  PasswordStore& vault_;
};

}  // namespace zemblo
