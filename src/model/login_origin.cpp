#include "model/login_origin.h"

#include "model/host_rules.h"
#include "platform/text.h"

namespace zemblo {
namespace {

std::optional<int> defaultPort(std::string_view scheme) {
  if (scheme == "http") return 80;
  if (scheme == "https") return 443;
  return std::nullopt;
}

// The scheme, lower-cased, of an http or https address.
std::optional<std::string> webScheme(const Url& address) {
  const std::optional<std::string> scheme = address.scheme();
  if (!scheme || !address.isHttpOrHttps()) return std::nullopt;
  return asciiLowercased(*scheme);
}

std::optional<int> nonDefaultPort(const Url& address, std::string_view scheme) {
  const std::optional<int> port = address.port();
  if (port == defaultPort(scheme)) return std::nullopt;
  return port;
}

}  // namespace

std::optional<LoginOrigin> LoginOrigin::ofPage(const Url& address) {
  const std::optional<std::string> scheme = webScheme(address);
  const std::optional<std::string> host = address.host();
  std::optional<std::string> canonical = scheme && host ? normalizedHost(*host) : std::nullopt;
  if (!canonical) return std::nullopt;
  return LoginOrigin{std::move(*canonical), scheme, nonDefaultPort(address, *scheme)};
}

LoginOrigin LoginOrigin::ofLogin(const Credential& login) { return ofLogin(login.host, login.url); }

LoginOrigin LoginOrigin::ofLogin(std::string_view host, std::string_view address) {
  LoginOrigin origin{std::string(host), std::nullopt, std::nullopt};
  // "site.test:8080" parses as the scheme "site.test": no web scheme, so no port either.
  const std::optional<Url> url = Url::parse(trimmedWhitespaceAndNewlines(address));
  origin.scheme = url ? webScheme(*url) : std::nullopt;
  if (origin.scheme) origin.port = nonDefaultPort(*url, *origin.scheme);
  return origin;
}

std::string LoginOrigin::hostAndPort() const { return withPort(host, port); }

std::string withPort(const std::string& host, std::optional<int> port) {
  if (!port) return host;
  const bool ipv6 = host.find(':') != std::string::npos;
  return (ipv6 ? "[" + host + "]" : host) + ":" + std::to_string(*port);
}

bool schemeAndPortAllow(const LoginOrigin& login, const LoginOrigin& page) {
  if (login.port != page.port) return false;
  return !login.secure() || page.secure();
}

}  // namespace zemblo
