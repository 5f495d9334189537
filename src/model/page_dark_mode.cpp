#include "model/page_dark_mode.h"

#include <algorithm>

#include "model/host_rules.h"

namespace zemblo {

bool isPageDarkModeDisabled(const AppPreferences& prefs, const std::optional<std::string>& host) {
  if (!host) return false;
  const std::optional<std::string> site = normalizedHost(*host);
  // "www." alone names no site; an empty entry must not turn it into one.
  if (!site || site->empty()) return false;
  return std::ranges::any_of(prefs.darkDisabledHosts, [&](const std::string& entry) {
    return !entry.empty() && hostsMatch(entry, *site);
  });
}

PageDarkModeDecision pageDarkModeDecisionForHost(const AppPreferences& prefs,
                                                 const std::optional<std::string>& host,
                                                 bool systemDark) {
  bool wanted = false;
  switch (prefs.pageDarkMode) {
    case PageDarkMode::off:
      break;
    case PageDarkMode::withTheme:
      wanted = systemDark;
      break;
    case PageDarkMode::always:
      wanted = true;
      break;
  }
  const bool dark = wanted && !isPageDarkModeDisabled(prefs, host);
  return PageDarkModeDecision{dark, prefs.darkBrightness, prefs.darkContrast};
}

PageDarkModeDecision pageDarkModeDecision(const AppPreferences& prefs,
                                          const std::optional<Url>& url, bool systemDark) {
  return pageDarkModeDecisionForHost(prefs, url ? url->host() : std::nullopt, systemDark);
}

}  // namespace zemblo
