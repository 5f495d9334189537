#include "window/command_bar.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "model/localization.h"
#include "model/preferences_model.h"
#include "model/search_engine.h"
#include "model/tabs_model.h"
#include "support/find_window.h"
#include "window/window_harness.h"

namespace zemblo {
namespace {

using testing::pump;
using testing::TestServer;
using testing::waitUntil;
using testing::WebHarness;
using testing::WindowHarness;
using testing::xdotool;

// Keys go to the window under the pointer; its corner keeps the pointer off the card's rows.
void parkPointer() { xdotool("mousemove --window %1 4 4"); }
void pressKeys(const std::string& keys) { xdotool("key " + keys); }
void typeText(const std::string& text) { xdotool("type --delay 15 '" + text + "'"); }
void pointAt(double x, double y, const std::string& then = "") {
  xdotool("mousemove --window %1 " + std::to_string(static_cast<int>(x)) + " " +
          std::to_string(static_cast<int>(y)) + " " + then);
}

class CommandBarTest : public ::testing::Test {
 protected:
  CommandBarTest() {
    for (const std::string name : {"Alpha", "Beta", "Second"}) {
      const std::string body = "<h1>" + name + "</h1><p>A local page of the window tests.</p>";
      server.page("/" + name, "<title>" + name + " page</title>" + body);
    }
  }

  void SetUp() override { parkPointer(); }

  CommandBarLayer& layer() {
    return testing::viewNamed<CommandBarLayer>(harness.window(), "CommandBarLayer");
  }
  CommandBar* bar() { return testing::activeView<CommandBar>(layer(), "CommandBar"); }

  std::shared_ptr<BrowserTab> openPage(const char* name) {
    auto tab = harness.open(server.url(std::string("/") + name));
    EXPECT_TRUE(WebHarness::waitForPage(*tab, std::string(name) + " page"));
    pump();
    return tab;
  }

  bool waitForOpenBar() {
    return waitUntil([&] { return bar() && bar()->field().has_focus(); });
  }
  bool waitForClosedBar() {
    return waitUntil([&] { return !bar() && !layer().get_visible(); });
  }
  // Which row shows the highlight and the hint.
  std::optional<size_t> highlightedRow() {
    std::optional<size_t> found;
    for (size_t i = 0; i < bar()->rowCount(); ++i) {
      if (!bar()->row(i).isSelected()) continue;
      EXPECT_FALSE(found) << "two highlighted rows";
      EXPECT_TRUE(bar()->row(i).hintGroup().get_visible());
      found = i;
    }
    return found;
  }
  size_t tabCount() { return harness.store().tabs().currentSpace()->tabs.peek().size(); }
  std::shared_ptr<BrowserTab> selectedTab() {
    return harness.store().tabs().currentSpace()->selectedTab();
  }

