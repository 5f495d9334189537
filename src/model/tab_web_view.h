#pragma once

#include <memory>
#include <optional>
#include <string>

#include "model/web_view_port.h"

namespace zemblo {

// A tab's web view through its life: made when the tab is first shown or loaded, given up while
// the tab sleeps (or its window goes) with the back and forward list kept, and woken into that
// list at the tab's next show.
class TabWebView {
 public:
  // What the tab does around its web view's life.
  class Tab {
   public:
    // None without the services that make web views.
    virtual std::unique_ptr<WebViewPort> makeWebView() = 0;
    // The view just made takes the tab's zoom, sound and page rules.
    virtual void prepareWebView(WebViewPort& view) = 0;
    virtual bool hasAddress() const = 0;
    // The first load of a tab that has no list to go back into.
    virtual void loadAddress(WebViewPort& view) = 0;
    // The engine could not take back the kept list (these bytes).
    virtual void sessionStateRejected(std::string bytes) = 0;
    // The view is about to go (or there is none): what its page asked for ends.
    virtual void webViewEnding() = 0;
    // The view went; `hadView` false when there was none to release.
    virtual void webViewEnded(bool hadView) = 0;

   protected:
    ~Tab() = default;
  };

  // What a release does when the engine has no back and forward list to give.
  enum class WithoutList { keepView, releaseAnyway };

  explicit TabWebView(Tab& tab) : tab_(tab) {}
  ~TabWebView();
  TabWebView(const TabWebView&) = delete;
  TabWebView& operator=(const TabWebView&) = delete;

  // The web view, made on first use.
  WebViewPort* view();
  // The web view if it was already made.
  WebViewPort* stored() const { return view_.get(); }

  // The back and forward list as it is now: the web view's, else the one kept for the next show.
  std::optional<std::string> sessionState() const;
  // Keeps a list for the first load of a tab that has no web view yet (restored or reopened).
  void keepSessionState(std::optional<std::string> state);
  bool hasStartedLoading() const { return started_; }
  // The tab loads on its own from now: a list still kept would go back to a page the user left.
  void startAfresh();
  // The tab's first load: back into the kept list, else its address. Nothing once it started.
  void wake();

  // Lets go of the web view and of nothing else: the tab closes.
  void release();
  // Lets go of the web view, keeping its back and forward list (with where each page was
  // scrolled) for the next show, which wakes into it. The one release a tab that stays comes
  // back from. Without a list, `withoutList` says whether the view stays (false is returned) or
  // goes all the same, the next show then loading the tab's address afresh.
  bool sleep(WithoutList withoutList);
  bool isAsleep() const { return asleep_; }

  // Whether the content blocker's rules are in the web view, so a page needs no second add.
  bool adBlockApplied() const { return adBlockApplied_; }
  void setAdBlockApplied(bool applied) { adBlockApplied_ = applied; }

 private:
  Tab& tab_;
  std::unique_ptr<WebViewPort> view_;
  std::optional<std::string> kept_;
  bool started_ = false;
  bool asleep_ = false;
  bool adBlockApplied_ = false;
};

}  // namespace zemblo
