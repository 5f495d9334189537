#include "web/webkit_web_view_port.h"

#include <algorithm>

#include "model/browser_tab.h"
#include "web/page_context_menu.h"
#include "web/web_resources.h"
#include "web/web_view_container.h"

namespace zemblo {
namespace {

// WebKitGTK has no request time-out of its own; the watchdog's error carries this text. The
// texts table has no Turkish entry for it, so it is shown as written.
constexpr const char* kTimedOutMessage = "The request timed out.";

GtkWindow* windowOf(WebKitWebView* view) {
  GtkRoot* root = gtk_widget_get_root(GTK_WIDGET(view));
  return root && GTK_IS_WINDOW(root) ? GTK_WINDOW(root) : nullptr;
}

// The browser's keys for the inspector, F12 and Ctrl+Shift+I, close it from its own window too,
// where the browser window's shortcuts never see them.
bool isInspectorKey(guint keyval, GdkModifierType state) {
  const auto modifiers = state & (GDK_CONTROL_MASK | GDK_SHIFT_MASK | GDK_ALT_MASK);
  if (keyval == GDK_KEY_F12) return modifiers == 0;
  return (keyval == GDK_KEY_i || keyval == GDK_KEY_I) &&
         modifiers == (GDK_CONTROL_MASK | GDK_SHIFT_MASK);
}

gboolean onInspectorWindowKey(GtkEventControllerKey*, guint keyval, guint, GdkModifierType state,
                              WebKitWebInspector* inspector) {
  if (!isInspectorKey(keyval, state)) return FALSE;
  // Not while its window is still handling the key.
  g_idle_add_full(
      G_PRIORITY_HIGH_IDLE,
      [](gpointer data) {
        webkit_web_inspector_close(WEBKIT_WEB_INSPECTOR(data));
        return G_SOURCE_REMOVE;
      },
      g_object_ref(inspector), g_object_unref);
  return TRUE;
}

constexpr const char* kInspectorKeysKey = "zemblo-inspector-keys";

void watchInspectorWindowKeys(WebKitWebInspector* inspector, GtkWindow* browserWindow) {
  auto* own = GTK_WIDGET(webkit_web_inspector_get_web_view(inspector));
  GtkRoot* root = own ? gtk_widget_get_root(own) : nullptr;
  GtkWindow* window = root && GTK_IS_WINDOW(root) ? GTK_WINDOW(root) : nullptr;
  if (!window || window == browserWindow || g_object_get_data(G_OBJECT(window), kInspectorKeysKey))
    return;
  g_object_set_data(G_OBJECT(window), kInspectorKeysKey, GINT_TO_POINTER(1));
  GtkEventController* keys = gtk_event_controller_key_new();
  gtk_event_controller_set_propagation_phase(keys, GTK_PHASE_CAPTURE);
  g_signal_connect_data(
      keys, "key-pressed", G_CALLBACK(onInspectorWindowKey), g_object_ref(inspector),
      [](gpointer data, GClosure*) { g_object_unref(data); }, GConnectFlags(0));
  gtk_widget_add_controller(GTK_WIDGET(window), keys);  // takes the controller
}

// A favicon look-up in flight. The answer is dropped once the port is gone.
struct TextAnswerRequest {
  std::function<void(std::optional<std::string>)> done;
  AliveToken::Watch portAlive;
};

void faviconEvaluated(GObject* source, GAsyncResult* result, gpointer data) {
  const std::unique_ptr<TextAnswerRequest> request(static_cast<TextAnswerRequest*>(data));
  GError* error = nullptr;
  JSCValue* value =
      webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), result, &error);
  std::optional<std::string> address;
  if (value) {
    if (jsc_value_is_string(value)) {
      char* text = jsc_value_to_string(value);
      address = text;
      g_free(text);
    }
    g_object_unref(value);
  }
  g_clear_error(&error);
  if (request->portAlive.expired()) return;
  request->done(std::move(address));
}

}  // namespace

