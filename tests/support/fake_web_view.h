#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/browser_engine.h"
#include "model/browser_tab.h"

namespace zemblo::testing {

// Records what the model asks of its web views. Per-tab calls are listed by tab id.
struct FakeWebViewLog {
  std::vector<std::string> loads;  // "tab-id url"
  std::vector<std::string> reloads;
  std::vector<std::string> stops;
  std::vector<std::string> backs;
  std::vector<std::string> forwards;
  std::vector<std::string> formResends;
  std::vector<std::string> popups;        // "popup-id opener-id"
  std::vector<std::string> listsOffered;  // "tab-id bytes": the fake engine takes none back
  int ruleListsAdded = 0;
  int ruleListsRemoved = 0;
  int viewsCreated = 0;  // pop-up views included
  int viewsDestroyed = 0;
  int faviconLookups = 0;
};

class FakeWebView : public WebViewPort {
 public:
  using FaviconAnswer = std::function<void(std::optional<std::string>)>;

  FakeWebView(FakeWebViewLog& log, std::string tabId) : log_(log), tabId_(std::move(tabId)) {}
  ~FakeWebView() override { ++log_.viewsDestroyed; }

  void load(const Url& url) override { log_.loads.push_back(tabId_ + " " + url.str()); }
  void reload() override { log_.reloads.push_back(tabId_); }
  void stopLoading() override { log_.stops.push_back(tabId_); }
  void goBack() override { log_.backs.push_back(tabId_); }
  void goForward() override { log_.forwards.push_back(tabId_); }
  void setPageZoom(double zoom) override { this->zoom = zoom; }
  double pageZoom() const override { return zoom; }
  void addContentRuleList(const ContentRuleList&) override { ++log_.ruleListsAdded; }
  void removeContentRuleList(const ContentRuleList&) override { ++log_.ruleListsRemoved; }
  // The answer is up to the test: call `answerFavicon` (or the kept callbacks) when it wants.
  void findFaviconAddress(FaviconAnswer done) override {
    ++log_.faviconLookups;
    faviconRequests.push_back(std::move(done));
  }

  void findText(const std::string& text, bool, unsigned, FindDone done) override {
    findRequests.push_back({text, std::move(done)});
  }
  void finishFinding() override { findRequests.clear(); }
  void focusIfShown() override { ++focusRequests; }
  void setMuted(bool muted) override { this->muted = muted; }
  void leaveFullScreen() override { ++fullScreenExits; }
  void stopMediaCapture() override { ++captureStops; }
  void allowRefusedCertificate() override { ++certificatesAllowed; }
  bool resendForm() override {
    log_.formResends.push_back(tabId_);
    return true;
  }
  std::optional<std::string> sessionState() const override { return list; }
  bool restoreSessionState(const std::string& bytes) override {
    log_.listsOffered.push_back(tabId_ + " " + bytes);
    return false;
  }
  void print() override {}
  void toggleInspector() override {}
  void fetchPageSource(FaviconAnswer done) override { done(std::nullopt); }

  // Answers the oldest pending favicon look-up; false when none is pending.
  bool answerFavicon(std::optional<std::string> result) {
    if (faviconRequests.empty()) return false;
    auto done = std::move(faviconRequests.front());
    faviconRequests.erase(faviconRequests.begin());
    done(std::move(result));
    return true;
  }

  const std::string& tabId() const { return tabId_; }

  double zoom = 1;
  // The back and forward list the view gives; none as it starts.
  std::optional<std::string> list;
  std::vector<FaviconAnswer> faviconRequests;
  std::vector<std::pair<std::string, FindDone>> findRequests;
  int focusRequests = 0;
  bool muted = false;
  int fullScreenExits = 0;
  int captureStops = 0;
  int certificatesAllowed = 0;

 private:
  FakeWebViewLog& log_;
  std::string tabId_;
};

// The engine of the model tests: fake web views, no compiled rule lists, and an appearance and
// website data that the test controls and watches.
class FakeEngine : public BrowserEngine {
 public:
  struct DarkModeCall {
    Uuid tab;
    PageDarkModeDecision decision;
    bool pushed = false;
  };

  std::unique_ptr<WebViewPort> makeWebView(BrowserTab& tab) override {
    ++log.viewsCreated;
    return std::make_unique<FakeWebView>(log, tab.id.str());
  }
  std::unique_ptr<WebViewPort> makePopupWebView(BrowserTab& popup, WebViewPort& opener) override {
    ++log.viewsCreated;
    const auto* fakeOpener = dynamic_cast<const FakeWebView*>(&opener);
    log.popups.push_back(popup.id.str() + " " + (fakeOpener ? fakeOpener->tabId() : "?"));
    return std::make_unique<FakeWebView>(log, popup.id.str());
  }
  std::shared_ptr<ContentRuleStore> contentRuleStore() override { return nullptr; }
  void applyAppearance(ThemeMode theme) override { appearances.push_back(theme); }
  void applySpellChecking(bool enabled, const std::vector<std::string>& languages) override {
    spellChecking.emplace_back(enabled, languages);
  }
  bool isDark() const override {
    ++darkReads;
    return dark;
  }
  std::shared_ptr<void> observeDark(std::function<void()> changed) override {
    darkChanged = std::move(changed);
    return std::make_shared<int>(0);
  }
  void applyPageDarkMode(BrowserTab& tab, const PageDarkModeDecision& decision,
                         bool pushToPage) override {
    darkModeCalls.push_back({tab.id, decision, pushToPage});
  }
  // Each removal waits for the test to answer it.
  void clearWebsiteData(std::function<void(bool cleared)> done) override {
    clearRequests.push_back(std::move(done));
  }
  void endPrivateBrowsing() override { ++privateSessionsEnded; }
  int privateSessionsEnded = 0;

  FakeWebViewLog log;
  std::vector<ThemeMode> appearances;
  std::vector<std::pair<bool, std::vector<std::string>>> spellChecking;
  bool dark = false;
  mutable int darkReads = 0;
  std::function<void()> darkChanged;
  std::vector<DarkModeCall> darkModeCalls;
  std::vector<std::function<void(bool cleared)>> clearRequests;
};

// The fake view of a tab, if it has one.
inline FakeWebView* fakeView(const BrowserTab& tab) {
  return dynamic_cast<FakeWebView*>(tab.storedWebView());
}

class FakeRuleList : public ContentRuleList {};

}  // namespace zemblo::testing
