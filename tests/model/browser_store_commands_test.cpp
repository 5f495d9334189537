#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "model/ad_blocker.h"
#include "model/browser_store.h"
#include "model/dark_mode_controller.h"
#include "model/localization.h"
#include "model/page_services_model.h"
#include "model/preferences_model.h"
#include "model/window_model.h"
#include "support/store_fixture.h"

namespace zemblo {
namespace {

using namespace std::chrono_literals;
using testing::savedSpace;

Url url(const std::string& text) { return *Url::parse(text); }

// Counts the notifications of one observable property.
struct NotificationCount {
  explicit NotificationCount(const ObservedProperty& property) {
    property.signalChanged().connect([this] { ++count; });
  }
  int count = 0;
};

class BrowserStoreCommandsTest : public testing::StoreFixture {
 protected:
  std::shared_ptr<BrowserStore> start(std::vector<SpaceSnapshot> spaces = {}, size_t current = 0) {
    startStore(std::move(spaces), current);
    settle();
    engine.appearances.clear();
    return store;
  }

  std::shared_ptr<BrowserTab> selected() { return store->tabs().currentSpace()->selectedTab(); }

  bool& systemDark = engine.dark;
  int& systemDarkReads = engine.darkReads;
  std::function<void()>& systemDarkChanged = engine.darkChanged;
  std::vector<testing::FakeEngine::DarkModeCall>& darkModeCalls = engine.darkModeCalls;
};

// New tab
// ------------------------------------------------------------------------------------------

TEST_F(BrowserStoreCommandsTest, NewTabCreatesOneStartPageTabAndThenReusesIt) {
  start({savedSpace("a", 2, 1), savedSpace("b", 0)});
  store->tabs().select(space(1));
  store->tabs().newTab();
  const auto blankElsewhere = tab(1, 0);  // blank tabs of other spaces are never reused
  store->tabs().select(space(0));

  store->tabs().newTab();
  ASSERT_EQ(space(0).tabs.peek().size(), 3u);
  const auto blank = tab(0, 0);
  EXPECT_NE(blank, blankElsewhere);
  EXPECT_FALSE(blank->url.peek());
  EXPECT_TRUE(blank->title.peek().empty());
  EXPECT_TRUE(testing::servedBy(*blank, *store));
  EXPECT_EQ(blank->storedWebView(), nullptr);
  EXPECT_EQ(selected(), blank);
  EXPECT_TRUE(savedSinceLastCheck());

  store->tabs().newTab();  // already shown
  EXPECT_EQ(space(0).tabs.peek().size(), 3u);
  EXPECT_EQ(selected(), blank);

  // The first blank tab is taken wherever it stands in the list.
  store->tabs().openTab(url("https://top.example/"), false);
  store->tabs().newTab();
  EXPECT_EQ(space(0).tabs.peek().size(), 4u);
  EXPECT_EQ(selected(), blank);
}

TEST_F(BrowserStoreCommandsTest, ABlankPopupIsNeverReused) {
  start({savedSpace("a", 1, 0)});
  auto popup = BrowserTab::makePopup(tab(0, 0));
  store->tabs().insertTab(popup);
  store->tabs().newTab();
  ASSERT_EQ(space(0).tabs.peek().size(), 3u);
  EXPECT_NE(tab(0, 0), popup);
  EXPECT_EQ(tab(0, 1), popup);
  EXPECT_EQ(selected(), tab(0, 0));
}

TEST_F(BrowserStoreCommandsTest, NewTabClosesAnOpenCommandBar) {
  start();
  NotificationCount bar(store->tabs().commandBar);
  store->tabs().newTab();
  EXPECT_EQ(bar.count, 0);
  store->tabs().commandBar.set(CommandBarMode::currentTab);
  store->tabs().newTab();
  EXPECT_EQ(store->tabs().commandBar.peek(), std::nullopt);
  EXPECT_EQ(bar.count, 2);
}

// Reopening --------------------------------------------------------------------------------------

TEST_F(BrowserStoreCommandsTest, ReopeningGoesNewestFirstIntoTheTabsOwnSpace) {
  start({savedSpace("a", 2, 0), savedSpace("b", 2, 0)});
  store->tabs().closeTab(*tab(1, 1));  // b1, in a background space
  store->tabs().closeTab(*tab(0, 1));  // a1, the newest
  settle();

  store->tabs().reopenClosedTab();
  EXPECT_EQ(store->tabs().currentSpace().get(), &space(0));
  EXPECT_EQ(tab(0, 0)->url.peek(), url("https://a1.example/"));
  EXPECT_TRUE(tab(0, 0)->title.peek().empty());  // the kept title is not shown
  EXPECT_EQ(selected(), tab(0, 0));
  EXPECT_NE(tab(0, 0)->storedWebView(), nullptr);
  EXPECT_TRUE(savedSinceLastCheck());

  store->tabs().reopenClosedTab();
  EXPECT_EQ(store->tabs().currentSpace().get(), &space(1));
  EXPECT_EQ(tab(1, 0)->url.peek(), url("https://b1.example/"));
  EXPECT_EQ(selected(), tab(1, 0));
  EXPECT_TRUE(store->tabs().closedTabs.empty());
}

TEST_F(BrowserStoreCommandsTest, ReopeningStopsAfterTheNewestThirty) {
  start({savedSpace("t", 31)});
  for (int i = 0; i < 31; ++i) store->tabs().closeTab(*tab(0, 0));
  for (int i = 0; i < 31; ++i) store->tabs().reopenClosedTab();
  const auto& tabs = space(0).tabs.peek();
  ASSERT_EQ(tabs.size(), 30u);
  // Each reopened tab lands on top, so the oldest kept record (t1) ends up first.
  for (size_t i = 0; i < tabs.size(); ++i) {
    EXPECT_EQ(tabs[i]->url.peek(), url("https://t" + std::to_string(i + 1) + ".example/"));
  }
}

TEST_F(BrowserStoreCommandsTest, ARecordOfADeletedSpaceOpensInTheCurrentSpace) {
  start({savedSpace("a", 1, 0), savedSpace("b", 1, 0)});
  store->tabs().closeTab(*tab(1, 0));
  store->tabs().deleteSpace(space(1));
  store->tabs().reopenClosedTab();
  ASSERT_EQ(space(0).tabs.peek().size(), 2u);
  EXPECT_EQ(tab(0, 0)->url.peek(), url("https://b0.example/"));
  EXPECT_EQ(selected(), tab(0, 0));
  EXPECT_TRUE(store->tabs().closedTabs.empty());  // gone for good

  settle();
  store->tabs().reopenClosedTab();
  EXPECT_EQ(space(0).tabs.peek().size(), 2u);
  EXPECT_FALSE(savedSinceLastCheck());
}

// Find bar and page dark mode --------------------------------------------------------------------

TEST_F(BrowserStoreCommandsTest, TheFindBarTogglesOnlyWhenATabIsSelected) {
  start({savedSpace("a", 2)});
  NotificationCount findBar(store->tabs().findBarVisible);
  store->tabs().toggleFindBar();
  space(0).selectedTabID.set(Uuid::random());  // names no tab
  store->tabs().toggleFindBar();
  EXPECT_FALSE(store->tabs().findBarVisible.peek());
  EXPECT_EQ(findBar.count, 0);

  space(0).selectedTabID.set(tab(0, 1)->id);  // no web view needed
  store->tabs().toggleFindBar();
  EXPECT_TRUE(store->tabs().findBarVisible.peek());
  store->tabs().toggleFindBar();
  EXPECT_FALSE(store->tabs().findBarVisible.peek());
  EXPECT_EQ(findBar.count, 2);
}

TEST_F(BrowserStoreCommandsTest, ThePageDarkModeToggleOnlyKnowsOffAndAlways) {
  start();
  NotificationCount prefs(store->preferences().observablePrefs());
  store->pageServices().togglePageDarkMode();
  EXPECT_EQ(store->preferences().prefs().pageDarkMode, PageDarkMode::always);
  EXPECT_EQ(AppPreferences::load(defaults).pageDarkMode, PageDarkMode::always);
  store->pageServices().togglePageDarkMode();
  EXPECT_EQ(store->preferences().prefs().pageDarkMode, PageDarkMode::off);
  store->preferences().updatePrefs(
      [](AppPreferences& p) { p.pageDarkMode = PageDarkMode::withTheme; });
  store->pageServices().togglePageDarkMode();
  EXPECT_EQ(store->preferences().prefs().pageDarkMode, PageDarkMode::off);
  settle();  // changes in quick succession are written together
  EXPECT_EQ(AppPreferences::load(defaults).pageDarkMode, PageDarkMode::off);
  EXPECT_EQ(prefs.count, 4);
}

// Stepping through tabs and spaces ---------------------------------------------------------------

TEST_F(BrowserStoreCommandsTest, AdjacentTabsWrapAroundAtBothEnds) {
  start({savedSpace("a", 3, 2)});
  store->tabs().selectAdjacentTab(true);
  EXPECT_EQ(selected(), tab(0, 0));
  EXPECT_NE(tab(0, 0)->storedWebView(), nullptr);  // a restored tab loads when reached
  store->tabs().selectAdjacentTab(false);
  EXPECT_EQ(selected(), tab(0, 2));
  store->tabs().selectAdjacentTab(false);
  EXPECT_EQ(selected(), tab(0, 1));
}

TEST_F(BrowserStoreCommandsTest, QuickStepsLoadOnlyTheTabTheyPauseOn) {
  start({savedSpace("a", 8, 0)});
  WindowModel& tabs = store->tabs();
  const auto loads = [&](size_t index) {
    const std::string prefix = tab(0, index)->id.str() + " ";
    return std::ranges::count_if(webViews.log.loads,
                                 [&](const std::string& load) { return load.starts_with(prefix); });
  };
  const auto keyRepeat = [&](bool forward) {
    scheduler.advance(WindowModel::kStepPause - 1ms);
    tabs.selectAdjacentTab(forward);
  };
  tabs.selectAdjacentTab(true);  // alone, or the first of many: no waiting
  EXPECT_EQ(loads(1), 1);
  keyRepeat(true);
  keyRepeat(true);
  keyRepeat(true);
  EXPECT_EQ(selected(), tab(0, 4));
  EXPECT_TRUE(tabs.steppingThroughTabs.peek());
  for (size_t passed : {2, 3, 4}) EXPECT_EQ(tab(0, passed)->storedWebView(), nullptr) << passed;

  scheduler.advance(WindowModel::kStepPause);
  EXPECT_FALSE(tabs.steppingThroughTabs.peek());
  EXPECT_EQ(loads(4), 1);
  EXPECT_EQ(tab(0, 2)->storedWebView(), nullptr);
  EXPECT_EQ(tab(0, 3)->storedWebView(), nullptr);

  // After the pause a step loads at once again; a choice by number amid quick steps too.
  tabs.selectAdjacentTab(true);
  EXPECT_EQ(loads(5), 1);
  keyRepeat(true);
  EXPECT_EQ(tab(0, 6)->storedWebView(), nullptr);
  tabs.selectTab(9);
  EXPECT_FALSE(tabs.steppingThroughTabs.peek());
  EXPECT_EQ(loads(7), 1);
  keyRepeat(false);  // the previous step was no step: this one loads too
  EXPECT_EQ(loads(6), 1);
  scheduler.advance(WindowModel::kStepPause);
  EXPECT_EQ(loads(6), 1);

  // The last window closing amid quick steps lets go of every page; none starts at the pause.
  keyRepeat(true);
  keyRepeat(true);
  store->closeWindow(tabs);
  scheduler.advance(WindowModel::kStepPause);
  EXPECT_EQ(webViews.log.viewsCreated, webViews.log.viewsDestroyed);
  // Let go of as sleep lets go: the window shown again wakes its tab into the list kept.
  EXPECT_TRUE(tab(0, 6)->page.isAsleep());
}

TEST_F(BrowserStoreCommandsTest, AdjacentTabsWithoutASelectionCountFromTheFirst) {
  start({savedSpace("a", 3), savedSpace("b", 1), savedSpace("c", 0)});
  store->tabs().selectAdjacentTab(true);
  EXPECT_EQ(selected(), tab(0, 1));
  space(0).selectedTabID.set(std::nullopt);
  store->tabs().selectAdjacentTab(false);
  EXPECT_EQ(selected(), tab(0, 2));

  store->tabs().select(space(1));
  store->tabs().selectAdjacentTab(true);
  EXPECT_EQ(selected(), tab(1, 0));

  store->tabs().select(space(2));
  settle();
  store->tabs().selectAdjacentTab(true);
  store->tabs().selectAdjacentTab(false);
  EXPECT_FALSE(savedSinceLastCheck());
}

TEST_F(BrowserStoreCommandsTest, AdjacentSpacesWrapAndNeedAnExactCurrentSpace) {
  start({savedSpace("a", 0), savedSpace("b", 0), savedSpace("c", 0)});
  store->tabs().selectAdjacentSpace(false);
  EXPECT_EQ(store->tabs().currentSpace().get(), &space(2));
  store->tabs().selectAdjacentSpace(true);
  EXPECT_EQ(store->tabs().currentSpace().get(), &space(0));

  const Uuid unknown = Uuid::random();
  store->tabs().currentSpaceID.set(unknown);
  store->tabs().selectAdjacentSpace(true);
  EXPECT_EQ(store->tabs().currentSpaceID.peek(), unknown);
}

TEST_F(BrowserStoreCommandsTest, ASingleSpaceIsSelectedAgain) {
  start({savedSpace("a", 1, 0)});
  store->tabs().findBarVisible.set(true);
  settle();
  store->tabs().selectAdjacentSpace(true);
  EXPECT_EQ(store->tabs().currentSpace().get(), &space(0));
  EXPECT_FALSE(store->tabs().findBarVisible.peek());
  EXPECT_TRUE(savedSinceLastCheck());
}

TEST_F(BrowserStoreCommandsTest, NumberedTabsAndNineForTheLast) {
  start({savedSpace("a", 3, 0), savedSpace("b", 0)});
  store->tabs().selectTab(9);
  EXPECT_EQ(selected(), tab(0, 2));
  store->tabs().selectTab(1);
  EXPECT_EQ(selected(), tab(0, 0));
  store->tabs().selectTab(2);
  EXPECT_EQ(selected(), tab(0, 1));
  for (int outOfRange : {4, 5, 8, 0}) {
    store->tabs().selectTab(outOfRange);
    EXPECT_EQ(selected(), tab(0, 1)) << outOfRange;
  }

  store->tabs().select(space(1));
  settle();
  store->tabs().selectTab(9);
  store->tabs().selectTab(1);
  EXPECT_FALSE(savedSinceLastCheck());
}

// Preference side effects ------------------------------------------------------------------------

TEST_F(BrowserStoreCommandsTest, EachPreferenceChangeReappliesOnlyWhatItConcerns) {
  struct Row {
    const char* name;
    std::function<void(AppPreferences&)> change;
    bool appearance;
    bool language;
    bool darkMode;
  };
  const std::vector<Row> rows = {
      {"nothing", [](AppPreferences&) {}, false, false, false},
      {"sidebarWidth", [](AppPreferences& p) { p.sidebarWidth = 300; }, false, false, false},
      {"theme", [](AppPreferences& p) { p.theme = ThemeMode::dark; }, true, false, false},
      {"language", [](AppPreferences& p) { p.language = AppLanguage::english; }, false, true,
       false},
      {"pageDarkMode", [](AppPreferences& p) { p.pageDarkMode = PageDarkMode::always; }, false,
       false, true},
      {"darkBrightness", [](AppPreferences& p) { p.darkBrightness = 0.8; }, false, false, true},
      {"darkContrast", [](AppPreferences& p) { p.darkContrast = 1.2; }, false, false, true},
      {"darkDisabledHosts", [](AppPreferences& p) { p.darkDisabledHosts = {"example.org"}; }, false,
       false, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    defaults.remove(AppPreferences::kDefaultsKey);
    defaults.remove("AppleLanguages");
    start({savedSpace("a", 2, 0)});
    darkModeCalls.clear();
    AppPreferences changed = store->preferences().prefs();
    row.change(changed);
    store->preferences().setPrefs(changed);
    settle();

    EXPECT_EQ(defaults.contains(AppPreferences::kDefaultsKey), std::string(row.name) != "nothing");
    EXPECT_EQ(engine.appearances.size(), row.appearance ? 1u : 0u);
    EXPECT_EQ(defaults.contains("AppleLanguages"), row.language);
    // Only the selected tab has a web view.
    EXPECT_EQ(darkModeCalls.size(), row.darkMode ? 1u : 0u);
  }
}

TEST_F(BrowserStoreCommandsTest, BackToTheSystemLanguageDropsThePlatformKeyAndRelabels) {
  defaults.setData(AppPreferences::kDefaultsKey, R"({"language":"turkish"})");
  defaults.setStringArray("AppleLanguages", {"tr"});
  start();
  EXPECT_EQ(space(0).name.peek(), "Kişisel");
  testing::switchLanguage(store->preferences(), AppLanguage::system);
  EXPECT_FALSE(defaults.contains("AppleLanguages"));
  EXPECT_EQ(space(0).name.peek(), isEnglish(AppLanguage::system) ? "Personal" : "Kişisel");
  EXPECT_TRUE(savedSinceLastCheck());
}

TEST_F(BrowserStoreCommandsTest, DarkModeReachesEveryExistingWebViewInListOrder) {
  start({savedSpace("a", 3, 0), savedSpace("b", 2, 1)});
  const auto shown = tab(0, 0);
  const auto background = tab(1, 1);
  background->webView();
  const auto startPage = tab(0, 2);
  startPage->url.set(std::nullopt);
  startPage->webView();
  // A web view takes the page dark mode of its page when it is made; only the change counts here.
  EXPECT_EQ(darkModeCalls.size(), 3u);
  // Off by default: the application's dark state is not asked for.
  EXPECT_EQ(systemDarkReads, 0);
  darkModeCalls.clear();

  store->preferences().updatePrefs([](AppPreferences& p) {
    p.pageDarkMode = PageDarkMode::always;
    p.darkBrightness = 0.9;
    p.darkDisabledHosts = {"b1.example"};
  });
  ASSERT_EQ(darkModeCalls.size(), 3u);
  EXPECT_EQ(darkModeCalls[0].tab, shown->id);
  EXPECT_EQ(darkModeCalls[0].decision, (PageDarkModeDecision{true, 0.9, 1}));
  EXPECT_TRUE(darkModeCalls[0].pushed);
  EXPECT_EQ(darkModeCalls[1].tab, startPage->id);  // no address: never excluded
  EXPECT_TRUE(darkModeCalls[1].decision.dark);
  EXPECT_EQ(darkModeCalls[2].tab, background->id);
  EXPECT_FALSE(darkModeCalls[2].decision.dark);
  EXPECT_EQ(webViews.log.viewsCreated, 3);  // none created on the way

  // Following the theme on a light system: every page is told to be light.
  darkModeCalls.clear();
  store->preferences().updatePrefs(
      [](AppPreferences& p) { p.pageDarkMode = PageDarkMode::withTheme; });
  ASSERT_EQ(darkModeCalls.size(), 3u);
  for (const auto& call : darkModeCalls) EXPECT_FALSE(call.decision.dark);

  // The application turning dark reaches every page on a later turn.
  systemDark = true;
  darkModeCalls.clear();
  ASSERT_TRUE(systemDarkChanged);
  systemDarkChanged();
  EXPECT_TRUE(darkModeCalls.empty());
  scheduler.runPending();
  ASSERT_EQ(darkModeCalls.size(), 3u);
  EXPECT_TRUE(darkModeCalls[0].decision.dark);
  EXPECT_FALSE(darkModeCalls[2].decision.dark);

  // A page about to load gets its look without being told before it is there.
  darkModeCalls.clear();
  shown->provisionalNavigationStarted(url("https://b1.example/next"));
  ASSERT_EQ(darkModeCalls.size(), 1u);
  EXPECT_FALSE(darkModeCalls[0].decision.dark);
  EXPECT_FALSE(darkModeCalls[0].pushed);
}

TEST_F(BrowserStoreCommandsTest, PageScriptsAreAnsweredForTheirTabsPage) {
  start();
  store->preferences().updatePrefs([](AppPreferences& p) {
    p.pageDarkMode = PageDarkMode::always;
    p.darkContrast = 1.2;
    p.darkDisabledHosts = {"news.example"};
  });
  // The controller the page services hand to every web view's scripts.
  const auto controller = store->pageServices().weakDarkMode().lock();
  ASSERT_TRUE(controller);
  // A frame from another site follows the page of its tab.
  EXPECT_EQ(controller->replyConfig(url("https://news.example/"), "ads.example"),
            (PageDarkModeDecision{false, 1, 1.2}));
  EXPECT_EQ(controller->replyConfig(url("https://shop.example/"), "news.example"),
            (PageDarkModeDecision{true, 1, 1.2}));
  // Without a page host the frame's own host decides.
  EXPECT_FALSE(controller->replyConfig(url("about:blank"), "live.news.example")->dark);
}

TEST_F(BrowserStoreCommandsTest, ThePerSiteSwitchReplacesEveryEntryOfTheSite) {
  start({savedSpace("a", 3, 0)});
  const auto page = tab(0, 0);
  page->url.set(url("https://www.Mail.Corp.example/inbox"));
  store->preferences().updatePrefs([](AppPreferences& p) {
    p.darkDisabledHosts = {"corp.example", "other.example", "mail.corp.example", "localhost"};
  });

  store->pageServices().setPageDarkMode(false, *page);
  const std::vector<std::string> off = {"other.example", "localhost", "mail.corp.example"};
  EXPECT_EQ(store->preferences().prefs().darkDisabledHosts, off);
  settle();  // preference writes are coalesced
  EXPECT_EQ(AppPreferences::load(defaults).darkDisabledHosts, off);
  store->pageServices().setPageDarkMode(true, *page);
  EXPECT_EQ(store->preferences().prefs().darkDisabledHosts,
            (std::vector<std::string>{"other.example", "localhost"}));

  // Pages without a site change nothing: no address, no host, or a host that is only "www.".
  const auto blank = tab(0, 1);
  blank->url.set(std::nullopt);
  const auto www = tab(0, 2);
  www->url.set(url("http://www./"));
  for (const auto* target : {blank.get(), www.get()}) {
    store->pageServices().setPageDarkMode(false, *target);
    EXPECT_EQ(store->preferences().prefs().darkDisabledHosts.size(), 2u);
  }
  // Nor does an empty entry make such a page excluded.
  AppPreferences prefs;
  prefs.darkDisabledHosts = {""};
  EXPECT_FALSE(isPageDarkModeDisabled(prefs, std::string("www.")));
}

TEST_F(BrowserStoreCommandsTest, ClearingWebsiteDataReportsWhatTheEngineReports) {
  startStore({}, 0);
  std::vector<bool> answers;
  store->pageServices().clearWebsiteData([&](bool cleared) { answers.push_back(cleared); });
  EXPECT_TRUE(answers.empty());  // not before the engine is done
  ASSERT_EQ(engine.clearRequests.size(), 1u);
  engine.clearRequests[0](false);
  store->pageServices().clearWebsiteData([&](bool cleared) { answers.push_back(cleared); });
  ASSERT_EQ(engine.clearRequests.size(), 2u);
  engine.clearRequests[1](true);
  EXPECT_EQ(answers, (std::vector<bool>{false, true}));
}

// The decision for one page ----------------------------------------------------------------------

TEST(PageDarkModeDecisionTest, ModeSystemAppearanceAndExcludedSites) {
  AppPreferences prefs;
  prefs.darkBrightness = 0.7;
  prefs.darkContrast = 1.3;
  prefs.darkDisabledHosts = {"news.example", "localhost"};
  const auto page = url("https://shop.example/");
  const auto decide = [&](PageDarkMode mode, const std::optional<Url>& address, bool systemDark) {
    prefs.pageDarkMode = mode;
    return pageDarkModeDecision(prefs, address, systemDark);
  };

  EXPECT_FALSE(decide(PageDarkMode::off, page, true).dark);
  EXPECT_FALSE(decide(PageDarkMode::withTheme, page, false).dark);
  EXPECT_TRUE(decide(PageDarkMode::withTheme, page, true).dark);
  EXPECT_EQ(decide(PageDarkMode::always, page, false), (PageDarkModeDecision{true, 0.7, 1.3}));
  EXPECT_EQ(decide(PageDarkMode::off, page, false), (PageDarkModeDecision{false, 0.7, 1.3}));

  struct Case {
    const char* address;
    bool excluded;
  };
  for (const Case& c : {
           Case{"https://news.example/a", true},
           Case{"https://WWW.News.Example/", true},   // canonical host
           Case{"https://live.news.example/", true},  // a subdomain
           Case{"https://example/", false},           // "example" has no dot: not a parent
           Case{"https://sports.example/", false},    // a sibling
           Case{"https://badnews.example/", false},   // not at a label boundary
           Case{"http://localhost:8080/", true},      // a dotless entry matches itself ...
           Case{"http://dev.localhost/", false},      // ... and nothing below it
           Case{"about:blank", false},                // no host: never excluded
       }) {
    SCOPED_TRACE(c.address);
    EXPECT_EQ(isPageDarkModeDisabled(prefs, url(c.address).host()), c.excluded);
    EXPECT_EQ(decide(PageDarkMode::always, url(c.address), false).dark, !c.excluded);
    EXPECT_EQ(decide(PageDarkMode::withTheme, url(c.address), true).dark, !c.excluded);
  }
  EXPECT_TRUE(decide(PageDarkMode::always, std::nullopt, false).dark);

  // A parent of an excluded subdomain is excluded too.
  prefs.darkDisabledHosts = {"mail.corp.example"};
  EXPECT_TRUE(isPageDarkModeDisabled(prefs, std::string("corp.example")));
}

// Content blocker per site ------------------------------------------------------------------------

TEST_F(BrowserStoreCommandsTest, PerSiteContentBlockerSwitchEditsTheAllowListAndReloads) {
  start({savedSpace("a", 2, 0)});
  const auto page = tab(0, 0);
  page->url.set(url("https://www.News.example/path?q=1"));
  page->webView();
  auto& blocker = store->pageServices().adBlocker();

  store->pageServices().setAdBlock(true, *page);
  EXPECT_EQ(blocker.allowedHosts.peek(), (std::set<std::string>{"news.example"}));
  EXPECT_TRUE(blocker.isAllowed("sub.news.example"));
  EXPECT_EQ(webViews.log.reloads, (std::vector<std::string>{page->id.str()}));

  // Back on: every entry of the site goes, a parent domain's as well.
  blocker.setAllowed(true, "example");
  blocker.setAllowed(true, "cdn.news.example");
  blocker.setAllowed(true, "other.example");
  store->pageServices().setAdBlock(false, *page);
  EXPECT_EQ(blocker.allowedHosts.peek(), (std::set<std::string>{"example", "other.example"}));
  EXPECT_EQ(webViews.log.reloads.size(), 2u);
}

TEST_F(BrowserStoreCommandsTest, PerSiteContentBlockerSwitchIgnoresPagesWithoutHost) {
  start({savedSpace("a", 2, 0)});
  const auto startPage = tab(0, 0);
  startPage->url.set(std::nullopt);
  const auto file = tab(0, 1);
  file->url.set(url("file:///tmp/page.html"));
  startPage->webView();
  file->webView();

  store->pageServices().setAdBlock(true, *startPage);
  store->pageServices().setAdBlock(true, *file);
  EXPECT_TRUE(store->pageServices().adBlocker().allowedHosts.peek().empty());
  EXPECT_TRUE(webViews.log.reloads.empty());
}

}  // namespace
}  // namespace zemblo
