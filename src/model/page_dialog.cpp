#include "model/page_dialog.h"

#include <glib.h>

#include <optional>

#include "model/localization.h"
#include "platform/text.h"

namespace zemblo {
namespace {

// The code point at `at`, or none where the text is broken there.
std::optional<gunichar> codePointAt(const char* at, const char* end) {
  const gunichar c = g_utf8_get_char_validated(at, end - at);
  if (c == gunichar(-1) || c == gunichar(-2)) return std::nullopt;
  return c;
}

bool endsLine(gunichar c) { return c == '\n' || c == '\r' || c == 0x2028 || c == 0x2029; }

}  // namespace

std::string dialogHeading(const DialogSource& source) {
  using Kind = DialogSource::Kind;
  if (source.kind == Kind::page && !source.host.empty()) return source.host;
  if (source.kind == Kind::embedded && !source.host.empty() && !source.embeddedHost.empty()) {
    return withArgument(
        withArgument(localized("%@ üzerindeki gömülü bir sayfa (%@) diyor ki"), source.host),
        source.embeddedHost);
  }
  return localized("Bu sayfa diyor ki");
}

std::string shownPageText(std::string_view text, size_t characters, size_t lines) {
  const char* const begin = text.data();
  const char* const end = begin + text.size();
  size_t counted = 0;
  size_t lineBreaks = 0;
  const char* at = begin;
  while (at < end && counted < characters && lineBreaks < lines) {
    // Broken text is cut where it breaks: what follows can't be shown as it was meant.
    const auto c = codePointAt(at, end);
    if (!c) break;
    const char* next = g_utf8_next_char(at);
    if (endsLine(*c)) {
      if (*c == '\r' && next < end && *next == '\n') ++next;
      ++lineBreaks;
    }
    ++counted;
    at = next;
  }
  if (at == end) return std::string(text);
  // Never inside a character: marks that belong to the character cut off go with it, unless
  // that one character is all there is.
  const char* cut = at;
  while (cut > begin) {
    const auto c = codePointAt(cut, end);
    if (!c || !extendsPreviousCharacter(*c)) break;
    cut = g_utf8_prev_char(cut);
  }
  if (cut == begin) cut = at;
  std::string_view kept(begin, cut - begin);
  while (!kept.empty() && (kept.back() == '\n' || kept.back() == '\r')) kept.remove_suffix(1);
  return std::string(kept) + "…";
}

}  // namespace zemblo
