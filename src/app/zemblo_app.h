#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtkmm.h>

#include "platform/observable.h"
#include "platform/url.h"

namespace zemblo {

class BrowserMenu;
class BrowserStore;
class BrowserWindow;
class FaviconLoader;
class LanguageFollower;
class PasswordClipboard;
class PasswordsWindow;
class ProfileInUseNotice;
class ProfileLock;
class SettingsView;
class SystemColorScheme;
class TabOpeningQueue;
class WindowModel;
class WebEngine;

// The application: owns the one store of the process, the site icons every window shows, the
// browser windows (opened through "app.browser", "app.new-window" and "app.new-private-window")
// and the two single-instance windows, passwords and settings ("app.passwords", "app.settings").
// The windows ask each other through it too: "app.import-passwords" opens the passwords window with
// its import sheet, "app.relaunch" saves and starts the browser anew. Addresses handed to a second
// start (links from other programs) reach the first over the bus and open as tabs of its normal
// window used last, which load when shown (only the last one at once). The first
// start of a login session claims the profile before anything reads it; where another session's
// browser holds it, this one only says so and ends, writing nothing.
class ZembloApp : public Gtk::Application {
 public:
  static constexpr const char* kApplicationId = "com.pellobar.browser";
  // How long quitting waits for the keyring to take the last password changes.
  static constexpr std::chrono::seconds kKeyringWriteLimit{5};
  // How long quitting waits at most for the engine to write what pages stored.
  static constexpr std::chrono::seconds kSiteDataWriteLimit{5};

  static Glib::RefPtr<ZembloApp> create();
  ~ZembloApp() override;

  // The addresses of the command line, before it runs: with --new-window or
  // --new-private-window they open in that window, not in the one last used.
  void setLaunchAddresses(std::vector<std::string> addresses) {
    launchAddresses_ = std::move(addresses);
  }

  // What this login session is known by to another start on the same profile: the address of its
  // bus, read without connecting to it (empty when unknown).
  static std::string sessionBusAddress();

  // Created on first use and kept for the life of the process.
  std::shared_ptr<BrowserStore> store();
  // The engine's, which outlives every window that shows an icon.
  FaviconLoader& favicons();
  bool relaunchRequested() const { return relaunchRequested_; }
  // The profile was held by a browser of another login session: this run wrote nothing.
  bool profileInUse() const { return profileInUse_; }

  // Shows the browser windows: those of the session when none is open yet, else the one last
  // used.
  void showBrowserWindow();
  // "app.new-window" and "app.new-private-window": another browser window, with a new tab's start
  // page; with addresses, their pages instead, in order, the last one selected.
  void openNewWindow(bool isPrivate, const std::vector<Url>& addresses = {});
  // With `importing`, the import sheet shows over the window at once.
  void showPasswordsWindow(bool importing = false);
  void showSettingsWindow();

 protected:
  ZembloApp();
  void on_startup() override;
  void on_activate() override;
  void on_open(const type_vec_files& files, const Glib::ustring& hint) override;
  void on_shutdown() override;

 private:
  // The windows' light or dark appearance, observed once for all of them.
  const SystemColorScheme& colorScheme();
  void requestRelaunch();
  // Quits, first cancelling the pages' print dialogs.
  void quitApplication();
  void letTheEngineFinish();
  // The browser windows, each menu before its window, then the passwords and settings windows.
  void closeEveryWindow();
  void languageChanged();
  void attachBrowserCommands();
  // False when the profile is another browser's; the user has then been told.
  bool claimProfile();
  void tellProfileInUse();
  // The normal window used last, where links of other programs go; a new one when there is none.
  BrowserWindow& windowForLinks();
  // What "app.open-in-new-window" and the like are given; none of it opens without
  // openableAddress.
  void openInNewWindow(bool isPrivate, const std::vector<Glib::ustring>& addresses);
  // The first activation's windows, on the main loop's first turns.
  void showBrowserWindowSoon();
  BrowserWindow& addBrowserWindow(WindowModel& tabs);
  void browserWindowClosed(BrowserWindow& window);
  // Drops the windows closed since the last turn; later than their own close signal, which must
  // not destroy them, and before any window opens.
  void finishClosingWindows();
  // The browser window with the focus, else the one that had it last, else the first.
  BrowserWindow* activeBrowserWindow() const;
  // The first browser window, once a window was first shown.
  BrowserWindow* browserWindow() const;
  // The tabs of activeBrowserWindow() while it is shown; none once every window is closed.
  WindowModel* lastUsedTabs() const;
  void addWindowActions();
  int handleLocalOptions(const Glib::RefPtr<Glib::VariantDict>& options);

  // A browser window with its menu commands, which go with it.
  struct OpenBrowserWindow {
    std::unique_ptr<BrowserWindow> window;
    // Declared after the window it adds actions and a popover to: it goes first.
    std::unique_ptr<BrowserMenu> menu;
  };

  // The destructor lets the members go in the order they depend on each other, not in the
  // order they are declared.

  // Held until the application object goes, after every save of this run.
  std::unique_ptr<ProfileLock> profileLock_;
  std::unique_ptr<ProfileInUseNotice> profileInUseNotice_;
  // Shared with the store: the application's reference outlives the store.
  std::shared_ptr<WebEngine> webEngine_;
  std::shared_ptr<BrowserStore> store_;
  // Lets go of the store's preferences before the store goes.
  std::unique_ptr<LanguageFollower> language_;
  // Outlives every window that observes it.
  std::unique_ptr<SystemColorScheme> colorScheme_;
  // Changes whenever a browser window is made active, shown or hidden: views that read
  // lastUsedTabs() follow the user from window to window. Outlives the windows whose signals
  // change it.
  Observable<unsigned> windowTurns_;
  std::vector<OpenBrowserWindow> browserWindows_;
  std::vector<BrowserWindow*> closingWindows_;
  // Goes before the windows its requests go to.
  std::unique_ptr<TabOpeningQueue> openings_;
  // Outlives the passwords window: a copied password is cleared after the window has closed.
  std::unique_ptr<PasswordClipboard> passwordClipboard_;
  std::unique_ptr<PasswordsWindow> passwordsWindow_;
  std::unique_ptr<SettingsView> settingsWindow_;
  std::unique_ptr<Observer> languageObserver_;
  std::unique_ptr<Observer> commandsObserver_;
  std::vector<std::string> launchAddresses_;
  // A first start with a window option and addresses: they open in that new window, private or
  // not, once the session's windows are up.
  std::optional<bool> launchWindowIsPrivate_;
  // The windows of the start, while they wait for their turn; the application is held meanwhile.
  sigc::connection startWindows_;
  bool activated_ = false;
  bool relaunchRequested_ = false;
  bool profileInUse_ = false;
};

}  // namespace zemblo
