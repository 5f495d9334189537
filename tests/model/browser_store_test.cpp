#include "model/browser_store.h"
#include "model/favorites_model.h"
#include "model/history_model.h"
#include "model/page_services_model.h"
#include "model/preferences_model.h"
#include "model/window_model.h"

#include <gtest/gtest.h>

#include <sys/mount.h>

#include <thread>

#include "model/ad_blocker.h"
#include "model/localization.h"
#include "support/fake_scheduler.h"
#include "support/fake_web_view.h"
#include "support/interface_language.h"
#include "support/saved_files.h"
#include "support/store_fixture.h"
#include "support/temp_home.h"

namespace zemblo {
namespace {

using namespace std::chrono_literals;

Uuid id(const char* text) { return *Uuid::parse(text); }
Url url(const char* text) { return *Url::parse(text); }

const char* kA = "AAAAAAAA-0000-4000-8000-000000000001";
const char* kB = "BBBBBBBB-0000-4000-8000-000000000002";
const char* kC = "CCCCCCCC-0000-4000-8000-000000000003";
const char* kTab1 = "00000000-0000-4000-8000-0000000000A1";
const char* kTab2 = "00000000-0000-4000-8000-0000000000A2";
const char* kTab3 = "00000000-0000-4000-8000-0000000000A3";

SpaceSnapshot space(const char* spaceId, const char* name, std::vector<TabSnapshot> tabs = {},
                    std::optional<Uuid> selected = std::nullopt) {
  return SpaceSnapshot{id(spaceId), name, "star", "#112233", "#445566", std::move(tabs), selected};
}

TabSnapshot tab(const char* tabId, const char* address) {
  return TabSnapshot{id(tabId), url(address), address, std::nullopt};
}

class BrowserStoreTest : public ::testing::Test {
 protected:
  void TearDown() override { L10n::setEnglish(false); }

  std::shared_ptr<BrowserStore> start() {
    BrowserStoreEnvironment environment;
    environment.defaults = &defaults;
    environment.scheduler = &scheduler;
    testing::useSavedLanguage(defaults);
    return BrowserStore::create(webViewFactory_, std::move(environment));
  }

  void saveSession(const SessionSnapshot& session) {
    ASSERT_TRUE(SessionFiles().writeSession(session));
  }
  std::filesystem::path sessionFile() const { return home.dataDir() / "session.json"; }

