#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "model/credential.h"
#include "model/login_origin.h"
#include "model/password_import.h"
#include "model/vault_storage.h"
#include "platform/alive_token.h"
#include "platform/observable.h"
#include "platform/user_defaults.h"

namespace zemblo {

// Whether the vault's item in the keyring could be read.
enum class VaultState {
  loading,
  available,
  // The item could not be read or decoded: it is never written for the life of the process, so
  // whatever it holds stays exactly as it was.
  unavailable,
};

// What a submitted login would be to the vault.
enum class SaveDecision {
  save,          // no login for this site and username
  update,        // a login with another password
  alreadySaved,  // the same login with the same password
};

// A login as the user typed or imported it, to be saved by PasswordStore::upsert.
struct LoginToSave {
  std::string host;
  std::string url;
  std::string username;
  std::string password;
  std::string title;
  std::string notes;
  // Whether the keyring is written at once; false for a caller that writes it itself, to learn
  // how the write went.
  bool persist = true;
};

// The password vault: every saved login in memory, the whole list kept as one item of the
// keyring, and the sites the user never wants to save a password for. Every change is written at
// once; a write that fails leaves the keyring as it was and the change in memory, and the next
// write carries it. Lives on the main thread.
class PasswordStore {
 public:
  static constexpr const char* kNeverSaveKey = "neverSavePasswordHosts";

  // Reads the never-save list, then starts reading the keyring item.
  PasswordStore(UserDefaults& defaults, std::shared_ptr<VaultStorage> storage);
  ~PasswordStore();
  PasswordStore(const PasswordStore&) = delete;
  PasswordStore& operator=(const PasswordStore&) = delete;

  // In insertion order, the tie-break of every first-match rule below.
  Observable<std::vector<Credential>> credentials;
  Observable<std::set<std::string>> neverSaveHosts;
  Observable<VaultState> state{VaultState::loading};

  // Changes in memory that the keyring does not hold yet (a write failed or is under way).
  bool hasUnsavedChanges() const { return revision_ != savedRevision_; }
  // Whether an answer of the keyring is still to come for a change: a write under way, or one
  // that waits for the read.
  bool awaitsKeyring() const {
    return writing_ || (state.peek() == VaultState::loading && hasUnsavedChanges());
  }

  // The logins saved for exactly this page's host that its scheme and port may have
  // (schemeAndPortAllow), most recently used first; never-used ones last, in vault order.
  std::vector<Credential> credentialsFor(const LoginOrigin& page) const;
  // The logins saved for the other hosts of the same site (SiteRelation::sameSite) that the
  // page's scheme and port may have, in the same order.
  std::vector<Credential> credentialsForOtherHostsOfSite(const LoginOrigin& page) const;
  std::optional<Credential> credential(const Uuid& id) const;
  // The first login of the page's own (credentialsFor) with the same username decides.
  SaveDecision saveDecision(const LoginOrigin& page, std::string_view username,
                            std::string_view password) const;

  // Saves a login: a new one is appended; an existing one that a page of the login's address
  // may have (as saveDecision finds it) gets the new password (and the notes when it had none).
  SaveDecision upsert(const LoginToSave& login);
  // Records a fill now; an unknown id changes nothing.
  void markUsed(const Uuid& id);
  void deleteCredential(const Uuid& id);
  // Adds the host, unchanged, and stores the whole list.
  void neverSave(const std::string& host);

  // Merges the logins of a CSV file's bytes (mergeCsvLogins) and writes the vault once. `done`
  // gets the counts once the keyring holds them; when the keyring refuses them, the import's
  // changes are taken out again and it reports `notSaved`, so that nobody deletes the file
  // believing its logins were kept. Refused while the vault is being read or is unavailable.
  void importCSV(std::string_view bytes, std::function<void(ImportOutcome)> done);

  // Writes the whole vault. `done` learns whether the keyring now holds every change made up to
  // this call; it is false at once when the vault is unavailable. Writes wait for the read.
  void persist(std::function<void(bool written)> done = {});

 private:
  bool isUnavailable() const { return state.peek() == VaultState::unavailable; }
  void loaded(VaultStorage::ReadResult result);
  void changed() { ++revision_; }
  void startWrite();
  // Takes out what an import changed, as far as nothing else changed it since.
  void revertImport(const std::vector<Uuid>& added,
                    const std::vector<std::pair<Credential, std::string>>& updated);
  std::vector<Credential> recentFirst(const std::function<bool(const Credential&)>& keep) const;
  std::vector<Credential>::const_iterator firstMatch(const LoginOrigin& page,
                                                     std::string_view username) const;

  UserDefaults& defaults_;
  std::shared_ptr<VaultStorage> storage_;
  uint64_t revision_ = 0;
  uint64_t savedRevision_ = 0;
  bool writing_ = false;
  bool writeAgain_ = false;
  std::vector<std::function<void(bool)>> waiting_;
  AliveToken alive_;
};

}  // namespace zemblo
