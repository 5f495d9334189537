#include "model/browser_tab.h"

#include "model/history_model.h"
#include "model/host_rules.h"
#include "model/localization.h"
#include "model/preferences_model.h"
#include "model/site_zoom.h"
#include "model/tab_services.h"
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
  popup->page.startAfresh();
  popup->isPopup_ = true;
  return popup;
}

BrowserTab::~BrowserTab() = default;

void BrowserTab::joinWindow(std::weak_ptr<const TabServices> services, bool isPrivate) {
  services_ = std::move(services);
  isPrivate_ = isPrivate;
}

std::unique_ptr<WebViewPort> BrowserTab::makeWebView() {
  const auto owner = services_.lock();
  if (!owner) return nullptr;
  WebViewFactory& factory = owner->webViews;
  // A pop-up's configuration serves its first web view only.
  auto opener = std::exchange(popupOpener_, {}).lock();
  if (opener && opener->storedWebView()) {
    return factory.makePopupWebView(*this, *opener->storedWebView());
  }
  return factory.makeWebView(*this);
}

void BrowserTab::prepareWebView(WebViewPort& view) {
  applyZoom();
  if (isMuted.peek()) view.setMuted(true);
  if (const auto owner = services_.lock()) preparePage(*owner, url.peek());
}

void BrowserTab::loadAddress(WebViewPort& view) {
  // The engine has no such address: without its list the source tab stays empty.
  const auto& address = url.peek();
  if (!address || address->scheme() == kSourceScheme) return;
  view.load(*address);
}

void BrowserTab::sessionStateRejected(std::string bytes) {
  if (const auto owner = services_.lock(); owner && owner->sessionStateRejected) {
    owner->sessionStateRejected(*this, std::move(bytes));
  }
}

void BrowserTab::webViewEnding() {
  autofillMenu.end();
  permissions.refuseAll();
}

void BrowserTab::webViewEnded(bool hadView) {
  if (const auto owner = services_.lock(); owner && hadView) owner->webViewReleased();
  // Nothing of the page goes on without its view.
  isPlayingAudio.set(false);
  showsPageFullScreen.set(false);
}

void BrowserTab::load(const Url& address) {
  // The user's own load starts the tab afresh: a list never taken back would go to a page they
  // left.
  page.startAfresh();
  loadError.set(std::nullopt);
  verifiedConnection.set(false);
  sourceOf.set(std::nullopt);
  url.set(address);
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
  if (auto* view = storedWebView()) view->reload();
}

void BrowserTab::applyZoom() {
  if (!storedWebView()) return;
  const auto owner = services_.lock();
  showZoom(owner ? pageZoom(*owner) : 1.0);
}

void BrowserTab::showZoom(double level) {
  storedWebView()->setPageZoom(level);
  zoom.set(level);
}

double BrowserTab::pageZoom(const TabServices& owner) const {
  const auto host = url.peek() ? url.peek()->host() : std::nullopt;
  const auto own = host ? owner.siteZoom.zoomFor(*host) : std::nullopt;
  return own.value_or(owner.preferences.observablePrefs().peek().defaultZoom);
}

void BrowserTab::preparePage(const TabServices& owner, const std::optional<Url>& address) {
  if (owner.preparePage) owner.preparePage(*this, address);
}

void BrowserTab::zoomTo(double level) {
  const auto owner = services_.lock();
  const auto host = url.peek() ? url.peek()->host() : std::nullopt;
  if (owner && host && !isPrivate_) {
    owner->siteZoom.set(*host, level);
  } else if (storedWebView()) {
    showZoom(level);
  }
}

void BrowserTab::resetZoom() {
  const auto owner = services_.lock();
  const auto host = url.peek() ? url.peek()->host() : std::nullopt;
  if (owner && host && !isPrivate_) owner->siteZoom.forget(*host);
  if (isPrivate_ && storedWebView() && owner) {
    showZoom(owner->preferences.observablePrefs().peek().defaultZoom);
    return;
  }
  applyZoom();
}

void BrowserTab::setMuted(bool muted) {
  isMuted.set(muted);
  if (auto* view = storedWebView()) view->setMuted(muted);
}

