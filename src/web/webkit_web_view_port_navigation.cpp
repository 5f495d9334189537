// What the page reports as it loads, and the policy answers for where it may go.
#include "web/webkit_web_view_port.h"

#include <string_view>

#include "model/browser_tab.h"
#include "web/certificate_exceptions.h"
#include "web/certificate_fault_reading.h"

namespace zemblo {
namespace {

// The engine's own words for an address it refuses, which WebKitGTK never reports.
constexpr const char* kRefusedMessage = "Not allowed to use restricted network port";
constexpr std::string_view kBlankPage = "about:blank";
// The engine gives up after this many redirections, with an error of no domain.
constexpr int kEngineRedirectLimit = 20;

std::optional<Url> parseURI(const char* uri) {
  if (!uri || !*uri) return std::nullopt;
  return Url::parse(uri);
}

BrowserTab::LoadFailure::Kind failureKind(const GError* error) {
  using Kind = BrowserTab::LoadFailure::Kind;
  if (g_error_matches(error, WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_CANCELLED) ||
      g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED)) {
    return Kind::cancelled;
  }
  if (g_error_matches(error, WEBKIT_POLICY_ERROR,
                      WEBKIT_POLICY_ERROR_FRAME_LOAD_INTERRUPTED_BY_POLICY_CHANGE)) {
    return Kind::interruptedByPolicyChange;
  }
  if (g_error_matches(error, WEBKIT_MEDIA_ERROR, WEBKIT_MEDIA_ERROR_WILL_HANDLE_LOAD)) {
    return Kind::handledByPlugin;
  }
  return Kind::other;
}

// The engine passes on the network's own errors: the resolver's, the socket's and the TLS
// library's.
BrowserTab::FailureCause failureCause(const GError* error) {
  using Cause = BrowserTab::FailureCause;
  if (!error) return Cause::unknown;
  if (error->domain == G_RESOLVER_ERROR) return Cause::nameNotResolved;
  if (error->domain == G_TLS_ERROR) return Cause::secureConnectionFailed;
  if (error->domain != G_IO_ERROR) return Cause::unknown;
  switch (error->code) {
    case G_IO_ERROR_CONNECTION_REFUSED:
      return Cause::connectionRefused;
    case G_IO_ERROR_TIMED_OUT:
      return Cause::timedOut;
    case G_IO_ERROR_CONNECTION_CLOSED:  // also the broken pipe
    case G_IO_ERROR_PARTIAL_INPUT:      // the answer stopped before its end
    case G_IO_ERROR_NOT_CONNECTED:
      return Cause::connectionReset;
    case G_IO_ERROR_HOST_NOT_FOUND:
      return Cause::nameNotResolved;
    default:
      return Cause::unknown;
  }
}

void answer(WebKitPolicyDecision* decision, BrowserTab::Policy policy) {
  switch (policy) {
    case BrowserTab::Policy::allow:
      webkit_policy_decision_use(decision);
      return;
    case BrowserTab::Policy::cancel:
      webkit_policy_decision_ignore(decision);
      return;
    case BrowserTab::Policy::download:
      webkit_policy_decision_download(decision);
      return;
  }
}

// Whether the committed page came over TLS with a certificate the engine found no fault with. An
// exception the engine was told to allow still reports its faults, so it never counts.
bool verifiedConnection(WebKitWebView* view) {
  GTlsCertificate* certificate = nullptr;
  GTlsCertificateFlags faults = G_TLS_CERTIFICATE_NO_FLAGS;
  return webkit_web_view_get_tls_info(view, &certificate, &faults) && certificate &&
         faults == G_TLS_CERTIFICATE_NO_FLAGS;
}

// A page that committed over TLS despite faults came over a certificate the engine let through
// for its host: what is wrong with it and what it says of itself.
std::optional<BrowserTab::CertificateFault> allowedCertificate(WebKitWebView* view) {
  GTlsCertificate* certificate = nullptr;
  GTlsCertificateFlags faults = G_TLS_CERTIFICATE_NO_FLAGS;
  if (!webkit_web_view_get_tls_info(view, &certificate, &faults) || !certificate ||
      faults == G_TLS_CERTIFICATE_NO_FLAGS) {
    return std::nullopt;
  }
  return readCertificateFault(certificate, faults);
}

}  // namespace

// --- observed properties

void WebKitWebViewPort::onTitle(WebKitWebView* view, GParamSpec*, WebKitWebViewPort* self) {
  auto tab = self->tab_.lock();
  if (!tab) return;
  const char* title = webkit_web_view_get_title(view);
  tab->webViewTitleChanged(title ? std::optional<std::string>(title) : std::nullopt);
}

