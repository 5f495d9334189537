#include "model/password_store.h"

#include <vector>

namespace zemblo {

PasswordStore::PasswordStore(UserDefaults& defaults) : defaults_(defaults) {
  if (auto hosts = defaults.stringArray(kNeverSaveKey)) {
    neverSaveHosts.set(std::set<std::string>(hosts->begin(), hosts->end()));
  }
}

void PasswordStore::neverSave(const std::string& host) {
  neverSaveHosts.mutate([&](auto& hosts) { hosts.insert(host); });
  const auto& hosts = neverSaveHosts.peek();
  defaults_.setStringArray(kNeverSaveKey, std::vector<std::string>(hosts.begin(), hosts.end()));
}

}  // namespace zemblo
