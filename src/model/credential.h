#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/date.h"
#include "platform/uuid.h"

namespace zemblo {

// One saved login.
struct Credential {
  Uuid id = Uuid::random();
  // The canonical host the login belongs to; page hosts are matched against it.
  std::string host;
  // Scheme, host and port (when not the default one) of the page it was saved from, or the
  // address an import gave; the login goes to pages of that scheme and port (LoginOrigin).
  std::string url;
  std::string username;  // may be empty; compared exactly
  std::string password;
  std::string title;
  std::string notes;
  Date created = Date::now();
  Date modified = Date::now();   // the last change of the password
  std::optional<Date> lastUsed;  // the last fill into a page

  friend bool operator==(const Credential&, const Credential&) = default;
};

// The vault's stored form: one compact JSON array, each login an object with the keys "id",
// "host", "url", "username", "password", "title", "notes", "created", "modified" and, once the
// login was used, "lastUsed" (dates as seconds since 2001).
std::optional<std::string> encodeCredentials(const std::vector<Credential>& credentials);
// Strict: one element with a missing or mistyped key (but "lastUsed") fails the whole array.
std::optional<std::vector<Credential>> decodeCredentials(std::string_view bytes);

}  // namespace zemblo
