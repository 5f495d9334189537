#pragma once

#include <memory>
#include <optional>
#include <string>

#include "model/url.h"
#include "platform/observable.h"
#include "platform/uuid.h"
#include "web/web_view_port.h"

namespace zemblo {

class BrowserStore;

// One tab: the state the sidebar, the content card and the menus show, and the tab's web view,
// which is created only when the tab is first shown or loaded.
class BrowserTab : public std::enable_shared_from_this<BrowserTab> {
 public:
  struct LoadError {
    std::string message;
    std::optional<Url> url;
    friend bool operator==(const LoadError&, const LoadError&) = default;
  };

  explicit BrowserTab(Uuid id = Uuid::random(), std::optional<Url> url = std::nullopt,
                      std::string title = {}, std::optional<Url> faviconURL = std::nullopt);
  ~BrowserTab();
  BrowserTab(const BrowserTab&) = delete;
  BrowserTab& operator=(const BrowserTab&) = delete;

  const Uuid id;
  Observable<std::string> title;
  Observable<std::optional<Url>> url;
  Observable<std::optional<Url>> faviconURL;
  Observable<bool> isLoading;
  Observable<double> progress;
  Observable<bool> canGoBack;
  Observable<bool> canGoForward;
  Observable<std::optional<LoadError>> loadError;

  std::weak_ptr<BrowserStore> store;
  bool hasStartedLoading = false;
  bool adBlockApplied = false;
  bool isPopup = false;

  // The web view, created through the store's factory on first use; none when no factory is
  // available (no store, or a model without a web engine).
  WebViewPort* webView();
  // The web view if it was already created.
  WebViewPort* storedWebView() const { return storedWebView_.get(); }

  // Starts the first load of a tab created without one (restored tabs).
  void loadIfNeeded();
  // Releases the web view.
  void tearDown();

  bool showsStartPage() const;

 private:
  std::unique_ptr<WebViewPort> storedWebView_;
};

}  // namespace zemblo
