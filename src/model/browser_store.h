#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "model/app_preferences.h"
#include "model/command_bar_mode.h"
#include "model/records.h"
#include "model/space.h"
#include "passwords/pending_credential.h"
#include "platform/observable.h"
#include "platform/scheduler.h"
#include "platform/user_defaults.h"

namespace zemblo {

class AdBlocker;
class AutofillBridge;
class DarkModeController;
class DownloadManager;
class PasswordStore;
class WebViewFactory;

// What the store reaches outside the model. Production code takes the defaults; tests inject
// their own folder, defaults, clock and web views.
struct BrowserStoreEnvironment {
  UserDefaults* defaults = nullptr;   // the standard user defaults when absent
  std::optional<SessionFiles> files;  // the application's folder when absent
  Scheduler* scheduler = nullptr;     // the main loop when absent
  WebViewFactory* webViewFactory = nullptr;
  // Applies the application's appearance; the window layer supplies it.
  std::function<void(ThemeMode)> applyAppearance;
  // Ends this process and starts it again; the application supplies it.
  std::function<void()> restartProcess;
};

// The one model object of the browser: spaces with their tabs, favourites, history,
// preferences and the transient state of the command bar, the find bar and password offers.
// Lives on the main thread for the life of the process.
class BrowserStore : public std::enable_shared_from_this<BrowserStore> {
  struct Passkey {};

 public:
  using SpaceList = std::vector<std::shared_ptr<Space>>;

  static constexpr std::chrono::milliseconds kSaveDelay{800};

  // Loads preferences, session and history and starts the shared services.
  static std::shared_ptr<BrowserStore> create(BrowserStoreEnvironment environment = {});
  BrowserStore(Passkey, BrowserStoreEnvironment environment);
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
  Observable<std::optional<PendingCredential>> pendingSave;
  Observable<bool> requestPasswordImport{false};
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

  AppLanguage launchLanguage() const { return launchLanguage_; }
  DownloadManager& downloads() const { return *downloads_; }
  PasswordStore& passwords() const { return *passwords_; }
  AdBlocker& adBlocker() const { return *adBlocker_; }
  DarkModeController& darkMode() const { return *darkMode_; }
  AutofillBridge& autofill() const { return *autofill_; }
  WebViewFactory* webViewFactory() const { return environment_.webViewFactory; }
  UserDefaults& defaults() const { return *defaults_; }

  // The first space whose id is `currentSpaceID`, else the first space.
  std::shared_ptr<Space> currentSpace() const;

  // Asks for a save 0.8 s from now, replacing a pending one.
  void scheduleSave();
  bool hasPendingSave() const { return saveTask_ && !saveTask_->finished(); }
  // Writes "session.json" and "history.json" now.
  void saveNow();
  // Saves, then starts the browser anew (after a change of language).
  void relaunch();
  void relabelDefaultSpaces();
  void applyAdBlockToAllTabs();
  void applyAppAppearance();
  void applyLanguage();

  SessionSnapshot sessionSnapshot() const;

 private:
  void start();
  void restore(std::optional<SessionSnapshot> session);
  void prefsDidSet(const AppPreferences& old);

  BrowserStoreEnvironment environment_;
  UserDefaults* defaults_;
  SessionFiles files_;
  Scheduler& scheduler_;
  Observable<AppPreferences> prefs_;
  AppLanguage launchLanguage_ = AppLanguage::system;
  std::unique_ptr<DownloadManager> downloads_;
  std::unique_ptr<PasswordStore> passwords_;
  std::unique_ptr<AdBlocker> adBlocker_;
  std::unique_ptr<DarkModeController> darkMode_;
  std::unique_ptr<AutofillBridge> autofill_;
  std::unique_ptr<ScheduledTask> saveTask_;
  std::vector<std::unique_ptr<ScheduledTask>> appearanceTasks_;
};

}  // namespace zemblo
