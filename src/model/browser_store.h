#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "model/app_preferences.h"
#include "model/command_bar_mode.h"
#include "model/page_dark_mode.h"
#include "model/pending_credential.h"
#include "model/records.h"
#include "model/search_engine.h"
#include "model/space.h"
#include "platform/debounce.h"
#include "platform/file_write_queue.h"
#include "platform/observable.h"
#include "platform/scheduler.h"
#include "platform/throttle.h"
#include "platform/url.h"
#include "platform/user_defaults.h"

namespace zemblo {

class AdBlocker;
class AutofillBridge;
class BrowserEngine;
class BrowserTab;
class DarkModeController;
class DownloadManager;
class PasswordStore;
class VaultStorage;

// Where the store keeps its state. Production code takes the defaults; tests hand in their own
// folder, defaults, clock and vault.
struct BrowserStoreEnvironment {
  UserDefaults* defaults = nullptr;   // the standard user defaults when absent
  std::optional<SessionFiles> files;  // the application's folder when absent
  Scheduler* scheduler = nullptr;     // the main loop when absent
  // Where the saved passwords are kept; the desktop keyring when absent.
  std::shared_ptr<VaultStorage> vaultStorage;
};

// The one model object of the browser: spaces with their tabs, favourites, history,
// preferences and the transient state of the command bar, the find bar and password offers.
// Lives on the main thread for the life of the process.
class BrowserStore : public std::enable_shared_from_this<BrowserStore> {
  struct Passkey {};

 public:
  using SpaceList = std::vector<std::shared_ptr<Space>>;

  static constexpr std::chrono::milliseconds kSaveDelay{800};
  // However often changes keep coming, a change is on disk at most this long after it was made.
  static constexpr std::chrono::seconds kSaveLongestDelay{5};
  // After a failed save, how long until the next try when nothing else asks for one.
  static constexpr std::chrono::seconds kSaveRetryDelay{10};
  // The preferences are written at once, then at most once per interval while they keep
  // changing (a dragged slider), and the last change is always written.
  static constexpr std::chrono::milliseconds kPrefsSaveInterval{250};

  // Loads preferences, session and history and starts the shared services. The engine is shared
  // with whoever else makes web views (the application keeps it too).
  static std::shared_ptr<BrowserStore> create(std::shared_ptr<BrowserEngine> engine,
                                              BrowserStoreEnvironment environment = {});
  BrowserStore(Passkey, std::shared_ptr<BrowserEngine> engine, BrowserStoreEnvironment environment);
  ~BrowserStore();
  BrowserStore(const BrowserStore&) = delete;
  BrowserStore& operator=(const BrowserStore&) = delete;

  Observable<SpaceList, NeverEqual> spaces;
  Observable<Uuid> currentSpaceID{Uuid::random()};
  Observable<std::vector<Favorite>> favorites;
  Observable<std::vector<HistoryEntry>> history;
  Observable<bool> sidebarVisible{true};
  Observable<std::optional<CommandBarMode>> commandBar;
  Observable<bool> findBarVisible{false};
  Observable<long long> startPageFocusToken{0};
  // The one save offer of the whole browser; set it through offerCredential.
  Observable<std::optional<PendingCredential>> pendingSave;
  Observable<PendingSaveStatus> pendingSaveStatus{PendingSaveStatus::offered};
  // The engine of searches typed into the command bar and the start page; change it with
  // setSearchEngine, which also stores it.
  Observable<SearchEngine> searchEngine{SearchEngine::google};
  // What the window tells the user once, in the interface language: files that could not be
  // read and were set aside, saves that failed. The window takes them out as it shows them.
  Observable<std::vector<std::string>, NeverEqual> notices;
  // Closed tabs for reopening, newest last; not observed.
  std::vector<ClosedTab> closedTabs;

  // Every write of the preferences ends in the side-effect routine (save, appearance, language).
  const AppPreferences& prefs() const { return prefs_.get(); }
  const Observable<AppPreferences>& observablePrefs() const { return prefs_; }
  void setPrefs(AppPreferences value);
  template <class Change>
  void updatePrefs(Change&& change) {
    const AppPreferences old = prefs_.peek();
    prefs_.mutate(std::forward<Change>(change));
    prefsDidSet(old);
  }

  void setSearchEngine(SearchEngine engine);