void WebKitWebViewPort::onURI(WebKitWebView* view, GParamSpec*, WebKitWebViewPort* self) {
  if (auto tab = self->tab_.lock()) tab->webViewURLChanged(parseURI(webkit_web_view_get_uri(view)));
}

void WebKitWebViewPort::onIsLoading(WebKitWebView* view, GParamSpec*, WebKitWebViewPort* self) {
  if (auto tab = self->tab_.lock()) tab->isLoading.set(webkit_web_view_is_loading(view));
}

void WebKitWebViewPort::onProgress(WebKitWebView* view, GParamSpec*, WebKitWebViewPort* self) {
  if (auto tab = self->tab_.lock()) {
    tab->progress.set(webkit_web_view_get_estimated_load_progress(view));
  }
}

void WebKitWebViewPort::onPlayingAudio(WebKitWebView* view, GParamSpec*, WebKitWebViewPort* self) {
  if (auto tab = self->tab_.lock()) tab->isPlayingAudio.set(webkit_web_view_is_playing_audio(view));
}

// Not taken at the start: a new view is unmuted, and the tab gives it its own state.
void WebKitWebViewPort::onMuted(WebKitWebView* view, GParamSpec*, WebKitWebViewPort* self) {
  if (auto tab = self->tab_.lock()) tab->isMuted.set(webkit_web_view_get_is_muted(view));
}

// Both are left to the engine's own handling as well: it makes the window full screen and back,
// and only then lets the page go on.
gboolean WebKitWebViewPort::onEnterFullScreen(WebKitWebView*, WebKitWebViewPort* self) {
  if (auto tab = self->tab_.lock()) tab->showsPageFullScreen.set(true);
  return FALSE;
}

gboolean WebKitWebViewPort::onLeaveFullScreen(WebKitWebView*, WebKitWebViewPort* self) {
  if (auto tab = self->tab_.lock()) tab->showsPageFullScreen.set(false);
  return FALSE;
}

void WebKitWebViewPort::onBackForwardChanged(WebKitBackForwardList*, WebKitBackForwardListItem*,
                                             gpointer, WebKitWebViewPort* self) {
  self->publishBackForward();
}

// --- navigation

void WebKitWebViewPort::onLoadChanged(WebKitWebView* view, WebKitLoadEvent event,
                                      WebKitWebViewPort* self) {
  auto tab = self->tab_.lock();
  switch (event) {
    case WEBKIT_LOAD_STARTED:
      self->loadFailed_ = false;
      self->redirects_ = 0;
      [[fallthrough]];
    case WEBKIT_LOAD_REDIRECTED: {
      if (event == WEBKIT_LOAD_REDIRECTED) ++self->redirects_;
      const char* uri = webkit_web_view_get_uri(view);
      self->provisionalURI_ = uri ? uri : "";
      // The navigation really starts here (not when it is decided): a click that opens a tab
      // or a response that becomes a download never switches this page's blocker or theme.
      if (tab) tab->provisionalNavigationStarted(parseURI(uri));
      break;
    }
    case WEBKIT_LOAD_COMMITTED:
      if (tab) {
        tab->dialogs.pageCommitted(parseURI(webkit_web_view_get_uri(view)),
                                   self->navigationByBrowser_);
      }
      self->stopWatchdog();
      if (self->refuseCertificateOfAnotherPort(view)) break;
      if (tab) tab->navigationCommitted(verifiedConnection(view), allowedCertificate(view));
      self->commitWithoutTheRequestedPage(view);
      self->provisionalURI_.clear();
      break;
    case WEBKIT_LOAD_FINISHED: {
      self->stopWatchdog();
      // WebKit also finishes a load that failed; only a successful one counts as a visit.
      if (tab && !self->loadFailed_) {
        const char* title = webkit_web_view_get_title(view);
        tab->navigationDidFinish(parseURI(webkit_web_view_get_uri(view)), title ? title : "");
      }
      break;
    }
  }
  self->publishBackForward();
}

