#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "model/credential.h"

namespace zemblo {

// The order and the search of the passwords window's list over one state of the vault. Building
// it sorts once; a search then only compares prepared lower-case texts, so that typing into the
// search field stays fast with many thousands of logins.
class CredentialIndex {
 public:
  CredentialIndex() = default;
  // Hosts in the order of the user's language, case ignored; then usernames in plain character
  // order; then the vault's order.
  explicit CredentialIndex(const std::vector<Credential>& credentials);

  // Positions in the vault, in display order.
  const std::vector<size_t>& order() const { return order_; }
  size_t size() const { return order_.size(); }

  // The text a search compares: the field trimmed of spaces and tabs, lower-cased. An empty query
  // keeps every login.
  static std::string query(std::string_view search);
  // Whether the login at `displayPosition` has `query` in its host, username or title.
  bool matches(size_t displayPosition, std::string_view query) const;
  // The display positions that match, in display order.
  std::vector<size_t> matching(std::string_view query) const;

 private:
  std::vector<size_t> order_;
  // Per display position: host, username and title lower-cased, joined by NUL, which no typed
  // text holds, so a query never matches across two fields.
  std::vector<std::string> searchText_;
};

}  // namespace zemblo