  AppLanguage launchLanguage() const { return launchLanguage_; }
  DownloadManager& downloads() const { return *downloads_; }
  // For the engine's download signals, which may outlive the store.
  std::weak_ptr<DownloadManager> weakDownloads() const { return downloads_; }
  PasswordStore& passwords() const { return *passwords_; }
  AdBlocker& adBlocker() const { return *adBlocker_; }
  // For page handlers, which may outlive the store.
  std::weak_ptr<const AdBlocker> weakAdBlocker() const { return adBlocker_; }
  DarkModeController& darkMode() const { return *darkMode_; }
  std::weak_ptr<const DarkModeController> weakDarkMode() const { return darkMode_; }
  AutofillBridge& autofill() const { return *autofill_; }
  // For page handlers, which may outlive the store.
  std::weak_ptr<AutofillBridge> weakAutofill() const { return autofill_; }
  BrowserEngine& engine() const { return *engine_; }
  UserDefaults& defaults() const { return *defaults_; }

  // The first space whose id is `currentSpaceID`, else the first space.
  std::shared_ptr<Space> currentSpace() const;

  // Tabs. A tab is found by identity, never by id or address; a tab that no space holds makes
  // these operations do nothing.

  // Selects the tab in the space that holds it; the current space does not change, and the tab
  // loads only when its space is the one shown.
  void select(const BrowserTab& tab);
  // A new tab at the top of the current space, or right after `after` in that tab's space.
  std::shared_ptr<BrowserTab> openTab(const Url& url, bool inBackground,
                                      const std::shared_ptr<BrowserTab>& after = nullptr);
  // Places a new tab without selecting it or saving; the callers do both.
  void insertTab(std::shared_ptr<BrowserTab> tab,
                 const std::shared_ptr<BrowserTab>& after = nullptr);
  std::shared_ptr<Space> spaceContaining(const BrowserTab& tab) const;
  // Keeps a record for reopening (tabs with an address), hands the selection to the neighbour
  // and releases the tab's web view.
  void closeTab(const BrowserTab& tab);
  void closeOtherTabs(const BrowserTab& except);
  void closeAllTabsInCurrentSpace();
  // Reorders the current space's tabs: the tabs at `fromOffsets` keep their order and land just
  // before the tab that stood at `toOffset` (at the end when it equals the count).
  void moveTabs(const std::set<size_t>& fromOffsets, size_t toOffset);
  // To the top of `toSpace`, keeping the tab's page and web view.
  void moveTab(const BrowserTab& tab, Space& toSpace);

  // Spaces.
  void select(const Space& space);
  // A new space after the others, coloured and iconed by how many spaces there are; it does not
  // become current.
  std::shared_ptr<Space> addSpace();
  // Closes the space's tabs, keeping those with an address for reopening (in the current space,
  // since theirs is gone); the last space stays.
  void deleteSpace(const Space& space);
  void moveSpaces(const std::set<size_t>& fromOffsets, size_t toOffset);

  // Commands of the menus and the sidebar. Each does nothing when it finds nothing to act on.

  // Shows the start page in the current space: its first blank tab that is not a pop-up, else a
  // new one at the top. Closes the command bar and asks the start page to focus its search field.
  void newTab();
  // Opens the newest closed tab at the top of its space, which becomes current; at the top of
  // the current space when its space is gone.
  void reopenClosedTab();
  // Off becomes always; following the theme and always become off.
  void togglePageDarkMode();
  void toggleFindBar();
  // The next or previous tab of the current space, wrapping around at either end.
  void selectAdjacentTab(bool forward);
  // The next or previous space, wrapping around; a single space is selected again.
  void selectAdjacentSpace(bool forward);
  // Tabs 1 to 8 by position; 9 is always the last tab.
  void selectTab(int number);

  // Favourites. A favourite belongs to a page when both addresses have the same host, compared
  // as exact text; an address without a host only matches the very same address.
  bool isFavorite(const BrowserTab& tab) const;
  void open(const Favorite& favorite);
  void toggleFavorite(const BrowserTab& tab);
  void removeFavorite(const Uuid& id);
  void updateFavoriteIcon(const BrowserTab& tab);

  // History, newest first. Only web pages are recorded; the caller saves afterwards.
  // A repeat visit of the newest entry refreshes its date, and its title when one is known.
  void recordVisit(const Url& url, const std::string& title);
  // A page's title that arrived after its load finished: the newest entry takes it when it is
  // that page's visit.
  void retitleNewestVisit(const Url& url, const std::string& title);
  void clearHistory();

  static constexpr size_t kClosedTabLimit = 30;
  static constexpr size_t kHistoryLimit = 2000;

