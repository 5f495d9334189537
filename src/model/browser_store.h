#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/browser_windows.h"
#include "model/favorites_model.h"
#include "model/history_model.h"
#include "model/page_services_model.h"
#include "model/password_offers.h"
#include "model/preferences_model.h"
#include "model/records.h"
#include "model/site_permissions.h"
#include "model/site_settings_file.h"
#include "model/site_zoom.h"
#include "model/spaces_model.h"
#include "model/start_load_watch.h"
#include "model/tab_services.h"
#include "model/tab_sleeper.h"
#include "model/tab_state_files.h"
#include "model/window_frame.h"
#include "model/window_model.h"
#include "platform/debounce.h"
#include "platform/file_write_queue.h"
#include "platform/memory_pressure.h"
#include "platform/observable.h"
#include "platform/scheduler.h"
#include "platform/user_defaults.h"

namespace zemblo {

class AutofillBridge;
class BrowserEngine;
class DownloadManager;
class PasswordStore;
class VaultStorage;
struct AppPreferences;

// Where the store keeps its state. Production code takes the defaults; tests hand in their own
// folder, defaults, clock and vault.
struct BrowserStoreEnvironment {
  UserDefaults* defaults = nullptr;   // the standard user defaults when absent
  std::optional<SessionFiles> files;  // the application's folder when absent
  Scheduler* scheduler = nullptr;     // the main loop when absent
  // Where the saved passwords are kept; the desktop keyring when absent.
  std::shared_ptr<VaultStorage> vaultStorage;
  // The system's memory warnings when absent.
  MemoryPressure* memoryPressure = nullptr;
  // Time for the tabs' rest, steady time when absent; tests set it to the fake scheduler's.
  std::function<std::chrono::steady_clock::time_point()> clock;
};

// The browser's models, owned together for the life of the process on the main thread: each
// has one job, and this object ties them to each other, to the engine and to the disk (the
// session and the history are written as one save, and failures reach the user as notices).
class BrowserStore : public std::enable_shared_from_this<BrowserStore> {
  struct Passkey {};

 public:
  static constexpr std::chrono::milliseconds kSaveDelay{800};
  // However often changes keep coming, a change is on disk at most this long after it was made.
  static constexpr std::chrono::seconds kSaveLongestDelay{5};
  // After a failed save, how long until the next try when nothing else asks for one.
  static constexpr std::chrono::seconds kSaveRetryDelay{10};
  // Spell checking is set up once the start's pages have loaded, or this long after the start
  // when one of them takes longer.
  static constexpr std::chrono::seconds kLongestStartLoadWait{5};
  // Set when the last run ended before the keyring held every password change.
  static constexpr const char* kPasswordsLostAtQuitKey = "passwordsNotSavedAtQuit";

  // Loads preferences, session and history and starts the shared services. The engine is shared
  // with whoever else makes web views (the application keeps it too).
  static std::shared_ptr<BrowserStore> create(std::shared_ptr<BrowserEngine> engine,
                                              BrowserStoreEnvironment environment = {});
  BrowserStore(Passkey, std::shared_ptr<BrowserEngine> engine, BrowserStoreEnvironment environment);
  ~BrowserStore();
  BrowserStore(const BrowserStore&) = delete;
  BrowserStore& operator=(const BrowserStore&) = delete;

  // The spaces every normal window shows, held once.
  SpacesModel& spaces() const { return *spaces_; }
  // Every browser window's model, for whatever acts across windows.
  BrowserWindows& browserWindows() const { return *windows_; }
  // The first normal window's model: the first open, else the one kept for the next window.
  WindowModel& tabs() const { return windows_->first(); }
  // The models of every browser window on screen, in the order they opened; private windows
  // included. The windows a restored session held are here from the start.
  std::vector<WindowModel*> windows() const { return windows_->open(); }
  // The model of a window about to open: the one the last normal window to close left, with its
  // tabs, else a new one over the same spaces; a private window gets one of its own.
  WindowModel& openWindow(bool isPrivate);
  // `window` is closing. With another window of its kind open, its tabs close (kept for
  // reopening in any window, unless private) and its model goes. The last normal window's model
  // stays, its pages let go, for the session and the next window; the last private window's end
  // takes the private network session with it.
  void closeWindow(WindowModel& window);
  FavoritesModel& favorites() const { return *favorites_; }
  HistoryModel& history() const { return *history_; }
  PreferencesModel& preferences() const { return *preferences_; }
  PageServicesModel& pageServices() const { return *pageServices_; }
  // The system's memory warnings, or those the environment mounts.
  MemoryPressure& memoryPressure() const {
    return environment_.memoryPressure ? *environment_.memoryPressure : MemoryPressure::system();
  }
  PasswordStore& passwords() const { return *passwords_; }
  PasswordOffers& offers() const { return *offers_; }
  DownloadManager& downloads() const { return *downloads_; }
  // The answers to sites' permission questions, written to "site-settings.json" with the session.
  SitePermissions& sitePermissions() const { return *sitePermissions_; }
  // The size the browser window closed last was left at, in the defaults.
  WindowFrameMemory& windowFrames() { return windowFrames_; }
  Scheduler& scheduler() const { return scheduler_; }

