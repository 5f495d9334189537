#include "model/suggestions.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "model/browser_store.h"
#include "model/browser_tab.h"
#include "model/favorites_model.h"
#include "model/history_model.h"
#include "model/localization.h"
#include "model/window_model.h"
#include "support/fake_scheduler.h"
#include "support/fake_web_view.h"
#include "support/temp_home.h"

namespace zemblo {
namespace {

Url url(const std::string& text) { return *Url::parse(text); }

std::shared_ptr<BrowserTab> makeTab(const std::string& title,
                                    const std::optional<std::string>& address) {
  return std::make_shared<BrowserTab>(
      Uuid::random(), address ? std::optional<Url>(url(*address)) : std::nullopt, title);
}

HistoryEntry visit(const std::string& address, const std::string& title) {
  return HistoryEntry(url(address), title, Date{0});
}

using Rows = std::vector<Suggestion>;
Suggestion tabRow(const std::shared_ptr<BrowserTab>& tab) { return Suggestion::tab(tab); }
Suggestion historyRow(const HistoryEntry& entry) { return Suggestion::history(entry); }
Suggestion searchRow(const std::string& query) { return Suggestion::search(query); }

}  // namespace

// Names a row in a failure message.
void PrintTo(const Suggestion& row, std::ostream* out) {
  if (const auto* address = row.openURL()) *out << "open " << address->str();
  if (const auto* query = row.query()) *out << "search " << *query;
  if (const auto tab = row.browserTab()) *out << "tab " << tab->id.str();
  if (const auto* entry = row.historyEntry()) *out << "history " << entry->id.str();
}

namespace {

class SuggestionsTest : public ::testing::Test {
 protected:
  SuggestionsTest() {
    BrowserStoreEnvironment environment;
    environment.defaults = &defaults;
    environment.scheduler = &scheduler;
    store = BrowserStore::create(std::make_shared<testing::FakeEngine>(), std::move(environment));
  }
  void TearDown() override { L10n::setEnglish(false); }

  void setTabs(Space::TabList tabs) { store->tabs().currentSpace()->tabs.set(std::move(tabs)); }
  void setHistory(std::vector<HistoryEntry> entries) {
    store->history().entries.set(std::move(entries));
  }

  Rows rows(std::string_view query) const {
    return suggestions(store->tabs(), store->history(), query);
  }

