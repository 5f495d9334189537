#include "model/search_engine.h"

#include <string>

#include "platform/user_defaults.h"

namespace zemblo {

std::optional<SearchEngine> SearchEngine::fromRawValue(std::string_view text) {
  for (const Case engine : allCases) {
    if (SearchEngine(engine).rawValue() == text) return SearchEngine(engine);
  }
  return std::nullopt;
}

SearchEngine SearchEngine::selected(const UserDefaults& defaults) {
  const std::string stored = defaults.stringValue(kDefaultsKey).value_or("");
  return fromRawValue(stored).value_or(google);
}

SearchEngine SearchEngine::selected() { return selected(UserDefaults::standard()); }

std::string_view SearchEngine::rawValue() const {
  switch (value_) {
    case google:
      return "google";
    case duckDuckGo:
      return "duckDuckGo";
    case bing:
      return "bing";
    case ecosia:
      return "ecosia";
  }
  return "google";
}

std::string_view SearchEngine::displayName() const {
  switch (value_) {
    case google:
      return "Google";
    case duckDuckGo:
      return "DuckDuckGo";
    case bing:
      return "Bing";
    case ecosia:
      return "Ecosia";
  }
  return "Google";
}

std::string_view SearchEngine::endpoint() const {
  switch (value_) {
    case google:
      return "https://www.google.com/search";
    case duckDuckGo:
      return "https://duckduckgo.com/";
    case bing:
      return "https://www.bing.com/search";
    case ecosia:
      return "https://www.ecosia.org/search";
  }
  return "https://www.google.com/search";
}

std::optional<Url> SearchEngine::searchURL(std::string_view query) const {
  // The common query-item encoders leave "+" alone, which the engines read as a space: a
  // search for "c++" would look for "c". Hence the stricter value encoding.
  std::string text(endpoint());
  text += "?q=";
  text += percentEncodeQueryValue(query);
  return Url::parse(text);
}

}  // namespace zemblo
