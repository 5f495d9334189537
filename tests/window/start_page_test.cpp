#include "window/start_page.h"
#include "support/find_window.h"

#include <gtest/gtest.h>

#include "model/favorites_model.h"
#include "model/localization.h"
#include "model/preferences_model.h"
#include "model/search_engine.h"
#include "model/window_model.h"
#include "platform/user_defaults.h"
#include "support/interface_language.h"
#include "window/window_harness.h"

namespace zemblo {
namespace {

using testing::pump;
using testing::TestServer;
using testing::WebHarness;
using testing::WindowHarness;

class StartPageTest : public ::testing::Test {
 protected:
  StartPageTest() {
    server.page("/home", "<title>Home page</title><body><h1>Home</h1></body>");
    server.page("/typed", "<title>Typed page</title><body><h1>Typed</h1></body>");
  }

  StartPage& page() { return testing::widgetNamed<StartPage>(harness.content(), "StartPage"); }
  Gtk::Text& field() { return testing::widgetNamed<Gtk::Text>(page(), "StartPageField"); }
  Gtk::Widget& grid() { return testing::widgetNamed(page(), "StartTileGrid"); }
  std::vector<StartTile*> tiles() {
    std::vector<StartTile*> found;
    for (Gtk::Widget* child = grid().get_first_child(); child; child = child->get_next_sibling()) {
      if (auto* tile = dynamic_cast<StartTile*>(child)) found.push_back(tile);
    }
    return found;
  }

  std::shared_ptr<BrowserTab> blankTab() {
    auto tab = std::make_shared<BrowserTab>();
    harness.store().tabs().insertTab(tab);
    harness.store().tabs().select(*tab);
    pump();
    return tab;
  }

  // Whether the keyboard goes to the field (its text part holds the window's focus).
  bool fieldHasFocus() {
    Gtk::Widget* focus = harness.window().get_focus();
    return focus && (focus == &field() || focus->is_ancestor(field()));
  }

  void type(const std::string& text) {
    field().set_text(text);
    g_signal_emit_by_name(field().gobj(), "activate");
    pump();
  }

