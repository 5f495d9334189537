#pragma once

#include <optional>
#include <string>

#include "model/app_preferences.h"
#include "platform/url.h"

namespace zemblo {

// How one page is to look under page dark mode: whether it is darkened, and the strength of the
// darkening its page script applies.
struct PageDarkModeDecision {
  bool dark = false;
  double brightness = 1;
  double contrast = 1;
  friend bool operator==(const PageDarkModeDecision&, const PageDarkModeDecision&) = default;
};

// Whether page dark mode is switched off for the site of `host`: its canonical host matches an
// excluded host, being the same site, one of its subdomains or one of its parent domains. A
// missing host, or one with nothing left once canonical ("www."), is never excluded.
bool isPageDarkModeDisabled(const AppPreferences& prefs, const std::optional<std::string>& host);

// The look of the page at `url` under the preferences, given whether the application is dark.
PageDarkModeDecision pageDarkModeDecision(const AppPreferences& prefs,
                                          const std::optional<Url>& url, bool systemDark);
PageDarkModeDecision pageDarkModeDecisionForHost(const AppPreferences& prefs,
                                                 const std::optional<std::string>& host,
                                                 bool systemDark);

}  // namespace zemblo
