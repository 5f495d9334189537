#include "model/search_engine.h"

#include <array>
#include <string>

#include "platform/user_defaults.h"

namespace zemblo {

namespace {

struct EngineRow {
  SearchEngine::Case engine;
  std::string_view rawValue;
  std::string_view displayName;
  std::string_view endpoint;
};

constexpr std::array<EngineRow, 4> kEngines{{
    {SearchEngine::google, "google", "Google", "https://www.google.com/search"},
    {SearchEngine::duckDuckGo, "duckDuckGo", "DuckDuckGo", "https://duckduckgo.com/"},
    {SearchEngine::bing, "bing", "Bing", "https://www.bing.com/search"},
    {SearchEngine::ecosia, "ecosia", "Ecosia", "https://www.ecosia.org/search"},
}};

const EngineRow& rowOf(SearchEngine::Case engine) {
  for (const EngineRow& row : kEngines) {
    if (row.engine == engine) return row;
  }
  return kEngines.front();
}

}  // namespace

std::optional<SearchEngine> SearchEngine::fromRawValue(std::string_view text) {
  for (const EngineRow& row : kEngines) {
    if (row.rawValue == text) return SearchEngine(row.engine);
  }
  return std::nullopt;
}

SearchEngine SearchEngine::selected(const UserDefaults& defaults) {
  const std::string stored = defaults.stringValue(kDefaultsKey).value_or("");
  return fromRawValue(stored).value_or(google);
}

std::string_view SearchEngine::rawValue() const { return rowOf(value_).rawValue; }

std::string_view SearchEngine::displayName() const { return rowOf(value_).displayName; }

std::string_view SearchEngine::endpoint() const { return rowOf(value_).endpoint; }

std::optional<Url> SearchEngine::searchURL(std::string_view query) const {
  // The common query-item encoders leave "+" alone, which the engines read as a space: a
  // search for "c++" would look for "c". Hence the stricter value encoding.
  std::string text(endpoint());
  text += "?q=";
  text += percentEncodeQueryValue(query);
  return Url::parse(text);
}

}  // namespace zemblo
