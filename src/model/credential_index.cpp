#include "model/credential_index.h"

#include <glib.h>

#include <algorithm>
#include <unordered_map>

#include "platform/text.h"

namespace zemblo {
namespace {

// The key that orders a host by the user's language with case ignored.
std::string hostSortKey(const std::string& host) {
  gchar* folded = g_utf8_casefold(host.c_str(), gssize(host.size()));
  gchar* key = g_utf8_collate_key(folded, -1);
  std::string result(key);
  g_free(key);
  g_free(folded);
  return result;
}

}  // namespace

CredentialIndex::CredentialIndex(const std::vector<Credential>& credentials) {
  // Many logins share a host; each host is keyed once.
  std::unordered_map<std::string, std::string> keys;
  std::vector<const std::string*> hostKey(credentials.size());
  for (size_t i = 0; i < credentials.size(); ++i) {
    auto found = keys.find(credentials[i].host);
    if (found == keys.end()) {
      found = keys.emplace(credentials[i].host, hostSortKey(credentials[i].host)).first;
    }
    hostKey[i] = &found->second;
  }
  order_.resize(credentials.size());
  for (size_t i = 0; i < order_.size(); ++i) order_[i] = i;
  std::stable_sort(order_.begin(), order_.end(), [&](size_t a, size_t b) {
    if (const int byHost = hostKey[a]->compare(*hostKey[b]); byHost != 0) return byHost < 0;
    return credentials[a].username < credentials[b].username;
  });
  searchText_.reserve(order_.size());
  for (const size_t i : order_) {
    const Credential& credential = credentials[i];
    std::string text = unicodeLowercased(credential.host);
    text += '\0';
    text += unicodeLowercased(credential.username);
    text += '\0';
    text += unicodeLowercased(credential.title);
    searchText_.push_back(std::move(text));
  }
}

std::string CredentialIndex::query(std::string_view search) {
  return unicodeLowercased(trimmedSpacesAndTabs(search));
}

bool CredentialIndex::matches(size_t displayPosition, std::string_view query) const {
  return query.empty() || searchText_[displayPosition].find(query) != std::string::npos;
}

std::vector<size_t> CredentialIndex::matching(std::string_view query) const {
  std::vector<size_t> found;
  for (size_t i = 0; i < order_.size(); ++i) {
    if (matches(i, query)) found.push_back(i);
  }
  return found;
}

}  // namespace zemblo
