#include "model/host_rules.h"

#include <glib.h>

#include "platform/text.h"
#include "platform/url.h"

namespace zemblo {
namespace {

bool isNonAsciiEscapeAt(std::string_view text, size_t i) {
  return isPercentEscapeAt(text, i) && g_ascii_xdigit_value(text[i + 1]) >= 8;
}

// Lower-cases the run of escapes that spells one or more non-ASCII characters.
void appendLowercasedEscapes(std::string& out, std::string_view run) {
  const std::optional<std::string> decoded = percentDecoded(run);
  if (!decoded) {
    out += asciiUppercased(run);
    return;
  }
  for (const char ch : unicodeLowercased(*decoded)) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x80) {
      out.push_back(ch);  // a letter such as the "k" of the Kelvin sign
    } else {
      appendPercentEscape(out, c);
    }
  }
}

// The parser hands hosts over percent-encoded. Lower-casing that text as it stands would fold
// only the hex digits, so "MÜLLER" and "müller" would stay two sites; escaped letters are
// therefore decoded, lower-cased and escaped again. Escapes of ASCII bytes keep their meaning and
// get upper-case hex, the form the parser writes.
std::string lowercasedHost(std::string_view host) {
  std::string out;
  out.reserve(host.size());
  for (size_t i = 0; i < host.size();) {
    if (isNonAsciiEscapeAt(host, i)) {
      size_t end = i;
      while (end < host.size() && isNonAsciiEscapeAt(host, end)) end += 3;
      appendLowercasedEscapes(out, host.substr(i, end - i));
      i = end;
    } else if (isPercentEscapeAt(host, i)) {
      out += asciiUppercased(host.substr(i, 3));
      i += 3;
    } else {
      size_t end = i + 1;
      while (end < host.size() && host[end] != '%') ++end;
      out += unicodeLowercased(host.substr(i, end - i));
      i = end;
    }
  }
  return out;
}

std::optional<std::string> hostOf(std::string_view text) {
  if (const std::optional<Url> url = Url::parse(text); url && url->host()) return url->host();
  const std::optional<Url> withScheme = Url::parse("https://" + std::string(text));
  if (!withScheme) return std::nullopt;
  return withScheme->host();
}

}  // namespace

std::string_view withoutLeadingWww(std::string_view host) {
  if (startsWith(host, "www.")) host.remove_prefix(4);
  return host;
}

std::optional<std::string> normalizedHost(std::string_view text) {
  const std::string_view trimmed = trimmedWhitespaceAndNewlines(text);
  if (trimmed.empty()) return std::nullopt;
  const std::optional<std::string> host = hostOf(trimmed);
  if (!host) return std::nullopt;
  const std::string lower(withoutLeadingWww(lowercasedHost(*host)));
  // "www." alone names no site: an empty host would be saved, matched and offered as one.
  if (lower.empty()) return std::nullopt;
  return lower;
}

bool hostsMatch(std::string_view a, std::string_view b) {
  if (a == b) return true;
  const bool aIsShorter = codePointCount(a) < codePointCount(b);
  const std::string_view shorter = aIsShorter ? a : b;
  const std::string_view longer = aIsShorter ? b : a;
  if (shorter.find('.') == std::string_view::npos) return false;
  return endsWith(longer, "." + std::string(shorter));
}

SiteRelation siteRelation(std::string_view loginHost, std::string_view pageHost) {
  return siteRelation(loginHost, pageHost, registrableDomain(pageHost));
}

SiteRelation siteRelation(std::string_view loginHost, std::string_view pageHost,
                          const std::optional<RegistrableDomain>& pageSite) {
  if (loginHost == pageHost) return SiteRelation::sameHost;
  if (!pageSite || pageSite->underPrivateSuffix) return SiteRelation::unrelated;
  // Most logins belong to other sites: only a name ending in the page's registrable domain is
  // worth looking up in the list.
  const std::optional<std::string> login = percentDecoded(loginHost);
  if (!login || !endsWith("." + *login, "." + pageSite->name)) return SiteRelation::unrelated;
  return registrableDomain(loginHost) == pageSite ? SiteRelation::sameSite
                                                  : SiteRelation::unrelated;
}

}  // namespace zemblo
