#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/url.h"

namespace zemblo {

class BrowserTab;

// A compiled content-rule list of the web engine, shared by every web view that installs it.
class ContentRuleList {
 public:
  virtual ~ContentRuleList() = default;
};

// What the model needs of one tab's web view. The engine side implements it and reports the
// page's state and navigation events back to its tab (see BrowserTab's engine events); model
// tests use a fake, so the store's operations run without a display.
class WebViewPort {
 public:
  virtual ~WebViewPort() = default;

  // Loads the address; a request that has not committed after 60 seconds ends in a load error.
  virtual void load(const Url& url) = 0;
  virtual void reload() = 0;
  virtual void stopLoading() = 0;
  virtual void goBack() = 0;
  virtual void goForward() = 0;
  virtual void setPageZoom(double zoom) = 0;
  virtual double pageZoom() const = 0;
  virtual void addContentRuleList(const ContentRuleList& list) = 0;
  virtual void removeContentRuleList(const ContentRuleList& list) = 0;
  // Runs the favicon look-up script in an isolated world; the answer is the script's string
  // result, or nothing on any failure. Never called back after the view is gone.
  virtual void findFaviconAddress(std::function<void(std::optional<std::string>)> done) = 0;
  // Whether the engine fetches the page's icon itself and reports it to the tab
  // (BrowserTab::engineFaviconChanged); the browser then never asks for the same icon again.
  virtual bool reportsFavicons() const { return false; }

  // Searches the page for `text`, ignoring case and wrapping around at either end, and marks the
  // matches; `done` gets the number of matches (at most `maxMatches`), or nothing when there is
  // none. Answers arrive in the order of the searches, never after the view is gone.
  using FindDone = std::function<void(std::optional<unsigned> matchCount)>;
  virtual void findText(const std::string& text, bool backwards, unsigned maxMatches,
                        FindDone done) = 0;
  // Takes the marks of the last search off the page.
  virtual void finishFinding() = 0;
  // Gives the page the keyboard, if it is on screen; a view that is not shown is left alone.
  virtual void focusIfShown() = 0;
  // Silences the page's sound, or lets it be heard again.
  virtual void setMuted(bool muted) = 0;
  // Asks the page to end the full screen of the element it shows full screen.
  virtual void leaveFullScreen() = 0;
  // Ends the page's use of the camera, the microphone and the screen.
  virtual void stopMediaCapture() = 0;
  // Opens the print dialog for the page, if it is on screen.
  virtual void print() = 0;
  // Opens the engine's inspector on the page, in a window of its own, or closes it when open.
  virtual void toggleInspector() = 0;
  // The bytes the page was made from, as the server sent them; nothing when the view has none.
  // Never answers once the view is gone.
  virtual void fetchPageSource(std::function<void(std::optional<std::string>)> done) = 0;
  // Lets the certificate the last load was refused for through for that load's host until the
  // browser quits, and loads that address again; nothing when no certificate was refused.
  virtual void allowRefusedCertificate() = 0;

  // The engine's own record of the back and forward list, with each page's scroll position, as
  // bytes only the engine reads; nothing when it has none to give.
  virtual std::optional<std::string> sessionState() const { return std::nullopt; }
  // Before the view's first load: takes the list back from `bytes` and goes to the page it was on.
  // False, with nothing loaded, when the bytes are not the engine's or hold no page: the caller
  // then loads the address itself.
  virtual bool restoreSessionState(const std::string& /*bytes*/) { return false; }

  // Goes to the page whose form the tab last refused to send again unasked, sending it again;
  // false, with nothing done, when that page is no longer in the back and forward list.
  virtual bool resendForm() { return false; }

  // Whether a form of the page holds input the user has not sent: what the page would lose with
  // its view. Nothing when the page could not tell; never called back after the view is gone.
  virtual void findUnsentInput(std::function<void(std::optional<bool>)> done) {
    done(std::nullopt);
  }
};

// Creates web views: a tab's own on its first use, and a pop-up's web view related to its
// opener's (sharing its process, so the page keeps its window.opener).
class WebViewFactory {
 public:
  virtual ~WebViewFactory() = default;
  virtual std::unique_ptr<WebViewPort> makeWebView(BrowserTab& tab) = 0;
  virtual std::unique_ptr<WebViewPort> makePopupWebView(BrowserTab& popup, WebViewPort& opener) = 0;
};

}  // namespace zemblo
