#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "model/app_language.h"

// Every visible text is written in Turkish where it is shown and passed through `localized`,
// which gives the English text while the interface is in English. A text without an entry is
// shown in Turkish.
namespace zemblo {

namespace L10n {

// Whether texts are shown in English. On first use it is set once from the system rule
// (`systemLanguageIsEnglish`).
//
// Process-wide on purpose, like a process's text domain: every view, menu and page script words
// its texts through `localized`, and handing a language to each of them would make no code
// clearer. The models only read it. While the browser runs, the application is its one writer:
// it sets it from the saved preferences before the store loads and again whenever the language
// preference changes; tests set it directly.
bool isEnglish();

// Runs the one-time initialisation first, so that it can never overwrite this value later.
void setEnglish(bool english);

// Whether the Turkish-to-English dictionary has been built. A process that only ever runs in
// Turkish never builds it.
bool tableIsBuilt();

}  // namespace L10n

// `system` applies the system rule at the moment of the call.
bool isEnglish(AppLanguage language);

// English unless the user's first preferred language starts with "tr".
bool systemLanguageIsEnglish();

// The English text of `turkish` while the interface is English and the text has an entry;
// otherwise `turkish` itself.
std::string localized(std::string_view turkish);

// The English text of `turkish` whatever the interface language, or `turkish` itself when the
// table has no entry. For rules that must recognise a text in both languages.
std::string englishText(std::string_view turkish);

// For a text with one "%@": the count replaces it. In English a count of exactly 1 uses the
// singular entry (the key followed by "|one") where there is one. Turkish keeps the noun
// singular after any number, so it never uses those entries.
std::string localized(std::string_view turkish, long long count);

// `format` with its first "%@" replaced by `argument`; unchanged when it has none.
std::string withArgument(std::string format, std::string_view argument);

// How the user's locale (LC_NUMERIC) groups the digits of a whole number: the separator, and the
// sizes of the groups from the right as the C library gives them (one byte each, the last
// repeating, CHAR_MAX or none for no further grouping).
struct DigitGrouping {
  std::string separator;
  std::string sizes;

  // The locale set for the process now; the C locale groups nothing.
  static DigitGrouping current();
};

// A whole number grouped as the user's locale groups it, whatever the interface language:
// "12,345" in an English locale, "12.345" in a Turkish one, "12345" in the C locale.
std::string groupedNumber(long long value);
std::string groupedNumber(long long value, const DigitGrouping& grouping);

// A fraction as a whole percentage, halves rounded away from zero: "13%" in English, "%13" in
// Turkish. Callers pass fractions between 0 and 1.
std::string percentText(double fraction);

struct LocalizationPair {
  std::string_view turkish;
  std::string_view english;
};

// The compiled-in pairs the dictionary is built from, in interface order.
std::span<const LocalizationPair> localizationPairs();

// Number of entries in the dictionary; builds it if it has not been built yet.
size_t localizationTableSize();

}  // namespace zemblo
