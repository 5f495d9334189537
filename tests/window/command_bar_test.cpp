#include "window/command_bar.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <optional>

#include "model/localization.h"
#include "model/preferences_model.h"
#include "model/search_engine.h"
#include "model/window_model.h"
#include "support/drawn_tiles.h"
#include "support/find_window.h"
#include "widgets/symbol_icons.h"
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

// The parts of a suggestion row, by the widget names the row gives them.
Gtk::Label& titleOf(SuggestionRow& row) {
  return testing::widgetNamed<Gtk::Label>(row, "SuggestionTitle");
}
Gtk::Label& subtitleOf(SuggestionRow& row) {
  return testing::widgetNamed<Gtk::Label>(row, "SuggestionSubtitle");
}
Gtk::Widget& hintOf(SuggestionRow& row) { return testing::widgetNamed(row, "SuggestionHint"); }
Gtk::Label& hintTextOf(SuggestionRow& row) {
  return testing::widgetNamed<Gtk::Label>(row, "SuggestionHintText");
}
SymbolGlyph& tileOf(SuggestionRow& row) {
  return testing::widgetNamed<SymbolGlyph>(row, "SuggestionTile");
}
FaviconView& faviconOf(SuggestionRow& row) {
  return testing::widgetNamed<FaviconView>(row, "FaviconView");
}

