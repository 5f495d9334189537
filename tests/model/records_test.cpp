#include "model/records.h"

#include <gtest/gtest.h>

#include "support/temp_home.h"

namespace zemblo {
namespace {

Uuid id(const char* text) { return *Uuid::parse(text); }
Url url(const char* text) { return *Url::parse(text); }

const char* kSpaceId = "6B0B3A4E-1C2D-4E5F-8A9B-0C1D2E3F4A5B";
const char* kTabId = "1F2E3D4C-5B6A-4978-8695-A4B3C2D1E0F9";
const char* kFavoriteId = "0A1B2C3D-4E5F-4061-8273-94A5B6C7D8E9";

SessionSnapshot sampleSession() {
  SpaceSnapshot space{id(kSpaceId), "Kişisel", "sparkles", "#7B61FF", "#FF6FB5", {}, std::nullopt};
  space.tabs.push_back(TabSnapshot{id(kTabId), url("https://example.com/a?q=1"), "Örnek",
                                   url("https://example.com/favicon.ico")});
  space.selectedTabID = id(kTabId);
  SessionSnapshot session;
  session.spaces.push_back(space);
  session.currentSpaceID = id(kSpaceId);
  session.favorites.push_back(
      Favorite(id(kFavoriteId), "GitHub", url("https://github.com"), std::nullopt));
  session.sidebarVisible = false;
  return session;
}

TEST(SessionFormat, EncodesByteForByte) {
  EXPECT_EQ(
      encodeSession(sampleSession()).value(),
      R"({"spaces":[{"id":"6B0B3A4E-1C2D-4E5F-8A9B-0C1D2E3F4A5B","name":"Kişisel",)"
      R"("symbol":"sparkles","colorA":"#7B61FF","colorB":"#FF6FB5","tabs":[{"id":)"
      R"("1F2E3D4C-5B6A-4978-8695-A4B3C2D1E0F9","url":"https:\/\/example.com\/a?q=1",)"
      R"("title":"Örnek","faviconURL":"https:\/\/example.com\/favicon.ico"}],)"
      R"("selectedTabID":"1F2E3D4C-5B6A-4978-8695-A4B3C2D1E0F9"}],)"
      R"("currentSpaceID":"6B0B3A4E-1C2D-4E5F-8A9B-0C1D2E3F4A5B","favorites":[{"id":)"
      R"("0A1B2C3D-4E5F-4061-8273-94A5B6C7D8E9","title":"GitHub","url":"https:\/\/github.com"}],)"
      R"("sidebarVisible":false})");
}

TEST(SessionFormat, HistoryDatesAreSecondsSince2001WholeNumbersWithoutFraction) {
  const std::vector<HistoryEntry> history = {
      HistoryEntry(id(kTabId), url("https://a.example/"), "A", Date{0}),
      HistoryEntry(id(kSpaceId), url("http://b.example/x"), "B", Date{752000000.25}),
      HistoryEntry(id(kFavoriteId), url("https://c.example"), "C",
                   Date::fromUnixSeconds(978307200 + 86400)),
  };
  EXPECT_EQ(
      encodeHistory(history).value(),
      R"([{"id":"1F2E3D4C-5B6A-4978-8695-A4B3C2D1E0F9","url":"https:\/\/a.example\/","title":"A","date":0},)"
      R"({"id":"6B0B3A4E-1C2D-4E5F-8A9B-0C1D2E3F4A5B","url":"http:\/\/b.example\/x","title":"B","date":752000000.25},)"
      R"({"id":"0A1B2C3D-4E5F-4061-8273-94A5B6C7D8E9","url":"https:\/\/c.example","title":"C","date":86400}])");
  EXPECT_EQ(decodeHistory(*encodeHistory(history)), history);
}

TEST(SessionFormat, RoundTripsAndAcceptsOtherKeyOrdersNullOptionalsAndPlainSlashes) {
  const auto decoded = decodeSession(*encodeSession(sampleSession()));
  ASSERT_TRUE(decoded);
  EXPECT_EQ(encodeSession(*decoded), encodeSession(sampleSession()));

  const auto reordered = decodeSession(
      R"({"sidebarVisible":true,"favorites":[{"faviconURL":null,"url":"https://x.com","title":"X",)"
      R"("id":"0a1b2c3d-4e5f-4061-8273-94a5b6c7d8e9","extra":1}],"currentSpaceID":)"
      R"("6B0B3A4E-1C2D-4E5F-8A9B-0C1D2E3F4A5B","spaces":[{"tabs":[{"title":"","id":)"
      R"("1F2E3D4C-5B6A-4978-8695-A4B3C2D1E0F9"}],"colorB":"#000000","colorA":"#FFFFFF",)"
      R"("symbol":"star","name":"S","id":"6B0B3A4E-1C2D-4E5F-8A9B-0C1D2E3F4A5B","selectedTabID":null}]})");
  ASSERT_TRUE(reordered);
  EXPECT_FALSE(reordered->favorites[0].faviconURL);
  EXPECT_EQ(reordered->favorites[0].id.str(), kFavoriteId);
  EXPECT_EQ(reordered->favorites[0].url.str(), "https://x.com");
  EXPECT_FALSE(reordered->spaces[0].tabs[0].url);
  EXPECT_FALSE(reordered->spaces[0].selectedTabID);
}

TEST(SessionFormat, StrictDecodingRejectsTheWholeFile) {
  const std::string good = *encodeSession(sampleSession());
  auto without = [&](const std::string& fragment) {
    std::string text = good;
    text.replace(text.find(fragment), fragment.size(), "");
    return text;
  };
  auto replaced = [&](const std::string& from, const std::string& to) {
    std::string text = good;
    text.replace(text.find(from), from.size(), to);
    return text;
  };
  const std::vector<std::string> rejected = {
      without(R"(,"sidebarVisible":false)"),
      without(R"("symbol":"sparkles",)"),
      replaced(R"("sidebarVisible":false)", R"("sidebarVisible":0)"),
      replaced(R"("name":"Kişisel")", R"("name":null)"),
      replaced(R"("currentSpaceID":"6B0B3A4E-1C2D-4E5F-8A9B-0C1D2E3F4A5B")",
               R"("currentSpaceID":"not-a-uuid")"),
      replaced(R"("url":"https:\/\/github.com")", R"("url":"")"),
      replaced(R"("url":"https:\/\/github.com")", R"("url":"http://[::1")"),
      replaced(R"("tabs":[)", R"("tabs":{"x":[)") + "}",
      "[]",
      "",
      "{",
  };
  for (const auto& text : rejected) EXPECT_FALSE(decodeSession(text)) << text;

  EXPECT_FALSE(decodeHistory(
      R"([{"id":"1F2E3D4C-5B6A-4978-8695-A4B3C2D1E0F9","url":"","title":"A","date":0}])"));
  EXPECT_FALSE(decodeHistory(
      R"([{"id":"1F2E3D4C-5B6A-4978-8695-A4B3C2D1E0F9","url":"https://a","title":"A","date":"0"}])"));
  EXPECT_FALSE(decodeHistory(R"({"entries":[]})"));
}

TEST(SessionFiles, WritesAtomicallyAndSetsUndecodableFilesAside) {
  testing::TempHome home;
  SessionFiles files;
  EXPECT_FALSE(files.readSession());
  EXPECT_TRUE(files.readHistory().empty());

  ASSERT_TRUE(files.writeSession(sampleSession()));
  EXPECT_EQ(home.readFile(home.dataDir() / "session.json"), *encodeSession(sampleSession()));
  EXPECT_TRUE(files.readSession());

  home.writeFile(home.dataDir() / "session.json", R"({"spaces":[])");
  home.writeFile(home.dataDir() / "history.json", "[1]");
  EXPECT_FALSE(files.readSession());
  EXPECT_TRUE(files.readHistory().empty());
  EXPECT_EQ(home.readFile(home.dataDir() / "session.json.bad"), R"({"spaces":[])");
  EXPECT_EQ(home.readFile(home.dataDir() / "history.json.bad"), "[1]");
  EXPECT_FALSE(std::filesystem::exists(home.dataDir() / "session.json"));

  // A file kept earlier is never replaced by the next one, whatever holds the next names.
  home.writeFile(home.dataDir() / "session.json.bad.1", "the user's own");
  for (const char* bytes : {"second bad", "third bad"}) {
    home.writeFile(home.dataDir() / "session.json", bytes);
    EXPECT_FALSE(files.readSession());
  }
  EXPECT_EQ(home.readFile(home.dataDir() / "session.json.bad"), R"({"spaces":[])");
  EXPECT_EQ(home.readFile(home.dataDir() / "session.json.bad.1"), "the user's own");
  EXPECT_EQ(home.readFile(home.dataDir() / "session.json.bad.2"), "second bad");
  EXPECT_EQ(home.readFile(home.dataDir() / "session.json.bad.3"), "third bad");
}

TEST(FavoriteDefaults, AreEightHttpsSitesWithFreshIds) {
  const auto first = Favorite::defaults();
  const auto second = Favorite::defaults();
  ASSERT_EQ(first.size(), 8u);
  const std::vector<std::string> titles = {"Google", "YouTube", "GitHub",    "Apple Developer",
                                           "X",      "Claude",  "Instagram", "WhatsApp"};
  for (size_t i = 0; i < first.size(); ++i) {
    EXPECT_EQ(first[i].title, titles[i]);
    EXPECT_EQ(first[i].url.scheme(), "https");
    EXPECT_TRUE(first[i].url.host());
    EXPECT_EQ(first[i].url.path(), "");
    EXPECT_FALSE(first[i].faviconURL);
    EXPECT_NE(first[i].id, second[i].id);
  }
}

}  // namespace
}  // namespace zemblo
