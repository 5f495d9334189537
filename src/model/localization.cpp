#include "model/localization.h"

#include <glib.h>

#include <atomic>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <vector>

#include "platform/text.h"

namespace zemblo {
namespace {

// Lets the dictionary be probed with a string_view, so a lookup allocates nothing.
struct TextHash {
  using is_transparent = void;
  size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
};

using Table = std::unordered_map<std::string, std::string, TextHash, std::equal_to<>>;

// The language flag is deliberately process-wide (see L10n::isEnglish).
struct LanguageFlag {
  std::once_flag initialised;
  std::atomic<bool> english{false};
};

LanguageFlag& languageFlag() {
  static LanguageFlag flag;
  return flag;
}

LanguageFlag& initialisedLanguageFlag() {
  LanguageFlag& flag = languageFlag();
  std::call_once(flag.initialised, [&flag] { flag.english.store(systemLanguageIsEnglish()); });
  return flag;
}

struct TableState {
  std::once_flag built;
  std::atomic<bool> isBuilt{false};
  Table table;
};

TableState& tableState() {
  static TableState state;
  return state;
}

Table makeTable() {
  const auto pairs = localizationPairs();
  Table table;
  table.reserve(pairs.size());
  for (const LocalizationPair& pair : pairs) {
    if (!table.emplace(pair.turkish, pair.english).second) {
      // A repeated key would make one of the two English texts unreachable: a programming
      // error in the compiled-in list, not something to carry on with.
      std::fprintf(stderr, "localisation: duplicate key \"%.*s\"\n",
                   static_cast<int>(pair.turkish.size()), pair.turkish.data());
      std::abort();
    }
  }
  return table;
}

const Table& builtTable() {
  TableState& state = tableState();
  std::call_once(state.built, [&state] {
    state.table = makeTable();
    state.isBuilt.store(true);
  });
  return state.table;
}

// The dictionary lives until the process ends, so the view stays valid.
std::optional<std::string_view> englishEntry(std::string_view key) {
  const Table& table = builtTable();
  const auto found = table.find(key);
  if (found == table.end()) {
    return std::nullopt;
  }
  return found->second;
}

}  // namespace

namespace L10n {

bool isEnglish() { return initialisedLanguageFlag().english.load(); }

void setEnglish(bool english) { initialisedLanguageFlag().english.store(english); }

bool tableIsBuilt() { return tableState().isBuilt.load(); }

}  // namespace L10n

bool systemLanguageIsEnglish() {
  // GLib derives the list from LANGUAGE, LC_ALL, LC_MESSAGES and LANG and re-reads them when
  // they change; it always ends in "C", so the first entry exists.
  const gchar* const* names = g_get_language_names();
  const std::string_view first = (names != nullptr && names[0] != nullptr) ? names[0] : "en";
  return !startsWith(first, "tr");
}

bool isEnglish(AppLanguage language) {
  switch (language) {
    case AppLanguage::system:
      return systemLanguageIsEnglish();
    case AppLanguage::turkish:
      return false;
    case AppLanguage::english:
      return true;
  }
  return false;
}

std::string localized(std::string_view turkish) {
  if (!L10n::isEnglish()) {
    return std::string(turkish);
  }
  return std::string(englishEntry(turkish).value_or(turkish));
}

std::string englishText(std::string_view turkish) {
  return std::string(englishEntry(turkish).value_or(turkish));
}

std::string localized(std::string_view turkish, long long count) {
  if (L10n::isEnglish() && count == 1) {
    std::string singularKey(turkish);
    singularKey += "|one";
    if (const auto singular = englishEntry(singularKey)) {
      return withArgument(std::string(*singular), std::to_string(count));
    }
  }
  return withArgument(localized(turkish), std::to_string(count));
}

std::string withArgument(std::string format, std::string_view argument) {
  constexpr std::string_view kPlaceholder = "%@";
  if (const size_t at = format.find(kPlaceholder); at != std::string::npos) {
    format.replace(at, kPlaceholder.size(), argument);
  }
  return format;
}

DigitGrouping DigitGrouping::current() {
  const lconv* conventions = std::localeconv();
  return {conventions->thousands_sep ? conventions->thousands_sep : "",
          conventions->grouping ? conventions->grouping : ""};
}

std::string groupedNumber(long long value) {
  return groupedNumber(value, DigitGrouping::current());
}

std::string groupedNumber(long long value, const DigitGrouping& grouping) {
  const auto magnitude = static_cast<unsigned long long>(value);
  const std::string digits = std::to_string(value < 0 ? 0ULL - magnitude : magnitude);
  // The lengths of the groups from the right: each size holds until the next, the last one
  // repeats, and what is left once grouping ends makes one group.
  std::vector<size_t> lengths;
  size_t left = digits.size(), next = 0;
  int size = 0;
  while (left > 0) {
    if (next < grouping.sizes.size()) size = static_cast<unsigned char>(grouping.sizes[next++]);
    const bool cut = !grouping.separator.empty() && size > 0 && size != CHAR_MAX &&
                     static_cast<size_t>(size) < left;
    const size_t length = cut ? static_cast<size_t>(size) : left;
    lengths.push_back(length);
    left -= length;
  }
  std::string grouped(value < 0 ? 1 : 0, '-');
  size_t at = 0;
  for (auto length = lengths.rbegin(); length != lengths.rend(); ++length) {
    if (at > 0) grouped.append(grouping.separator);
    grouped.append(digits, at, *length);
    at += *length;
  }
  return grouped;
}

std::string percentText(double fraction) {
  const std::string digits = std::to_string(std::lround(fraction * 100));
  return L10n::isEnglish() ? digits + "%" : "%" + digits;
}

size_t localizationTableSize() { return builtTable().size(); }

}  // namespace zemblo
