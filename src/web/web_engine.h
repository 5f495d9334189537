#pragma once

#include <glibmm/main.h>
#include <webkit/webkit.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "model/browser_engine.h"
#include "platform/desktop_notifications.h"
#include "platform/gobject_ref.h"
#include "platform/scheduler.h"
#include "web/favicon_loader.h"
#include "web/print_dialog_registry.h"
#include "web/web_view_configuration.h"

namespace zemblo {

class NotificationPermissionsFeed;
class WebKitWebViewPort;

// The browser's web engine: the one persistent network session that every tab shares (cookies,
// caches and site storage survive a restart), the factory of the tabs' web views and the store of
// compiled content-rule lists. Nothing of WebKit is started until first used.
class WebEngine : public BrowserEngine {
 public:
  struct Folders {
    std::filesystem::path data;
    std::filesystem::path cache;
    // Compiled content-rule lists; "ContentRuleLists" in `data` when empty.
    std::filesystem::path contentRuleLists = {};
  };

  static constexpr std::chrono::milliseconds kRequestTimeout{60'000};
  // The session's persistent cookies, in its data folder.
  static constexpr const char* kCookieFileName = "cookies.sqlite";

  // Without folders, the application's own: "WebKit" in its data and in its cache folder. The
  // web views' delayed work runs on `scheduler`, which outlives the engine and its views.
  explicit WebEngine(Scheduler& scheduler, std::optional<Folders> folders = std::nullopt);
  ~WebEngine() override;
  WebEngine(const WebEngine&) = delete;
  WebEngine& operator=(const WebEngine&) = delete;

  // Created on first use; without folders, "ContentRuleLists" in the application's data folder.
  // Lists are looked up first in the read-only store beside the bundled rule file.
  std::shared_ptr<ContentRuleStore> contentRuleStore() override;
  // The private windows' session, held in memory only; made on first use after each end.
  WebKitNetworkSession* privateNetworkSession();
  void endPrivateBrowsing() override;
  std::optional<SetAsideFile> checkCookieStore() override;

  // How long a load may take to commit before it ends in a time-out error; applies to web views
  // made afterwards.
  void setRequestTimeout(std::chrono::milliseconds timeout) { requestTimeout_ = timeout; }

  // Removes every kind of website data from the session (cookies, site storage, caches, …);
  // `done` runs later on the main loop with whether the engine managed it.
  void clearWebsiteData(std::function<void(bool cleared)> done) override;

  // The application's appearance is the style manager's: it follows the theme setting and,
  // under "system", the desktop.
  void applyAppearance(ThemeMode theme) override;
  bool isDark() const override;
  std::shared_ptr<void> observeDark(std::function<void()> changed) override;
  void applyPageDarkMode(BrowserTab& tab, const PageDarkModeDecision& decision,
                         bool pushToPage) override;
  void applySpellChecking(bool enabled, const std::vector<std::string>& languages) override;

  // The site icons every view of the browser shows, the pages' own among them: created on first
  // use, shared by the windows and the web views.
  FaviconLoader& favicons();

  // The desktop's notification server, reached on first use.
  DesktopNotifications& desktopNotifications();

  // Cancels the print dialog of every page and refuses later ones: each runs a main loop of its
  // own, which the application's quitting can't end.
  void closePrintDialogs() { printDialogs_->closeAll(); }

  // The engine's network process keeps what pages store (local storage waits half a second in
  // a transaction) and writes it when the browser lets go of its sessions, or when the browser's
  // connection closes: a browser that ends first may take it down with it (a logout, a process
  // group ended). Run once every view and the engine itself are gone, this turns the main loop
  // until that process has finished and ended, for at most `limit`; whether it did.
  static bool awaitNetworkProcessEnd(std::chrono::milliseconds limit);

  std::unique_ptr<WebViewPort> makeWebView(BrowserTab& tab) override;
  std::unique_ptr<WebViewPort> makePopupWebView(BrowserTab& popup, WebViewPort& opener) override;

 private:
  // Created on first use (its cache folder with it); the pages' icons are on from the main
  // loop's next turn.
  WebKitNetworkSession* networkSession();
  Folders folders() const;
  std::unique_ptr<WebViewPort> make(BrowserTab& tab, WebKitWebViewPort* opener);
  void keepCookies(const std::filesystem::path& folder);

  Scheduler& scheduler_;
  std::optional<Folders> folders_;
  std::chrono::milliseconds requestTimeout_ = kRequestTimeout;
  PageCompositing compositing_;
  GObjectRef<WebKitNetworkSession> session_;
  GObjectRef<WebKitNetworkSession> privateSession_;
  sigc::connection enableFavicons_;
  std::shared_ptr<ContentRuleStore> contentRuleStore_;
  // Pages' notifications reach the desktop through one connection to its notification server.
  std::shared_ptr<DesktopNotifications> notifications_;
  std::unique_ptr<NotificationPermissionsFeed> notificationFeed_;
  std::shared_ptr<PrintDialogRegistry> printDialogs_ = std::make_shared<PrintDialogRegistry>();
  std::shared_ptr<FaviconLoader> favicons_;
};

}  // namespace zemblo
