#include "platform/text.h"

#include <glib.h>

#include <algorithm>
#include <utility>

namespace zemblo {
namespace {

void appendUtf8(std::string& out, gunichar c) {
  char buffer[6];
  const int length = g_unichar_to_utf8(c, buffer);
  out.append(buffer, static_cast<size_t>(length));
}

// Decodes one code point at `pos`; invalid bytes are passed through as themselves.
std::pair<gunichar, size_t> decodeAt(std::string_view text, size_t pos) {
  const char* start = text.data() + pos;
  const gunichar c = g_utf8_get_char_validated(start, static_cast<gssize>(text.size() - pos));
  if (c == static_cast<gunichar>(-1) || c == static_cast<gunichar>(-2)) {
    return {static_cast<unsigned char>(*start), 1};
  }
  return {c, static_cast<size_t>(g_utf8_next_char(start) - start)};
}

template <class Map>
std::string mapCodePoints(std::string_view text, Map map) {
  std::string out;
  out.reserve(text.size());
  for (size_t pos = 0; pos < text.size();) {
    const auto [c, length] = decodeAt(text, pos);
    if (length == 1 && c >= 0x80) {
      out.push_back(text[pos]);  // stray byte: keep it untouched
    } else {
      map(out, c);
    }
    pos += length;
  }
  return out;
}

// The unconditional multi-letter upper-case mappings of Unicode's SpecialCasing.
const char* specialUppercase(gunichar c) {
  switch (c) {
    case 0x00DF:
      return "SS";
    case 0xFB00:
      return "FF";
    case 0xFB01:
      return "FI";
    case 0xFB02:
      return "FL";
    case 0xFB03:
      return "FFI";
    case 0xFB04:
      return "FFL";
    case 0xFB05:
      return "ST";
    case 0xFB06:
      return "ST";
    case 0x0149:
      return "\u02BCN";
    case 0x01F0:
      return "J\u030C";
    case 0x0390:
      return "\u0399\u0308\u0301";
    case 0x03B0:
      return "\u03A5\u0308\u0301";
    case 0x0587:
      return "\u0535\u0552";
    case 0x1E96:
      return "H\u0331";
    case 0x1E97:
      return "T\u0308";
    case 0x1E98:
      return "W\u030A";
    case 0x1E99:
      return "Y\u030A";
    case 0x1E9A:
      return "A\u02BE";
    default:
      return nullptr;
  }
}

bool isWhitespaceOrNewline(gunichar c) {
  if ((c >= 0x09 && c <= 0x0D) || c == 0x85) return true;
  switch (g_unichar_type(c)) {
    case G_UNICODE_SPACE_SEPARATOR:
    case G_UNICODE_LINE_SEPARATOR:
    case G_UNICODE_PARAGRAPH_SEPARATOR:
      return true;
    default:
      return false;
  }
}

}  // namespace

std::string asciiLowercased(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; });
  return out;
}

std::string asciiUppercased(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; });
  return out;
}

std::string unicodeLowercased(std::string_view text) {
  // Most texts are plain ASCII, where the full mapping gives the same result.
  if (std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; })) {
    return asciiLowercased(text);
  }
  return mapCodePoints(text, [](std::string& out, gunichar c) {
    if (c == 0x0130) {
      out += "i\u0307";  // capital I with dot above keeps its dot outside Turkic rules
      return;
    }
    appendUtf8(out, g_unichar_tolower(c));
  });
}

std::string unicodeUppercased(std::string_view text) {
  return mapCodePoints(text, [](std::string& out, gunichar c) {
    if (const char* special = specialUppercase(c)) {
      out += special;
      return;
    }
    appendUtf8(out, g_unichar_toupper(c));
  });
}

std::string_view trimmedWhitespaceAndNewlines(std::string_view text) {
  size_t begin = 0;
  while (begin < text.size()) {
    const auto [c, length] = decodeAt(text, begin);
    if (!isWhitespaceOrNewline(c)) break;
    begin += length;
  }
  size_t end = text.size();
  while (end > begin) {
    size_t start = end - 1;
    while (start > begin && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) --start;
    const auto [c, length] = decodeAt(text, start);
    if (start + length != end || !isWhitespaceOrNewline(c)) break;
    end = start;
  }
  return text.substr(begin, end - begin);
}