  testing::TempHome home;
  UserDefaults defaults{home.root() / "config" / "user-defaults.json"};
  testing::FakeScheduler scheduler;
  std::shared_ptr<BrowserStore> store;
};

TEST_F(SuggestionsTest, BlankQueryListsTheFirstSixTabsOfTheCurrentSpaceOnly) {
  Space::TabList tabs;
  for (int i = 0; i < 8; ++i) tabs.push_back(makeTab("t" + std::to_string(i), std::nullopt));
  setTabs(tabs);
  setHistory({visit("https://t1.example/", "t1")});

  const Rows firstSix{tabRow(tabs[0]), tabRow(tabs[1]), tabRow(tabs[2]),
                      tabRow(tabs[3]), tabRow(tabs[4]), tabRow(tabs[5])};
  EXPECT_EQ(rows(""), firstSix);
  EXPECT_EQ(rows(" \n\t\u00A0"), firstSix);
  EXPECT_EQ(rows("").front().browserTab(), tabs[0]);

  setTabs({tabs[7], tabs[3]});
  EXPECT_EQ(rows(""), (Rows{tabRow(tabs[7]), tabRow(tabs[3])}));
  setTabs({});
  EXPECT_TRUE(rows("").empty());
}

TEST_F(SuggestionsTest, AddressThenSearchThenTabsThenHistory) {
  const auto docs = makeTab("Example Docs", "https://example.com/docs");
  const auto other = makeTab("Weather", "https://weather.example/");
  setTabs({other, docs});
  const HistoryEntry page = visit("https://example.com/blog", "Blog");
  setHistory({visit("https://weather.example/today", "Today"), page});

  // The typed text keeps its case in the address and the search; matching ignores case.
  const Rows typed = rows("  Example.COM \n");
  EXPECT_EQ(typed, (Rows{Suggestion::open(url("https://Example.COM")), searchRow("Example.COM"),
                         tabRow(docs), historyRow(page)}));
  ASSERT_EQ(typed.size(), 4u);
  EXPECT_EQ(typed[0].openURL()->str(), "https://Example.COM");
  EXPECT_EQ(*typed[1].query(), "Example.COM");
  EXPECT_EQ(typed[3].openURL(), nullptr);
  EXPECT_EQ(typed[3].browserTab(), nullptr);

  // Words are never an address, but the search is always there.
  EXPECT_EQ(rows("example.com blog"), (Rows{searchRow("example.com blog")}));
}

TEST_F(SuggestionsTest, TabsMatchByDisplayTitleOrElseAddressOfTheCurrentSpaceOnly) {
  const auto byTitle = makeTab("KIRMIZI Elma", "https://fruit.example/1");
  const auto byAddress = makeTab("Something else", "https://fruit.example/kirmizi");
  const auto turkish = makeTab("Çay Bahçesi", std::nullopt);
  const auto byHost = makeTab("", "https://www.tea.example/x");
  const auto blank = makeTab("", std::nullopt);
  setTabs({byTitle, byAddress, turkish, byHost, blank});
  store->tabs().spaces.peek().at(1)->tabs.set({makeTab("kirmizi too", "https://other.example/")});
  store->favorites().list.set({Favorite("Kirmizi", url("https://fav.example/"))});

  EXPECT_EQ(rows("kirmizi"), (Rows{searchRow("kirmizi"), tabRow(byTitle), tabRow(byAddress)}));
  EXPECT_EQ(rows("ÇAY BAH"), (Rows{searchRow("ÇAY BAH"), tabRow(turkish)}));
  // A tab without a title goes by its host; a blank one by the name of a new tab.
  EXPECT_EQ(rows("TEA"), (Rows{searchRow("TEA"), tabRow(byHost)}));
  L10n::setEnglish(false);
  EXPECT_EQ(rows("Sekme"), (Rows{searchRow("Sekme"), tabRow(blank)}));
  L10n::setEnglish(true);
  EXPECT_EQ(rows("new t"), (Rows{searchRow("new t"), tabRow(blank)}));
}

TEST_F(SuggestionsTest, OnlyThreeTabsAndOnlyTheirAddressesHideHistory) {
  Space::TabList tabs;
  for (int i = 0; i < 4; ++i) {
    tabs.push_back(makeTab("news " + std::to_string(i), "https://n" + std::to_string(i) + ".ex/"));
  }
  setTabs(tabs);
  const HistoryEntry ofFourthTab = visit("https://n3.ex/", "news three");
  setHistory({visit("https://n0.ex/", "news zero"), ofFourthTab});

  EXPECT_EQ(rows("news"), (Rows{searchRow("news"), tabRow(tabs[0]), tabRow(tabs[1]),
                                tabRow(tabs[2]), historyRow(ofFourthTab)}));
}

TEST_F(SuggestionsTest, HistoryGivesFiveNewestWithoutRepeatingAnAddress) {
  std::vector<HistoryEntry> entries;
  for (int i = 0; i < 7; ++i) {
    entries.push_back(
        visit("https://site.example/" + std::to_string(i), "Recipe " + std::to_string(i)));
  }
  setHistory(entries);
  EXPECT_EQ(rows("recipe"),
            (Rows{searchRow("recipe"), historyRow(entries[0]), historyRow(entries[1]),
                  historyRow(entries[2]), historyRow(entries[3]), historyRow(entries[4])}));

  // The same address twice gives the newer visit; a trailing "/" makes another address; the
  // typed address itself is not repeated; matching falls back to the address.
  const HistoryEntry newer = visit("https://docs.example/guide", "Guide");
  const HistoryEntry older = visit("https://docs.example/guide", "Guide (old)");
  const HistoryEntry slashed = visit("https://docs.example/guide/", "Guide");
  const HistoryEntry typed = visit("https://docs.example", "Docs home");
  const HistoryEntry byAddress = visit("https://docs.example/x", "Untitled");
  setHistory({typed, newer, older, slashed, byAddress});
  EXPECT_EQ(rows("docs.example"),
            (Rows{Suggestion::open(url("https://docs.example")), searchRow("docs.example"),
                  historyRow(newer), historyRow(slashed), historyRow(byAddress)}));
}

}  // namespace
}  // namespace zemblo