void BrowserTab::leavePageFullScreen() {
  auto* view = storedWebView();
  if (view && showsPageFullScreen.peek()) view->leaveFullScreen();
}

bool BrowserTab::mayGiveUpPage() const {
  return storedWebView() && !isPopup_ && url.peek() && !(committed_ && committed_->fromSentForm) &&
         !isLoading.peek() && !loadError.peek() && !isPlayingAudio.peek() &&
         !showsPageFullScreen.peek() && !autofillMenu.shown.peek() && !dialogs.pending.peek() &&
         !permissions.shown.peek() && !permissions.capture.peek().any();
}

bool BrowserTab::showsStartPage() const { return !url.get() && !isPopup_; }

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
  auto* view = storedWebView();
  if (!view) return;
  std::weak_ptr<BrowserTab> weakSelf = weak_from_this();
  view->findFaviconAddress([weakSelf](std::optional<std::string> result) {
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
  if (isPrivate_) return;
  if (const auto owner = services_.lock()) owner->faviconFound(*this);
}

void BrowserTab::webViewTitleChanged(const std::optional<std::string>& newTitle) {
  if (!newTitle || newTitle->empty()) return;
  title.set(*newTitle);
  // The engine often learns the title only after the load finished.
  if (!recordedVisit_ || isPrivate_) return;
  if (const auto owner = services_.lock()) owner->history.retitleVisit(*recordedVisit_, *newTitle);
}

void BrowserTab::webViewURLChanged(const std::optional<Url>& newURL) {
  if (!newURL) return;
  // The source is shown as a text address; any other page ends it.
  if (sourceOf.peek() && newURL->scheme() != "data") sourceOf.set(std::nullopt);
  url.set(*newURL);
  showCommittedConnection();
  if (const auto owner = services_.lock()) owner->scheduleSave();
}

void BrowserTab::provisionalNavigationStarted(const std::optional<Url>& address) {
  autofillMenu.end();
  // A question belongs to the page that asked it.
  permissions.refuseAll();
  loadError.set(std::nullopt);
  // The address shown is already the new one; its connection is not known yet.
  verifiedConnection.set(false);
  allowedCertificate.set(false);
  provisional_ = true;
  recordedVisit_.reset();
  navigation.navigationStarted();
  if (!address) return;
  if (const auto owner = services_.lock()) preparePage(*owner, address);
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
  committed_ = CommittedPage{url.peek(), verified, std::move(allowedCertificate),
                             navigation.lastAllowedSendsForm()};
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
  if (auto* view = storedWebView(); !view || !view->reportsFavicons()) fetchFavicon();
  const auto owner = services_.lock();
  if (!owner) return;
  if (address && !isPrivate_) recordedVisit_ = owner->history.recordVisit(*address, pageTitle);
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

void BrowserTab::showError(LoadError error, bool endsNavigation) {
  if (endsNavigation) provisional_ = false;
  loadError.set(std::move(error));
}

void BrowserTab::openBeside(const Url& address, bool inBackground) {
  const auto owner = services_.lock();
  if (owner && owner->openTab) owner->openTab(address, inBackground, shared_from_this());
}

std::shared_ptr<BrowserTab> BrowserTab::openPopup() {
  const auto owner = services_.lock();
  if (!owner || !owner->showPopup) return nullptr;
  auto popup = makePopup(weak_from_this());
  popup->services_ = services_;
  owner->showPopup(popup, shared_from_this());
  popup->webView();
  return popup;
}

void BrowserTab::close() {
  const auto owner = services_.lock();
  if (owner && owner->closeTab) owner->closeTab(*this);
}

void BrowserTab::closeUnlessShown() {
  const auto owner = services_.lock();
  if (!owner) return;
  // Later: the engine is still reporting the download through this tab's view.
  closing_ = owner->scheduler.after(std::chrono::milliseconds(0), [weak = weak_from_this()] {
    const auto self = weak.lock();
    if (!self || self->committed_) return;
    // Reopening it would only fetch the file again.
    self->url.set(std::nullopt);
    self->close();
  });
}

}  // namespace zemblo
