#pragma once

#include <string>
#include <string_view>
#include <vector>

// Text rules that must not depend on the user's locale: a Turkish locale would otherwise turn
// "I" into "ı" inside host names and keys.
namespace zemblo {

std::string asciiLowercased(std::string_view text);
std::string asciiUppercased(std::string_view text);

// Full Unicode lower-casing with locale-independent rules (UTF-8 in and out).
std::string unicodeLowercased(std::string_view text);
// Full Unicode upper-casing with locale-independent rules, including the multi-letter mappings.
std::string unicodeUppercased(std::string_view text);

// Trims Unicode white space and line breaks (Z* plus U+0009–U+000D and U+0085) at both ends.
std::string_view trimmedWhitespaceAndNewlines(std::string_view text);
// Trims only spaces and tabs at both ends.
std::string_view trimmedSpacesAndTabs(std::string_view text);

bool startsWith(std::string_view text, std::string_view prefix);
bool endsWith(std::string_view text, std::string_view suffix);

// Whether the bytes are UTF-8 text. NUL is a valid character of a text file and of a JSON string.
bool isValidUtf8(std::string_view bytes);

// What making text valid does with a NUL: most text goes on to C strings, where a NUL would cut
// it short; JSON keeps it (written as \u0000).
enum class NulCharacter { replaced, kept };
// The bytes as UTF-8 text: each invalid sequence becomes the replacement character U+FFFD, and so
// does each NUL unless it is kept.
std::string validUtf8(std::string_view bytes, NulCharacter nul = NulCharacter::replaced);

// Number of Unicode code points (not bytes) in UTF-8 text.
size_t codePointCount(std::string_view text);

// Whether `c` always joins the character before it into one user-perceived character: a
// combining mark, a joiner, a variation selector or an emoji modifier.
bool extendsPreviousCharacter(char32_t c);

// The first code point of each user-perceived character (extended grapheme cluster) of valid
// UTF-8 text: combining marks, joiners, variation selectors, emoji modifiers, Hangul syllable
// parts and regional-indicator pairs stay with the character they extend. Empty for invalid text.
std::vector<char32_t> userPerceivedCharacterStarts(std::string_view text);

}  // namespace zemblo
