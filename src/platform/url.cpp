#include "platform/url.h"

#include <glib.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>

#include "platform/text.h"

namespace zemblo {
namespace {

// The characters each component may hold unescaped ("%" followed by two hex digits is always
// kept as it stands).
enum class CharSet {
  userinfo,  // also the address part of an IP literal
  host,      // reg-name
  zoneId,    // the zone of an IPv6 literal after "%25"
  path,
  pathFirstSegment,  // a path that must not be read as "scheme:" on the next parse
  query,             // also the fragment
  queryValue,        // a search term placed after "q="
};

constexpr bool isAlpha(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
constexpr bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }
constexpr bool isHex(unsigned char c) {
  return isDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}
constexpr bool isUnreserved(unsigned char c) {
  return isAlpha(c) || isDigit(c) || c == '-' || c == '.' || c == '_' || c == '~';
}
constexpr bool isSubDelim(unsigned char c) {
  return std::string_view("!$&'()*+,;=").find(static_cast<char>(c)) != std::string_view::npos;
}

constexpr bool isAllowedByGrammar(unsigned char c, CharSet set) {
  if (isUnreserved(c)) return true;
  switch (set) {
    case CharSet::userinfo:
      return isSubDelim(c) || c == ':';
    case CharSet::host:
      return isSubDelim(c);
    case CharSet::zoneId:
      return false;
    case CharSet::path:
      return isSubDelim(c) || c == ':' || c == '@' || c == '/';
    case CharSet::pathFirstSegment:
      return isSubDelim(c) || c == '@' || c == '/';
    case CharSet::query:
      return isSubDelim(c) || c == ':' || c == '@' || c == '/' || c == '?';
    case CharSet::queryValue:
      return std::string_view("!$'()*,;:@/?").find(static_cast<char>(c)) != std::string_view::npos;
  }
  return false;
}

// One bit per character set for each byte, so that the per-character test in the encoders is a
// single lookup. Bytes from 0x80 on are escaped in every component.
constexpr std::array<uint8_t, 256> kAllowed = [] {
  std::array<uint8_t, 256> table{};
  for (unsigned char c = 0; c < 0x80; ++c) {
    for (int set = 0; set <= static_cast<int>(CharSet::queryValue); ++set) {
      if (isAllowedByGrammar(c, static_cast<CharSet>(set))) table[c] |= uint8_t(1u << set);
    }
  }
  return table;
}();

bool isAllowed(unsigned char c, CharSet set) {
  return (kAllowed[c] & (1u << static_cast<int>(set))) != 0;
}

int hexValue(char c) {
  if (isDigit(c)) return c - '0';
  return (c | 0x20) - 'a' + 10;
}

// Escapes what the component may not hold. Existing escapes stay; a "%" that starts none
// becomes "%25", so running this twice changes nothing.
void appendEncoded(std::string& out, std::string_view text, CharSet set) {
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (isPercentEscapeAt(text, i)) {
      out.append(text.substr(i, 3));
      i += 2;
    } else if (isAllowed(c, set)) {
      out.push_back(static_cast<char>(c));
    } else {
      appendPercentEscape(out, c);
    }
  }
}

// Whether appendEncoded would copy the text unchanged.
bool isEncoded(std::string_view text, CharSet set) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (isAllowed(static_cast<unsigned char>(text[i]), set)) continue;
    if (!isPercentEscapeAt(text, i)) return false;  // "%" is allowed in no set
    i += 2;
  }
  return true;
}

// The delimiters that end the components while splitting, one bit per group.
enum Delimiters : uint8_t {
  kEndsScheme = 1,     // ":/?#[]@": the scheme, or the first sign of a relative reference
  kEndsAuthority = 2,  // "/?#"
  kEndsPath = 4,       // "?#"
  kBracket = 8,        // "[]"
};

constexpr std::array<uint8_t, 256> kDelimiters = [] {
  std::array<uint8_t, 256> table{};
  const auto mark = [&](std::string_view set, uint8_t bit) {
    for (const char c : set) table[static_cast<unsigned char>(c)] |= bit;
  };
  mark(":/?#[]@", kEndsScheme);
  mark("/?#", kEndsAuthority);
  mark("?#", kEndsPath);
  mark("[]", kBracket);
  return table;
}();

// The first index from `from` on holding a delimiter of the group, or the size of the text.
// (find_first_of makes a library call per character, which showed at start-up.)
size_t findDelimiter(std::string_view text, size_t from, uint8_t group) {
  size_t i = from;
  while (i < text.size() && (kDelimiters[static_cast<unsigned char>(text[i])] & group) == 0) ++i;
  return i;
}

bool isValidScheme(std::string_view scheme) {
  if (scheme.empty() || !isAlpha(scheme.front())) return false;
  for (const unsigned char c : scheme) {
    if (!isAlpha(c) && !isDigit(c) && c != '+' && c != '-' && c != '.') return false;
  }
  return true;
}