std::string_view trimmedSpacesAndTabs(std::string_view text) {
  const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
  size_t begin = 0;
  while (begin < text.size() && isBlank(text[begin])) ++begin;
  size_t end = text.size();
  while (end > begin && isBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

bool startsWith(std::string_view text, std::string_view prefix) { return text.starts_with(prefix); }
bool endsWith(std::string_view text, std::string_view suffix) { return text.ends_with(suffix); }

bool isValidUtf8(std::string_view bytes) {
  // GLib's validation refuses NUL: the text is checked between its NULs.
  while (true) {
    const size_t nul = bytes.find('\0');
    const std::string_view piece = bytes.substr(0, nul);
    if (!g_utf8_validate_len(piece.data(), piece.size(), nullptr)) return false;
    if (nul == std::string_view::npos) return true;
    bytes.remove_prefix(nul + 1);
  }
}

std::string validUtf8(std::string_view bytes, NulCharacter nul) {
  if (nul == NulCharacter::kept) {
    std::string text;
    while (true) {
      const size_t found = bytes.find('\0');
      text += validUtf8(bytes.substr(0, found));
      if (found == std::string_view::npos) return text;
      text.push_back('\0');
      bytes.remove_prefix(found + 1);
    }
  }
  if (g_utf8_validate_len(bytes.data(), bytes.size(), nullptr)) return std::string(bytes);
  gchar* valid = g_utf8_make_valid(bytes.data(), static_cast<gssize>(bytes.size()));
  std::string text(valid);
  g_free(valid);
  return text;
}

size_t codePointCount(std::string_view text) {
  size_t count = 0;
  for (size_t pos = 0; pos < text.size();) {
    pos += decodeAt(text, pos).second;
    ++count;
  }
  return count;
}

namespace {

bool isVariationSelector(gunichar c) {
  return (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xE0100 && c <= 0xE01EF);
}

bool isEmojiModifier(gunichar c) { return c >= 0x1F3FB && c <= 0x1F3FF; }

bool isRegionalIndicator(gunichar c) { return c >= 0x1F1E6 && c <= 0x1F1FF; }

// Whether `next` continues the Hangul syllable that `previous` belongs to.
bool continuesHangulSyllable(gunichar previous, gunichar next) {
  const GUnicodeBreakType a = g_unichar_break_type(previous);
  const GUnicodeBreakType b = g_unichar_break_type(next);
  switch (a) {
    case G_UNICODE_BREAK_HANGUL_L_JAMO:
      return b == G_UNICODE_BREAK_HANGUL_L_JAMO || b == G_UNICODE_BREAK_HANGUL_V_JAMO ||
             b == G_UNICODE_BREAK_HANGUL_LV_SYLLABLE || b == G_UNICODE_BREAK_HANGUL_LVT_SYLLABLE;
    case G_UNICODE_BREAK_HANGUL_LV_SYLLABLE:
    case G_UNICODE_BREAK_HANGUL_V_JAMO:
      return b == G_UNICODE_BREAK_HANGUL_V_JAMO || b == G_UNICODE_BREAK_HANGUL_T_JAMO;
    case G_UNICODE_BREAK_HANGUL_LVT_SYLLABLE:
    case G_UNICODE_BREAK_HANGUL_T_JAMO:
      return b == G_UNICODE_BREAK_HANGUL_T_JAMO;
    default:
      return false;
  }
}

constexpr gunichar kZeroWidthJoiner = 0x200D;

}  // namespace

bool extendsPreviousCharacter(char32_t c) {
  return g_unichar_ismark(c) || c == kZeroWidthJoiner || isVariationSelector(c) ||
         isEmojiModifier(c);
}

std::vector<char32_t> userPerceivedCharacterStarts(std::string_view text) {
  std::vector<char32_t> starts;
  if (!g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr)) return starts;
  gunichar previous = 0;
  bool first = true;
  int regionalIndicatorRun = 0;
  for (const char* p = text.data(); p < text.data() + text.size(); p = g_utf8_next_char(p)) {
    const gunichar c = g_utf8_get_char(p);
    bool extends = false;
    if (!first) {
      extends = extendsPreviousCharacter(c) || continuesHangulSyllable(previous, c) ||
                (previous == kZeroWidthJoiner && g_unichar_type(c) == G_UNICODE_OTHER_SYMBOL) ||
                (isRegionalIndicator(c) && regionalIndicatorRun % 2 == 1);
    }
    regionalIndicatorRun = isRegionalIndicator(c) ? regionalIndicatorRun + 1 : 0;
    if (!extends) starts.push_back(static_cast<char32_t>(c));
    previous = c;
    first = false;
  }
  return starts;
}

}  // namespace zemblo