// --- WebKitContentRuleList

WebKitContentRuleList::WebKitContentRuleList(WebKitUserContentFilter* filter,
                                             std::shared_ptr<const element_hiding::Index> hiding)
    : filter_(webkit_user_content_filter_ref(filter)),
      hiding_(std::move(hiding)),
      hidingScript_(element_hiding::newPageScript()) {}

WebKitContentRuleList::~WebKitContentRuleList() {
  webkit_user_content_filter_unref(filter_);
  webkit_user_script_unref(hidingScript_);
}

void WebKitContentRuleList::addTo(WebKitUserContentManager* contentManager) const {
  webkit_user_content_manager_add_filter(contentManager, filter_);
  element_hiding::addTo(contentManager, hidingScript_, hiding_);
}

void WebKitContentRuleList::removeFrom(WebKitUserContentManager* contentManager) const {
  webkit_user_content_manager_remove_filter(contentManager, filter_);
  element_hiding::removeFrom(contentManager, hidingScript_);
}

// --- WebKitWebViewPort

WebKitWebViewPort::WebKitWebViewPort(GObjectRef<WebKitWebView> view, std::weak_ptr<BrowserTab> tab,
                                     Scheduler& scheduler, std::chrono::milliseconds requestTimeout,
                                     std::shared_ptr<WebProcessShare> process,
                                     std::shared_ptr<DesktopNotifications> notifications)
    : view_(std::move(view)),
      process_(std::move(process)),
      widget_(Glib::wrap(GTK_WIDGET(view_.get()))),
      tab_(std::move(tab)),
      scheduler_(scheduler),
      requestTimeout_(requestTimeout),
      cancellable_(GObjectRef<GCancellable>::adopt(g_cancellable_new())) {
  widget_->set_hexpand(true);
  widget_->set_vexpand(true);
  dialogs_ = std::make_unique<WebKitPageDialogs>(view_.get(), tab_);
  connectSignals();
  publishInitialState();
  permissions_ =
      std::make_unique<WebKitPagePermissions>(view_.get(), tab_, std::move(notifications));
  contextMenu_ = std::make_unique<PageContextMenu>(*this, tab_);
  faviconFeed_ =
      std::make_unique<EngineFaviconFeed>(view_.get(), tab_, std::weak_ptr<FaviconLoader>());
}

void WebKitWebViewPort::setFavicons(std::weak_ptr<FaviconLoader> favicons) {
  faviconFeed_ = std::make_unique<EngineFaviconFeed>(view_.get(), tab_, std::move(favicons));
}

bool WebKitWebViewPort::reportsFavicons() const {
  return EngineFaviconFeed::keepsIcons(view_.get());
}

WebKitWebViewPort::~WebKitWebViewPort() {
  alive_.end();
  contextMenu_.reset();
  permissions_.reset();
  faviconFeed_.reset();
  handlers_.disconnectAll();
  gtk_widget_remove_controller(GTK_WIDGET(view_.get()), userInput_);
  g_cancellable_cancel(cancellable_.get());
  watchdog_.reset();
  deferred_.clear();
  dialogs_.reset();
  webkit_web_view_stop_loading(view_.get());
  // Its termination is not reported: every handler is gone.
  if (process_.use_count() == 1) webkit_web_view_terminate_web_process(view_.get());
  detachWebView(GTK_WIDGET(view_.get()));
}

