#include "model/browser_tab.h"

#include "model/ad_blocker.h"
#include "model/browser_engine.h"
#include "model/history_model.h"
#include "model/host_rules.h"
#include "model/localization.h"
#include "model/page_services_model.h"
#include "model/preferences_model.h"
#include "model/site_zoom.h"
#include "model/tab_services.h"
#include "model/window_model.h"
#include "platform/text.h"

namespace zemblo {

BrowserTab::BrowserTab(Uuid id, std::optional<Url> url, std::string title,
                       std::optional<Url> faviconURL)
    : id(std::move(id)),
      title(std::move(title)),
      url(std::move(url)),
      faviconURL(std::move(faviconURL)) {
  // A source tab of an earlier run: its text comes back with its back and forward list, if at all.
  const auto& address = this->url.peek();
  if (address && address->scheme() == kSourceScheme) {
    if (auto page = Url::parse(address->str().substr(kSourceScheme.size() + 1))) {
      sourceOf.set(SourceOf{std::move(*page), this->title.peek()});
    }
  }
}

std::shared_ptr<BrowserTab> BrowserTab::makePopup(std::weak_ptr<BrowserTab> opener) {
  auto popup = std::make_shared<BrowserTab>();
  popup->popupOpener_ = std::move(opener);
  popup->hasStartedLoading = true;
  popup->isPopup = true;
  return popup;
}

BrowserTab::~BrowserTab() = default;

WebViewPort* BrowserTab::webView() {
  if (storedWebView_) return storedWebView_.get();
  const auto owner = services.lock();
  if (!owner) return nullptr;
  WebViewFactory& factory = owner->webViews;
  // A pop-up's configuration serves its first web view only.
  auto opener = std::exchange(popupOpener_, {}).lock();
  if (opener && opener->storedWebView()) {
    storedWebView_ = factory.makePopupWebView(*this, *opener->storedWebView());
  } else {
    storedWebView_ = factory.makeWebView(*this);
  }
  if (!storedWebView_) return nullptr;
  asleep_ = false;
  applyZoom();
  if (isMuted.peek()) storedWebView_->setMuted(true);
  preparePage(*owner, url.peek());
  return storedWebView_.get();
}

std::optional<std::string> BrowserTab::sessionState() const {
  if (!storedWebView_) return pendingSessionState;
  return storedWebView_->sessionState();
}

void BrowserTab::loadIfNeeded() {
  if (hasStartedLoading) return;
  hasStartedLoading = true;
  const auto& address = url.peek();
  if (!address) return;
  auto* view = webView();
  if (!view) return;
  // A state the engine can't take back still leaves the tab its address.
  auto state = std::exchange(pendingSessionState, std::nullopt);
  if (state && view->restoreSessionState(*state)) return;
  if (const auto owner = services.lock(); state && owner && owner->sessionStateRejected) {
    owner->sessionStateRejected(*this, std::move(*state));
  }
  // The engine has no such address: without its list the source tab stays empty.
  if (address->scheme() == kSourceScheme) return;
  view->load(*address);
}

void BrowserTab::load(const Url& address) {
  // The user's own load starts the tab afresh: a list never taken back would go to a page they
  // left.
  pendingSessionState.reset();
  loadError.set(std::nullopt);
  verifiedConnection.set(false);
  sourceOf.set(std::nullopt);
  url.set(address);
  hasStartedLoading = true;
  if (auto* view = webView()) view->load(address);
}

void BrowserTab::reload() {
  const auto& error = loadError.peek();
  if (error && error->resendsForm) return;
  std::optional<Url> target = error ? (error->url ? error->url : url.peek()) : std::nullopt;
  if (target) {
    load(*target);
    return;
  }
  if (storedWebView_) storedWebView_->reload();
}

void BrowserTab::resendForm() {
  const auto& error = loadError.peek();
  if (!error || !error->resendsForm || !storedWebView_) return;
  // Agreed before asking: the engine may decide the request before the call returns.
  formResendAgreed_ = error->url;
  if (!storedWebView_->resendForm()) formResendAgreed_.reset();
}

void BrowserTab::applyZoom() {
  if (!storedWebView_) return;
  const auto owner = services.lock();
  showZoom(owner ? pageZoom(*owner) : 1.0);
}

void BrowserTab::showZoom(double level) {
  storedWebView_->setPageZoom(level);
  zoom.set(level);
}

double BrowserTab::pageZoom(const TabServices& owner) const {
  const auto host = url.peek() ? url.peek()->host() : std::nullopt;
  const auto own = host ? owner.siteZoom.zoomFor(*host) : std::nullopt;
  return own.value_or(owner.preferences.observablePrefs().peek().defaultZoom);
}

void BrowserTab::preparePage(const TabServices& owner, const std::optional<Url>& address) {
  const auto pageServices = owner.pageServices.lock();
  if (!pageServices) return;
  pageServices->adBlocker().apply(*this, address);
  pageServices->applyDarkMode(*this, address);
}

void BrowserTab::zoomTo(double level) {
  const auto owner = services.lock();
  const auto host = url.peek() ? url.peek()->host() : std::nullopt;
  if (owner && host && !isPrivate) {
    owner->siteZoom.set(*host, level);
  } else if (storedWebView_) {
    showZoom(level);
  }
}

void BrowserTab::resetZoom() {
  const auto owner = services.lock();
  const auto host = url.peek() ? url.peek()->host() : std::nullopt;
  if (owner && host && !isPrivate) owner->siteZoom.forget(*host);
  if (isPrivate && storedWebView_ && owner) {
    showZoom(owner->preferences.observablePrefs().peek().defaultZoom);
    return;
  }
  applyZoom();
}

void BrowserTab::setMuted(bool muted) {
  isMuted.set(muted);
  if (storedWebView_) storedWebView_->setMuted(muted);
}

void BrowserTab::leavePageFullScreen() {
  if (storedWebView_ && showsPageFullScreen.peek()) storedWebView_->leaveFullScreen();
}

void BrowserTab::tearDown() {
  endAutofillMenu();
  permissions.refuseAll();
  if (storedWebView_) {
    storedWebView_->stopLoading();
    storedWebView_.reset();
    if (const auto owner = services.lock()) owner->webViewReleased();
  }
  adBlockApplied = false;
  // Nothing of the page goes on without its view.
  isPlayingAudio.set(false);
  showsPageFullScreen.set(false);
}

bool BrowserTab::mayGiveUpPage() const {
  return storedWebView_ && !isPopup && url.peek() && !(committed_ && committed_->fromSentForm) &&
         !isLoading.peek() && !loadError.peek() && !isPlayingAudio.peek() &&
         !showsPageFullScreen.peek() && !autofillMenu.peek() && !dialogs.pending.peek() &&
         !permissions.shown.peek() && !permissions.capture.peek().any();
}

bool BrowserTab::fallAsleep() {
  if (!storedWebView_) return false;
  auto state = storedWebView_->sessionState();
  if (!state) return false;
  tearDown();
  pendingSessionState = std::move(state);
  // Its next show goes back into the list kept here.
  hasStartedLoading = false;
  asleep_ = true;
  return true;
}

bool BrowserTab::showsStartPage() const { return !url.get() && !isPopup; }

std::optional<Url> BrowserTab::shownURL() const {
  const auto& error = loadError.get();
  if (error && error->url) return error->url;
  if (const auto& source = sourceOf.get()) {
    return Url::parse(std::string(kSourceScheme) + ":" + source->page.str());
  }
  return url.get();
}

std::optional<Url> BrowserTab::addressToKeep() const {
  if (const auto& source = sourceOf.peek()) {
    return Url::parse(std::string(kSourceScheme) + ":" + source->page.str());
  }
  return url.peek();
}

std::string BrowserTab::titleToKeep() const {
  const auto& source = sourceOf.peek();
  return source ? source->pageTitle : title.peek();
}

std::optional<std::string> BrowserTab::displayHost() const {
  const auto& source = sourceOf.get();
  if (source && !loadError.get()) {
    const auto host = source->page.host();
    return std::string(kSourceScheme) + ":" +
           (host ? std::string(withoutLeadingWww(*host)) : source->page.str());
  }
  const auto address = shownURL();
  if (!address) return std::nullopt;
  const auto host = address->host();
  if (!host) return std::nullopt;
  return std::string(withoutLeadingWww(*host));
}

std::optional<BrowserTab::CertificateFault> BrowserTab::allowedCertificateFault() const {
  if (!allowedCertificate.get() || !committed_) return std::nullopt;
  return committed_->allowedCertificate;
}

std::string BrowserTab::displayTitle() const {
  if (const auto& source = sourceOf.get()) {
    const auto host = source->page.host();
    const std::string page = !source->pageTitle.empty() ? source->pageTitle
                             : host                     ? std::string(*host)
                                                        : source->page.str();
    return withArgument(localized("Kaynak: %@"), page);
  }
  // A failed load names the host that failed, never the title of the page before it.
  const auto& error = loadError.get();
  if (error && !error->resendsForm) {
    if (auto host = displayHost()) return *host;
  }
  const auto& text = title.get();
  if (!text.empty()) return text;
  if (auto host = displayHost()) return *host;
  return localized("Yeni Sekme");
}

BrowserTab::ConnectionSecurity BrowserTab::connectionSecurity() const {
  const auto& address = url.get();
  const auto scheme = address ? address->scheme() : std::nullopt;
  if (!scheme || loadError.get()) return ConnectionSecurity::unknown;
  // Whatever its letter case, plain http is never taken for anything but not secure.
  if (asciiLowercased(*scheme) == "http") return ConnectionSecurity::notSecure;
  if (*scheme != "https") return ConnectionSecurity::unknown;
  if (verifiedConnection.get()) return ConnectionSecurity::secure;
  if (allowedCertificate.get()) return ConnectionSecurity::allowedCertificate;
  return ConnectionSecurity::unknown;
}

void BrowserTab::fetchFavicon() {
  if (!storedWebView_) return;
  std::weak_ptr<BrowserTab> weakSelf = weak_from_this();
  storedWebView_->findFaviconAddress([weakSelf](std::optional<std::string> result) {
    auto self = weakSelf.lock();
    if (self && result) self->showFavicon(*result);
  });
}

void BrowserTab::engineFaviconChanged(const std::string& address) { showFavicon(address); }

void BrowserTab::showFavicon(const std::string& text) {
  auto address = Url::parse(text);
  // Only an absolute web address can be fetched later as an icon.
  if (!address || !address->isHttpOrHttps() || !address->host()) return;
  if (faviconURL.peek() == address) return;
  faviconURL.set(address);
  if (isPrivate) return;
  if (const auto owner = services.lock()) owner->faviconFound(*this);
}

void BrowserTab::webViewTitleChanged(const std::optional<std::string>& newTitle) {
  if (!newTitle || newTitle->empty()) return;
  title.set(*newTitle);
  // The engine often learns the title only after the load finished.
  if (!recordedVisit_ || isPrivate) return;
  if (const auto owner = services.lock()) owner->history.retitleVisit(*recordedVisit_, *newTitle);
}

void BrowserTab::webViewURLChanged(const std::optional<Url>& newURL) {
  if (!newURL) return;
  // The source is shown as a text address; any other page ends it.
  if (sourceOf.peek() && newURL->scheme() != "data") sourceOf.set(std::nullopt);
  url.set(*newURL);
  showCommittedConnection();
  if (const auto owner = services.lock()) owner->scheduleSave();
}

void BrowserTab::provisionalNavigationStarted(const std::optional<Url>& address) {
  endAutofillMenu();
  // A question belongs to the page that asked it.
  permissions.refuseAll();
  loadError.set(std::nullopt);
  // The address shown is already the new one; its connection is not known yet.
  verifiedConnection.set(false);
  allowedCertificate.set(false);
  provisional_ = true;
  recordedVisit_.reset();
  // An answer is for the request it was given to, never for a later one.
  formResendAgreed_.reset();
  if (!address) return;
  if (const auto owner = services.lock()) preparePage(*owner, address);
}

void BrowserTab::navigationCommitted(bool verified,
                                     std::optional<CertificateFault> allowedCertificate) {
  provisional_ = false;
  // Another site's icon never stands for this one, even when the new page turns out to have none.
  const auto hostOf = [](const std::optional<Url>& address) {
    return address ? address->host() : std::nullopt;
  };
  if (committed_ && hostOf(committed_->url) != hostOf(url.peek())) faviconURL.set(std::nullopt);
  this->allowedCertificate.set(allowedCertificate.has_value());
  committed_ = CommittedPage{url.peek(), verified, std::move(allowedCertificate), sendsFormData_};
  verifiedConnection.set(verified);
  // The zoom belongs to the host: the page that came shows its host's.
  applyZoom();
}

void BrowserTab::showCommittedConnection() {
  // Once no navigation is under way and the engine is back at the committed page's address,
  // that page is on screen again: its lock comes back.
  if (provisional_ || !committed_ || url.peek() != committed_->url) return;
  verifiedConnection.set(committed_->verified);
  allowedCertificate.set(committed_->allowedCertificate.has_value());
}

void BrowserTab::navigationDidFinish(const std::optional<Url>& address,
                                     const std::string& pageTitle) {
  // Where the engine fetches the icon itself, a second request for it would only repeat its own.
  if (!storedWebView_ || !storedWebView_->reportsFavicons()) fetchFavicon();
  const auto owner = services.lock();
  if (!owner) return;
  if (address && !isPrivate) recordedVisit_ = owner->history.recordVisit(*address, pageTitle);
  owner->scheduleSave();
}

void BrowserTab::handleLoadFailure(const LoadFailure& failure) {
  provisional_ = false;
  if (failure.kind != LoadFailure::Kind::other) {
    showCommittedConnection();
    return;
  }
  loadError.set(
      LoadError{.message = failure.message, .url = failure.failingURL, .cause = failure.cause});
}

void BrowserTab::handleCertificateFailure(CertificateFault fault,
                                          const std::optional<Url>& address) {
  provisional_ = false;
  loadError.set(
      LoadError{localized("Bu sitenin sertifikasına güvenilmiyor"), address, std::move(fault)});
}

void BrowserTab::visitDespiteCertificate() {
  const auto& error = loadError.peek();
  if (!error || !error->certificate || !storedWebView_) return;
  storedWebView_->allowRefusedCertificate();
}

BrowserTab::Policy BrowserTab::decideNavigationAction(const NavigationAction& action) {
  if (action.shouldPerformDownload) return Policy::download;
  // The middle button opens a link where Ctrl+click does, as on every Linux desktop.
  if (action.isLinkActivation && (action.control || action.middleButton)) {
    if (!action.url) return Policy::allow;
    if (const auto owner = services.lock()) {
      owner->windows.holding(*this).openTab(*action.url, /*inBackground=*/!action.shift,
                                            shared_from_this());
    }
    return Policy::cancel;
  }
  if (!action.targetsMainFrame) return Policy::allow;
  // A redirect goes on with the navigation it belongs to, already decided.
  if (action.sendsFormData && !action.isFormSubmission && !action.isRedirect) {
    // A purchase or a payment must never go through twice unasked. A frame's is never sent again:
    // the question would cover its page with another site's address.
    if (action.inFrame) return Policy::cancel;
    const bool agreed = formResendAgreed_ && formResendAgreed_ == action.url;
    formResendAgreed_.reset();
    if (!agreed) {
      loadError.set(LoadError{{}, action.url, std::nullopt, /*resendsForm=*/true});
      return Policy::cancel;
    }
  }
  sendsFormData_ = action.sendsFormData;
  return Policy::allow;
}

BrowserTab::Policy BrowserTab::decideNavigationResponse(const NavigationResponse& response) {
  if (!response.canShowMimeType) return Policy::download;
  if (response.isForMainFrame && response.isHttp && response.contentDisposition &&
      asciiLowercased(*response.contentDisposition).starts_with("attachment")) {
    return Policy::download;
  }
  return Policy::allow;
}

void BrowserTab::webContentProcessTerminated(bool endedByBrowser) {
  if (endedByBrowser || !storedWebView_) return;
  const auto moment = now();
  while (!crashReloads_.empty() && moment - crashReloads_.front() >= kCrashWindow) {
    crashReloads_.pop_front();
  }
  if (static_cast<int>(crashReloads_.size()) < kCrashReloadLimit) {
    crashReloads_.push_back(moment);
    storedWebView_->reload();
    return;
  }
  // A page that keeps crashing its process is not reloaded forever: the error page offers a retry.
  loadError.set(LoadError{.url = url.peek(), .cause = FailureCause::pageKeptCrashing});
}

std::shared_ptr<BrowserTab> BrowserTab::createPopupTab() {
  const auto owner = services.lock();
  if (!owner || !popupAllowed_) return nullptr;
  popupAllowed_ = false;
  auto popup = makePopup(weak_from_this());
  popup->services = services;
  WindowModel& window = owner->windows.holding(*this);
  window.insertTab(popup, shared_from_this());
  window.select(*popup);
  popup->webView();
  return popup;
}

void BrowserTab::pageClosed() {
  if (const auto owner = services.lock()) owner->windows.holding(*this).closeTab(*this);
}

void BrowserTab::downloadStarted() {
  const auto owner = services.lock();
  if (committed_ || !owner) return;
  // Later: the engine is still reporting the download through this tab's view.
  closing_ = owner->scheduler.after(std::chrono::milliseconds(0), [weak = weak_from_this()] {
    const auto self = weak.lock();
    if (!self || self->committed_) return;
    // Reopening it would only fetch the file again.
    self->url.set(std::nullopt);
    self->pageClosed();
  });
}

void BrowserTab::openAutofillMenu(AutofillMenu menu, AutofillAnswer answer) {
  endAutofillMenu();
  if (!mayFillSavedLogins()) {
    answer(std::nullopt);
    return;
  }
  autofillAnswer_ = std::move(answer);
  autofillMenu.set(std::move(menu));
}

void BrowserTab::moveAutofillMenu(const AutofillMenu::Box& field) {
  if (!autofillMenu.peek() || autofillMenu.peek()->field == field) return;
  autofillMenu.mutate([&](std::optional<AutofillMenu>& menu) { menu->field = field; });
}

void BrowserTab::endAutofillMenu(std::optional<Uuid> chosen) {
  if (!autofillMenu.peek()) return;
  autofillMenu.set(std::nullopt);
  // Taken out first: the answer may open the next menu.
  if (auto answer = std::exchange(autofillAnswer_, {})) answer(chosen);
}

}  // namespace zemblo
