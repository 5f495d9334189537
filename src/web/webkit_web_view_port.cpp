#include "web/webkit_web_view_port.h"

#include <algorithm>

#include "model/browser_tab.h"
#include "web/page_context_menu.h"
#include "web/page_print_dialog.h"
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

// --- pending page requests

struct WebKitWebViewPort::ScriptDialog {
  WebKitScriptDialog* request;  // referenced until answered
  // Quitting answers the page too: the application may end with the dialog still pending.
  SignalHandlers shutdown;
};

struct WebKitWebViewPort::FileChooser {
  GObjectRef<WebKitFileChooserRequest> request;
  Glib::RefPtr<Gtk::FileChooserNative> chooser;
  sigc::connection response;
};

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
  dialogFrames_ = DialogFrames::install(webkit_web_view_get_user_content_manager(view_.get()));
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
  cancelScriptDialog();
  finishFileChooser(false);
  // Its run returns once the dialog is gone, and then finds this port gone too.
  if (printDialog_) printDialog_->cancel();
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
  handlers_.connect(view, "script-dialog", toGCallback(&onScriptDialog), this);
  handlers_.connect(view, "run-file-chooser", toGCallback(&onRunFileChooser), this);
  handlers_.connect(view, "print", toGCallback(&onPrint), this);
  handlers_.connect(view, "unmap", toGCallback(&onUnmap), this);
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
  // A page waiting on an alert or a print dialog cannot start another navigation: the user's load
  // answers it.
  cancelScriptDialog();
  if (printDialog_) printDialog_->cancel();
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
  if (widget_->get_root() && !scriptDialog_) widget_->grab_focus();
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
    if (auto tab = self->tab_.lock()) tab->pageActivatedByUser();
    if (type != GDK_KEY_PRESS || !gdk_key_event_is_modifier(event)) {
      self->lastUserPress_ = g_get_monotonic_time();
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
    if (auto owner = tab.lock()) owner->webContentProcessTerminated(endedByBrowser);
  });
}

void WebKitWebViewPort::onClose(WebKitWebView*, WebKitWebViewPort* self) {
  self->defer([tab = self->tab_] {
    if (auto owner = tab.lock()) owner->pageClosed();
  });
}

GtkWidget* WebKitWebViewPort::onCreate(WebKitWebView*, WebKitNavigationAction*,
                                       WebKitWebViewPort* self) {
  auto tab = self->tab_.lock();
  if (!tab) return nullptr;
  auto popup = tab->createPopupTab();
  if (!popup) return nullptr;
  auto* port = dynamic_cast<WebKitWebViewPort*>(popup->webView());
  if (!port) return nullptr;
  // GLib's marshaller takes over one reference from this return value and hands WebKit a new
  // one that WebKit never releases, so no extra reference is added here: the pop-up tab's port
  // stays the view's only owner and the view goes when that tab closes.
  return GTK_WIDGET(port->webView());
}

// --- alerts, confirmations and prompts

gboolean WebKitWebViewPort::onScriptDialog(WebKitWebView*, WebKitScriptDialog* dialog,
                                           WebKitWebViewPort* self) {
  switch (webkit_script_dialog_get_dialog_type(dialog)) {
    case WEBKIT_SCRIPT_DIALOG_ALERT:
    case WEBKIT_SCRIPT_DIALOG_CONFIRM:
    case WEBKIT_SCRIPT_DIALOG_PROMPT: {
      // Left unreferenced, the dialog is answered as cancelled when this handler returns (a
      // prompt with null). The key sent with it is used up either way.
      const DialogSource source = self->dialogFrames_->takeSource();
      auto tab = self->tab_.lock();
      if (tab && tab->dialogs.guard.allowsDialog()) self->showScriptDialog(dialog, source);
      return TRUE;
    }
    case WEBKIT_SCRIPT_DIALOG_BEFORE_UNLOAD_CONFIRM:
      webkit_script_dialog_confirm_set_confirmed(dialog, TRUE);
      return TRUE;
  }
  return FALSE;
}