  TestServer server;
  WindowHarness harness;
};

TEST_F(CommandBarTest, RealKeysOpenTypeMoveAndLoadAnAddressInTheCurrentTab) {
  auto tab = openPage("Alpha");
  harness.store().tabs().commandBar.set(
      CommandBarMode::currentTab);  // Ctrl+L itself is tested with the app
  ASSERT_TRUE(waitForOpenBar());
  // Over the page, prefilled with its full address, watching the window's keys.
  EXPECT_EQ(bar()->query(), server.url("/Alpha"));
  EXPECT_TRUE(bar()->hasKeyMonitor());
  pump();
  const auto card = harness.bounds(bar()->card());
  EXPECT_EQ(card.width, CommandBar::kCardWidth);
  EXPECT_EQ(card.y, CommandBar::kTopInset);
  EXPECT_NEAR(card.x + card.width / 2, harness.window().get_width() / 2.0, 1);
  EXPECT_EQ(harness.bounds(bar()->dimLayer()).width, harness.window().get_width());

  // The prefilled address is selected, so typing replaces it.
  const std::string address = "127.0.0.1:" + server.url("").substr(17) + "/Second";
  typeText(address);
  ASSERT_TRUE(waitUntil([&] { return bar()->query() == address; }));
  ASSERT_EQ(bar()->rowCount(), 2u);  // the address and the search
  EXPECT_EQ(bar()->row(0).titleLabel().get_text(), "127.0.0.1");
  EXPECT_EQ(highlightedRow(), 0u);
  WindowHarness::screenshot("command-bar-address");

  // Down and Up wrap around; the field never sees them.
  pressKeys("Down");
  ASSERT_TRUE(waitUntil([&] { return bar()->selection() == 1; }));
  EXPECT_EQ(highlightedRow(), 1u);
  pressKeys("Down");
  ASSERT_TRUE(waitUntil([&] { return bar()->selection() == 0; }));
  pressKeys("Up");
  ASSERT_TRUE(waitUntil([&] { return bar()->selection() == 1; }));
  pressKeys("Up");
  ASSERT_TRUE(waitUntil([&] { return bar()->selection() == 0; }));
  EXPECT_EQ(bar()->query(), address);

  pressKeys("Return");
  ASSERT_TRUE(WebHarness::waitForPage(*tab, "Second page"));
  EXPECT_EQ(tab->url.peek(), server.address("/Second"));
  EXPECT_EQ(tabCount(), 1u);
  EXPECT_EQ(harness.store().tabs().commandBar.peek(), std::nullopt);
  ASSERT_TRUE(waitForClosedBar());
  // The page has the keyboard again.
  EXPECT_TRUE(WebHarness::portOf(*tab).widget().has_focus());
}

TEST_F(CommandBarTest, RealKeysSwitchToATabAndEscapeCloses) {
  auto alpha = openPage("Alpha");
  auto beta = openPage("Beta");
  ASSERT_EQ(selectedTab(), beta);

  harness.store().tabs().commandBar.set(
      CommandBarMode::currentTab);  // Ctrl+L itself is tested with the app
  ASSERT_TRUE(waitForOpenBar());
  typeText("alpha");
  ASSERT_TRUE(waitUntil([&] { return bar()->query() == "alpha"; }));
  // The search, then the matching tab; its visit is not listed again from the history.
  ASSERT_EQ(bar()->rowCount(), 2u);
  EXPECT_EQ(bar()->row(1).suggestionID(), "tab:" + alpha->id.str());
  pressKeys("Down");
  ASSERT_TRUE(waitUntil([&] { return bar()->selection() == 1; }));
  EXPECT_EQ(bar()->row(1).hintLabel().get_text().raw(), localized("Sekmeye geç"));
  WindowHarness::screenshot("command-bar");

  pressKeys("Return");
  ASSERT_TRUE(waitForClosedBar());
  EXPECT_EQ(selectedTab(), alpha);
  EXPECT_EQ(alpha->url.peek(), server.address("/Alpha"));
  EXPECT_EQ(beta->url.peek(), server.address("/Beta"));
  EXPECT_EQ(tabCount(), 2u);

  // Escape closes from wherever the focus is, and the key goes no further.
  harness.store().tabs().commandBar.set(
      CommandBarMode::currentTab);  // Ctrl+L itself is tested with the app
  ASSERT_TRUE(waitForOpenBar());
  typeText("zz");
  pressKeys("Escape");
  ASSERT_TRUE(waitForClosedBar());
  EXPECT_EQ(harness.store().tabs().commandBar.peek(), std::nullopt);
  EXPECT_EQ(selectedTab(), alpha);
  EXPECT_EQ(alpha->url.peek(), server.address("/Alpha"));
}

// After a failed load the bar offers the address that failed, so that a typo can be mended,
// not the page still behind the error.
TEST_F(CommandBarTest, AfterAFailedLoadTheBarHoldsTheAddressThatFailed) {
  auto alpha = openPage("Alpha");
  const std::string refused = testing::refusedURL();
  alpha->load(*Url::parse(refused));
  ASSERT_TRUE(waitUntil([&] { return alpha->loadError.peek() && !alpha->isLoading.peek(); }));
  pump();
  harness.store().tabs().commandBar.set(CommandBarMode::currentTab);
  ASSERT_TRUE(waitForOpenBar());
  EXPECT_EQ(std::string(bar()->field().get_text()), refused);
}

TEST_F(CommandBarTest, ThePointerHighlightsAndPicksRowsAndTheBackdropCloses) {
  auto alpha = openPage("Alpha");
  auto beta = openPage("Beta");
  harness.store().tabs().commandBar.set(CommandBarMode::currentTab);
  ASSERT_TRUE(waitForOpenBar());
  bar()->setQuery("page");  // both tabs match by title
  ASSERT_EQ(bar()->rowCount(), 3u);
  pump();

  const int alphaRow = bar()->row(1).suggestionID() == "tab:" + alpha->id.str() ? 1 : 2;
  const auto frame = harness.bounds(bar()->row(alphaRow));
  const double x = frame.x + frame.width / 2, y = frame.y + frame.height / 2;

  const auto last = harness.bounds(bar()->row(2));

  // A bar opening under a resting pointer highlights nothing, also when its rows change under
  // the pointer: Return takes the first row, Down the second.
  harness.store().tabs().commandBar.set(std::nullopt);
  ASSERT_TRUE(waitForClosedBar());
  pointAt(last.x + last.width / 2, last.y + last.height / 2);
  harness.store().tabs().commandBar.set(CommandBarMode::currentTab);
  ASSERT_TRUE(waitForOpenBar());
  bar()->setQuery("page");
  pump();
  ASSERT_EQ(harness.bounds(bar()->row(2)), last);
  EXPECT_EQ(bar()->selection(), 0);
  pressKeys("Down");
  ASSERT_TRUE(waitUntil([&] { return bar()->selection() != 0; }));
  pump();
  EXPECT_EQ(bar()->selection(), 1);

  // Moving the pointer onto a row highlights it.
  pointAt(x + 3, y);
  ASSERT_TRUE(waitUntil([&] { return bar()->selection() == alphaRow; }));
  // Down moves on from there.
  pressKeys("Down");
  ASSERT_TRUE(waitUntil([&] { return bar()->selection() == (alphaRow + 1) % 3; }));
  EXPECT_EQ(highlightedRow(), size_t((alphaRow + 1) % 3));

  // A click picks the row it lands on, not the highlighted one.
  pointAt(x, y, "click 1");
  ASSERT_TRUE(waitForClosedBar());
  EXPECT_EQ(selectedTab(), alpha);

  // Without dimming the backdrop is all but invisible, and a click on it still closes the bar.
  harness.store().preferences().updatePrefs(
      [](AppPreferences& prefs) { prefs.dimBehindCommandBar = false; });
  harness.store().tabs().commandBar.set(CommandBarMode::currentTab);
  ASSERT_TRUE(waitForOpenBar());
  EXPECT_EQ(CommandBar::dimOpacity(false, 1), CommandBar::kUndimmedOpacity);
  pump();
  pointAt(harness.window().get_width() - 40, harness.window().get_height() - 40, "click 1");
  ASSERT_TRUE(waitForClosedBar());
  EXPECT_EQ(selectedTab(), alpha);
}

TEST_F(CommandBarTest, SearchesLoadTheChosenEnginesPageOrANewTab) {
  harness.store().preferences().setSearchEngine(SearchEngine::duckDuckGo);
  auto alpha = openPage("Alpha");
  alpha->loadError.set(BrowserTab::LoadError{"failed", std::nullopt});
  harness.store().tabs().commandBar.set(CommandBarMode::currentTab);
  ASSERT_TRUE(waitForOpenBar());
  bar()->setQuery("  c++ rules ");
  ASSERT_GE(bar()->rowCount(), 1u);
  EXPECT_EQ(bar()->row(0).subtitleLabel().get_text().raw(),
            *SuggestionRow::subtitle(Suggestion::search("x"), SearchEngine::duckDuckGo));
  bar()->submit();
  const auto expected = SearchEngine(SearchEngine::duckDuckGo).searchURL("c++ rules");
  EXPECT_EQ(alpha->url.peek(), expected);
  EXPECT_EQ(alpha->loadError.peek(), std::nullopt);
  EXPECT_EQ(tabCount(), 1u);
  ASSERT_TRUE(waitForClosedBar());

  // A new-tab bar opens what it is given in a new, selected tab at the top.
  harness.store().tabs().commandBar.set(CommandBarMode::newTab);
  ASSERT_TRUE(waitForOpenBar());
  EXPECT_EQ(bar()->query(), "");
  EXPECT_EQ(bar()->field().get_placeholder_text().raw(),
            localized("Yeni sekmede ara veya adres gir…"));
  bar()->setQuery(server.url("/Beta"));
  bar()->submit();
  ASSERT_EQ(tabCount(), 2u);
  EXPECT_EQ(harness.store().tabs().currentSpace()->tabs.peek().front(), selectedTab());
  EXPECT_EQ(selectedTab()->url.peek(), server.address("/Beta"));
  EXPECT_EQ(alpha->url.peek(), expected);
  ASSERT_TRUE(waitForClosedBar());
}

TEST_F(CommandBarTest, EmptyListsShrinkingListsAndTabsOfOtherSpaces) {
  // No tabs and no text: nothing to list. The arrows are used up; Return only closes.
  harness.store().tabs().commandBar.set(CommandBarMode::currentTab);
  ASSERT_TRUE(waitForOpenBar());
  EXPECT_EQ(bar()->query(), "");
  EXPECT_EQ(bar()->rowCount(), 0u);
  EXPECT_FALSE(bar()->clearButton().get_visible());
  WindowHarness::screenshot("command-bar-empty");
  EXPECT_TRUE(bar()->handleKey(GDK_KEY_Down));
  EXPECT_TRUE(bar()->handleKey(GDK_KEY_Up));
  EXPECT_EQ(bar()->selection(), 0);
  EXPECT_FALSE(bar()->handleKey(GDK_KEY_Tab));
  EXPECT_FALSE(bar()->handleKey(GDK_KEY_Return));
  bar()->submit();
  EXPECT_EQ(harness.store().tabs().commandBar.peek(), std::nullopt);
  EXPECT_FALSE(bar()->hasKeyMonitor());
  ASSERT_TRUE(waitForClosedBar());
  EXPECT_EQ(tabCount(), 0u);

  // With an empty field the bar lists the space's tabs. A highlight left past the end of a list
  // that shrank rests on the last row.
  auto alpha = openPage("Alpha");
  auto beta = openPage("Beta");
  auto second = openPage("Second");
  harness.store().tabs().commandBar.set(CommandBarMode::newTab);
  ASSERT_TRUE(waitForOpenBar());
  ASSERT_EQ(bar()->rowCount(), 3u);
  bar()->handleKey(GDK_KEY_Up);
  EXPECT_EQ(bar()->selection(), 2);
  harness.store().tabs().closeTab(*alpha);
  ASSERT_TRUE(waitUntil([&] { return bar()->rowCount() == 2; }));
  EXPECT_EQ(bar()->selection(), 2);
  EXPECT_EQ(highlightedRow(), 1u);
  bar()->handleKey(GDK_KEY_Down);  // (2 + 1) mod 2
  EXPECT_EQ(bar()->selection(), 1);

  // Typing resets the highlight; the clear button empties the field and resets it again.
  bar()->setQuery("page");
  EXPECT_EQ(bar()->selection(), 0);
  EXPECT_TRUE(bar()->clearButton().get_visible());
  bar()->handleKey(GDK_KEY_Down);
  bar()->clearButton().activate();
  ASSERT_TRUE(waitUntil([&] { return bar()->query().empty(); }));
  EXPECT_EQ(bar()->selection(), 0);
  EXPECT_FALSE(bar()->clearButton().get_visible());

  // A tab that has gone to another space is followed there.
  auto other = harness.store().tabs().addSpace();
  harness.store().tabs().moveTab(*beta, *other);
  bar()->activate(Suggestion::tab(beta));
  EXPECT_EQ(harness.store().tabs().currentSpace(), other);
  EXPECT_EQ(other->selectedTab(), beta);
  ASSERT_TRUE(waitForClosedBar());
}

TEST_F(CommandBarTest, TheCardSitsLowerWhenCentredAndReopeningStartsAfresh) {
  EXPECT_EQ(CommandBar::cardTop(CommandBarPosition::top, 1000), 120);
  EXPECT_EQ(CommandBar::cardTop(CommandBarPosition::center, 1000), 300);
  EXPECT_EQ(CommandBar::cardTop(CommandBarPosition::center, 399), 120);
  EXPECT_DOUBLE_EQ(CommandBar::dimOpacity(true, 1), CommandBar::kDimOpacity);
  EXPECT_DOUBLE_EQ(CommandBar::dimOpacity(true, 0), CommandBar::kUndimmedOpacity);

  harness.store().preferences().updatePrefs(
      [](AppPreferences& prefs) { prefs.commandBarPosition = CommandBarPosition::center; });
  harness.store().tabs().commandBar.set(CommandBarMode::currentTab);
  ASSERT_TRUE(waitForOpenBar());
  pump();
  EXPECT_NEAR(harness.bounds(bar()->card()).y, 0.3 * harness.window().get_height(), 1);
  EXPECT_EQ(bar()->appeared(), 1);
  bar()->setQuery("left behind");
  bar()->handleKey(GDK_KEY_Down);
  bar()->close();
  ASSERT_TRUE(waitForClosedBar());

  harness.store().tabs().commandBar.set(CommandBarMode::currentTab);
  ASSERT_TRUE(waitForOpenBar());
  EXPECT_EQ(bar()->query(), "");
  EXPECT_EQ(bar()->selection(), 0);
}

class SuggestionRowTest : public ::testing::Test {
 protected:
  SuggestionRowTest() { testing::initializeGtkWithoutAnimations(); }
  void TearDown() override { L10n::setEnglish(false); }