bool WebKitWebViewPort::refuseCertificateOfAnotherPort(WebKitWebView* view) {
  GTlsCertificate* certificate = nullptr;
  GTlsCertificateFlags faults = G_TLS_CERTIFICATE_NO_FLAGS;
  const char* uri = webkit_web_view_get_uri(view);
  if (!uri || !webkit_web_view_get_tls_info(view, &certificate, &faults) || !certificate ||
      faults == G_TLS_CERTIFICATE_NO_FLAGS ||
      certificateAllowedFor(webkit_web_view_get_network_session(view), uri)) {
    return false;
  }
  // The engine let the certificate through because the user allowed it on another port of this
  // host, where another server may answer. The page goes no further, and the user is asked
  // about this one.
  loadFailed_ = true;
  provisionalURI_.clear();
  refusedCertificate_ = GObjectRef<GTlsCertificate>::share(certificate);
  refusedURI_ = uri;
  webkit_web_view_stop_loading(view);
  if (auto tab = tab_.lock()) {
    tab->handleCertificateFailure(readCertificateFault(certificate, faults), parseURI(uri));
  }
  return true;
}

void WebKitWebViewPort::commitWithoutTheRequestedPage(WebKitWebView* view) {
  // The engine refuses some addresses (a restricted port such as 127.0.0.1:1) without reporting
  // a failure: it shows an empty page in place of the one asked for. The tab reports it as the
  // failed load it is, and keeps the address that was asked for.
  const char* committed = webkit_web_view_get_uri(view);
  if (!committed || std::string_view(committed) != kBlankPage) return;
  if (provisionalURI_.empty() || provisionalURI_ == kBlankPage) return;
  const auto requested = parseURI(provisionalURI_.c_str());
  loadFailed_ = true;
  if (auto tab = tab_.lock()) {
    tab->webViewURLChanged(requested);
    tab->handleLoadFailure({BrowserTab::LoadFailure::Kind::other, kRefusedMessage, requested});
  }
}

gboolean WebKitWebViewPort::onLoadFailed(WebKitWebView*, WebKitLoadEvent event,
                                         const char* failingURI, GError* error,
                                         WebKitWebViewPort* self) {
  self->stopWatchdog();
  self->loadFailed_ = true;
  // Only a load that never committed is the tab's business; a page that was already showing
  // keeps what it shows. WebKit's own error page is never used: the tab shows its own.
  if (event != WEBKIT_LOAD_COMMITTED) {
    if (auto tab = self->tab_.lock()) {
      auto cause = failureCause(error);
      if (cause == BrowserTab::FailureCause::unknown && self->redirects_ >= kEngineRedirectLimit) {
        cause = BrowserTab::FailureCause::tooManyRedirects;
      }
      tab->handleLoadFailure(
          {failureKind(error), error ? error->message : "", parseURI(failingURI), cause});
    }
  }
  return TRUE;
}

gboolean WebKitWebViewPort::onLoadFailedWithTlsErrors(WebKitWebView*, const char* failingURI,
                                                      GTlsCertificate* certificate,
                                                      GTlsCertificateFlags faults,
                                                      WebKitWebViewPort* self) {
  self->stopWatchdog();
  self->loadFailed_ = true;
  self->refusedCertificate_ = GObjectRef<GTlsCertificate>::share(certificate);
  self->refusedURI_ = failingURI ? failingURI : "";
  if (auto tab = self->tab_.lock()) {
    tab->handleCertificateFailure(readCertificateFault(certificate, faults), parseURI(failingURI));
  }
  // Handled: the engine reports no other failure for this load.
  return TRUE;
}

void WebKitWebViewPort::allowRefusedCertificate() {
  if (!refusedCertificate_ || refusedURI_.empty()) return;
  if (!allowCertificateFor(webkit_web_view_get_network_session(view_.get()),
                           refusedCertificate_.get(), refusedURI_)) {
    g_warning("No host to let a certificate through for: %s", refusedURI_.c_str());
    return;
  }
  const std::string address = std::exchange(refusedURI_, {});
  refusedCertificate_ = {};
  if (const auto url = parseURI(address.c_str())) load(*url);
}

gboolean WebKitWebViewPort::onDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision,
                                           WebKitPolicyDecisionType type, WebKitWebViewPort* self) {
  switch (type) {
    case WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION:
    case WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION:
      return self->decideNavigationAction(decision, type);
    case WEBKIT_POLICY_DECISION_TYPE_RESPONSE:
      return self->decideResponse(decision);
  }
  return FALSE;
}

