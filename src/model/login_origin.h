#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "model/credential.h"
#include "platform/url.h"

namespace zemblo {

// Where a login was saved or a page is served from: scheme, canonical host ("www." aside) and
// port, a scheme's default port counting as none. A page of another port or scheme is another
// site to its logins: a server on another port of the same name may belong to someone else.
struct LoginOrigin {
  std::string host;
  // "http" or "https"; none for a login stored before its scheme was kept, or imported from an
  // address without one, which goes to pages of either scheme as it always did.
  std::optional<std::string> scheme;
  std::optional<int> port;

  // The origin of a page's frame; none for anything but an http or https address with a host.
  static std::optional<LoginOrigin> ofPage(const Url& address);
  // The origin of a saved login: its host, and the scheme and port of the address it was saved
  // from. Logins stored with no port keep working on their host's default port.
  static LoginOrigin ofLogin(const Credential& login);
  static LoginOrigin ofLogin(std::string_view host, std::string_view address);

  bool secure() const { return scheme == "https"; }
  // The host as the menu shows it: with the port when it is not the default one.
  std::string hostAndPort() const;

  friend bool operator==(const LoginOrigin&, const LoginOrigin&) = default;
};

// `host` (as a Url gives it) with `port` when there is one; an IPv6 address then in brackets.
std::string withPort(const std::string& host, std::optional<int> port);

// Whether a login of `login`'s origin may go to a page of `page`'s origin and be changed by it,
// as far as scheme and port go (the hosts are compared by the caller): the same port, and never
// from a secure page to one without encryption. A login of a plain page may go to the secure page
// of the same host and port, its own site served with encryption.
bool schemeAndPortAllow(const LoginOrigin& login, const LoginOrigin& page);

}  // namespace zemblo