  TestServer server;
  WindowHarness harness;
};

TEST_F(StartPageTest, TypedAddressLoadsIntoTheBlankTabAndBlankTextOnlyClearsTheField) {
  auto tab = blankTab();
  ASSERT_TRUE(testing::showsStartPage(harness.content()));
  EXPECT_TRUE(fieldHasFocus());
  WindowHarness::screenshot("start-page");

  type("   ");
  EXPECT_EQ(std::string(field().get_text()), "");
  EXPECT_FALSE(tab->url.peek());

  type(server.url("/typed"));
  EXPECT_EQ(std::string(field().get_text()), "");
  ASSERT_TRUE(WebHarness::waitForPage(*tab, "Typed page"));
  pump();
  EXPECT_TRUE(testing::showsWebPage(harness.content()));
  EXPECT_EQ(WebHarness::portOf(*tab).widget().get_parent(),
            &testing::widgetNamed(harness.content(), "PageViewContainer"));
  // The page takes the keyboard once it is on screen.
  EXPECT_EQ(harness.window().get_focus(), &WebHarness::portOf(*tab).widget());
}

// The engine refuses this port without reporting a failure; the tab still shows why nothing
// loaded and keeps the address that was typed.
TEST_F(StartPageTest, AnAddressTheEngineRefusesShowsTheLoadErrorView) {
  auto tab = blankTab();
  type("127.0.0.1:1");
  auto& errorView = testing::widgetNamed<LoadErrorView>(harness.content(), "LoadErrorView");
  ASSERT_TRUE(testing::waitUntil([&] { return errorView.get_mapped(); }));
  EXPECT_TRUE(testing::showsWebPage(harness.content()));
  EXPECT_EQ(testing::partWithClass<Gtk::Label>(errorView, "host").get_text().raw(), "127.0.0.1");
  ASSERT_TRUE(tab->url.peek());
  EXPECT_EQ(tab->url.peek()->str(), "http://127.0.0.1:1/");
  WindowHarness::screenshot("load-error-refused-port");
  // The keyboard goes on from where the typing was: to the error page's own button.
  EXPECT_TRUE(testing::waitUntil([&] {
    return testing::partWithClass<Gtk::Button>(errorView, "retry").has_focus();
  })) << (harness.window().get_focus() ? G_OBJECT_TYPE_NAME(harness.window().get_focus()->gobj())
                                       : "nothing");
}

TEST_F(StartPageTest, TypedSearchGoesToTheEngineChosenAtThatMoment) {
  auto tab = blankTab();
  harness.store().preferences().setSearchEngine(SearchEngine::bing);
  EXPECT_EQ(harness.defaults().stringValue(SearchEngine::kDefaultsKey), "bing");
  testing::pump();
  EXPECT_EQ(std::string(field().get_placeholder_text()), startPagePlaceholder("Bing"));
  // Only the produced address is checked: the real engine is not reached from the tests.
  type("local weather");
  EXPECT_EQ(tab->url.peek(), SearchEngine(SearchEngine::bing).searchURL("local weather"));
  EXPECT_TRUE(tab->page.hasStartedLoading());
}

TEST_F(StartPageTest, WithoutATabTheAddressOpensANewSelectedTab) {
  ASSERT_TRUE(testing::showsStartPage(harness.content()));
  type(server.url("/typed"));
  auto tabs = harness.store().tabs().currentSpace()->tabs.peek();
  ASSERT_EQ(tabs.size(), 1u);
  EXPECT_EQ(harness.store().tabs().currentSpace()->selectedTab(), tabs.front());
  ASSERT_TRUE(WebHarness::waitForPage(*tabs.front(), "Typed page"));
}

TEST_F(StartPageTest, FavouriteTilesFollowTheListAndOpenTheirSiteInTheTab) {
  harness.store().favorites().list.set({Favorite("Home", *Url::parse(server.url("/home"))),
                                        Favorite("Other", *Url::parse("https://example.org/"))});
  auto tab = blankTab();
  auto placed = tiles();
  ASSERT_EQ(placed.size(), 2u);
  EXPECT_EQ(testing::accessibleName(GTK_WIDGET(placed[0]->gobj())), "Home");
  EXPECT_TRUE(grid().get_visible());

  placed[0]->activate();
  ASSERT_TRUE(WebHarness::waitForPage(*tab, "Home page"));
  EXPECT_TRUE(testing::showsWebPage(harness.content()));

  // Without favourites, or with them switched off, there is no grid.
  harness.store().favorites().list.set({});
  blankTab();
  EXPECT_FALSE(grid().get_visible());
}

TEST_F(StartPageTest, TilesStandInColumnsOf84To96PointsWithoutAHoverFillOrTooltip) {
  blankTab();
  const auto placed = tiles();
  ASSERT_EQ(placed.size(), 8u);  // a new user's favourites: a row of five and one of three
  const auto first = harness.bounds(*placed[0]), second = harness.bounds(*placed[1]);
  const auto fifth = harness.bounds(*placed[4]), sixth = harness.bounds(*placed[5]);
  EXPECT_GE(first.width, 84);
  EXPECT_LE(first.width, 96);
  EXPECT_NEAR(second.x - (first.x + first.width), 14, 1);
  EXPECT_EQ(fifth.y, first.y);
  EXPECT_LE(fifth.x + fifth.width - first.x, 520);
  EXPECT_EQ(sixth.x, first.x);
  EXPECT_EQ(sixth.y - (first.y + first.height), 18);
  EXPECT_FALSE(placed[0]->get_has_tooltip());

  // Under the pointer the tile draws what it drew before; only its icon box grows.
  const auto before = testing::pixelsOf(*placed[0]);
  placed[0]->set_state_flags(Gtk::StateFlags::PRELIGHT, false);
  pump();
  EXPECT_EQ(testing::pixelsOf(*placed[0]), before);
  WindowHarness::screenshot("start-page-tiles");
}

// The smallest window the browser allows still shows every tile whole, on the card.
TEST_F(StartPageTest, TheSmallestWindowCutsNoTile) {
  blankTab();
  harness.window().set_default_size(BrowserWindow::kMinimumWidth, BrowserWindow::kMinimumHeight);
  ASSERT_TRUE(testing::waitUntil([&] {
    return harness.window().get_width() <= BrowserWindow::kMinimumWidth &&
           harness.window().get_height() <= BrowserWindow::kMinimumHeight;
  }));
  pump();
  const auto card = harness.bounds(harness.content());
  for (StartTile* tile : tiles()) {
    const auto frame = harness.bounds(*tile);
    EXPECT_GE(frame.y, card.y);
    EXPECT_LE(frame.y + frame.height, card.y + card.height) << "a tile is cut at the bottom";
  }
  WindowHarness::screenshot("start-page-smallest-window");
}

TEST_F(StartPageTest, TheCapsuleNarrowsWithTheCardAndItsPlaceholderIsDimmed) {
  blankTab();
  const auto [placeholder, typed] = testing::placeholderAndTextInk(field(), "Typed");
  EXPECT_LT(placeholder, typed * 0.7);

  // The smallest window.
  harness.window().set_default_size(880, 560);
  ASSERT_TRUE(testing::waitUntil([&] { return harness.window().get_width() <= 880; }));
  pump();
  const auto card = harness.bounds(harness.content());
  const auto capsule = harness.bounds(testing::widgetNamed(page(), "StartPageCapsule"));
  EXPECT_LE(capsule.width, 560);
  EXPECT_NEAR(capsule.x - card.x, card.x + card.width - (capsule.x + capsule.width), 1);
  EXPECT_GE(capsule.x - card.x, 40);
  for (StartTile* tile : tiles()) {
    const auto frame = harness.bounds(*tile);
    EXPECT_GE(frame.x, card.x);
    EXPECT_LE(frame.x + frame.width, card.x + card.width);
  }

  // The placeholder, longer in English, fits whole; with the widest sidebar it ends with an
  // ellipsis, never cut off.
  testing::switchLanguage(harness.store().preferences(), AppLanguage::english);
  pump();
  Gtk::Label* shownPlaceholder = nullptr;
  for (auto* child = field().get_first_child(); child; child = child->get_next_sibling()) {
    if (auto* label = dynamic_cast<Gtk::Label*>(child)) shownPlaceholder = label;
  }
  ASSERT_TRUE(shownPlaceholder);
  EXPECT_EQ(shownPlaceholder->get_text(), "Search with Google or enter an address");
  EXPECT_FALSE(shownPlaceholder->get_layout()->is_ellipsized());
  WindowHarness::screenshot("start-page-narrow");
  harness.store().preferences().updatePrefs([](AppPreferences& p) { p.sidebarWidth = 400; });
  pump();
  EXPECT_TRUE(shownPlaceholder->get_layout()->is_ellipsized());
  EXPECT_EQ(shownPlaceholder->get_ellipsize(), Pango::EllipsizeMode::END);
  WindowHarness::screenshot("start-page-narrowest-card");
  L10n::setEnglish(false);
}

TEST_F(StartPageTest, ANewBlankTabFocusesTheFieldAgainAndTheClockLinesFollowThePreferences) {
  blankTab();
  harness.window().unset_focus();
  ASSERT_FALSE(fieldHasFocus());
  harness.window().openNewTab();
  pump();
  EXPECT_TRUE(fieldHasFocus());

  harness.store().preferences().updatePrefs([](AppPreferences& prefs) { prefs.showDate = false; });
  pump();
  EXPECT_FALSE(testing::widgetNamed(page(), "ClockDate").get_visible());
  EXPECT_TRUE(testing::widgetNamed(page(), "ClockTime").get_visible());
  harness.store().preferences().updatePrefs([](AppPreferences& prefs) {
    prefs.showClock = false;
    prefs.showGreeting = false;
  });
  pump();
  EXPECT_FALSE(testing::widgetNamed(page(), "ClockGreeting").get_visible());
}

}  // namespace
}  // namespace zemblo
