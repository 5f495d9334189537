#include "model/typed_input.h"

#include <glib.h>

#include <array>
#include <string>
#include <vector>

#include "platform/text.h"

namespace zemblo {
namespace {

// The first run of text between separators, skipping empty runs; none when there is none.
std::optional<std::string_view> firstPiece(std::string_view text, char separator) {
  const size_t begin = text.find_first_not_of(separator);
  if (begin == std::string_view::npos) return std::nullopt;
  const size_t end = text.find(separator, begin);
  return text.substr(begin, end == std::string_view::npos ? end : end - begin);
}

std::vector<std::string_view> nonEmptyPieces(std::string_view text, char separator) {
  std::vector<std::string_view> pieces;
  size_t begin = 0;
  while (begin <= text.size()) {
    size_t end = text.find(separator, begin);
    if (end == std::string_view::npos) end = text.size();
    if (end > begin) pieces.push_back(text.substr(begin, end - begin));
    begin = end + 1;
  }
  return pieces;
}

// The standard text-to-UInt8 rule: an optional sign ("-" only for zero), then decimal digits,
// leading zeros allowed.
bool isOctet(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return false;
  unsigned value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<unsigned>(c - '0');
    if (value > 255) return false;
  }
  return !negative || value == 0;
}

// Whether a top-level name part is a word: at least two user-perceived characters, each of which
// starts with a letter of any script (so "de", "ü" written with a combining mark, "рф").
bool isAlphabeticTopLevelLabel(std::string_view label) {
  const std::vector<char32_t> characters = userPerceivedCharacterStarts(label);
  if (characters.size() < 2) return false;
  for (const char32_t c : characters) {
    if (!g_unichar_isalpha(c)) return false;
  }
  return true;
}

std::optional<Url> withScheme(std::string_view scheme, std::string_view text) {
  std::string address(scheme);
  address += "://";
  address += text;
  return Url::parse(address);
}

bool keepsTypedScheme(const Url& url) {
  static constexpr std::array<std::string_view, 5> kSchemes{"http", "https", "file", "about",
                                                            "data"};
  const auto scheme = url.scheme();
  if (!scheme) return false;
  const std::string lower = asciiLowercased(*scheme);
  for (const auto known : kSchemes) {
    if (lower == known) return true;
  }
  return false;
}

}  // namespace

bool isIPv4Address(std::string_view host) {
  const auto pieces = nonEmptyPieces(host, '.');
  if (pieces.size() != 4) return false;
  for (const auto piece : pieces) {
    if (!isOctet(piece)) return false;
  }
  return true;
}

std::optional<Url> urlFromUserInput(std::string_view text) {
  const std::string_view trimmed = trimmedWhitespaceAndNewlines(text);
  // Only the plain space makes a search: a tab or a no-break space is left to the parser.
  if (trimmed.empty() || trimmed.find(' ') != std::string_view::npos) return std::nullopt;

  if (auto parsed = Url::parse(trimmed); parsed && keepsTypedScheme(*parsed)) return parsed;

  // The host is what comes before the first "/" (after any leading ones) and before a ":".
  const std::string_view beforeSlash = firstPiece(trimmed, '/').value_or(std::string_view{});
  const std::string_view host = firstPiece(beforeSlash, ':').value_or(beforeSlash);

  if (host == "localhost" || isIPv4Address(host)) return withScheme("http", trimmed);

  const auto labels = nonEmptyPieces(host, '.');
  if (labels.size() >= 2 && isAlphabeticTopLevelLabel(labels.back())) {
    return withScheme("https", trimmed);
  }
  return std::nullopt;
}

std::optional<Url> urlForInputOrSearch(std::string_view text, SearchEngine engine) {
  const std::string_view trimmed = trimmedWhitespaceAndNewlines(text);
  if (trimmed.empty()) return std::nullopt;
  if (auto address = urlFromUserInput(trimmed)) return address;
  return engine.searchURL(trimmed);
}

}  // namespace zemblo
