#pragma once

#include <memory>
#include <string>
#include <vector>

#include "web/browser_tab.h"
#include "web/web_view_port.h"

namespace zemblo::testing {

// Records what the model asks of a web view.
struct FakeWebViewLog {
  std::vector<std::string> loads;  // "tab-id url"
  int ruleListsAdded = 0;
  int ruleListsRemoved = 0;
  int viewsCreated = 0;
};

class FakeWebView : public WebViewPort {
 public:
  FakeWebView(FakeWebViewLog& log, std::string tabId) : log_(log), tabId_(std::move(tabId)) {}
  void load(const Url& url) override { log_.loads.push_back(tabId_ + " " + url.str()); }
  void reload() override {}
  void setPageZoom(double zoom) override { this->zoom = zoom; }
  void addContentRuleList(const ContentRuleList&) override { ++log_.ruleListsAdded; }
  void removeContentRuleList(const ContentRuleList&) override { ++log_.ruleListsRemoved; }

  double zoom = 0;

 private:
  FakeWebViewLog& log_;
  std::string tabId_;
};

class FakeWebViewFactory : public WebViewFactory {
 public:
  std::unique_ptr<WebViewPort> makeWebView(BrowserTab& tab) override {
    ++log.viewsCreated;
    return std::make_unique<FakeWebView>(log, tab.id.str());
  }
  FakeWebViewLog log;
};

class FakeRuleList : public ContentRuleList {};

}  // namespace zemblo::testing