  // Asks for a save 0.8 s from now, replacing a pending one, but no later than 5 s after the
  // first change that is not on disk yet.
  void scheduleSave();
  bool hasPendingSave() const { return saveDebounce_.pending(); }
  // Hands "session.json" and "history.json" as they are now, and preferences still waiting, to
  // the writing thread. When either file can't be written the user is told once per run of
  // failures, and the save is tried again later.
  void saveNow();
  // Blocks until everything handed to the disk so far is written, settings included: the way
  // out. False when the last save of the session or the history failed.
  bool finishWrites();
  void relabelDefaultSpaces();
  void applyAdBlockToAllTabs();
  void applyAppAppearance();
  void applyLanguage();
  // Brings every existing web view in line with the page dark-mode preferences and the
  // application's appearance; creates no web view.
  void applyPageDarkModeToAllTabs();
  // Brings one tab's web view in line with page dark mode for a page at `address`; with
  // `pushToPage` the page shown now takes the new configuration too.
  void applyDarkMode(BrowserTab& tab, const std::optional<Url>& address, bool pushToPage = false);
  bool isSystemDark() const;
  // The application's dark state as page dark mode needs it: read only when the setting follows
  // it, since reading it can be slow (the desktop's settings) and a first page should not wait.
  bool isSystemDarkForPages() const;
  // Puts the site of the tab's page on the content blocker's allow list (`allowed`) or takes it
  // off, then reloads the tab so the page shows the change. A page without a host does nothing.
  void setAdBlock(bool allowed, BrowserTab& tab);
  // Switches page dark mode back on for the site of the tab's page (`on`), or off: every excluded
  // host of the same site goes, and when switched off the page's canonical host is added once. A
  // page without a host does nothing.
  void setPageDarkMode(bool on, const BrowserTab& tab);
  // Removes all website data of every tab; history, session, favourites, passwords and
  // preferences stay. `done` learns whether the data is really gone, once the engine is done.
  void clearWebsiteData(std::function<void(bool cleared)> done);

  SessionSnapshot sessionSnapshot() const;

  // Password offers. Each answer acts on the offer the user was shown, and ends the pending
  // offer only while it is still that one: a newer offer from another page stays.

  // Replaces the pending offer; a different one starts afresh.
  void offerCredential(PendingCredential offer);
  // Saves the login into the vault for its site. The offer ends once the keyring holds it; when
  // the keyring refuses, it stays with the status `failed`.
  void savePendingCredential(const PendingCredential& shown);
  void savePendingCredential();
  // Never offers the site again.
  void neverSavePendingCredential(const PendingCredential& shown);
  void neverSavePendingCredential();
  // "Not now": nothing is stored.
  void dismissPendingCredential(const PendingCredential& shown);

 private:
  void start();
  void restore(std::optional<SessionSnapshot> session);
  void prefsDidSet(const AppPreferences& old);
  void notice(std::string text);
  void saveFinished(bool written);
  void settingsWritten(bool written);
  void tellAboutSetAsideFiles(const std::vector<SetAsideFile>& files);
  std::shared_ptr<Space> findSpace(const Space& space) const;
  void pushClosedTab(const Space& space, const BrowserTab& tab);
  void endOffer(const PendingCredential& shown);
  // Hands the selection of `space` to the tab that took position `removedAt`, or to none.
  std::shared_ptr<BrowserTab> selectNeighbour(Space& space, size_t removedAt);

  std::shared_ptr<BrowserEngine> engine_;
  BrowserStoreEnvironment environment_;
  UserDefaults* defaults_;
  SessionFiles files_;
  Scheduler& scheduler_;
  Observable<AppPreferences> prefs_;
  AppLanguage launchLanguage_ = AppLanguage::system;
  std::shared_ptr<DownloadManager> downloads_;
  std::unique_ptr<PasswordStore> passwords_;
  std::shared_ptr<AdBlocker> adBlocker_;
  std::shared_ptr<DarkModeController> darkMode_;
  std::shared_ptr<AutofillBridge> autofill_;
  Debounce saveDebounce_;
  std::unique_ptr<ScheduledTask> saveRetry_;
  bool saveFailing_ = false;
  bool lastSaveWritten_ = true;
  std::unique_ptr<ScheduledTask> settingsRetry_;
  bool settingsFailing_ = false;
  std::unique_ptr<Throttle> prefsSave_;
  std::vector<std::unique_ptr<ScheduledTask>> appearanceTasks_;
  // Last: it finishes its writes while everything they report to is still there.
  FileWriteQueue writes_;
};

}  // namespace zemblo
