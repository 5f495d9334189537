#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>

#include "platform/url.h"

namespace zemblo {

class UserDefaults;

// One of the web search engines the user can choose in the settings. Persisted as its case name
// under the user-defaults key "searchEngine".
class SearchEngine {
 public:
  enum Case { google, duckDuckGo, bing, ecosia };

  static constexpr std::string_view kDefaultsKey = "searchEngine";

  constexpr SearchEngine(Case value) : value_(value) {}  // NOLINT: a case is an engine
  constexpr operator Case() const { return value_; }     // NOLINT: lets callers switch

  // Every engine, in the order the settings offer them.
  static constexpr std::array<Case, 4> allCases{google, duckDuckGo, bing, ecosia};

  // Exact, case-sensitive match of a case name; anything else is no engine.
  static std::optional<SearchEngine> fromRawValue(std::string_view text);
  // The stored choice; google when the key is missing or names no engine. The store keeps the
  // observed value (PreferencesModel::searchEngine).
  static SearchEngine selected(const UserDefaults& defaults);

  std::string_view rawValue() const;
  // The engine's own name, the same in every interface language.
  std::string_view displayName() const;
  // The engine's results page for `query`, exactly as passed. The query is escaped so that it
  // reaches the engine unchanged: a space, "+", "&", "=", "#" and "%" never turn into something
  // else on the way.
  std::optional<Url> searchURL(std::string_view query) const;

 private:
  std::string_view endpoint() const;

  Case value_;
};

}  // namespace zemblo

template <>
struct std::hash<zemblo::SearchEngine> {
  size_t operator()(zemblo::SearchEngine engine) const noexcept {
    return std::hash<std::string_view>{}(engine.rawValue());
  }
};
