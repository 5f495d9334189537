#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zemblo {

// The part of a host name that one party registered, by the public-suffix list: "site.test" for
// "login.site.test", "example.co.uk" for "www.example.co.uk".
struct RegistrableDomain {
  std::string name;
  // The suffix it was registered under is one of the list's private entries: a platform that
  // gives each customer a name of its own ("github.io"), so the names under it are not one party.
  bool underPrivateSuffix = false;

  friend bool operator==(const RegistrableDomain&, const RegistrableDomain&) = default;
};

// The registrable domain of a lower-case host (percent-encoded or not); none for an IP address,
// a name of one label, a public suffix itself, or a name the list cannot be asked about. Reads
// the system's copy of the list once, on first use, from any thread.
std::optional<RegistrableDomain> registrableDomain(std::string_view host);

}  // namespace zemblo
