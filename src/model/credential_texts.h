#pragma once

#include <optional>
#include <string>

#include "model/credential.h"
#include "platform/date.h"
#include "platform/url.h"

// What the passwords window writes about one saved login.
namespace zemblo {

// One bullet per character of the password, but never fewer than 8 nor more than 16, so that
// the mask does not tell the length.
std::string maskedPassword(const std::string& password);

// "Added: " and the creation day for a login never used, else "Last used: " and how long ago, in
// the interface language.
std::string credentialDateLine(const Credential& credential, Date now);

// Where "open in browser" goes: the login's address when it has a scheme, else its host over
// https. None when that is no address.
std::optional<Url> credentialSiteAddress(const Credential& credential);

}  // namespace zemblo
