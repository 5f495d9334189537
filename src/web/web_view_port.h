#pragma once

#include <memory>

#include "model/url.h"

namespace zemblo {

class BrowserTab;

// A compiled content-rule list of the web engine, shared by every web view that installs it.
class ContentRuleList {
 public:
  virtual ~ContentRuleList() = default;
};

// What the model needs of one tab's web view. The engine side implements it; model tests use a
// fake, so the store's operations run without a display.
class WebViewPort {
 public:
  virtual ~WebViewPort() = default;

  // Loads the address with the browser's 60-second request time-out.
  virtual void load(const Url& url) = 0;
  virtual void reload() = 0;
  virtual void setPageZoom(double zoom) = 0;
  virtual void addContentRuleList(const ContentRuleList& list) = 0;
  virtual void removeContentRuleList(const ContentRuleList& list) = 0;
};

// Creates the web view of a tab on its first use.
class WebViewFactory {
 public:
  virtual ~WebViewFactory() = default;
  virtual std::unique_ptr<WebViewPort> makeWebView(BrowserTab& tab) = 0;
};

}  // namespace zemblo
