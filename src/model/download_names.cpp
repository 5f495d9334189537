#include "model/download_names.h"

#include <glib.h>

#include <algorithm>
#include <string>

namespace zemblo {
namespace {

// An extension longer than this is not worth keeping when a name must be cut.
constexpr size_t kMaxKeptExtensionBytes = 16;

// Control characters, and the format characters that reorder text on screen so that a name
// shows another extension than the one it has.
bool isHidden(gunichar c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x200E || c == 0x200F ||
         (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) || c == 0xFEFF;
}

void appendCodePoint(std::string& text, gunichar c) {
  char bytes[6];
  text.append(bytes, static_cast<size_t>(g_unichar_to_utf8(c, bytes)));
}

// The visible code points of `text`; bytes that are not UTF-8 are dropped.
std::u32string visibleCodePoints(std::string_view text) {
  std::u32string result;
  const char* p = text.data();
  const char* end = p + text.size();
  while (p < end) {
    const gunichar c = g_utf8_get_char_validated(p, end - p);
    if (c == static_cast<gunichar>(-1) || c == static_cast<gunichar>(-2)) {
      ++p;
      continue;
    }
    if (!isHidden(c)) result.push_back(c);
    p = g_utf8_next_char(p);
  }
  return result;
}

std::string utf8(const std::u32string& codePoints) {
  std::string text;
  for (char32_t c : codePoints) appendCodePoint(text, c);
  return text;
}

// The longest prefix of valid UTF-8 `text` that fits in `bytes` without splitting a character.
std::string_view utf8Prefix(std::string_view text, size_t bytes) {
  if (text.size() <= bytes) return text;
  size_t end = bytes;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return text.substr(0, end);
}

std::string bounded(std::string name) {
  if (name.size() <= kMaxDownloadNameBytes) return name;
  const SplitName split = splitExtension(name);
  if (split.extension.empty() || split.extension.size() > kMaxKeptExtensionBytes) {
    return std::string(utf8Prefix(name, kMaxDownloadNameBytes));
  }
  const size_t room = kMaxDownloadNameBytes - split.extension.size() - 1;
  return std::string(utf8Prefix(split.base, room)) + "." + split.extension;
}

}  // namespace

std::string plainDownloadName(std::string_view suggested, std::string_view fallback) {
  const size_t separator = suggested.find_last_of("/\\");
  if (separator != std::string_view::npos) suggested.remove_prefix(separator + 1);
  std::u32string name = visibleCodePoints(suggested);
  // Leading dots would hide the file; white space at either end is invisible.
  size_t first = 0;
  while (first < name.size() && (name[first] == U'.' || g_unichar_isspace(name[first]))) ++first;
  size_t last = name.size();
  while (last > first && g_unichar_isspace(name[last - 1])) --last;
  name = name.substr(first, last - first);
  if (name.empty()) return std::string(fallback);
  return bounded(utf8(name));
}

std::string savedPageName(std::string_view title, std::string_view fallback) {
  std::string flat(title);
  std::ranges::replace_if(
      flat, [](char c) { return c == '/' || c == '\\'; }, '-');
  std::string base = plainDownloadName(flat, "");
  if (base.empty()) base = plainDownloadName(fallback, "page");
  // Cut again with the extension on: a long title keeps it.
  return plainDownloadName(base + ".mhtml", "page.mhtml");
}

SplitName splitExtension(std::string_view name) {
  const size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || dot == 0 || dot + 1 == name.size())
    return {std::string(name), ""};
  return {std::string(name.substr(0, dot)), std::string(name.substr(dot + 1))};
}

std::filesystem::path uniqueDestination(const std::filesystem::path& folder, std::string_view name,
                                        const std::set<std::filesystem::path>& reserved) {
  const auto free = [&](const std::filesystem::path& candidate) {
    std::error_code error;
    const auto status = std::filesystem::symlink_status(candidate, error);
    return !std::filesystem::exists(status) && !reserved.contains(candidate);
  };
  std::filesystem::path candidate = folder / std::string(name);
  const SplitName split = splitExtension(name);
  for (unsigned n = 1; !free(candidate); ++n) {
    std::string numbered = split.base + " (" + std::to_string(n) + ")";
    if (!split.extension.empty()) numbered += "." + split.extension;
    candidate = folder / numbered;
  }
  return candidate;
}

}  // namespace zemblo