void WebKitWebViewPort::connectSignals() {
  WebKitWebView* view = view_.get();
  handlers_.connect(view, "notify::title", toGCallback(&onTitle), this);
  handlers_.connect(view, "notify::uri", toGCallback(&onURI), this);
  handlers_.connect(view, "notify::is-loading", toGCallback(&onIsLoading), this);
  handlers_.connect(view, "notify::estimated-load-progress", toGCallback(&onProgress), this);
  handlers_.connect(view, "notify::is-playing-audio", toGCallback(&onPlayingAudio), this);
  handlers_.connect(view, "notify::is-muted", toGCallback(&onMuted), this);
  handlers_.connect(view, "enter-fullscreen", toGCallback(&onEnterFullScreen), this);
  handlers_.connect(view, "leave-fullscreen", toGCallback(&onLeaveFullScreen), this);
  handlers_.connect(webkit_web_view_get_back_forward_list(view), "changed",
                    toGCallback(&onBackForwardChanged), this);
  handlers_.connect(view, "load-changed", toGCallback(&onLoadChanged), this);
  handlers_.connect(view, "load-failed", toGCallback(&onLoadFailed), this);
  handlers_.connect(view, "load-failed-with-tls-errors", toGCallback(&onLoadFailedWithTlsErrors),
                    this);
  handlers_.connect(view, "decide-policy", toGCallback(&onDecidePolicy), this);
  handlers_.connect(view, "web-process-terminated", toGCallback(&onProcessTerminated), this);
  handlers_.connect(view, "create", toGCallback(&onCreate), this);
  handlers_.connect(view, "close", toGCallback(&onClose), this);
  WebKitWebInspector* inspector = webkit_web_view_get_inspector(view);
  handlers_.connect(inspector, "open-window", toGCallback(&onInspectorOpened), this);
  handlers_.connect(inspector, "attach", toGCallback(&onInspectorOpened), this);
  handlers_.connect(inspector, "closed", toGCallback(&onInspectorClosed), this);
  // A page left while its view is in no window (a tab put aside, then navigated by its page or
  // the user) broke the engine twice: it crashed taking the picture of the page left for the back
  // and forward swipes, which it takes through the view's window, and the page it kept for going
  // back painted nothing once restored. Out of a window, pages left are neither pictured nor kept.
  handlers_.connect(view, "realize", toGCallback(&onRealize), this);
  handlers_.connect(view, "unrealize", toGCallback(&onUnrealize), this);
  keepPagesLeft(view, gtk_widget_get_realized(GTK_WIDGET(view)));
  WebKitFindController* finder = webkit_web_view_get_find_controller(view);
  handlers_.connect(finder, "found-text", toGCallback(&onFoundText), this);
  handlers_.connect(finder, "failed-to-find-text", toGCallback(&onFailedToFindText), this);

  // Watches the user's presses on the page without taking them: each one lets the page open one
  // window, and its autofill script one menu of saved logins. Also where drops of links the page
  // may not open are stopped.
  userInput_ = gtk_event_controller_legacy_new();
  gtk_event_controller_set_propagation_phase(userInput_, GTK_PHASE_CAPTURE);
  handlers_.connect(userInput_, "event", toGCallback(&onInputEvent), this);
  gtk_widget_add_controller(GTK_WIDGET(view), userInput_);  // takes the controller
}

// Like key-value observation with the "initial" option: the tab starts from the view's values.
void WebKitWebViewPort::publishInitialState() {
  WebKitWebView* view = view_.get();
  onTitle(view, nullptr, this);
  onURI(view, nullptr, this);
  onIsLoading(view, nullptr, this);
  onProgress(view, nullptr, this);
  onPlayingAudio(view, nullptr, this);
  publishBackForward();
}

void WebKitWebViewPort::publishBackForward() {
  auto tab = tab_.lock();
  if (!tab) return;
  tab->canGoBack.set(webkit_web_view_can_go_back(view_.get()));
  tab->canGoForward.set(webkit_web_view_can_go_forward(view_.get()));
}

void WebKitWebViewPort::defer(std::function<void()> work) {
  std::erase_if(deferred_, [](const auto& task) { return task->finished(); });
  deferred_.push_back(scheduler_.after(std::chrono::milliseconds(0), std::move(work)));
}

// --- commands

void WebKitWebViewPort::load(const Url& url) {
  dialogs_->cancelForLoad();
  browserAsked_ = true;
  startWatchdog(url);
  auto request = GObjectRef<WebKitURIRequest>::adopt(webkit_uri_request_new(url.str().c_str()));
  webkit_web_view_load_request(view_.get(), request.get());
}