void WebKitWebViewPort::showScriptDialog(WebKitScriptDialog* dialog, const DialogSource& source) {
  cancelScriptDialog();
  auto tab = tab_.lock();
  if (!tab) return;
  PageDialog shown;
  switch (webkit_script_dialog_get_dialog_type(dialog)) {
    case WEBKIT_SCRIPT_DIALOG_CONFIRM:
      shown.kind = PageDialog::Kind::confirm;
      break;
    case WEBKIT_SCRIPT_DIALOG_PROMPT:
      shown.kind = PageDialog::Kind::prompt;
      if (const char* text = webkit_script_dialog_prompt_get_default_text(dialog))
        shown.defaultText = text;
      break;
    default:
      shown.kind = PageDialog::Kind::alert;
      break;
  }
  shown.heading = dialogHeading(source);
  if (const char* message = webkit_script_dialog_get_message(dialog)) shown.message = message;
  shown.offersToStop = tab->dialogs.guard.offersToStop(tab->now());

  auto pending = std::make_unique<ScriptDialog>();
  pending->request = webkit_script_dialog_ref(dialog);
  if (GApplication* application = g_application_get_default()) {
    auto onShutdown = +[](GApplication*, WebKitWebViewPort* self) { self->cancelScriptDialog(); };
    pending->shutdown.connect(application, "shutdown", toGCallback(onShutdown), this);
  }
  scriptDialog_ = std::move(pending);
  // The page waits until its tab is shown and the user answers there; the tab shows it only
  // over its own page, so it never covers another tab nor takes the window's keys.
  tab->dialogs.open(std::move(shown),
                    [this, alive = alive_.watch()](const PageDialogAnswer& answer) {
                      if (!alive.expired()) answerScriptDialog(answer);
                    });
}

void WebKitWebViewPort::cancelScriptDialog() {
  if (!scriptDialog_) return;
  if (auto tab = tab_.lock()) tab->dialogs.cancel();
  answerScriptDialog({});
}

void WebKitWebViewPort::answerScriptDialog(const PageDialogAnswer& answer) {
  if (!scriptDialog_) return;
  const auto pending = std::move(scriptDialog_);
  pending->shutdown.disconnectAll();
  switch (webkit_script_dialog_get_dialog_type(pending->request)) {
    case WEBKIT_SCRIPT_DIALOG_CONFIRM:
      webkit_script_dialog_confirm_set_confirmed(pending->request, answer.confirmed);
      break;
    case WEBKIT_SCRIPT_DIALOG_PROMPT:
      // A cancelled prompt gives the page null: no text set.
      if (answer.confirmed)
        webkit_script_dialog_prompt_set_text(pending->request, answer.text.c_str());
      break;
    default:
      break;
  }
  webkit_script_dialog_close(pending->request);
  webkit_script_dialog_unref(pending->request);
  if (auto tab = tab_.lock()) tab->dialogs.guard.dialogEnded(tab->now(), answer.stopAsking);
}

// --- upload fields

gboolean WebKitWebViewPort::onRunFileChooser(WebKitWebView*, WebKitFileChooserRequest* request,
                                             WebKitWebViewPort* self) {
  // A page can't raise choosers on its own (from a timer, in a loop): each needs a press of the
  // user's, and one chooser stays up at a time.
  if (self->fileChooser_ || !self->takeFileChooserActivation()) {
    webkit_file_chooser_request_cancel(request);
  } else {
    self->showFileChooser(request);
  }
  return TRUE;
}

bool WebKitWebViewPort::takeFileChooserActivation() {
  const auto pressed = std::exchange(lastUserPress_, std::nullopt);
  return pressed && g_get_monotonic_time() - *pressed <
                        std::chrono::microseconds(kFileChooserActivation).count();
}

namespace {

// Without a desktop portal, a native chooser is GTK's own dialog in this process: the chooser
// dialog shown for `parent`. Only one is up for a window: a page out of sight has none.
GtkWindow* chooserDialogOf(GtkWindow* parent) {
  GListModel* toplevels = gtk_window_get_toplevels();
  GtkWindow* found = nullptr;
  for (guint i = 0; i < g_list_model_get_n_items(toplevels) && !found; ++i) {
    auto* window = static_cast<GtkWidget*>(g_list_model_get_item(toplevels, i));
    if (GTK_IS_FILE_CHOOSER_DIALOG(window) && gtk_widget_get_visible(window) &&
        gtk_window_get_transient_for(GTK_WINDOW(window)) == parent) {
      found = GTK_WINDOW(window);
    }
    g_object_unref(window);
  }
  return found;
}

}  // namespace

void WebKitWebViewPort::showFileChooser(WebKitFileChooserRequest* request) {
  auto pending = std::make_unique<FileChooser>();
  pending->request = GObjectRef<WebKitFileChooserRequest>::share(request);
  GtkWindow* parent = windowOf(view_.get());
  pending->chooser = parent ? Gtk::FileChooserNative::create("", *Glib::wrap(parent),
                                                             Gtk::FileChooser::Action::OPEN)
                            : Gtk::FileChooserNative::create("", Gtk::FileChooser::Action::OPEN);
  pending->chooser->set_modal(true);
  pending->chooser->set_select_multiple(webkit_file_chooser_request_get_select_multiple(request));
  // The connection ends with the chooser's answer or with this port.
  pending->response = pending->chooser->signal_response().connect(
      [this](int response) { finishFileChooser(response == Gtk::ResponseType::ACCEPT); });
  fileChooser_ = std::move(pending);
  fileChooser_->chooser->show();
  // Like the print dialog: modal to nothing beyond itself, so the browser window keeps its keys
  // (Ctrl+W answers the chooser with its tab), and the application's keys work in it.
  if (GtkWindow* dialog = parent ? chooserDialogOf(parent) : nullptr) {
    GtkWindowGroup* group = gtk_window_group_new();
    gtk_window_group_add_window(group, dialog);
    g_object_unref(group);
    gtk_window_set_application(dialog, gtk_window_get_application(parent));
  }
}