// The colour the tile draws `symbol` in, read where `reference` (the symbol alone, at the tile's
// size, in opaque ink) is solid; none when the tile draws another shape. The symbol's antialiased
// edge blends with the tile's backdrop, so it is left out.
std::optional<Color> inkOfSymbol(SymbolGlyph& tile, SymbolGlyph& reference,
                                 const std::string& symbol) {
  reference.setSymbol(symbol);
  const auto shown = testing::pixelsOf(tile), alone = testing::pixelsOf(reference);
  if (shown.size() != alone.size()) return std::nullopt;
  std::optional<size_t> first;
  for (size_t i = 0; i < alone.size(); i += 4) {
    if (alone[i + 3] == 0 && shown[i + 3] > 40) return std::nullopt;
    if (alone[i + 3] < 255) continue;
    if (!first) first = i;
    for (size_t c = 0; c < 4; ++c) {
      if (std::abs(shown[i + c] - shown[*first + c]) > 2) return std::nullopt;
    }
  }
  if (!first) return std::nullopt;
  return testing::colorAt(shown, *first);
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
    return testing::widgetNamed<CommandBarLayer>(harness.window(), "CommandBarLayer");
  }
  CommandBar* bar() { return testing::activeView<CommandBar>(layer(), "CommandBar"); }
  Gtk::Text& field() { return testing::textFieldIn(*bar()); }
  std::string query() { return field().get_text(); }
  Gtk::Button& clearButton() { return testing::announced(*bar(), localized("Temizle")); }
  std::vector<SuggestionRow*> rows() {
    return testing::allNamed<SuggestionRow>(*bar(), "SuggestionRow");
  }
  SuggestionRow& row(size_t index) { return *rows().at(index); }
  // Whether the window hands its keys to the bar before anything else sees them.
  bool watchesWindowKeys() {
    GListModel* controllers = gtk_widget_observe_controllers(GTK_WIDGET(harness.window().gobj()));
    bool watching = false;
    for (guint i = 0; i < g_list_model_get_n_items(controllers); ++i) {
      auto* controller = GTK_EVENT_CONTROLLER(g_list_model_get_item(controllers, i));
      const char* name = gtk_event_controller_get_name(controller);
      watching = watching || (name && std::string_view(name) == "CommandBarKeyMonitor");
      g_object_unref(controller);
    }
    g_object_unref(controllers);
    return watching;
  }

  std::shared_ptr<BrowserTab> openPage(const char* name) {
    auto tab = harness.open(server.url(std::string("/") + name));
    EXPECT_TRUE(WebHarness::waitForPage(*tab, std::string(name) + " page"));
    pump();
    return tab;
  }

  bool waitForOpenBar() {
    return waitUntil([&] { return bar() && field().has_focus(); });
  }
  bool waitForClosedBar() {
    return waitUntil([&] { return !bar() && !layer().get_visible(); });
  }
  // Which row shows the highlight and the hint.
  std::optional<size_t> highlightedRow() {
    std::optional<size_t> found;
    const auto shown = rows();
    for (size_t i = 0; i < shown.size(); ++i) {
      if (!testing::announcedSelected(*shown[i])) continue;
      EXPECT_FALSE(found) << "two highlighted rows";
      EXPECT_TRUE(hintOf(*shown[i]).get_visible());
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
  EXPECT_EQ(query(), server.url("/Alpha"));
  EXPECT_TRUE(watchesWindowKeys());
  pump();
  const auto card = harness.bounds(testing::widgetNamed(*bar(), "CommandBarCard"));
  EXPECT_EQ(card.width, CommandBar::kCardWidth);
  EXPECT_EQ(card.y, CommandBar::kTopInset);
  EXPECT_NEAR(card.x + card.width / 2, harness.window().get_width() / 2.0, 1);
  EXPECT_EQ(harness.bounds(testing::widgetNamed(*bar(), "CommandBarDim")).width,
            harness.window().get_width());

  // The prefilled address is selected, so typing replaces it.
  const std::string address = "127.0.0.1:" + server.url("").substr(17) + "/Second";
  typeText(address);
  ASSERT_TRUE(waitUntil([&] { return query() == address; }));
  ASSERT_EQ(rows().size(), 2u);  // the address and the search
  EXPECT_EQ(titleOf(row(0)).get_text(), "127.0.0.1");
  EXPECT_EQ(highlightedRow(), 0u);
  WindowHarness::screenshot("command-bar-address");

  // Down and Up wrap around; the field never sees them.
  pressKeys("Down");
  ASSERT_TRUE(waitUntil([&] { return highlightedRow() == size_t(1); }));
  EXPECT_EQ(highlightedRow(), 1u);
  pressKeys("Down");
  ASSERT_TRUE(waitUntil([&] { return highlightedRow() == size_t(0); }));
  pressKeys("Up");
  ASSERT_TRUE(waitUntil([&] { return highlightedRow() == size_t(1); }));
  pressKeys("Up");
  ASSERT_TRUE(waitUntil([&] { return highlightedRow() == size_t(0); }));
  EXPECT_EQ(query(), address);

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
  ASSERT_TRUE(waitUntil([&] { return query() == "alpha"; }));
  // The search, then the matching tab; its visit is not listed again from the history.
  ASSERT_EQ(rows().size(), 2u);
  EXPECT_EQ(titleOf(row(1)).get_text(), "Alpha page");
  pressKeys("Down");
  ASSERT_TRUE(waitUntil([&] { return highlightedRow() == size_t(1); }));
  EXPECT_EQ(hintTextOf(row(1)).get_text().raw(), localized("Sekmeye geç"));
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
  EXPECT_EQ(std::string(field().get_text()), refused);
}

TEST_F(CommandBarTest, ThePointerHighlightsAndPicksRowsAndTheBackdropCloses) {
  auto alpha = openPage("Alpha");
  auto beta = openPage("Beta");
  harness.store().tabs().commandBar.set(CommandBarMode::currentTab);
  ASSERT_TRUE(waitForOpenBar());
  field().set_text("page");  // both tabs match by title
  ASSERT_EQ(rows().size(), 3u);
  pump();

  const int alphaRow = titleOf(row(1)).get_text() == "Alpha page" ? 1 : 2;
  const auto frame = harness.bounds(row(alphaRow));
  const double x = frame.x + frame.width / 2, y = frame.y + frame.height / 2;

  const auto last = harness.bounds(row(2));

  // A bar opening under a resting pointer highlights nothing, also when its rows change under
  // the pointer: Return takes the first row, Down the second.
  harness.store().tabs().commandBar.set(std::nullopt);
  ASSERT_TRUE(waitForClosedBar());
  pointAt(last.x + last.width / 2, last.y + last.height / 2);
  harness.store().tabs().commandBar.set(CommandBarMode::currentTab);
  ASSERT_TRUE(waitForOpenBar());
  field().set_text("page");
  pump();
  ASSERT_EQ(harness.bounds(row(2)), last);
  EXPECT_EQ(highlightedRow(), 0u);
  pressKeys("Down");
  ASSERT_TRUE(waitUntil([&] { return highlightedRow() != 0u; }));
  pump();
  EXPECT_EQ(highlightedRow(), 1u);

  // Moving the pointer onto a row highlights it.
  pointAt(x + 3, y);
  ASSERT_TRUE(waitUntil([&] { return highlightedRow() == size_t(alphaRow); }));
  // Down moves on from there.
  pressKeys("Down");
  ASSERT_TRUE(waitUntil([&] { return highlightedRow() == size_t((alphaRow + 1) % 3); }));
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
  field().set_text("  c++ rules ");
  ASSERT_GE(rows().size(), 1u);
  EXPECT_EQ(subtitleOf(row(0)).get_text().raw(),
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
  EXPECT_EQ(query(), "");
  EXPECT_EQ(field().get_placeholder_text().raw(), localized("Yeni sekmede ara veya adres gir…"));
  field().set_text(server.url("/Beta"));
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
  EXPECT_EQ(query(), "");
  EXPECT_EQ(rows().size(), 0u);
  EXPECT_FALSE(clearButton().get_visible());
  WindowHarness::screenshot("command-bar-empty");
  EXPECT_TRUE(bar()->handleKey(GDK_KEY_Down));
  EXPECT_TRUE(bar()->handleKey(GDK_KEY_Up));
  EXPECT_EQ(highlightedRow(), std::nullopt);
  EXPECT_FALSE(bar()->handleKey(GDK_KEY_Tab));
  EXPECT_FALSE(bar()->handleKey(GDK_KEY_Return));
  bar()->submit();
  EXPECT_EQ(harness.store().tabs().commandBar.peek(), std::nullopt);
  EXPECT_FALSE(watchesWindowKeys());
  ASSERT_TRUE(waitForClosedBar());
  EXPECT_EQ(tabCount(), 0u);

  // With an empty field the bar lists the space's tabs. A highlight left past the end of a list
  // that shrank rests on the last row.
  auto alpha = openPage("Alpha");
  auto beta = openPage("Beta");
  auto second = openPage("Second");
  harness.store().tabs().commandBar.set(CommandBarMode::newTab);
  ASSERT_TRUE(waitForOpenBar());
  ASSERT_EQ(rows().size(), 3u);
  bar()->handleKey(GDK_KEY_Up);
  EXPECT_EQ(highlightedRow(), 2u);
  harness.store().tabs().closeTab(*alpha);
  ASSERT_TRUE(waitUntil([&] { return rows().size() == 2; }));
  // The highlight is kept past the end: Down goes on from there, not from the last row.
  EXPECT_EQ(highlightedRow(), 1u);
  bar()->handleKey(GDK_KEY_Down);  // (2 + 1) mod 2
  EXPECT_EQ(highlightedRow(), 1u);

  // Typing resets the highlight; the clear button empties the field and resets it again.
  field().set_text("page");
  EXPECT_EQ(highlightedRow(), 0u);
  EXPECT_TRUE(clearButton().get_visible());
  bar()->handleKey(GDK_KEY_Down);
  clearButton().activate();
  ASSERT_TRUE(waitUntil([&] { return query().empty(); }));
  EXPECT_EQ(highlightedRow(), 0u);
  EXPECT_FALSE(clearButton().get_visible());

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
  EXPECT_NEAR(harness.bounds(testing::widgetNamed(*bar(), "CommandBarCard")).y,
              0.3 * harness.window().get_height(), 1);
  // Fully in: the window behind is dimmed as far as the setting asks.
  const auto drawn = testing::pixelsOf(*bar());
  EXPECT_NEAR(drawn[(size_t(bar()->get_height() - 2) * bar()->get_width() + 2) * 4 + 3],
              255 * CommandBar::kDimOpacity, 1.5);
  field().set_text("left behind");
  bar()->handleKey(GDK_KEY_Down);
  bar()->close();
  ASSERT_TRUE(waitForClosedBar());

  harness.store().tabs().commandBar.set(CommandBarMode::currentTab);
  ASSERT_TRUE(waitForOpenBar());
  EXPECT_EQ(query(), "");
  EXPECT_EQ(highlightedRow().value_or(0), 0u);
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
  // What the tile draws is compared with a symbol drawn alone beside the row.
  SymbolGlyph reference("globe", symbolPixelSize(13));
  reference.setInk({GdkRGBA{0, 0, 0, 1}});
  reference.set_size_request(SuggestionRow::kIconFrame, SuggestionRow::kIconFrame);
  reference.set_valign(Gtk::Align::CENTER);
  Gtk::Box both;
  both.append(row);
  both.append(reference);
  Gtk::Window window;
  registerSymbolIcons(window.get_display());
  window.set_child(both);
  window.present();
  ASSERT_TRUE(waitUntil([&] { return row.get_mapped() && row.get_width() > 0; }));
  EXPECT_EQ(titleOf(row).get_text(), "example.org");
  EXPECT_EQ(subtitleOf(row).get_text(), "https://example.org/a?b=c");
  EXPECT_EQ(hintTextOf(row).get_text(), "Open");
  EXPECT_TRUE(hintOf(row).get_visible());
  EXPECT_TRUE(tileOf(row).get_visible());
  EXPECT_FALSE(faviconOf(row).get_visible());
  // The highlighted row's symbol takes the accent.
  const auto ink = inkOfSymbol(tileOf(row), reference, "globe");
  ASSERT_TRUE(ink);
  EXPECT_NEAR(ink->r, accent.r, 0.01);

  // An address without a host shows itself twice; the plain row has no hint and no accent.
  row.update(Suggestion::open(*Url::parse("about:blank")), false, accent, SearchEngine::google);
  EXPECT_EQ(titleOf(row).get_text(), "about:blank");
  EXPECT_EQ(subtitleOf(row).get_text(), "about:blank");
  EXPECT_FALSE(hintOf(row).get_visible());
  const auto plainInk = inkOfSymbol(tileOf(row), reference, "globe");
  ASSERT_TRUE(plainInk);
  EXPECT_GT(std::abs(plainInk->r - accent.r), 0.1);

  row.update(Suggestion::search("C++ Rules"), true, accent, SearchEngine::duckDuckGo);
  EXPECT_EQ(titleOf(row).get_text(), "C++ Rules");
  EXPECT_EQ(subtitleOf(row).get_text(), "Search with DuckDuckGo");
  EXPECT_EQ(hintTextOf(row).get_text(), "Search");
  EXPECT_TRUE(inkOfSymbol(tileOf(row), reference, "magnifyingglass"));
  EXPECT_FALSE(inkOfSymbol(tileOf(row), reference, "globe"));
  L10n::setEnglish(false);
  EXPECT_EQ(*SuggestionRow::subtitle(Suggestion::search("x"), SearchEngine::duckDuckGo),
            "DuckDuckGo ile ara");

  // A blank tab: its display title on a single line, its icon drawn without a host.
  auto blank = std::make_shared<BrowserTab>();
  row.update(Suggestion::tab(blank), true, accent, SearchEngine::google);
  EXPECT_EQ(titleOf(row).get_text(), "Yeni Sekme");
  EXPECT_FALSE(subtitleOf(row).get_visible());
  EXPECT_EQ(hintTextOf(row).get_text(), "Sekmeye geç");
  EXPECT_TRUE(faviconOf(row).get_visible());
  EXPECT_FALSE(tileOf(row).get_visible());
  EXPECT_TRUE(waitUntil([&] { return testing::showsLetterTile(faviconOf(row), "?"); }));

  // A history entry without a title is named by its host.
  const HistoryEntry entry(*Url::parse("https://www.example.com/x"), "", Date{});
  row.update(Suggestion::history(entry), false, accent, SearchEngine::google);
  EXPECT_EQ(titleOf(row).get_text(), "www.example.com");
  EXPECT_EQ(subtitleOf(row).get_text(), "https://www.example.com/x");
  EXPECT_TRUE(subtitleOf(row).get_visible());
  EXPECT_TRUE(
      waitUntil([&] { return testing::showsLetterTile(faviconOf(row), "www.example.com"); }));
  EXPECT_EQ(SuggestionRow::hint(Suggestion::history(entry)), "Aç");
  window.unset_child();
}

}  // namespace
}  // namespace zemblo