bool isValidPort(std::string_view port) {
  for (const unsigned char c : port) {
    if (!isDigit(c)) return false;
  }
  int value = 0;
  const auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), value);
  return port.empty() || error == std::errc();
}

std::optional<std::string> encodedIpLiteral(std::string_view inner) {
  const size_t percent = inner.find('%');
  const std::string_view address = inner.substr(0, percent);
  for (const unsigned char c : address) {
    if (!isAllowed(c, CharSet::userinfo)) return std::nullopt;
  }
  if (percent == std::string_view::npos) return std::string(inner);
  // The zone delimiter must itself be written "%25"; a bare "%" (as in "fe80::1%en0") is
  // escaped so that the literal stays valid.
  std::string_view zone = inner.substr(percent + 1);
  if (zone.starts_with("25")) zone.remove_prefix(2);
  std::string out(address);
  out += "%25";
  appendEncoded(out, zone, CharSet::zoneId);
  return out;
}

std::string encodedPath(std::string_view path, bool relativeWithoutAuthority) {
  std::string out;
  appendEncoded(out, path, CharSet::path);
  if (!relativeWithoutAuthority || out == path) return out;
  // Escaping a "[" that stopped the scheme scan could expose a ":" in the first segment as a
  // scheme delimiter on the next parse; escaping that ":" too keeps the reference relative.
  const size_t slash = path.find('/');
  out.clear();
  appendEncoded(out, path.substr(0, slash), CharSet::pathFirstSegment);
  if (slash != std::string_view::npos) appendEncoded(out, path.substr(slash), CharSet::path);
  return out;
}

}  // namespace

std::optional<Url> Url::parse(std::string_view text) {
  if (text.empty()) return std::nullopt;
  const std::optional<Layout> layout = split(text);
  if (!layout) return std::nullopt;
  // Stored URLs were encoded when first parsed, so most need nothing: checking first saves
  // building a copy and splitting it again. IP literals are rare and take the general path.
  const auto isClean = [text](const std::optional<Span>& span, CharSet set) {
    return !span || isEncoded(text.substr(span->begin, span->size()), set);
  };
  if (!layout->ipLiteral && isClean(layout->user, CharSet::userinfo) &&
      isClean(layout->password, CharSet::userinfo) && isClean(layout->host, CharSet::host) &&
      isClean(layout->path, CharSet::path) && isClean(layout->query, CharSet::query) &&
      isClean(layout->fragment, CharSet::query)) {
    return Url(std::string(text), *layout);
  }
  std::optional<std::string> encodedText = encoded(text, *layout);
  if (!encodedText) return std::nullopt;
  if (*encodedText == text) return Url(std::string(text), *layout);
  const std::optional<Layout> encodedLayout = split(*encodedText);
  if (!encodedLayout) return std::nullopt;
  return Url(std::move(*encodedText), *encodedLayout);
}

std::optional<Url::Layout> Url::split(std::string_view text) {
  Layout layout;
  size_t pos = 0;
  // A scheme is whatever precedes the first ":", unless a character that can only belong to a
  // path, query, fragment or authority comes first; then the text is a relative reference.
  const size_t stop = findDelimiter(text, 0, kEndsScheme);
  if (stop > 0 && stop < text.size() && text[stop] == ':') {
    layout.scheme = Span{0, stop};
    pos = stop + 1;
  }
  if (layout.scheme && !isValidScheme(text.substr(0, layout.scheme->end))) return std::nullopt;

  if (text.substr(pos).starts_with("//")) {
    const size_t begin = pos + 2;
    const size_t end = findDelimiter(text, begin, kEndsAuthority);
    if (!splitAuthority(text, Span{begin, end}, layout)) return std::nullopt;
    pos = end;
  }

  const size_t pathEnd = findDelimiter(text, pos, kEndsPath);
  layout.path = Span{pos, pathEnd};
  pos = pathEnd;
  if (pos < text.size() && text[pos] == '?') {
    const size_t queryEnd = std::min(text.find('#', pos + 1), text.size());
    layout.query = Span{pos + 1, queryEnd};
    pos = queryEnd;
  }
  if (pos < text.size()) layout.fragment = Span{pos + 1, text.size()};
  return layout;
}

