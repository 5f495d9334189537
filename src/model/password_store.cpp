#include "model/password_store.h"

#include <glib.h>

#include <algorithm>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "model/host_rules.h"

namespace zemblo {

PasswordStore::PasswordStore(UserDefaults& defaults, std::shared_ptr<VaultStorage> storage)
    : defaults_(defaults), storage_(std::move(storage)) {
  if (auto hosts = defaults.stringArray(kNeverSaveKey)) {
    neverSaveHosts.set(std::set<std::string>(hosts->begin(), hosts->end()));
  }
  storage_->read([this, alive = alive_.watch()](VaultStorage::ReadResult result) {
    if (!alive.expired()) loaded(std::move(result));
  });
}

PasswordStore::~PasswordStore() = default;

void PasswordStore::loaded(VaultStorage::ReadResult result) {
  std::vector<Credential> stored;
  bool readable = result.status != VaultStorage::ReadStatus::failed;
  if (!readable) {
    g_warning("The saved passwords cannot be read from the keyring: %s", result.error.c_str());
  } else if (result.status == VaultStorage::ReadStatus::found) {
    if (auto decoded = decodeCredentials(result.data)) {
      stored = std::move(*decoded);
    } else {
      readable = false;
      g_warning(
          "The keyring's password item holds no readable list of passwords; it is kept "
          "as it is and nothing is written to it");
    }
  }
  if (!readable) {
    state.set(VaultState::unavailable);
    for (const auto& done : std::exchange(waiting_, {})) done(false);
    return;
  }
  if (!stored.empty()) {
    // Logins saved while the item was being read come after the stored ones.
    const auto& added = credentials.peek();
    stored.insert(stored.end(), added.begin(), added.end());
    credentials.set(std::move(stored));
  }
  state.set(VaultState::available);
  if (hasUnsavedChanges() || !waiting_.empty()) startWrite();
}

std::vector<Credential> PasswordStore::credentialsFor(const LoginOrigin& page) const {
  return recentFirst([&](const Credential& credential) {
    return credential.host == page.host &&
           schemeAndPortAllow(LoginOrigin::ofLogin(credential), page);
  });
}

std::vector<Credential> PasswordStore::credentialsForOtherHostsOfSite(
    const LoginOrigin& page) const {
  const std::optional<RegistrableDomain> site = registrableDomain(page.host);
  return recentFirst([&](const Credential& credential) {
    return siteRelation(credential.host, page.host, site) == SiteRelation::sameSite &&
           schemeAndPortAllow(LoginOrigin::ofLogin(credential), page);
  });
}

std::vector<Credential> PasswordStore::recentFirst(
    const std::function<bool(const Credential&)>& keep) const {
  std::vector<Credential> found;
  for (const Credential& credential : credentials.peek()) {
    if (keep(credential)) found.push_back(credential);
  }
  // An absent date counts as the earliest, so never-used logins keep their order at the end.
  std::stable_sort(found.begin(), found.end(), [](const Credential& a, const Credential& b) {
    return a.lastUsed > b.lastUsed;
  });
  return found;
}

std::optional<Credential> PasswordStore::credential(const Uuid& id) const {
  for (const Credential& credential : credentials.peek()) {
    if (credential.id == id) return credential;
  }
  return std::nullopt;
}

std::vector<Credential>::const_iterator PasswordStore::firstMatch(const LoginOrigin& page,
                                                                  std::string_view username) const {
  const auto& list = credentials.peek();
  return std::find_if(list.begin(), list.end(), [&](const Credential& credential) {
    return credential.host == page.host && credential.username == username &&
           schemeAndPortAllow(LoginOrigin::ofLogin(credential), page);
  });
}

SaveDecision PasswordStore::saveDecision(const LoginOrigin& page, std::string_view username,
                                         std::string_view password) const {
  const auto found = firstMatch(page, username);
  if (found == credentials.peek().end()) return SaveDecision::save;
  return found->password == password ? SaveDecision::alreadySaved : SaveDecision::update;
}

SaveDecision PasswordStore::upsert(const LoginToSave& login) {
  const auto found = firstMatch(LoginOrigin::ofLogin(login.host, login.url), login.username);
  SaveDecision decision = SaveDecision::save;
  if (found != credentials.peek().end()) {
    if (found->password == login.password) return SaveDecision::alreadySaved;
    decision = SaveDecision::update;
    const auto index = found - credentials.peek().begin();
    credentials.mutate([&](std::vector<Credential>& list) {
      Credential& credential = list[size_t(index)];
      credential.password = login.password;
      credential.modified = Date::now();
      if (credential.notes.empty()) credential.notes = login.notes;
    });
  } else {
    Credential added;
    added.host = login.host;
    added.url = login.url;
    added.username = login.username;
    added.password = login.password;
    added.title = login.title;
    added.notes = login.notes;
    added.created = Date::now();
    added.modified = Date::now();
    credentials.mutate([&](std::vector<Credential>& list) { list.push_back(std::move(added)); });
  }
  changed();
  if (login.persist) persist();
  return decision;
}

void PasswordStore::markUsed(const Uuid& id) {
  const auto& list = credentials.peek();
  const auto found = std::find_if(
      list.begin(), list.end(), [&](const Credential& credential) { return credential.id == id; });
  if (found == list.end()) return;
  const auto index = size_t(found - list.begin());
  credentials.mutate([&](std::vector<Credential>& all) { all[index].lastUsed = Date::now(); });
  changed();
  persist();
}

void PasswordStore::deleteCredential(const Uuid& id) {
  credentials.mutate([&](std::vector<Credential>& list) {
    std::erase_if(list, [&](const Credential& credential) { return credential.id == id; });
  });
  changed();
  persist();
}

void PasswordStore::neverSave(const std::string& host) {
  neverSaveHosts.mutate([&](auto& hosts) { hosts.insert(host); });
  const auto& hosts = neverSaveHosts.peek();
  defaults_.setStringArray(kNeverSaveKey, std::vector<std::string>(hosts.begin(), hosts.end()));
}

void PasswordStore::importCSV(std::string_view bytes, std::function<void(ImportOutcome)> done) {
  if (state.peek() != VaultState::available) {
    done({PasswordImportError::vaultUnavailable, {}});
    return;
  }
  auto merged = mergeCsvLogins(bytes, credentials.peek());
  if (const auto* error = std::get_if<PasswordImportError>(&merged)) {
    done({*error, {}});
    return;
  }
  CsvMerge& merge = std::get<CsvMerge>(merged);
  const std::vector<Credential>& before = credentials.peek();
  // Each changed login as it was, beside the password the import gave it.
  std::vector<std::pair<Credential, std::string>> updated;
  for (size_t i = 0; i < before.size(); ++i) {
    if (merge.credentials[i] != before[i]) {
      updated.emplace_back(before[i], merge.credentials[i].password);
    }
  }
  std::vector<Uuid> added;
  for (size_t i = before.size(); i < merge.credentials.size(); ++i) {
    added.push_back(merge.credentials[i].id);
  }
  credentials.set(std::move(merge.credentials));
  changed();
  persist([this, alive = alive_.watch(), result = merge.result, added = std::move(added),
           updated = std::move(updated), done = std::move(done)](bool written) {
    if (alive.expired()) return;
    if (written) {
      done({std::nullopt, result});
      return;
    }
    revertImport(added, updated);
    done({PasswordImportError::notSaved, {}});
  });
}

void PasswordStore::revertImport(const std::vector<Uuid>& added,
                                 const std::vector<std::pair<Credential, std::string>>& updated) {
  const std::unordered_set<Uuid> addedIds(added.begin(), added.end());
  std::unordered_map<Uuid, const std::pair<Credential, std::string>*> previous;
  for (const auto& change : updated) previous.emplace(change.first.id, &change);
  credentials.mutate([&](std::vector<Credential>& list) {
    std::erase_if(list,
                  [&](const Credential& credential) { return addedIds.contains(credential.id); });
    for (Credential& credential : list) {
      const auto found = previous.find(credential.id);
      // A password saved from a page meanwhile is newer than both.
      if (found == previous.end() || credential.password != found->second->second) continue;
      const Credential& before = found->second->first;
      credential.password = before.password;
      credential.modified = before.modified;
      credential.notes = before.notes;
    }
  });
  changed();
}

void PasswordStore::persist(std::function<void(bool)> done) {
  if (isUnavailable()) {
    if (done) done(false);
    return;
  }
  if (done) waiting_.push_back(std::move(done));
  if (state.peek() == VaultState::loading) return;  // written once the read has answered
  if (writing_) {
    writeAgain_ = true;  // the next write carries this change too
    return;
  }
  startWrite();
}

void PasswordStore::startWrite() {
  writing_ = true;
  writeAgain_ = false;
  const uint64_t revision = revision_;
  auto answered = std::exchange(waiting_, {});
  auto finished = [this, alive = alive_.watch(), revision, answered = std::move(answered)](
                      bool written, const std::string& error) {
    if (alive.expired()) return;
    writing_ = false;
    if (written) {
      savedRevision_ = revision;
    } else {
      g_warning("The passwords could not be written to the keyring: %s", error.c_str());
    }
    if (writeAgain_) startWrite();
    for (const auto& done : answered) done(written);
  };
  std::optional<std::string> data = encodeCredentials(credentials.peek());
  if (!data) {
    finished(false, "the passwords could not be encoded");
    return;
  }
  storage_->write(std::move(*data), std::move(finished));
}

}  // namespace zemblo
