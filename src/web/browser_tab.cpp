#include "web/browser_tab.h"

#include "model/browser_store.h"

namespace zemblo {

BrowserTab::BrowserTab(Uuid id, std::optional<Url> url, std::string title,
                       std::optional<Url> faviconURL)
    : id(std::move(id)),
      title(std::move(title)),
      url(std::move(url)),
      faviconURL(std::move(faviconURL)) {}

BrowserTab::~BrowserTab() = default;

WebViewPort* BrowserTab::webView() {
  if (storedWebView_) return storedWebView_.get();
  auto owner = store.lock();
  if (!owner || !owner->webViewFactory()) return nullptr;
  storedWebView_ = owner->webViewFactory()->makeWebView(*this);
  if (storedWebView_) storedWebView_->setPageZoom(owner->prefs().defaultZoom);
  return storedWebView_.get();
}

void BrowserTab::loadIfNeeded() {
  if (hasStartedLoading) return;
  hasStartedLoading = true;
  const auto& address = url.peek();
  if (!address) return;
  if (auto* view = webView()) view->load(*address);
}

void BrowserTab::tearDown() { storedWebView_.reset(); }

bool BrowserTab::showsStartPage() const { return !url.get() && !isPopup; }

}  // namespace zemblo