bool Url::splitAuthority(std::string_view text, Span authority, Layout& layout) {
  size_t hostBegin = authority.begin;
  // The last "@" ends the user information, so an unescaped "@" in a password still parses.
  const std::string_view whole = text.substr(authority.begin, authority.size());
  if (const size_t at = whole.rfind('@'); at != std::string_view::npos) {
    const size_t colon = whole.substr(0, at).find(':');
    if (colon == std::string_view::npos) {
      layout.user = Span{authority.begin, authority.begin + at};
    } else {
      layout.user = Span{authority.begin, authority.begin + colon};
      layout.password = Span{authority.begin + colon + 1, authority.begin + at};
    }
    hostBegin = authority.begin + at + 1;
  }

  const std::string_view hostAndPort = text.substr(hostBegin, authority.end - hostBegin);
  size_t portColon = std::string_view::npos;
  if (hostAndPort.starts_with('[')) {
    const size_t close = hostAndPort.find(']');
    if (close == std::string_view::npos) return false;
    layout.ipLiteral = true;
    layout.host = Span{hostBegin + 1, hostBegin + close};
    if (close + 1 < hostAndPort.size()) {
      if (hostAndPort[close + 1] != ':') return false;
      portColon = close + 1;
    }
  } else {
    portColon = hostAndPort.find(':');
    const std::string_view host = hostAndPort.substr(0, portColon);
    if (findDelimiter(host, 0, kBracket) != host.size()) return false;
    layout.host = Span{hostBegin, hostBegin + host.size()};
  }

  if (portColon != std::string_view::npos) {
    layout.port = Span{hostBegin + portColon + 1, authority.end};
    if (!isValidPort(text.substr(layout.port->begin, layout.port->size()))) return false;
  }
  return true;
}

std::optional<std::string> Url::encoded(std::string_view text, const Layout& layout) {
  std::string out;
  out.reserve(text.size());
  size_t copied = 0;
  // Delimiters between components are copied as they stand.
  const auto copyUpTo = [&](size_t pos) {
    out.append(text.substr(copied, pos - copied));
    copied = pos;
  };
  const auto encodeSpan = [&](const std::optional<Span>& span, CharSet set) {
    if (!span) return;
    copyUpTo(span->begin);
    appendEncoded(out, text.substr(span->begin, span->size()), set);
    copied = span->end;
  };

  encodeSpan(layout.user, CharSet::userinfo);
  encodeSpan(layout.password, CharSet::userinfo);
  if (layout.host) {
    copyUpTo(layout.host->begin);
    const std::string_view host = text.substr(layout.host->begin, layout.host->size());
    if (layout.ipLiteral) {
      const std::optional<std::string> literal = encodedIpLiteral(host);
      if (!literal) return std::nullopt;
      out += *literal;
    } else {
      appendEncoded(out, host, CharSet::host);
    }
    copied = layout.host->end;
  }
  copyUpTo(layout.path.begin);
  out += encodedPath(text.substr(layout.path.begin, layout.path.size()),
                     !layout.scheme && !layout.host);
  copied = layout.path.end;
  encodeSpan(layout.query, CharSet::query);
  encodeSpan(layout.fragment, CharSet::query);
  copyUpTo(text.size());
  return out;
}

std::optional<std::string> Url::slice(const std::optional<Span>& span) const {
  if (!span) return std::nullopt;
  return text_.substr(span->begin, span->size());
}

std::optional<std::string> Url::host() const {
  if (!layout_.host || layout_.host->size() == 0) return std::nullopt;
  return slice(layout_.host);
}

std::optional<int> Url::port() const {
  if (!layout_.port || layout_.port->size() == 0) return std::nullopt;
  int value = 0;
  const char* begin = text_.data() + layout_.port->begin;
  std::from_chars(begin, begin + layout_.port->size(), value);
  return value;
}

std::string Url::lastPathComponent() const {
  const std::string raw = path();
  const std::string decoded = percentDecoded(raw).value_or(raw);
  if (decoded.empty()) return "";
  const size_t last = decoded.find_last_not_of('/');
  if (last == std::string::npos) return "/";
  const size_t slash = decoded.rfind('/', last);
  const size_t begin = slash == std::string::npos ? 0 : slash + 1;
  return decoded.substr(begin, last + 1 - begin);
}

bool Url::isHttpOrHttps() const {
  const std::optional<std::string> name = scheme();
  if (!name) return false;
  const std::string lower = asciiLowercased(*name);
  return lower == "http" || lower == "https";
}

void appendPercentEscape(std::string& out, unsigned char byte) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  out.push_back('%');
  out.push_back(kDigits[byte >> 4]);
  out.push_back(kDigits[byte & 0x0F]);
}

bool isPercentEscapeAt(std::string_view text, size_t i) {
  return text[i] == '%' && i + 2 < text.size() && isHex(text[i + 1]) && isHex(text[i + 2]);
}

std::optional<std::string> percentDecoded(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out.push_back(text[i]);
      continue;
    }
    if (!isPercentEscapeAt(text, i)) return std::nullopt;
    out.push_back(static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2])));
    i += 2;
  }
  if (!g_utf8_validate_len(out.data(), out.size(), nullptr)) return std::nullopt;
  return out;
}

std::string percentEncodeQueryValue(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  for (const char ch : value) {
    const auto c = static_cast<unsigned char>(ch);
    if (isAllowed(c, CharSet::queryValue)) {
      out.push_back(ch);
    } else {
      appendPercentEscape(out, c);
    }
  }
  return out;
}

}  // namespace zemblo
