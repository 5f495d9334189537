#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "model/search_engine.h"
#include "model/typed_input.h"
#include "platform/user_defaults.h"
#include "support/temp_home.h"

namespace zemblo {
namespace {

struct TypedCase {
  std::string input;
  // The address the text must open, written as typed; none for a search.
  std::optional<std::string> address;
};

const std::vector<TypedCase>& typedCases() {
  static const std::vector<TypedCase> cases{
      // Blank text and inner spaces are searches.
      {"", std::nullopt},
      {" \t\n\u00A0", std::nullopt},
      {"hello world", std::nullopt},
      {"example.com news.org", std::nullopt},
      {"http://example.com/a b", std::nullopt},
      // Surrounding white space goes; other inner white space does not make a search.
      {"  example.com  ", "https://example.com"},
      {"\u00A0example.com\n", "https://example.com"},
      {"news.example.org/a\tb", "https://news.example.org/a\tb"},
      // Known schemes in any case are kept exactly as typed.
      {"HTTP://Example.com/Path", "HTTP://Example.com/Path"},
      {"https://example.com/?q=1#top", "https://example.com/?q=1#top"},
      {"FiLe:///tmp/notes.txt", "FiLe:///tmp/notes.txt"},
      {"about:blank", "about:blank"},
      {"data:text/plain,hi", "data:text/plain,hi"},
      // Other schemes leave a single name as the host, which is no address.
      {"ftp://example.com", std::nullopt},
      {"mailto:someone@example.com", std::nullopt},
      {"javascript:alert(1)", std::nullopt},
      // localhost, case-sensitive, over http with port, path and query kept.
      {"localhost", "http://localhost"},
      {"localhost:8080/x?y=1", "http://localhost:8080/x?y=1"},
      {"LOCALHOST", std::nullopt},
      {"LocalHost:3000", std::nullopt},
      // IPv4 over http.
      {"192.168.1.1", "http://192.168.1.1"},
      {"10.0.0.1:8080/admin", "http://10.0.0.1:8080/admin"},
      {"1..2.3.4", "http://1..2.3.4"},
      {"256.1.1.1", std::nullopt},
      {"1.2.3.256", std::nullopt},
      {"1.2.3", std::nullopt},
      {"1.2.3.4.5", std::nullopt},
      {"-1.0.0.0", std::nullopt},
      // Dotted names whose last part is a word of letters go over https, as typed.
      {"example.com", "https://example.com"},
      {"Example.COM/Path?q=A", "https://Example.COM/Path?q=A"},
      {"example.com:8080", "https://example.com:8080"},
      {"example.com.", "https://example.com."},
      {"example.com/a.1", "https://example.com/a.1"},
      {"müller.de", "https://müller.de"},
      {"site.çş", "https://site.çş"},
      {"пример.рф", "https://пример.рф"},
      {"example.u\u0308e", "https://example.u\u0308e"},
      // A last part of one user-perceived character, or with a digit or hyphen, is no word.
      {"example.c", std::nullopt},
      {"example.u\u0308", std::nullopt},
      {"example.123", std::nullopt},
      {"example.co2", std::nullopt},
      {"my-site.c-m", std::nullopt},
      // Single names are searches, wherever the dots are.
      {"example", std::nullopt},
      {".com", std::nullopt},
      {"example/a.com", std::nullopt},
      {"c++", std::nullopt},
  };
  return cases;
}

TEST(TypedInput, EachTextOpensItsAddressOrSearches) {
  for (const TypedCase& c : typedCases()) {
    SCOPED_TRACE("input: \"" + c.input + "\"");
    const auto result = urlFromUserInput(c.input);
    if (!c.address) {
      EXPECT_FALSE(result) << result->str();
      continue;
    }
    const auto expected = Url::parse(*c.address);
    ASSERT_TRUE(expected);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->str(), expected->str());
  }
}

TEST(TypedInput, SignsAndLeadingZerosFollowTheIntegerRule) {
  EXPECT_TRUE(isIPv4Address("0.0.0.0"));
  EXPECT_TRUE(isIPv4Address("255.255.255.255"));
  EXPECT_TRUE(isIPv4Address("+1.-0.001.0000000255"));
  EXPECT_TRUE(isIPv4Address(".1.2.3.4."));
  EXPECT_FALSE(isIPv4Address("-1.2.3.4"));
  EXPECT_FALSE(isIPv4Address("+.2.3.4"));
  EXPECT_FALSE(isIPv4Address("1.2.3.4a"));
  EXPECT_FALSE(isIPv4Address("1.2.3. 4"));
  EXPECT_FALSE(isIPv4Address("1.2.3.99999999999999999999"));
  EXPECT_FALSE(isIPv4Address("\u0661.2.3.4"));  // Arabic-Indic digit one
  EXPECT_FALSE(isIPv4Address(""));
}

TEST(TypedInput, AddressesOpenAndEverythingElseSearches) {
  EXPECT_FALSE(urlForInputOrSearch("", SearchEngine::google));
  EXPECT_FALSE(urlForInputOrSearch(" \n\t", SearchEngine::bing));
  EXPECT_EQ(urlForInputOrSearch("  example.com\n", SearchEngine::google)->str(),
            "https://example.com");
  EXPECT_EQ(urlForInputOrSearch("  c++ ", SearchEngine::google)->str(),
            "https://www.google.com/search?q=c%2B%2B");
  EXPECT_EQ(urlForInputOrSearch("example.com news", SearchEngine::duckDuckGo)->str(),
            "https://duckduckgo.com/?q=example.com%20news");
}

// Search engines ----------------------------------------------------------------------------------

TEST(SearchEngine, QueriesReachEachEngineUnchanged) {
  const std::vector<std::pair<SearchEngine, std::string>> endpoints{
      {SearchEngine::google, "https://www.google.com/search"},
      {SearchEngine::duckDuckGo, "https://duckduckgo.com/"},
      {SearchEngine::bing, "https://www.bing.com/search"},
      {SearchEngine::ecosia, "https://www.ecosia.org/search"},
  };
  const std::vector<std::pair<std::string, std::string>> queries{
      {"c++", "c%2B%2B"},
      {"a b", "a%20b"},
      {"&=#%", "%26%3D%23%25"},
      {"İstanbul çay", "%C4%B0stanbul%20%C3%A7ay"},
      {" kept  as passed ", "%20kept%20%20as%20passed%20"},
      {"", ""},
  };
  for (const auto& [engine, endpoint] : endpoints) {
    for (const auto& [query, encoded] : queries) {
      SCOPED_TRACE(std::string(engine.rawValue()) + " / " + query);
      const auto url = engine.searchURL(query);
      ASSERT_TRUE(url);
      EXPECT_EQ(url->str(), endpoint + "?q=" + encoded);
      EXPECT_EQ(url->str().find('#'), std::string::npos);
      EXPECT_EQ(percentDecoded(url->query().value_or("").substr(2)), query);
      EXPECT_EQ(Url::parse(url->str()), url);
    }
  }
}

TEST(SearchEngine, NamesAndRawValues) {
  const std::vector<std::pair<std::string, std::string>> expected{
      {"google", "Google"}, {"duckDuckGo", "DuckDuckGo"}, {"bing", "Bing"}, {"ecosia", "Ecosia"}};
  ASSERT_EQ(SearchEngine::allCases.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    const SearchEngine engine = SearchEngine::allCases[i];
    EXPECT_EQ(engine.rawValue(), expected[i].first);
    EXPECT_EQ(engine.displayName(), expected[i].second);
    EXPECT_EQ(SearchEngine::fromRawValue(expected[i].first), engine);
  }
  EXPECT_FALSE(SearchEngine::fromRawValue("Google"));
  EXPECT_FALSE(SearchEngine::fromRawValue("duckduckgo"));
  EXPECT_FALSE(SearchEngine::fromRawValue(" bing"));
  EXPECT_FALSE(SearchEngine::fromRawValue(""));
}

TEST(SearchEngine, SelectedReadsTheDefaultsOnEveryUseAndFallsBackToGoogle) {
  testing::TempHome home;
  UserDefaults defaults(home.root() / "defaults.json");
  EXPECT_EQ(SearchEngine::selected(defaults), SearchEngine::google);

  defaults.setString("searchEngine", "duckDuckGo");
  EXPECT_EQ(SearchEngine::selected(defaults), SearchEngine::duckDuckGo);
  defaults.setString("searchEngine", "ecosia");
  EXPECT_EQ(SearchEngine::selected(defaults), SearchEngine::ecosia);

  for (const char* unknown : {"Bing", "ECOSIA", "yahoo", ""}) {
    defaults.setString("searchEngine", unknown);
    EXPECT_EQ(SearchEngine::selected(defaults), SearchEngine::google) << unknown;
  }
  defaults.setBool("searchEngine", true);
  EXPECT_EQ(SearchEngine::selected(defaults), SearchEngine::google);
}

}  // namespace
}  // namespace zemblo
