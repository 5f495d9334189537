#include "model/history_model.h"

#include <gtest/gtest.h>

#include <string>

#include "model/browser_store.h"
#include "support/store_fixture.h"

namespace zemblo {
namespace {

Url url(const std::string& text) { return *Url::parse(text); }

class HistoryModelTest : public testing::StoreFixture {
 protected:
  void start() { startStore({}, 0); }
};

TEST_F(HistoryModelTest, VisitsAreRecordedNewestFirstForWebPagesOnly) {
  start();
  settle();
  store->history().recordVisit(url("https://a.example/"), "A");
  store->history().recordVisit(url("file:///tmp/page.html"), "File");
  store->history().recordVisit(url("about:blank"), "Blank");
  store->history().recordVisit(url("ftp://files.example/"), "Ftp");
  store->history().recordVisit(url("a.example/"), "Schemeless");
  ASSERT_EQ(store->history().entries.peek().size(), 1u);
  EXPECT_FALSE(savedSinceLastCheck());  // the caller saves

  store->history().entries.mutate([](auto& list) { list.front().date = Date{0}; });
  const Uuid firstId = store->history().entries.peek().front().id;
  store->history().recordVisit(url("https://a.example/"), "A again");
  ASSERT_EQ(store->history().entries.peek().size(), 1u);
  EXPECT_EQ(store->history().entries.peek().front().id, firstId);
  EXPECT_EQ(store->history().entries.peek().front().title, "A again");
  EXPECT_GT(store->history().entries.peek().front().date, Date{0});

  store->history().recordVisit(url("http://b.example/"), "B");
  store->history().recordVisit(url("https://a.example/"), "A");
  const auto& history = store->history().entries.peek();
  ASSERT_EQ(history.size(), 3u);
  EXPECT_EQ(history[0].title, "A");
  EXPECT_EQ(history[1].title, "B");
  EXPECT_EQ(history[2].id, firstId);
}

TEST_F(HistoryModelTest, HistoryKeepsTheNewest2000) {
  start();
  for (int i = 0; i <= 2000; ++i) {
    store->history().recordVisit(url("https://site.example/" + std::to_string(i)), "");
  }
  const auto& history = store->history().entries.peek();
  ASSERT_EQ(history.size(), 2000u);
  EXPECT_EQ(history.front().url, url("https://site.example/2000"));
  EXPECT_EQ(history.back().url, url("https://site.example/1"));
}

TEST_F(HistoryModelTest, AnOverlongSavedHistoryIsTrimmedByTheNextNewEntry) {
  std::vector<HistoryEntry> saved;
  for (int i = 0; i < 2005; ++i) {
    saved.emplace_back(url("https://old.example/" + std::to_string(i)), "", Date{double(i)});
  }
  ASSERT_TRUE(SessionFiles().writeHistory(saved));
  start();
  ASSERT_EQ(store->history().entries.peek().size(), 2005u);
  store->history().recordVisit(url("https://old.example/0"), "Newest again");
  EXPECT_EQ(store->history().entries.peek().size(), 2005u);
  store->history().recordVisit(url("https://new.example/"), "New");
  ASSERT_EQ(store->history().entries.peek().size(), 2000u);
  EXPECT_EQ(store->history().entries.peek().front().title, "New");
  EXPECT_EQ(store->history().entries.peek().back().url, url("https://old.example/1998"));
}

TEST_F(HistoryModelTest, ClearingTheHistoryEmptiesAndSavesIt) {
  start();
  store->history().recordVisit(url("https://a.example/"), "A");
  settle();
  store->history().clear();
  EXPECT_TRUE(store->history().entries.peek().empty());
  EXPECT_TRUE(savedSinceLastCheck());
  settle();
  store->finishWrites();
  EXPECT_EQ(home.readFile(home.dataDir() / "history.json"), "[]");
}

}  // namespace
}  // namespace zemblo