  // What the window tells the user once, in the interface language: files that could not be
  // read and were set aside, saves that failed. The window takes them out as it shows them.
  Observable<std::vector<std::string>, NeverEqual> notices;

  // Asks for a save 0.8 s from now, replacing a pending one, but no later than 5 s after the
  // first change that is not on disk yet.
  void scheduleSave();
  // A tab gave up its web view. Once a burst of them, and the save that follows, have passed, the
  // heap hands what they freed back to the system: while a window keeps painting (an animated
  // start page), nothing else would.
  void webViewReleased() { heapRelease_.request(); }
  static constexpr std::chrono::seconds kHeapReleaseDelay{2};
  // Hands "session.json", "history.json" and each tab's back and forward list in "tab-states/"
  // as they are now, "site-settings.json" when it changed, and preferences still waiting, to the
  // writing thread. When the session or the history can't be written the user is told once per
  // run of failures, and the save is tried again later.
  void saveNow();
  // Blocks until everything handed to the disk so far is written, settings included: the way
  // out. False when the last save of the session or the history failed.
  bool finishWrites();
  // The way out for the saved passwords: turns the main loop until the keyring has answered every
  // write, for at most `limit`. A change it does not hold then is told at the next start.
  void finishPasswordWrites(std::chrono::milliseconds limit);

 private:
  bool hasPendingSave() const { return saveDebounce_.pending(); }
  SessionSnapshot sessionSnapshot() const;
  void start();
  // The models a tab uses, made before the tabs.
  void startTabServices();
  // A handle to one of the store's parts that expires with the store, for those that may
  // outlive it.
  template <typename Part>
  std::weak_ptr<Part> handleTo(Part& part) {
    return std::shared_ptr<Part>(shared_from_this(), &part);
  }
  // Gives each restored tab the back and forward list saved for it.
  void restoreTabStates(std::vector<SetAsideFile>& setAside);
  void takeTabStates(std::vector<TabState> states, const std::vector<SetAsideFile>& setAside);
  // The engine could not take a tab's saved list back: its file is kept aside and told.
  void sessionStateRejected(const Uuid& tabID, std::string bytes);
  // Nothing while the saved lists are still being read.
  std::optional<std::vector<TabState>> tabStates() const;
  void preferencesChanged(const AppPreferences& old);
  void applyAppAppearance();
  void applyLanguage();
  void applySpellChecking();
  void notice(std::string text);
  void saveFinished(bool written);
  void settingsWritten(bool written);
  void tellAboutSetAsideFiles(const std::vector<SetAsideFile>& files);
  void tellAboutPasswordsLostAtQuit();
  void tellAboutCookieStore(const SetAsideFile& file);
  void tellAboutTabState(const SetAsideFile& file);
  void loadSiteSettings(std::vector<SetAsideFile>& setAside);
  void saveSiteSettings();
  void applyZoomToAllTabs();
  void restoreOtherWindows(const SessionSnapshot& session);
  // Every tab of the normal windows (with `andPrivate`, of the private ones too).
  void forEachTab(const std::function<void(const std::shared_ptr<BrowserTab>&)>& visit,
                  bool andPrivate = false) const;
  SessionSnapshot snapshotOf(const WindowModel& window) const;

  std::shared_ptr<BrowserEngine> engine_;
  BrowserStoreEnvironment environment_;
  UserDefaults* defaults_;
  WindowFrameMemory windowFrames_;
  SessionFiles files_;
  Scheduler& scheduler_;
  std::unique_ptr<PreferencesModel> preferences_;
  std::unique_ptr<SpacesModel> spaces_;
  // After the spaces, so that the windows go before them.
  std::unique_ptr<BrowserWindows> windows_;
  std::unique_ptr<TabServices> tabServices_;
  std::weak_ptr<const TabServices> tabServicesHandle_;
  std::unique_ptr<FavoritesModel> favorites_;
  std::unique_ptr<HistoryModel> history_;
  std::shared_ptr<PageServicesModel> pageServices_;
  std::shared_ptr<DownloadManager> downloads_;
  std::unique_ptr<PasswordStore> passwords_;
  std::shared_ptr<PasswordOffers> offers_;
  std::shared_ptr<AutofillBridge> autofill_;
  std::shared_ptr<SitePermissions> sitePermissions_;
  std::unique_ptr<SiteZoom> siteZoom_;
  // After the tabs, so that it goes before them.
  std::unique_ptr<TabSleeper> sleeper_;
  std::unique_ptr<StartLoadWatch> spellCheckingAfterStart_;
  // What the site-settings file held beside the permissions, written back unchanged.
  json::Json siteSettingsOtherKeys_ = json::Json::object();
  bool siteSettingsChanged_ = false;
  Debounce saveDebounce_;
  Debounce heapRelease_;
  std::unique_ptr<ScheduledTask> saveRetry_;
  bool saveFailing_ = false;
  bool lastSaveWritten_ = true;
  bool tabStatesRead_ = false;
  // One word about unreadable tab lists is enough, however many there are.
  bool toldAboutTabState_ = false;
  std::unique_ptr<ScheduledTask> settingsRetry_;
  bool settingsFailing_ = false;
  std::vector<std::unique_ptr<ScheduledTask>> appearanceTasks_;
  // Last: it finishes its writes while everything they report to is still there.
  FileWriteQueue writes_;
};

}  // namespace zemblo
