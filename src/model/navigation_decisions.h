#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "model/load_error.h"
#include "platform/url.h"

namespace zemblo {

class BrowserTab;
class TabWebView;

// What a tab decides on its page's way between pages, apart from what it shows: whether a
// navigation or a response goes on, is downloaded or opens in another tab; whether a sent form
// goes again; a crashed page reloaded or given up; a refused certificate shown and let through;
// a page's own window opened, or closed.
class NavigationDecisions {
 public:
  enum class Policy { cancel, allow, download };

  struct NavigationAction {
    std::optional<Url> url;
    bool targetsMainFrame = true;  // false also when there is no target frame (new window)
    bool isLinkActivation = false;
    bool control = false;  // the platform's command modifier
    bool shift = false;
    bool middleButton = false;  // the click was of the middle button
    bool shouldPerformDownload = false;
    bool isRedirect = false;
    // The request sends a form's data; `isFormSubmission` when the form is sent now, not a page
    // made from it shown again (a reload, a step back or forward, a list taken back), and
    // `inFrame` when such a page is one of the page's frames.
    bool sendsFormData = false;
    bool isFormSubmission = false;
    bool inFrame = false;
  };

  struct NavigationResponse {
    bool canShowMimeType = true;
    bool isForMainFrame = true;
    bool isHttp = false;
    std::optional<std::string> contentDisposition;
  };

  // What the decisions act on: the tab they decide for.
  class Tab {
   public:
    virtual const std::optional<Url>& address() const = 0;
    virtual const std::optional<LoadError>& shownError() const = 0;
    // The tab shows `error` in place of its page; `endsNavigation` when the navigation under way
    // ended on it.
    virtual void showError(LoadError error, bool endsNavigation) = 0;
    // Whether the tab ever showed a page of its own.
    virtual bool hasShownPage() const = 0;
    // Opens `address` in a new tab beside this one, in its window.
    virtual void openBeside(const Url& address, bool inBackground) = 0;
    // A selected tab right after this one, whose web view the engine then loads; none when the
    // tab belongs to no window.
    virtual std::shared_ptr<BrowserTab> openPopup() = 0;
    // Closes the tab in its window.
    virtual void close() = 0;
    // Closes the tab once the engine is done with what it reports through the tab's web view,
    // unless a page came meanwhile.
    virtual void closeUnlessShown() = 0;

   protected:
    ~Tab() = default;
  };

  using Clock = std::function<std::chrono::steady_clock::time_point()>;
  static constexpr int kCrashReloadLimit = 2;
  static constexpr std::chrono::seconds kCrashWindow{60};

  NavigationDecisions(Tab& tab, TabWebView& page) : tab_(tab), page_(page) {}
  NavigationDecisions(const NavigationDecisions&) = delete;
  NavigationDecisions& operator=(const NavigationDecisions&) = delete;

  Policy decideAction(const NavigationAction& action);
  static Policy decideResponse(const NavigationResponse& response);
  // A main-frame load really started: an answer is for the request it was given to.
  void navigationStarted() { formResendAgreed_.reset(); }
  // Whether the navigation last allowed sends a form's data: the page it commits was made from it.
  bool lastAllowedSendsForm() const { return sendsFormData_; }
  // The user's answer to the tab's question whether to send a form again: it goes again, once.
  void resendForm();

  // The page's process ended. A crash reloads the page, at most twice a minute; a process the
  // browser itself ended is left alone.
  void webContentProcessTerminated(bool endedByBrowser);
  // Time source for the crash-reload limit; tests replace it.
  std::chrono::steady_clock::time_point now() const { return now_(); }
  void setClock(Clock now) { now_ = std::move(now); }

  // The engine refused the certificate of `address`; the error page names what is wrong.
  void handleCertificateFailure(CertificateFault fault, const std::optional<Url>& address);
  // Lets the refused certificate through for its host until the browser quits, and loads the
  // page again; nothing unless the tab shows a certificate error.
  void visitDespiteCertificate();

  // The user pressed a button or a key on the page: it may open one window for that.
  void pageActivatedByUser() { popupAllowed_ = true; }
  // A page asked for a new window: a selected tab right after this one. One window per user
  // activation, so a page can't flood the sidebar from one click; nothing without an unused
  // activation, or when the tab belongs to no window.
  std::shared_ptr<BrowserTab> createPopupTab();
  // The page closed its window.
  void pageClosed() { tab_.close(); }
  // A download began from this tab. A tab that never showed a page was opened only for the file
  // (by another program, or a link into a new tab): it closes instead of staying behind empty.
  void downloadStarted() {
    if (!tab_.hasShownPage()) tab_.closeUnlessShown();
  }

 private:
  Tab& tab_;
  TabWebView& page_;
  Clock now_ = [] { return std::chrono::steady_clock::now(); };
  bool sendsFormData_ = false;
  // The address whose form the user agreed to send again, until that request is decided or
  // another navigation starts.
  std::optional<Url> formResendAgreed_;
  bool popupAllowed_ = false;
  std::deque<std::chrono::steady_clock::time_point> crashReloads_;
};

}  // namespace zemblo