void WebKitWebViewPort::reload() {
  browserAsked_ = true;
  webkit_web_view_reload(view_.get());
}

void WebKitWebViewPort::stopLoading() {
  stopWatchdog();
  webkit_web_view_stop_loading(view_.get());
}

// Only a step the engine will take is marked as the browser's: a mark left unused would be taken
// by the page's own next navigation.
void WebKitWebViewPort::goBack() {
  browserAsked_ = webkit_web_view_can_go_back(view_.get());
  webkit_web_view_go_back(view_.get());
}

void WebKitWebViewPort::goForward() {
  browserAsked_ = webkit_web_view_can_go_forward(view_.get());
  webkit_web_view_go_forward(view_.get());
}

void WebKitWebViewPort::setPageZoom(double zoom) {
  webkit_web_view_set_zoom_level(view_.get(), zoom);
}

double WebKitWebViewPort::pageZoom() const { return webkit_web_view_get_zoom_level(view_.get()); }

void WebKitWebViewPort::addContentRuleList(const ContentRuleList& list) {
  if (const auto* ruleList = dynamic_cast<const WebKitContentRuleList*>(&list)) {
    ruleList->addTo(webkit_web_view_get_user_content_manager(view_.get()));
  }
}

void WebKitWebViewPort::removeContentRuleList(const ContentRuleList& list) {
  if (const auto* ruleList = dynamic_cast<const WebKitContentRuleList*>(&list)) {
    ruleList->removeFrom(webkit_web_view_get_user_content_manager(view_.get()));
  }
}

void WebKitWebViewPort::findText(const std::string& text, bool backwards, unsigned maxMatches,
                                 FindDone done) {
  pendingFinds_.push_back(std::move(done));
  guint32 options = WEBKIT_FIND_OPTIONS_CASE_INSENSITIVE | WEBKIT_FIND_OPTIONS_WRAP_AROUND;
  if (backwards) options |= WEBKIT_FIND_OPTIONS_BACKWARDS;
  webkit_find_controller_search(webkit_web_view_get_find_controller(view_.get()), text.c_str(),
                                options, maxMatches);
}

void WebKitWebViewPort::finishFinding() {
  webkit_find_controller_search_finish(webkit_web_view_get_find_controller(view_.get()));
}

void WebKitWebViewPort::stopMediaCapture() { permissions_->stopCapture(); }

void WebKitWebViewPort::focusIfShown() {
  // A page waiting on its dialog leaves the keyboard to the dialog.
  if (widget_->get_root() && !dialogs_->scriptDialogPending()) widget_->grab_focus();
}

void WebKitWebViewPort::setMuted(bool muted) { webkit_web_view_set_is_muted(view_.get(), muted); }

void WebKitWebViewPort::leaveFullScreen() {
  // WebKitGTK offers no call of its own: the page's document is asked, as its Escape key would.
  webkit_web_view_evaluate_javascript(view_.get(), "document.exitFullscreen()", -1,
                                      kFullScreenWorld, nullptr, cancellable_.get(), nullptr,
                                      nullptr);
}

gboolean WebKitWebViewPort::onInputEvent(GtkEventControllerLegacy*, GdkEvent* event,
                                         WebKitWebViewPort* self) {
  if (self->dropGuard_.stops(event)) return TRUE;
  const GdkEventType type = gdk_event_get_event_type(event);
  if (type == GDK_BUTTON_PRESS || type == GDK_KEY_PRESS || type == GDK_TOUCH_BEGIN) {
    if (auto tab = self->tab_.lock()) tab->navigation.pageActivatedByUser();
    if (type != GDK_KEY_PRESS || !gdk_key_event_is_modifier(event)) {
      self->dialogs_->userPressed();
    }
  }
  if (type == GDK_BUTTON_PRESS || type == GDK_TOUCH_BEGIN) {
    self->userPress_ = UserPress{self->pointInView(event)};
  } else if (type == GDK_KEY_PRESS && !gdk_key_event_is_modifier(event)) {
    // Typing after a press answers it: a menu asked for by then would come up under the keys.
    const guint key = gdk_key_event_get_keyval(event);
    const bool down = key == GDK_KEY_Down || key == GDK_KEY_KP_Down;
    self->userPress_ = down ? std::optional<UserPress>(UserPress{}) : std::nullopt;
  }
  return FALSE;
}

