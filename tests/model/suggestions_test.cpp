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
#include "model/tabs_model.h"
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

std::string tabID(const std::shared_ptr<BrowserTab>& tab) { return "tab:" + tab->id.str(); }
std::string historyID(const HistoryEntry& entry) { return "history:" + entry.id.str(); }

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

  std::vector<std::string> ids(std::string_view query) const {
    std::vector<std::string> result;
    for (const auto& suggestion : suggestions(store->tabs(), store->history(), query))
      result.push_back(suggestion.id());
    return result;
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

  const std::vector<std::string> firstSix{tabID(tabs[0]), tabID(tabs[1]), tabID(tabs[2]),
                                          tabID(tabs[3]), tabID(tabs[4]), tabID(tabs[5])};
  EXPECT_EQ(ids(""), firstSix);
  EXPECT_EQ(ids(" \n\t\u00A0"), firstSix);
  const auto rows = suggestions(store->tabs(), store->history(), "");
  EXPECT_EQ(rows.front().kind(), Suggestion::Kind::tab);
  EXPECT_EQ(rows.front().browserTab(), tabs[0]);

  setTabs({tabs[7], tabs[3]});
  EXPECT_EQ(ids(""), (std::vector<std::string>{tabID(tabs[7]), tabID(tabs[3])}));
  setTabs({});
  EXPECT_TRUE(ids("").empty());
}

TEST_F(SuggestionsTest, AddressThenSearchThenTabsThenHistory) {
  const auto docs = makeTab("Example Docs", "https://example.com/docs");
  const auto other = makeTab("Weather", "https://weather.example/");
  setTabs({other, docs});
  const HistoryEntry page = visit("https://example.com/blog", "Blog");
  setHistory({visit("https://weather.example/today", "Today"), page});

  // The typed text keeps its case in the address and the search; matching ignores case.
  const auto rows = suggestions(store->tabs(), store->history(), "  Example.COM \n");
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0].kind(), Suggestion::Kind::open);
  EXPECT_EQ(rows[0].openURL()->str(), "https://Example.COM");
  EXPECT_EQ(rows[0].id(), "open:https://Example.COM");
  EXPECT_EQ(rows[1].kind(), Suggestion::Kind::search);
  EXPECT_EQ(*rows[1].query(), "Example.COM");
  EXPECT_EQ(rows[1].id(), "search:Example.COM");
  EXPECT_EQ(rows[2].browserTab(), docs);
  EXPECT_EQ(rows[3].kind(), Suggestion::Kind::history);
  EXPECT_EQ(rows[3].historyEntry()->id, page.id);
  EXPECT_EQ(rows[3].id(), historyID(page));
  EXPECT_EQ(rows[3].openURL(), nullptr);
  EXPECT_EQ(rows[3].browserTab(), nullptr);

  // Words are never an address, but the search is always there.
  EXPECT_EQ(ids("example.com blog"), (std::vector<std::string>{"search:example.com blog"}));
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

  EXPECT_EQ(ids("kirmizi"),
            (std::vector<std::string>{"search:kirmizi", tabID(byTitle), tabID(byAddress)}));
  EXPECT_EQ(ids("ÇAY BAH"), (std::vector<std::string>{"search:ÇAY BAH", tabID(turkish)}));
  // A tab without a title goes by its host; a blank one by the name of a new tab.
  EXPECT_EQ(ids("TEA"), (std::vector<std::string>{"search:TEA", tabID(byHost)}));
  L10n::setEnglish(false);
  EXPECT_EQ(ids("Sekme"), (std::vector<std::string>{"search:Sekme", tabID(blank)}));
  L10n::setEnglish(true);
  EXPECT_EQ(ids("new t"), (std::vector<std::string>{"search:new t", tabID(blank)}));
}

TEST_F(SuggestionsTest, OnlyThreeTabsAndOnlyTheirAddressesHideHistory) {
  Space::TabList tabs;
  for (int i = 0; i < 4; ++i) {
    tabs.push_back(makeTab("news " + std::to_string(i), "https://n" + std::to_string(i) + ".ex/"));
  }
  setTabs(tabs);
  const HistoryEntry ofFourthTab = visit("https://n3.ex/", "news three");
  setHistory({visit("https://n0.ex/", "news zero"), ofFourthTab});

  EXPECT_EQ(ids("news"), (std::vector<std::string>{"search:news", tabID(tabs[0]), tabID(tabs[1]),
                                                   tabID(tabs[2]), historyID(ofFourthTab)}));
}

TEST_F(SuggestionsTest, HistoryGivesFiveNewestWithoutRepeatingAnAddress) {
  std::vector<HistoryEntry> entries;
  for (int i = 0; i < 7; ++i) {
    entries.push_back(
        visit("https://site.example/" + std::to_string(i), "Recipe " + std::to_string(i)));
  }
  setHistory(entries);
  EXPECT_EQ(ids("recipe"),
            (std::vector<std::string>{"search:recipe", historyID(entries[0]), historyID(entries[1]),
                                      historyID(entries[2]), historyID(entries[3]),
                                      historyID(entries[4])}));

  // The same address twice gives the newer visit; a trailing "/" makes another address; the
  // typed address itself is not repeated; matching falls back to the address.
  const HistoryEntry newer = visit("https://docs.example/guide", "Guide");
  const HistoryEntry older = visit("https://docs.example/guide", "Guide (old)");
  const HistoryEntry slashed = visit("https://docs.example/guide/", "Guide");
  const HistoryEntry typed = visit("https://docs.example", "Docs home");
  const HistoryEntry byAddress = visit("https://docs.example/x", "Untitled");
  setHistory({typed, newer, older, slashed, byAddress});
  EXPECT_EQ(ids("docs.example"),
            (std::vector<std::string>{"open:https://docs.example", "search:docs.example",
                                      historyID(newer), historyID(slashed), historyID(byAddress)}));
}

}  // namespace
}  // namespace zemblo