  const Color accent{0.9, 0.2, 0.1};
  FaviconLoader favicons;
};

TEST_F(SuggestionRowTest, ShowsEachKindsIconTextsAndHint) {
  L10n::setEnglish(true);
  const auto open = Suggestion::open(*Url::parse("https://example.org/a?b=c"));
  SuggestionRow row(favicons, open, true, accent, SearchEngine::google);
  EXPECT_EQ(row.titleLabel().get_text(), "example.org");
  EXPECT_EQ(row.subtitleLabel().get_text(), "https://example.org/a?b=c");
  EXPECT_EQ(row.hintLabel().get_text(), "Open");
  EXPECT_TRUE(row.hintGroup().get_visible());
  EXPECT_TRUE(row.tile().get_visible());
  EXPECT_FALSE(row.favicon().get_visible());
  EXPECT_EQ(row.tile().symbol(), "globe");
  const GdkRGBA ink = row.tile().color();
  EXPECT_FLOAT_EQ(ink.red, 0.9f);  // the highlighted row's symbol takes the accent

  // An address without a host shows itself twice; the plain row has no hint and no accent.
  row.update(Suggestion::open(*Url::parse("about:blank")), false, accent, SearchEngine::google);
  EXPECT_EQ(row.titleLabel().get_text(), "about:blank");
  EXPECT_EQ(row.subtitleLabel().get_text(), "about:blank");
  EXPECT_FALSE(row.hintGroup().get_visible());
  EXPECT_NE(row.tile().color().red, 0.9f);

  row.update(Suggestion::search("C++ Rules"), true, accent, SearchEngine::duckDuckGo);
  EXPECT_EQ(row.titleLabel().get_text(), "C++ Rules");
  EXPECT_EQ(row.subtitleLabel().get_text(), "Search with DuckDuckGo");
  EXPECT_EQ(row.hintLabel().get_text(), "Search");
  EXPECT_EQ(row.tile().symbol(), "magnifyingglass");
  L10n::setEnglish(false);
  EXPECT_EQ(*SuggestionRow::subtitle(Suggestion::search("x"), SearchEngine::duckDuckGo),
            "DuckDuckGo ile ara");

  // A blank tab: its display title on a single line, its icon drawn without a host.
  auto blank = std::make_shared<BrowserTab>();
  row.update(Suggestion::tab(blank), true, accent, SearchEngine::google);
  EXPECT_EQ(row.titleLabel().get_text(), "Yeni Sekme");
  EXPECT_FALSE(row.subtitleLabel().get_visible());
  EXPECT_EQ(row.hintLabel().get_text(), "Sekmeye geç");
  EXPECT_TRUE(row.favicon().get_visible());
  EXPECT_FALSE(row.tile().get_visible());
  EXPECT_EQ(row.favicon().letterText(), "?");

  // A history entry without a title is named by its host.
  const HistoryEntry entry(*Url::parse("https://www.example.com/x"), "", Date{});
  row.update(Suggestion::history(entry), false, accent, SearchEngine::google);
  EXPECT_EQ(row.titleLabel().get_text(), "www.example.com");
  EXPECT_EQ(row.subtitleLabel().get_text(), "https://www.example.com/x");
  EXPECT_TRUE(row.subtitleLabel().get_visible());
  EXPECT_EQ(row.favicon().letterText(), "www.example.com");
  EXPECT_EQ(SuggestionRow::hint(Suggestion::history(entry)), "Aç");
}

}  // namespace
}  // namespace zemblo
