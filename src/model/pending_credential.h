#pragma once

#include <optional>
#include <string>

#include "platform/url.h"

namespace zemblo {

// A login typed into a page, offered for saving (or for updating a saved password).
struct PendingCredential {
  std::string host;
  std::optional<Url> url;
  std::string username;
  std::string password;
  bool isUpdate = false;

  friend bool operator==(const PendingCredential&, const PendingCredential&) = default;
};

// How the answer to the pending offer is going: a save waits for the keyring, and one the
// keyring refused leaves the offer standing so that the user learns of it.
enum class PendingSaveStatus { offered, saving, failed };

}  // namespace zemblo
