#include "platform/uuid.h"

#include <glib.h>

#include <array>

#include "platform/text.h"

namespace zemblo {

Uuid Uuid::random() {
  gchar* raw = g_uuid_string_random();
  std::string text = asciiUppercased(raw);
  g_free(raw);
  return Uuid(std::move(text));
}

std::optional<Uuid> Uuid::parse(std::string_view text) {
  // The canonical 8-4-4-4-12 form, checked and upper-cased in one pass without branches: the
  // session files hold thousands of these, and random hex digits defeat branch prediction.
  static constexpr std::array<char, 256> kCanonical = [] {
    std::array<char, 256> table{};
    for (char c = '0'; c <= '9'; ++c) table[static_cast<unsigned char>(c)] = c;
    for (char c = 'A'; c <= 'F'; ++c) table[static_cast<unsigned char>(c)] = c;
    for (char c = 'a'; c <= 'f'; ++c) table[static_cast<unsigned char>(c)] = c - 'a' + 'A';
    table['-'] = '-';
    return table;
  }();
  static constexpr std::array<bool, 36> kHyphenAt = [] {
    std::array<bool, 36> hyphens{};
    for (const size_t i : {8, 13, 18, 23}) hyphens[i] = true;
    return hyphens;
  }();
  if (text.size() != 36) return std::nullopt;
  std::string canonical(36, '\0');
  bool valid = true;
  for (size_t i = 0; i < 36; ++i) {
    const char c = kCanonical[static_cast<unsigned char>(text[i])];
    valid &= c != 0 && (c == '-') == kHyphenAt[i];
    canonical[i] = c;
  }
  if (!valid) return std::nullopt;
  return Uuid(std::move(canonical));
}

}  // namespace zemblo