  testing::TempHome home;
  UserDefaults defaults{home.root() / "config" / "user-defaults.json"};
  testing::FakeScheduler scheduler;
  std::shared_ptr<testing::FakeEngine> webViewFactory_ = std::make_shared<testing::FakeEngine>();
  testing::FakeEngine& webViews = *webViewFactory_;
  testing::SavedFiles savedFiles;
};

TEST_F(BrowserStoreTest, FirstLaunchStartsFromTheDefaults) {
  defaults.setData("appPreferences.v1", R"({"language":"turkish"})");
  auto store = start();
  const auto& spaces = store->tabs().spaces.peek();
  ASSERT_EQ(spaces.size(), 3u);
  EXPECT_EQ(spaces[0]->name.peek(), "Kişisel");
  EXPECT_EQ(spaces[1]->name.peek(), "İş");
  EXPECT_EQ(spaces[2]->name.peek(), "Zemblo");
  for (const auto& space : spaces) EXPECT_TRUE(space->tabs.peek().empty());
  EXPECT_EQ(store->tabs().currentSpace(), spaces[0]);
  EXPECT_EQ(store->favorites().list.peek().size(), 8u);
  EXPECT_TRUE(store->history().entries.peek().empty());
  EXPECT_TRUE(store->tabs().sidebarVisible.peek());
  EXPECT_EQ(webViews.log.viewsCreated, 0);
  EXPECT_FALSE(savedFiles.writtenAfterSaveDelay(scheduler, *store));
}

TEST_F(BrowserStoreTest, DefaultSpacesAreNamedInEnglishWhenTheInterfaceIs) {
  defaults.setData("appPreferences.v1", R"({"language":"english"})");
  auto store = start();
  EXPECT_EQ(store->tabs().spaces.peek()[0]->name.peek(), "Personal");
  EXPECT_EQ(store->tabs().spaces.peek()[1]->name.peek(), "Work");
  EXPECT_EQ(store->tabs().spaces.peek()[2]->name.peek(), "Zemblo");
  EXPECT_EQ(store->preferences().launchLanguage(), AppLanguage::english);
}

TEST_F(BrowserStoreTest, RestoresTheCurrentSpaceAndLoadsOnlyItsSelectedTab) {
  SessionSnapshot session;
  session.spaces = {
      space(kA, "One", {tab(kTab1, "https://one.example/")}, id(kTab1)),
      space(kB, "Two", {tab(kTab2, "https://two.example/"), tab(kTab3, "https://three.example/")},
            id(kTab3)),
      space(kC, "Three")};
  session.currentSpaceID = id(kB);
  session.sidebarVisible = false;
  saveSession(session);

  auto store = start();
  EXPECT_EQ(store->tabs().currentSpace()->id, id(kB));
  EXPECT_EQ(store->tabs().currentSpace()->selectedTab()->id, id(kTab3));
  EXPECT_EQ(webViews.log.loads,
            std::vector<std::string>{std::string(kTab3) + " https://three.example/"});
  EXPECT_FALSE(store->tabs().sidebarVisible.peek());
  EXPECT_TRUE(store->favorites().list.peek().empty());
  for (const auto& restoredSpace : store->tabs().spaces.peek()) {
    for (const auto& restoredTab : restoredSpace->tabs.peek()) {
      EXPECT_TRUE(testing::servedBy(*restoredTab, *store));
      EXPECT_EQ(restoredTab->page.hasStartedLoading(), restoredTab->id == id(kTab3));
    }
  }
}

// The engine reads its dictionaries on the main thread, which the first page's web process needs
// meanwhile: they wait for the restored page, for as long as it loads or at most a few seconds.
TEST_F(BrowserStoreTest, SpellCheckingIsSetUpOnceTheRestoredPageHasLoaded) {
  SessionSnapshot session;
  session.spaces = {space(kA, "One", {tab(kTab1, "https://one.example/")}, id(kTab1))};
  session.currentSpaceID = id(kA);
  saveSession(session);
  {
    auto store = start();
    const auto page = store->tabs().selectedTab();
    ASSERT_TRUE(page && page->storedWebView());
    page->isLoading.set(true);
    scheduler.advance(1s);
    EXPECT_TRUE(webViews.spellChecking.empty());
    page->isLoading.set(false);
    scheduler.advance(0ms);
    ASSERT_EQ(webViews.spellChecking.size(), 1u);
    EXPECT_TRUE(webViews.spellChecking.front().first);
    EXPECT_FALSE(webViews.spellChecking.front().second.empty());
    scheduler.advance(BrowserStore::kLongestStartLoadWait);
    EXPECT_EQ(webViews.spellChecking.size(), 1u);
  }
  webViews.spellChecking.clear();
  auto store = start();
  store->tabs().selectedTab()->isLoading.set(true);
  scheduler.advance(BrowserStore::kLongestStartLoadWait - 1ms);
  EXPECT_TRUE(webViews.spellChecking.empty());
  scheduler.advance(1ms);
  EXPECT_EQ(webViews.spellChecking.size(), 1u);
}

TEST_F(BrowserStoreTest, EmptySpacesListFallsBackToDefaultsButKeepsTheRest) {
  SessionSnapshot session;
  session.currentSpaceID = id(kA);
  session.sidebarVisible = false;
  saveSession(session);
  auto store = start();
  ASSERT_EQ(store->tabs().spaces.peek().size(), 3u);
  EXPECT_EQ(store->tabs().currentSpace(), store->tabs().spaces.peek()[0]);
  EXPECT_EQ(store->tabs().currentSpaceID.peek(), store->tabs().spaces.peek()[0]->id);
  EXPECT_TRUE(store->favorites().list.peek().empty());
  EXPECT_FALSE(store->tabs().sidebarVisible.peek());
}

TEST_F(BrowserStoreTest, AnUnknownCurrentSpaceOrSelectedTabFallsBackQuietly) {
  SessionSnapshot session;
  session.spaces = {space(kA, "One", {tab(kTab1, "https://one.example/")}, id(kTab2)),
                    space(kB, "Two")};
  session.currentSpaceID = id(kC);
  saveSession(session);
  auto store = start();
  EXPECT_EQ(store->tabs().currentSpaceID.peek(), id(kA));
  EXPECT_EQ(store->tabs().currentSpace()->selectedTab(), nullptr);
  EXPECT_TRUE(webViews.log.loads.empty());
}

TEST_F(BrowserStoreTest, RestoreSessionOffKeepsSpacesButNoTabs) {
  SessionSnapshot session;
  session.spaces = {space(kA, "One", {tab(kTab1, "https://one.example/")}, id(kTab1)),
                    space(kB, "Two", {tab(kTab2, "https://two.example/")}, id(kTab2))};
  session.currentSpaceID = id(kB);
  session.sidebarVisible = false;
  saveSession(session);
  defaults.setData("appPreferences.v1", R"({"restoreSession":false})");

  auto store = start();
  ASSERT_EQ(store->tabs().spaces.peek().size(), 2u);
  EXPECT_EQ(store->tabs().spaces.peek()[1]->name.peek(), "Two");
  EXPECT_EQ(store->tabs().spaces.peek()[1]->colorA.peek(), "#112233");
  for (const auto& restored : store->tabs().spaces.peek()) {
    EXPECT_TRUE(restored->tabs.peek().empty());
    EXPECT_FALSE(restored->selectedTabID.peek());
  }
  EXPECT_EQ(store->tabs().currentSpaceID.peek(), id(kB));
  EXPECT_FALSE(store->tabs().sidebarVisible.peek());
  EXPECT_TRUE(webViews.log.loads.empty());
}

TEST_F(BrowserStoreTest, ACorruptSessionStartsFreshAndIsKeptAsideAndTheUserIsTold) {
  home.writeFile(sessionFile(), R"({"spaces":"broken"})");
  home.writeFile(home.dataDir() / "history.json", "not json");
  // Temporaries of a save that was interrupted go; the user's own files stay, whatever their
  // names.
  const auto ours = home.dataDir() / ".history.json.zemblo-save-A1b2C3";
  home.writeFile(ours, "[]");
  const std::vector<std::filesystem::path> users = {
      home.dataDir() / "history.json.A1b2C3", home.dataDir() / ".history.json.zemblo-save-A1b2C",
      home.dataDir() / "session.json.backup", home.dataDir() / ".session.json.Q7XK2P"};
  for (const auto& file : users) home.writeFile(file, "mine");
  // All of them from an earlier run.
  for (const auto& file : users) {
    std::filesystem::last_write_time(file, std::filesystem::last_write_time(file) - 1h);
  }
  std::filesystem::last_write_time(ours, std::filesystem::last_write_time(ours) - 1h);
  L10n::setEnglish(true);
  auto store = start();
  EXPECT_FALSE(std::filesystem::exists(ours));
  for (const auto& file : users) EXPECT_EQ(home.readFile(file), "mine") << file;
  EXPECT_EQ(store->notices.peek(),
            (std::vector<std::string>{
                "The session file couldn't be read and was kept as \"session.json.bad\". Your "
                "tabs were started afresh.",
                "The history file couldn't be read and was kept as \"history.json.bad\". History "
                "starts empty."}));
  EXPECT_EQ(store->tabs().spaces.peek().size(), 3u);
  EXPECT_EQ(store->favorites().list.peek().size(), 8u);
  EXPECT_TRUE(store->history().entries.peek().empty());
  EXPECT_EQ(home.readFile(home.dataDir() / "session.json.bad"), R"({"spaces":"broken"})");
  store->saveNow();
  EXPECT_TRUE(store->finishWrites());
  EXPECT_EQ(home.readFile(home.dataDir() / "history.json.bad"), "not json");
  EXPECT_EQ(home.readFile(home.dataDir() / "history.json"), "[]");
}

// However many copies earlier runs kept, the next one takes a name of its own.
TEST_F(BrowserStoreTest, AnUnreadableSessionIsKeptUnderAFreeNameWhenEveryNumberIsTaken) {
  for (int number = 0; number < 1000; ++number) {
    const std::string suffix = number == 0 ? ".bad" : ".bad." + std::to_string(number);
    home.writeFile(home.dataDir() / ("session.json" + suffix), "kept " + std::to_string(number));
  }
  home.writeFile(sessionFile(), "{broken");
  L10n::setEnglish(true);
  auto store = start();
  ASSERT_EQ(store->notices.peek().size(), 1u);
  const std::string& notice = store->notices.peek().front();
  const std::string prefix = "The session file couldn't be read and was kept as \"";
  ASSERT_TRUE(notice.starts_with(prefix + "session.json.bad-")) << notice;
  const std::string keptAs =
      notice.substr(prefix.size(), notice.find('"', prefix.size()) - prefix.size());
  EXPECT_EQ(home.readFile(home.dataDir() / keptAs), "{broken");
  store->saveNow();
  EXPECT_TRUE(store->finishWrites());
  EXPECT_TRUE(SessionFiles().readSession());
  for (int number = 0; number < 1000; ++number) {
    const std::string suffix = number == 0 ? ".bad" : ".bad." + std::to_string(number);
    ASSERT_EQ(home.readFile(home.dataDir() / ("session.json" + suffix)),
              "kept " + std::to_string(number));
  }
}

// A tmpfs over `folder` for the life of the object, which can be made read-only and writable.
class RemountableFolder {
 public:
  explicit RemountableFolder(const std::filesystem::path& folder) : folder_(folder) {
    std::filesystem::create_directories(folder);
    mounted_ = mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=1m") == 0;
  }
  ~RemountableFolder() {
    if (mounted_) umount2(folder_.c_str(), MNT_DETACH);
  }
  bool mounted() const { return mounted_; }
  bool setReadOnly(bool readOnly) const {
    return mount("tmpfs", folder_.c_str(), "tmpfs", MS_REMOUNT | (readOnly ? MS_RDONLY : 0),
                 "size=1m") == 0;
  }

