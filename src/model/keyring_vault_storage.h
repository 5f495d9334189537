#pragma once

#include "model/vault_storage.h"
#include "platform/keyring_item.h"

namespace zemblo {

// The vault's item in the desktop keyring: found by the attributes "service" and "account",
// labelled "Zemblo Browser Şifreleri" when it is created.
class KeyringVaultStorage : public VaultStorage {
 public:
  static constexpr const char* kService = "com.pellobar.browser.passwords";
  static constexpr const char* kAccount = "vault-v1";
  static constexpr const char* kLabel = "Zemblo Browser Şifreleri";

  KeyringVaultStorage();

  void read(std::function<void(ReadResult)> done) override;
  void write(std::string data,
             std::function<void(bool written, const std::string& error)> done) override;

 private:
  KeyringItem item_;
};

}  // namespace zemblo