std::optional<WebKitWebViewPort::UserPress::Point> WebKitWebViewPort::pointInView(
    GdkEvent* event) const {
  GtkWidget* view = GTK_WIDGET(view_.get());
  GtkNative* native = gtk_widget_get_native(view);
  double x = 0, y = 0, surfaceX = 0, surfaceY = 0;
  if (!native || !gdk_event_get_position(event, &x, &y)) return std::nullopt;
  gtk_native_get_surface_transform(native, &surfaceX, &surfaceY);
  const graphene_point_t inNative = GRAPHENE_POINT_INIT(float(x - surfaceX), float(y - surfaceY));
  graphene_point_t inView;
  if (!gtk_widget_compute_point(GTK_WIDGET(native), view, &inNative, &inView)) return std::nullopt;
  return UserPress::Point{inView.x, inView.y};
}

void WebKitWebViewPort::onFoundText(WebKitFindController*, guint matchCount,
                                    WebKitWebViewPort* self) {
  self->answerFind(matchCount);
}

void WebKitWebViewPort::onFailedToFindText(WebKitFindController*, WebKitWebViewPort* self) {
  self->answerFind(std::nullopt);
}

void WebKitWebViewPort::answerFind(std::optional<unsigned> matchCount) {
  if (pendingFinds_.empty()) return;
  FindDone done = std::move(pendingFinds_.front());
  pendingFinds_.pop_front();
  done(matchCount);
}

void WebKitWebViewPort::findFaviconAddress(std::function<void(std::optional<std::string>)> done) {
  auto request =
      std::make_unique<TextAnswerRequest>(TextAnswerRequest{std::move(done), alive_.watch()});
  // Document order; a touch icon first, then the first icon that is not an SVG, then the first.
  // An opaque origin ("null") has no favicon address of its own.
  webkit_web_view_evaluate_javascript(view_.get(), resources::faviconScript().c_str(), -1,
                                      kFaviconWorld, nullptr, cancellable_.get(), &faviconEvaluated,
                                      request.release());
}

// --- the request watchdog

void WebKitWebViewPort::startWatchdog(const Url& url) {
  // Owned by this port: destroying the task cancels it.
  watchdog_ = scheduler_.after(requestTimeout_, [this, url] { requestTimedOut(url); });
}

void WebKitWebViewPort::stopWatchdog() { watchdog_.reset(); }

void WebKitWebViewPort::requestTimedOut(const Url& url) {
  // The stop's own cancellation is reported too; the tab ignores it.
  webkit_web_view_stop_loading(view_.get());
  loadFailed_ = true;
  if (auto tab = tab_.lock()) {
    tab->handleLoadFailure({BrowserTab::LoadFailure::Kind::other, kTimedOutMessage, url,
                            BrowserTab::FailureCause::timedOut});
    // A stop that reaches the engine before its load got going leaves "is-loading" set with no
    // later change, and the tab would spin forever beside its error.
    tab->isLoading.set(false);
  }
}

// --- page events that may close the tab: handled on a later turn

void WebKitWebViewPort::onProcessTerminated(WebKitWebView*,
                                            WebKitWebProcessTerminationReason reason,
                                            WebKitWebViewPort* self) {
  const bool endedByBrowser = reason == WEBKIT_WEB_PROCESS_TERMINATED_BY_API;
  self->defer([tab = self->tab_, endedByBrowser] {
    if (auto owner = tab.lock()) owner->navigation.webContentProcessTerminated(endedByBrowser);
  });
}