bool WebKitWebViewPort::decideNavigationAction(WebKitPolicyDecision* decision,
                                               WebKitPolicyDecisionType type) {
  auto tab = tab_.lock();
  if (!tab) return false;
  WebKitNavigationAction* navigation = webkit_navigation_policy_decision_get_navigation_action(
      WEBKIT_NAVIGATION_POLICY_DECISION(decision));
  const unsigned modifiers = webkit_navigation_action_get_modifiers(navigation);
  WebKitURIRequest* request = webkit_navigation_action_get_request(navigation);
  const WebKitNavigationType navigationType =
      webkit_navigation_action_get_navigation_type(navigation);
  BrowserTab::NavigationAction action;
  action.url = parseURI(webkit_uri_request_get_uri(request));
  action.targetsMainFrame = type == WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION;
  action.isRedirect = webkit_navigation_action_is_redirect(navigation);
  // A redirect goes on with the navigation it redirects; every other one is the browser's only
  // when it follows the browser's own request.
  if (action.targetsMainFrame && !action.isRedirect) {
    navigationByBrowser_ = std::exchange(browserAsked_, false);
  }
  action.isLinkActivation = navigationType == WEBKIT_NAVIGATION_TYPE_LINK_CLICKED;
  // The engine reports a page made from a form and shown again as "other" (a list taken back),
  // "back-forward" or "form-resubmitted" alike: the request's method tells them all.
  const char* method = webkit_uri_request_get_http_method(request);
  action.sendsFormData = method && g_ascii_strcasecmp(method, "POST") == 0;
  action.isFormSubmission = navigationType == WEBKIT_NAVIGATION_TYPE_FORM_SUBMITTED;
  // For a page shown again the engine has already moved to the entry it goes to: the page's own
  // address, unless the request is for one of its frames.
  WebKitBackForwardListItem* target =
      webkit_back_forward_list_get_current_item(webkit_web_view_get_back_forward_list(view_.get()));
  const char* targetURI = target ? webkit_back_forward_list_item_get_uri(target) : nullptr;
  action.inFrame = targetURI && g_strcmp0(targetURI, webkit_uri_request_get_uri(request)) != 0;
  action.control = (modifiers & GDK_CONTROL_MASK) != 0;
  action.shift = (modifiers & GDK_SHIFT_MASK) != 0;
  action.middleButton = webkit_navigation_action_get_mouse_button(navigation) == GDK_BUTTON_MIDDLE;
  // WebKitGTK decides <a download> itself and reports no such flag.
  action.shouldPerformDownload = false;
  const BrowserTab::Policy policy = tab->decideNavigationAction(action);
  // The entry to go to again if the user agrees to send its form again.
  if (policy == BrowserTab::Policy::cancel && action.sendsFormData && !action.isFormSubmission &&
      !action.inFrame) {
    formToResend_ = GObjectRef<WebKitBackForwardListItem>::share(target);
  }
  answer(decision, policy);
  return true;
}

bool WebKitWebViewPort::resendForm() {
  const auto item = std::exchange(formToResend_, {});
  if (!item || !inBackForwardList(item.get())) {
    g_warning("The page to send its form again is no longer in the tab's back and forward list");
    return false;
  }
  browserAsked_ = true;
  webkit_web_view_go_to_back_forward_list_item(view_.get(), item.get());
  return true;
}

bool WebKitWebViewPort::inBackForwardList(WebKitBackForwardListItem* item) const {
  WebKitBackForwardList* list = webkit_web_view_get_back_forward_list(view_.get());
  if (webkit_back_forward_list_get_current_item(list) == item) return true;
  bool found = false;
  for (GList* side : {webkit_back_forward_list_get_back_list(list),
                      webkit_back_forward_list_get_forward_list(list)}) {
    found = found || g_list_find(side, item) != nullptr;
    g_list_free(side);
  }
  return found;
}

bool WebKitWebViewPort::decideResponse(WebKitPolicyDecision* decision) {
  if (tab_.expired()) return false;
  auto* responseDecision = WEBKIT_RESPONSE_POLICY_DECISION(decision);
  WebKitURIResponse* response = webkit_response_policy_decision_get_response(responseDecision);
  BrowserTab::NavigationResponse navigation;
  navigation.canShowMimeType =
      webkit_response_policy_decision_is_mime_type_supported(responseDecision);
  navigation.isForMainFrame =
      webkit_response_policy_decision_is_main_frame_main_resource(responseDecision);
  const auto url = parseURI(webkit_uri_response_get_uri(response));
  navigation.isHttp = url && url->isHttpOrHttps();
  if (SoupMessageHeaders* headers = webkit_uri_response_get_http_headers(response)) {
    if (const char* disposition = soup_message_headers_get_one(headers, "Content-Disposition")) {
      navigation.contentDisposition = disposition;
    }
  }
  answer(decision, BrowserTab::decideNavigationResponse(navigation));
  return true;
}

}  // namespace zemblo
