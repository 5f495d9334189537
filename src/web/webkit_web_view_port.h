#pragma once

#include <adwaita.h>
#include <gtkmm.h>
#include <webkit/webkit.h>

#include <chrono>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/page_script_world.h"
#include "model/web_view_port.h"
#include "platform/alive_token.h"
#include "platform/gobject_ref.h"
#include "platform/scheduler.h"
#include "web/element_hiding_index.h"
#include "web/engine_favicon_feed.h"
#include "web/page_drop_guard.h"
#include "web/webkit_page_dialogs.h"
#include "web/webkit_page_permissions.h"

namespace zemblo {

class PageContextMenu;

// A compiled content-rule list of WebKit with the page script that applies its every-page hiding
// rules, installed together per web view through its user content manager.
class WebKitContentRuleList : public ContentRuleList {
 public:
  // Takes a reference of its own.
  WebKitContentRuleList(WebKitUserContentFilter* filter,
                        std::shared_ptr<const element_hiding::Index> hiding);
  ~WebKitContentRuleList() override;
  WebKitContentRuleList(const WebKitContentRuleList&) = delete;
  WebKitContentRuleList& operator=(const WebKitContentRuleList&) = delete;

  void addTo(WebKitUserContentManager* contentManager) const;
  void removeFrom(WebKitUserContentManager* contentManager) const;

 private:
  WebKitUserContentFilter* filter_;
  std::shared_ptr<const element_hiding::Index> hiding_;
  WebKitUserScript* hidingScript_;
};

// Held by every web view of one web process: a window a page opens shares its opener's process.
// The last view to go ends the process: WebKit would otherwise keep it for a later page of the
// same site, up to 30 such processes of tens of megabytes each for half an hour, long after
// their tabs were closed.
struct WebProcessShare {};

// One tab's WebKitWebView. It reports the page's state and navigation events to its tab, which
// decides; this class only translates between WebKit and the tab's terms. The view lives exactly
// as long as this object (a GTK parent only borrows it).
class WebKitWebViewPort : public WebViewPort {
 public:
  WebKitWebViewPort(GObjectRef<WebKitWebView> view, std::weak_ptr<BrowserTab> tab,
                    Scheduler& scheduler, std::chrono::milliseconds requestTimeout,
                    std::shared_ptr<WebProcessShare> process,
                    std::shared_ptr<DesktopNotifications> notifications);
  ~WebKitWebViewPort() override;
  WebKitWebViewPort(const WebKitWebViewPort&) = delete;
  WebKitWebViewPort& operator=(const WebKitWebViewPort&) = delete;

  WebKitWebView* webView() const { return view_.get(); }
  const std::shared_ptr<WebProcessShare>& process() const { return process_; }
  // The view as a gtkmm widget, for the host that shows it.
  Gtk::Widget& widget() const { return *widget_; }
  // The engine's print dialogs, which quitting closes all at once.
  void setPrintDialogs(std::shared_ptr<PrintDialogRegistry> registry) {
    dialogs_->setPrintDialogs(std::move(registry));
  }
  // The icon cache the engine's site icons go to, as well as to the tab.
  void setFavicons(std::weak_ptr<FaviconLoader> favicons);
  bool reportsFavicons() const override;

  // A press of the user's on the page that may open the menu of saved logins: a button or a
  // touch, with where it was in the view, or the Down key; any other key typed since cancels it.
  struct UserPress {
    struct Point {
      double x = 0;
      double y = 0;
    };
    std::optional<Point> at;
  };
  // The last such press, once: each opens at most one menu, and a page can make none.
  std::optional<UserPress> takeUserPress() { return std::exchange(userPress_, std::nullopt); }

  void load(const Url& url) override;
  void reload() override;
  void stopLoading() override;
  void goBack() override;
  void goForward() override;
  void setPageZoom(double zoom) override;
  double pageZoom() const override;
  void addContentRuleList(const ContentRuleList& list) override;
  void removeContentRuleList(const ContentRuleList& list) override;
  void findFaviconAddress(std::function<void(std::optional<std::string>)> done) override;
  void findText(const std::string& text, bool backwards, unsigned maxMatches,
                FindDone done) override;
  void finishFinding() override;
  void focusIfShown() override;
  void setMuted(bool muted) override;
  void leaveFullScreen() override;
  void stopMediaCapture() override;
  void print() override;
  void toggleInspector() override;
  void fetchPageSource(std::function<void(std::optional<std::string>)> done) override;
  void allowRefusedCertificate() override;
  std::optional<std::string> sessionState() const override;
  bool restoreSessionState(const std::string& bytes) override;
  void findUnsentInput(std::function<void(std::optional<bool>)> done) override;
  bool resendForm() override;

  // The isolated script world of the favicon look-up: the page cannot tamper with its DOM calls.
  static constexpr const char* kFaviconWorld = kPageScriptWorld;
  // The isolated world that ends a page's full screen, out of reach of the page's own scripts.
  static constexpr const char* kFullScreenWorld = kPageScriptWorld;
  // The isolated world that looks for input not sent before the tab sleeps.
  static constexpr const char* kUnsentInputWorld = kPageScriptWorld;

