#include "model/spell_checking_languages.h"

#include <glib.h>

#include <algorithm>
#include <optional>

#include "model/localization.h"

namespace zemblo {
namespace {

// "de_DE.UTF-8@euro" → "de_DE"; "tr" → "tr_TR"; nothing for "C", "POSIX" or what is no locale.
std::optional<std::string> dictionaryName(std::string_view locale) {
  locale = locale.substr(0, locale.find_first_of(".@"));
  const std::string_view language = locale.substr(0, locale.find('_'));
  const auto isLetter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
  if (language.size() < 2 || language.size() > 3 ||
      !std::ranges::all_of(language, [](char c) { return c >= 'a' && c <= 'z'; }) ||
      !std::ranges::all_of(locale, [&](char c) { return c == '_' || isLetter(c); })) {
    return std::nullopt;
  }
  if (locale.size() > language.size()) return std::string(locale);
  if (language == "en") return "en_US";
  std::string country(language);
  std::ranges::transform(country, country.begin(), [](char c) { return char(c - 'a' + 'A'); });
  return std::string(language) + "_" + country;
}

}  // namespace

std::vector<std::string> spellCheckingLanguages(bool interfaceIsEnglish,
                                                std::span<const std::string> systemLanguages) {
  std::vector<std::string> names{interfaceIsEnglish ? "en_US" : "tr_TR"};
  for (const std::string& locale : systemLanguages) {
    const auto name = dictionaryName(locale);
    // GLib lists "de_DE" and "de" both: the bare language adds nothing once its country is in.
    const bool covered = name && std::ranges::any_of(names, [&](const std::string& known) {
                           return known == *name || (locale.find('_') == std::string::npos &&
                                                     known.starts_with(locale + "_"));
                         });
    if (name && !covered) names.push_back(*name);
  }
  return names;
}

std::vector<std::string> spellCheckingLanguages() {
  std::vector<std::string> system;
  for (const gchar* const* name = g_get_language_names(); name && *name; ++name) {
    system.emplace_back(*name);
  }
  return spellCheckingLanguages(L10n::isEnglish(), system);
}

}  // namespace zemblo