void WebKitWebViewPort::onClose(WebKitWebView*, WebKitWebViewPort* self) {
  self->defer([tab = self->tab_] {
    if (auto owner = tab.lock()) owner->navigation.pageClosed();
  });
}

GtkWidget* WebKitWebViewPort::onCreate(WebKitWebView*, WebKitNavigationAction*,
                                       WebKitWebViewPort* self) {
  auto tab = self->tab_.lock();
  if (!tab) return nullptr;
  auto popup = tab->navigation.createPopupTab();
  if (!popup) return nullptr;
  auto* port = dynamic_cast<WebKitWebViewPort*>(popup->webView());
  if (!port) return nullptr;
  // GLib's marshaller takes over one reference from this return value and hands WebKit a new
  // one that WebKit never releases, so no extra reference is added here: the pop-up tab's port
  // stays the view's only owner and the view goes when that tab closes.
  return GTK_WIDGET(port->webView());
}

void WebKitWebViewPort::toggleInspector() {
  WebKitWebInspector* inspector = webkit_web_view_get_inspector(view_.get());
  if (inspectorOpen_) {
    webkit_web_inspector_close(inspector);
  } else {
    webkit_web_inspector_show(inspector);
  }
}

gboolean WebKitWebViewPort::onInspectorOpened(WebKitWebInspector* inspector,
                                              WebKitWebViewPort* self) {
  self->inspectorOpen_ = true;
  // Its window is made once this signal is handled; attached, it is in the browser window.
  self->defer([inspector, view = self->view_.get()] {
    watchInspectorWindowKeys(inspector, windowOf(view));
  });
  return FALSE;
}

void WebKitWebViewPort::onInspectorClosed(WebKitWebInspector*, WebKitWebViewPort* self) {
  self->inspectorOpen_ = false;
}

void WebKitWebViewPort::fetchPageSource(std::function<void(std::optional<std::string>)> done) {
  WebKitWebResource* resource = webkit_web_view_get_main_resource(view_.get());
  if (!resource) {
    done(std::nullopt);
    return;
  }
  auto request =
      std::make_unique<TextAnswerRequest>(TextAnswerRequest{std::move(done), alive_.watch()});
  webkit_web_resource_get_data(
      resource, cancellable_.get(),
      [](GObject* source, GAsyncResult* result, gpointer data) {
        const std::unique_ptr<TextAnswerRequest> request(static_cast<TextAnswerRequest*>(data));
        GError* error = nullptr;
        gsize length = 0;
        guchar* bytes = webkit_web_resource_get_data_finish(WEBKIT_WEB_RESOURCE(source), result,
                                                            &length, &error);
        std::optional<std::string> text;
        if (bytes) text = std::string(reinterpret_cast<const char*>(bytes), length);
        if (error && !g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED)) {
          g_warning("The page's source could not be read: %s", error->message);
        }
        g_free(bytes);
        g_clear_error(&error);
        if (request->portAlive.expired()) return;
        request->done(std::move(text));
      },
      request.release());
}

void WebKitWebViewPort::print() { dialogs_->print(); }

void WebKitWebViewPort::keepPagesLeft(WebKitWebView* view, bool keep) {
  // Each view has settings of its own.
  WebKitSettings* settings = webkit_web_view_get_settings(view);
  webkit_settings_set_enable_back_forward_navigation_gestures(settings, keep);
  webkit_settings_set_enable_page_cache(settings, keep);
}

void WebKitWebViewPort::onRealize(GtkWidget* view, WebKitWebViewPort*) {
  keepPagesLeft(WEBKIT_WEB_VIEW(view), true);
}

void WebKitWebViewPort::onUnrealize(GtkWidget* view, WebKitWebViewPort*) {
  keepPagesLeft(WEBKIT_WEB_VIEW(view), false);
}

}  // namespace zemblo