 private:
  void connectSignals();
  void publishInitialState();
  void publishBackForward();
  // Runs `work` on a later turn of the main loop, unless this port is gone by then. Used for
  // events that may end with the tab closing (and this view being destroyed).
  void defer(std::function<void()> work);
  void startWatchdog(const Url& url);
  void stopWatchdog();
  // A page that came over a certificate the user let through on another port of its host is
  // stopped and shown as refused; false for any other commit.
  bool refuseCertificateOfAnotherPort(WebKitWebView* view);
  void commitWithoutTheRequestedPage(WebKitWebView* view);
  void requestTimedOut(const Url& url);

  // WebKit signal handlers; `self` is this port (every handler is disconnected on destruction).
  static void onTitle(WebKitWebView*, GParamSpec*, WebKitWebViewPort* self);
  static void onURI(WebKitWebView*, GParamSpec*, WebKitWebViewPort* self);
  static void onIsLoading(WebKitWebView*, GParamSpec*, WebKitWebViewPort* self);
  static void onProgress(WebKitWebView*, GParamSpec*, WebKitWebViewPort* self);
  static void onPlayingAudio(WebKitWebView*, GParamSpec*, WebKitWebViewPort* self);
  static void onMuted(WebKitWebView*, GParamSpec*, WebKitWebViewPort* self);
  static gboolean onEnterFullScreen(WebKitWebView*, WebKitWebViewPort* self);
  static gboolean onLeaveFullScreen(WebKitWebView*, WebKitWebViewPort* self);
  static void onBackForwardChanged(WebKitBackForwardList*, WebKitBackForwardListItem*, gpointer,
                                   WebKitWebViewPort* self);
  static void onLoadChanged(WebKitWebView*, WebKitLoadEvent event, WebKitWebViewPort* self);
  static gboolean onLoadFailed(WebKitWebView*, WebKitLoadEvent event, const char* failingURI,
                               GError* error, WebKitWebViewPort* self);
  static gboolean onLoadFailedWithTlsErrors(WebKitWebView*, const char* failingURI,
                                            GTlsCertificate* certificate,
                                            GTlsCertificateFlags faults, WebKitWebViewPort* self);
  static gboolean onDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision,
                                 WebKitPolicyDecisionType type, WebKitWebViewPort* self);
  static void onProcessTerminated(WebKitWebView*, WebKitWebProcessTerminationReason reason,
                                  WebKitWebViewPort* self);
  static GtkWidget* onCreate(WebKitWebView*, WebKitNavigationAction*, WebKitWebViewPort* self);
  static void onClose(WebKitWebView*, WebKitWebViewPort* self);
  static gboolean onInspectorOpened(WebKitWebInspector* inspector, WebKitWebViewPort* self);
  static void onInspectorClosed(WebKitWebInspector*, WebKitWebViewPort* self);
  // Whether the engine keeps the pages left, and pictures of them for the back and forward swipes.
  static void keepPagesLeft(WebKitWebView* view, bool keep);
  static void onRealize(GtkWidget* view, WebKitWebViewPort* self);
  static void onUnrealize(GtkWidget* view, WebKitWebViewPort* self);
  static gboolean onInputEvent(GtkEventControllerLegacy*, GdkEvent* event, WebKitWebViewPort* self);
  std::optional<UserPress::Point> pointInView(GdkEvent* event) const;
  static void onFoundText(WebKitFindController*, guint matchCount, WebKitWebViewPort* self);
  static void onFailedToFindText(WebKitFindController*, WebKitWebViewPort* self);
  void answerFind(std::optional<unsigned> matchCount);

  bool decideNavigationAction(WebKitPolicyDecision* decision, WebKitPolicyDecisionType type);
  bool decideResponse(WebKitPolicyDecision* decision);
  bool inBackForwardList(WebKitBackForwardListItem* item) const;

  GObjectRef<WebKitWebView> view_;
  std::shared_ptr<WebProcessShare> process_;
  Gtk::Widget* widget_;  // gtkmm's wrapper of view_, which lives as long as the view
  GtkEventController* userInput_ = nullptr;  // owned by the view
  std::weak_ptr<BrowserTab> tab_;
  std::unique_ptr<EngineFaviconFeed> faviconFeed_;
  Scheduler& scheduler_;
  std::chrono::milliseconds requestTimeout_;
  GObjectRef<GCancellable> cancellable_;
  // Tells deferred work whether this port still exists.
  AliveToken alive_;
  std::vector<std::unique_ptr<ScheduledTask>> deferred_;
  std::unique_ptr<ScheduledTask> watchdog_;
  bool loadFailed_ = false;
  // The address of the navigation that has started and not yet committed.
  std::string provisionalURI_;
  // The redirections the load under way followed.
  int redirects_ = 0;
  // The certificate the last load was refused for, and the address it was refused at.
  GObjectRef<GTlsCertificate> refusedCertificate_;
  std::string refusedURI_;
  // The entry of the back and forward list whose form the tab last refused to send again.
  GObjectRef<WebKitBackForwardListItem> formToResend_;
  // The browser asked for a load (or back, forward, reload) that the engine has not decided yet.
  bool browserAsked_ = false;
  // The main frame's navigation under way is one the browser asked for, not the page.
  bool navigationByBrowser_ = false;
  // The find controller answers searches in the order they were asked.
  std::deque<FindDone> pendingFinds_;
  std::optional<UserPress> userPress_;
  PageDropGuard dropGuard_;
  bool inspectorOpen_ = false;
  SignalHandlers handlers_;
  std::unique_ptr<WebKitPagePermissions> permissions_;
  std::unique_ptr<WebKitPageDialogs> dialogs_;
  std::unique_ptr<PageContextMenu> contextMenu_;
};

}  // namespace zemblo