 private:
  std::filesystem::path folder_;
  bool mounted_ = false;
};

TEST_F(BrowserStoreTest, ASessionThatCannotBeKeptAsideIsNeverWrittenOver) {
  RemountableFolder folder(home.dataDir());
  if (!folder.mounted()) GTEST_SKIP() << "mounting a tmpfs needs root";
  home.writeFile(sessionFile(), "{broken");
  ASSERT_TRUE(folder.setReadOnly(true));
  L10n::setEnglish(true);
  auto store = start();
  EXPECT_EQ(store->notices.peek(),
            std::vector<std::string>{
                "The session file couldn't be read or kept aside; it was left untouched, and "
                "nothing will be saved over it until it can be kept aside. Your tabs were started "
                "afresh."});
  EXPECT_EQ(store->tabs().spaces.peek().size(), 3u);
  EXPECT_EQ(home.readFile(sessionFile()), "{broken");

  // Writable again, the next save keeps the file before it writes in its place.
  ASSERT_TRUE(folder.setReadOnly(false));
  store->tabs().spaces.peek().front()->name.set("Renamed");
  store->saveNow();
  EXPECT_TRUE(store->finishWrites());
  EXPECT_EQ(home.readFile(home.dataDir() / "session.json.bad"), "{broken");
  const auto saved = SessionFiles().readSession();
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved->spaces.front().name, "Renamed");
}

TEST_F(BrowserStoreTest, AStrayByteInATitleIsRepairedKeepingEveryTabAndTheFileAsItWas) {
  auto second = tab(kTab2, "https://two.example/");
  second.title = "Caf@ menu";
  SessionSnapshot session;
  session.spaces = {
      space(kA, "One",
            {tab(kTab1, "https://one.example/"), second, tab(kTab3, "https://three.example/")})};
  session.currentSpaceID = id(kA);
  std::string bytes = *encodeSession(session);
  bytes.replace(bytes.find('@'), 1, "\xE9");  // Latin-1, not UTF-8
  home.writeFile(sessionFile(), bytes);
  L10n::setEnglish(true);
  auto store = start();
  EXPECT_EQ(store->notices.peek(),
            std::vector<std::string>{"Damaged characters in \"session.json\" were repaired; the "
                                     "original file was kept as \"session.json.bad\"."});
  const auto& tabs = store->tabs().spaces.peek().front()->tabs.peek();
  ASSERT_EQ(tabs.size(), 3u);
  EXPECT_EQ(tabs[1]->title.peek(), "Caf\uFFFD menu");
  EXPECT_EQ(home.readFile(home.dataDir() / "session.json.bad"), bytes);
  store->saveNow();
  EXPECT_TRUE(store->finishWrites());
  EXPECT_EQ(home.readFile(home.dataDir() / "session.json.bad"), bytes);
  ASSERT_TRUE(SessionFiles().readSession());
  EXPECT_EQ(SessionFiles().readSession()->spaces.front().tabs[1].title, "Caf\uFFFD menu");
}

TEST_F(BrowserStoreTest, SavingLeavesOutStartPageTabsButKeepsTheSelection) {
  auto store = start();
  auto blank = std::make_shared<BrowserTab>(id(kTab1));
  auto page = std::make_shared<BrowserTab>(id(kTab2), url("https://page.example/"), "Page");
  auto current = store->tabs().currentSpace();
  current->tabs.set({blank, page});
  current->selectedTabID.set(id(kTab1));
  store->saveNow();
  store->finishWrites();

  const auto saved = SessionFiles().readSession();
  ASSERT_TRUE(saved);
  ASSERT_EQ(saved->spaces[0].tabs.size(), 1u);
  EXPECT_EQ(saved->spaces[0].tabs[0].id, id(kTab2));
  EXPECT_EQ(saved->spaces[0].selectedTabID, id(kTab1));

  auto restarted = start();
  EXPECT_EQ(restarted->tabs().currentSpace()->tabs.peek().size(), 1u);
  EXPECT_EQ(restarted->tabs().currentSpace()->selectedTab(), nullptr);
}

TEST_F(BrowserStoreTest, AFailedSaveIsToldOnceAndTriedAgainUntilItWorks) {
  auto store = start();
  std::filesystem::create_directories(sessionFile() / "in-the-way");
  for (int attempt = 0; attempt < 2; ++attempt) {
    store->saveNow();
    EXPECT_FALSE(store->finishWrites());
  }
  EXPECT_EQ(store->notices.peek().size(), 1u);
  std::filesystem::remove_all(sessionFile());
  scheduler.advance(BrowserStore::kSaveRetryDelay);
  EXPECT_TRUE(store->finishWrites());
  EXPECT_TRUE(std::filesystem::is_regular_file(sessionFile()));
  EXPECT_EQ(store->notices.peek().size(), 1u);
}

// A full disk or a folder in the way of the settings: the user learns it once, in the interface
// language, and the settings reach the file once it can take them.
TEST_F(BrowserStoreTest, AFailedSettingsWriteIsToldOnceAndTriedAgainUntilItWorks) {
  L10n::setEnglish(true);
  auto store = start();
  std::filesystem::create_directories(defaults.file() / "in-the-way");
  for (double width : {300, 310}) {
    store->preferences().updatePrefs(
        [width](AppPreferences& prefs) { prefs.sidebarWidth = width; });
    scheduler.advance(PreferencesModel::kSaveInterval);
    defaults.flush();
  }
  EXPECT_EQ(store->notices.peek(),
            std::vector<std::string>{"The settings couldn't be saved; they will be tried again. "
                                     "If this goes on, changes may be lost."});
  std::filesystem::remove_all(defaults.file());
  scheduler.advance(BrowserStore::kSaveRetryDelay);
  // The retry runs on the writing thread; the file appears once it is done.
  for (int turn = 0; turn < 100000 && !std::filesystem::exists(defaults.file()); ++turn) {
    std::this_thread::yield();
  }
  UserDefaults onDisk(defaults.file());
  EXPECT_EQ(AppPreferences::load(onDisk).sidebarWidth, 310);
  EXPECT_EQ(store->notices.peek().size(), 1u);
}

TEST_F(BrowserStoreTest, TenQuickChangesGiveOneSaveAfterTheLastOne) {
  auto store = start();
  for (int i = 0; i < 10; ++i) {
    store->scheduleSave();
    scheduler.advance(100ms);
  }
  EXPECT_FALSE(std::filesystem::exists(sessionFile()));
  scheduler.advance(600ms);  // 0.7 s after the last call
  EXPECT_FALSE(std::filesystem::exists(sessionFile()));
  scheduler.advance(100ms);
  store->finishWrites();
  EXPECT_TRUE(std::filesystem::exists(sessionFile()));
  EXPECT_TRUE(std::filesystem::exists(home.dataDir() / "history.json"));
  std::filesystem::remove(sessionFile());
  scheduler.advance(10s);
  store->finishWrites();
  EXPECT_FALSE(std::filesystem::exists(sessionFile()));
}

// Someone who keeps switching tabs faster than the quiet interval is still saved: at the latest
// five seconds after the first change not yet on disk, and again five seconds later.
TEST_F(BrowserStoreTest, ChangesThatNeverPauseAreStillSavedWithinFiveSeconds) {
  auto store = start();
  int saves = 0;
  for (auto elapsed = 0ms; elapsed < 12s; elapsed += 300ms) {
    store->scheduleSave();
    scheduler.advance(300ms);
    store->finishWrites();
    if (std::filesystem::exists(sessionFile())) {
      ++saves;
      std::filesystem::remove(sessionFile());
      EXPECT_GE(elapsed + 300ms, 5s * saves - 300ms) << saves;
      EXPECT_LE(elapsed + 300ms, 5s * saves + 300ms) << saves;
    }
  }
  EXPECT_EQ(saves, 2);
}

TEST_F(BrowserStoreTest, AReleasedStoreWritesNothing) {
  auto store = start();
  store->scheduleSave();
  store.reset();
  scheduler.advance(1s);
  EXPECT_FALSE(std::filesystem::exists(sessionFile()));
}

TEST_F(BrowserStoreTest, RelabelsDefaultNamesIntoTheCurrentLanguageOnly) {
  SessionSnapshot session;
  session.spaces = {space(kA, "Kişisel"), space(kB, "New Space"), space(kC, "Tatil")};
  session.currentSpaceID = id(kA);
  saveSession(session);
  defaults.setData("appPreferences.v1", R"({"language":"english"})");
  auto store = start();
  EXPECT_EQ(store->tabs().spaces.peek()[0]->name.peek(), "Personal");
  EXPECT_EQ(store->tabs().spaces.peek()[1]->name.peek(), "New Space");
  EXPECT_EQ(store->tabs().spaces.peek()[2]->name.peek(), "Tatil");
  EXPECT_TRUE(savedFiles.writtenAfterSaveDelay(scheduler, *store));

  L10n::setEnglish(false);
  store->tabs().spaces.peek()[0]->name.set("Work");
  store->spaces().relabelDefaults();
  EXPECT_EQ(store->tabs().spaces.peek()[0]->name.peek(), "İş");
  EXPECT_EQ(store->tabs().spaces.peek()[1]->name.peek(), "Yeni Alan");
}

TEST_F(BrowserStoreTest, NoSaveIsScheduledWhenNoNameChanged) {
  auto store = start();
  store->spaces().relabelDefaults();
  EXPECT_FALSE(savedFiles.writtenAfterSaveDelay(scheduler, *store));
}

TEST_F(BrowserStoreTest, ChangingTheLanguageSwitchesTextsAndThePlatformKey) {
  auto store = start();
  testing::switchLanguage(store->preferences(), AppLanguage::english);
  EXPECT_EQ(store->tabs().spaces.peek()[0]->name.peek(), "Personal");
  EXPECT_EQ(defaults.stringArray("AppleLanguages"), std::vector<std::string>{"en"});
  EXPECT_TRUE(savedFiles.writtenAfterSaveDelay(scheduler, *store));
  EXPECT_EQ(AppPreferences::load(defaults).language, AppLanguage::english);

  store->preferences().updatePrefs(
      [](AppPreferences& prefs) { prefs.language = AppLanguage::turkish; });
  EXPECT_EQ(defaults.stringArray("AppleLanguages"), std::vector<std::string>{"tr"});
  store->preferences().updatePrefs(
      [](AppPreferences& prefs) { prefs.language = AppLanguage::system; });
  EXPECT_FALSE(defaults.contains("AppleLanguages"));
  EXPECT_EQ(store->preferences().launchLanguage(), AppLanguage::system);
}

TEST_F(BrowserStoreTest, AnUnchangedPreferenceWriteDoesNothing) {
  auto store = start();
  int notifications = 0;
  store->preferences().observablePrefs().signalChanged().connect([&] { ++notifications; });
  store->preferences().setPrefs(store->preferences().prefs());
  EXPECT_EQ(notifications, 0);
  EXPECT_FALSE(defaults.contains("appPreferences.v1"));
  store->preferences().updatePrefs([](AppPreferences&) {});
  EXPECT_EQ(notifications, 1);                           // an in-place change always notifies ...
  EXPECT_FALSE(defaults.contains("appPreferences.v1"));  // ... but saves nothing unchanged
}

TEST_F(BrowserStoreTest, ABurstOfPreferenceChangesIsWrittenAFewTimesASecondEndingWithTheLast) {
  auto store = start();
  const auto onDisk = [&] {
    defaults.flush();
    UserDefaults file(defaults.file());
    return AppPreferences::load(file);
  };
  int writes = 0;
  double lastSeen = onDisk().sidebarWidth;
  // A slider dragged for two seconds, one new value every 10 ms.
  for (int step = 1; step <= 200; ++step) {
    store->preferences().updatePrefs(
        [step](AppPreferences& prefs) { prefs.sidebarWidth = 200 + step; });
    if (step == 1) {
      EXPECT_EQ(onDisk().sidebarWidth, 201);  // the first change at once
    }
    scheduler.advance(10ms);
    if (const double stored = onDisk().sidebarWidth; stored != lastSeen) {
      ++writes;
      lastSeen = stored;
    }
  }
  EXPECT_LE(writes, 9);
  scheduler.advance(2 * PreferencesModel::kSaveInterval);
  EXPECT_EQ(onDisk().sidebarWidth, 400);

  // A change still waiting when the store goes is not lost.
  store->preferences().updatePrefs([](AppPreferences& prefs) { prefs.sidebarWidth = 300; });
  store->preferences().updatePrefs([](AppPreferences& prefs) { prefs.sidebarWidth = 310; });
  EXPECT_EQ(onDisk().sidebarWidth, 300);
  store.reset();
  EXPECT_EQ(onDisk().sidebarWidth, 310);
}

TEST_F(BrowserStoreTest, ThemeChangesReachTheAppearanceOnALaterTurn) {
  const std::vector<ThemeMode>& applied = webViews.appearances;
  BrowserStoreEnvironment environment;
  environment.defaults = &defaults;
  environment.scheduler = &scheduler;
  auto store = BrowserStore::create(webViewFactory_, std::move(environment));
  scheduler.runPending();
  EXPECT_EQ(applied, std::vector<ThemeMode>{ThemeMode::system});
  store->preferences().updatePrefs([](AppPreferences& prefs) { prefs.theme = ThemeMode::dark; });
  EXPECT_EQ(applied.size(), 1u);
  scheduler.runPending();
  EXPECT_EQ(applied, (std::vector<ThemeMode>{ThemeMode::system, ThemeMode::dark}));
}

TEST_F(BrowserStoreTest, ContentBlockerSwitchReachesEveryCreatedWebViewOnce) {
  SessionSnapshot session;
  session.spaces = {
      space(kA, "One", {tab(kTab1, "https://one.example/"), tab(kTab2, "https://two.example/")}),
      space(kB, "Two", {tab(kTab3, "https://three.example/")})};
  session.currentSpaceID = id(kA);
  saveSession(session);
  auto store = start();
  store->pageServices().adBlocker().ruleList = std::make_shared<testing::FakeRuleList>();
  auto first = store->tabs().spaces.peek()[0]->tabs.peek()[0];
  auto third = store->tabs().spaces.peek()[1]->tabs.peek()[0];
  first->webView();
  third->webView();
  store->pageServices().applyAdBlockToAllTabs();
  EXPECT_EQ(webViews.log.ruleListsAdded, 2);

  store->pageServices().adBlocker().setEnabled(false);
  EXPECT_EQ(webViews.log.ruleListsRemoved, 2);
  store->pageServices().adBlocker().setEnabled(false);
  EXPECT_EQ(webViews.log.ruleListsRemoved, 2);
  EXPECT_FALSE(store->tabs().spaces.peek()[0]->tabs.peek()[1]->page.adBlockApplied());

  store->pageServices().adBlocker().setEnabled(true);
  store->pageServices().adBlocker().setAllowed(true, "www.three.example");
  EXPECT_TRUE(first->page.adBlockApplied());
  EXPECT_FALSE(third->page.adBlockApplied());
}

}  // namespace
}  // namespace zemblo
