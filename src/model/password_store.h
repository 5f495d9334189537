#pragma once

#include <set>
#include <string>

#include "platform/observable.h"
#include "platform/user_defaults.h"

namespace zemblo {

// The password vault. Holds the sites the user never wants to save a password for; the
// credentials themselves live in the keyring.
class PasswordStore {
 public:
  static constexpr const char* kNeverSaveKey = "neverSavePasswordHosts";

  explicit PasswordStore(UserDefaults& defaults);

  Observable<std::set<std::string>> neverSaveHosts;

  // Adds the host, unchanged, and stores the whole list.
  void neverSave(const std::string& host);

 private:
  UserDefaults& defaults_;
};

}  // namespace zemblo
