#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zemblo {

// The dictionaries spell checking asks for, as "lang_COUNTRY" names: the interface's language
// first, then each of the system's languages (`systemLanguages` as GLib lists them, e.g.
// "de_DE.UTF-8", "de_DE", "de", "C"), without repeats. A bare language takes the country its
// dictionary is usually named after, "C" and "POSIX" name none. Whether a dictionary is installed
// is the engine's to find out: it loads only those it finds.
std::vector<std::string> spellCheckingLanguages(bool interfaceIsEnglish,
                                                std::span<const std::string> systemLanguages);

// The same for this process's interface language and the system's languages.
std::vector<std::string> spellCheckingLanguages();

}  // namespace zemblo