void WebKitWebViewPort::finishFileChooser(bool accepted) {
  if (!fileChooser_) return;
  const auto pending = std::move(fileChooser_);
  pending->response.disconnect();
  std::vector<std::string> paths;
  if (accepted) {
    GListModel* files = gtk_file_chooser_get_files(GTK_FILE_CHOOSER(pending->chooser->gobj()));
    for (guint i = 0; files && i < g_list_model_get_n_items(files); ++i) {
      auto* file = static_cast<GFile*>(g_list_model_get_item(files, i));
      if (char* path = g_file_get_path(file)) {
        paths.emplace_back(path);
        g_free(path);
      }
      g_object_unref(file);
    }
    if (files) g_object_unref(files);
  }
  if (paths.empty()) {
    webkit_file_chooser_request_cancel(pending->request.get());
  } else {
    std::vector<const char*> list;
    for (const auto& path : paths) list.push_back(path.c_str());
    list.push_back(nullptr);
    webkit_file_chooser_request_select_files(pending->request.get(), list.data());
  }
  pending->chooser->hide();
  // The chooser may be emitting its answer right now: keep it until a later turn.
  Glib::signal_idle().connect_once([chooser = pending->chooser] {});
}

// --- printing

gboolean WebKitWebViewPort::onPrint(WebKitWebView*, WebKitPrintOperation* operation,
                                    WebKitWebViewPort* self) {
  // Always handled here: WebKit's own handling opens a dialog for every call, one over the
  // other, from a page in the background too. A page whose dialogs the user stopped can't print.
  if (self->mayOpenPrintDialog() && self->pageMayRaiseDialog()) {
    self->runPrintDialog(GObjectRef<WebKitPrintOperation>::share(operation), true);
  }
  return TRUE;
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

void WebKitWebViewPort::print() {
  if (printDialog_) {
    printDialog_->present();
    return;
  }
  if (!mayOpenPrintDialog()) return;
  runPrintDialog(GObjectRef<WebKitPrintOperation>::adopt(webkit_print_operation_new(view_.get())),
                 false);
}

bool WebKitWebViewPort::mayOpenPrintDialog() const {
  return !printDialog_ && !printDialogs_->closed() && gtk_widget_get_mapped(widget_->gobj());
}

bool WebKitWebViewPort::pageMayRaiseDialog() const {
  // Not held on to: the tab must be free to go while its page's dialog is up.
  const auto tab = tab_.lock();
  return tab && tab->dialogs.guard.allowsDialog();
}

void WebKitWebViewPort::runPrintDialog(GObjectRef<WebKitPrintOperation> operation,
                                       bool askedByPage) {
  // The page's print counts with its alerts: a page that keeps printing can be stopped like one
  // that keeps alerting. The user's own print is none of the page's doing.
  auto tab = askedByPage ? tab_.lock() : nullptr;
  const bool offerToStop = tab && tab->dialogs.guard.offersToStop(tab->now());
  // The dialog runs the main loop, which may close the tab and end this port meanwhile: neither
  // is held through it.
  const std::weak_ptr<BrowserTab> askingTab = tab;
  tab.reset();
  const AliveToken::Watch alive = alive_.watch();
  const auto registry = printDialogs_;
  PagePrintDialog dialog(std::move(operation), windowOf(view_.get()), offerToStop);
  printDialog_ = &dialog;
  registry->add(dialog);
  dialog.run();
  registry->remove(dialog);
  if (alive.expired()) return;
  printDialog_ = nullptr;
  if (const auto ended = askingTab.lock()) {
    ended->dialogs.guard.dialogEnded(ended->now(), dialog.blockMoreChosen());
  }
}

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

void WebKitWebViewPort::onUnmap(GtkWidget*, WebKitWebViewPort* self) {
  // The page went out of sight (another tab, a closed window): so do its print dialog and its
  // file chooser.
  if (self->printDialog_) self->printDialog_->cancel();
  self->finishFileChooser(false);
}

}  // namespace zemblo
