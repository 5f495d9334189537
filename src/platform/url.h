#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace zemblo {

// A URL reference as the user or a page wrote it. Parsing is lenient in the way of the common
// RFC 3986 parsers of desktop frameworks: characters that may not appear in a component are
// percent-encoded, everything else is kept exactly as written (scheme and host case, default
// ports, a missing trailing slash, existing escapes). Relative references such as "example.com"
// parse too. The text of a parsed Url always parses back to the same Url, which is what lets
// stored URLs survive a save and reload unchanged.
class Url {
 public:
  // No Url for "" and for text whose structure is broken: an invalid scheme before the first
  // ":", a port that is not a number, a host with a stray bracket or a malformed IP literal.
  static std::optional<Url> parse(std::string_view text);

  // The absolute string: the text as parsed, with the needed percent-encoding applied.
  const std::string& str() const { return text_; }

  std::optional<std::string> scheme() const { return slice(layout_.scheme); }
  // Percent-encoded, without user information, port or IPv6 brackets. An empty host counts as
  // none, so "file:///x", "about:blank" and "data:…" have no host.
  std::optional<std::string> host() const;
  // None when the authority has no port or an empty one ("http://h:/").
  std::optional<int> port() const;
  std::string path() const { return text_.substr(layout_.path.begin, layout_.path.size()); }
  std::optional<std::string> query() const { return slice(layout_.query); }

  // "" for an empty path, "/" for a path of slashes only, otherwise the last non-empty segment
  // of the percent-decoded path ("/a/dir/" gives "dir").
  std::string lastPathComponent() const;
  // The scheme is "http" or "https" in any letter case.
  bool isHttpOrHttps() const;

  friend bool operator==(const Url& a, const Url& b) { return a.text_ == b.text_; }

 private:
  struct Span {
    size_t begin = 0;
    size_t end = 0;
    size_t size() const { return end - begin; }
  };
  // Where each component lies in the text. A host span excludes the brackets of an IP literal.
  struct Layout {
    std::optional<Span> scheme, user, password, host, port, query, fragment;
    Span path;
    bool ipLiteral = false;
  };

  Url(std::string text, Layout layout) : text_(std::move(text)), layout_(layout) {}

  static std::optional<Layout> split(std::string_view text);
  static bool splitAuthority(std::string_view text, Span authority, Layout& layout);
  static std::optional<std::string> encoded(std::string_view text, const Layout& layout);

  std::optional<std::string> slice(const std::optional<Span>& span) const;

  std::string text_;
  Layout layout_;
};

// Appends `byte` as an upper-case %XX escape.
void appendPercentEscape(std::string& out, unsigned char byte);

// Whether a %XX escape starts at `text[i]`.
bool isPercentEscapeAt(std::string_view text, size_t i);

// Decodes every %XX escape. None when an escape is malformed or the bytes are not UTF-8.
std::optional<std::string> percentDecoded(std::string_view text);

// Encodes a query item value for a search URL: keeps the RFC 3986 unreserved characters and
// "!$'()*,;:@/?", escapes everything else as upper-case %XX, including space, "+", "&", "=",
// "#" and "%", so that the value cannot split into further items or be read as a space.
std::string percentEncodeQueryValue(std::string_view value);

}  // namespace zemblo

template <>
struct std::hash<zemblo::Url> {
  size_t operator()(const zemblo::Url& url) const noexcept {
    return std::hash<std::string>{}(url.str());
  }
};
