#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/browser_windows.h"
#include "platform/url.h"

namespace zemblo {

class AutofillBridge;
class BrowserTab;
class DownloadManager;
class HistoryModel;
class PageServicesModel;
class PreferencesModel;
class Scheduler;
class SitePermissions;
class SiteZoom;
class WebViewFactory;

// What a tab works with beyond its own page: the factory of its web view and the models its
// page's events reach. The store makes one for all its tabs; a window's model hands it to
// every tab it takes. Tabs hold it weakly, since page handlers keep tabs alive: it expires with
// the models it names, and a tab without it works alone (no web view, nothing recorded).
struct TabServices {
  WebViewFactory& webViews;
  Scheduler& scheduler;
  PreferencesModel& preferences;
  HistoryModel& history;
  SiteZoom& siteZoom;
  // Every browser window; the one holding a tab takes the tabs it opens.
  BrowserWindows& windows;
  // For the engine's signals, which may outlive the models.
  std::weak_ptr<SitePermissions> sitePermissions;
  std::weak_ptr<AutofillBridge> autofill;
  std::weak_ptr<DownloadManager> downloads;
  // The content blocker and page dark mode; they need the first window's spaces, so they come
  // after the first window model and are set before it holds any tab.
  std::weak_ptr<PageServicesModel> pageServices;
  // A favourite of the tab's page may take the icon the page just named.
  std::function<void(const BrowserTab&)> faviconFound;
  // Asks for the session to be written soon.
  std::function<void()> scheduleSave;
  // A tab gave up its web view.
  std::function<void()> webViewReleased;
  // The engine could not take back the list the tab was restored with (these bytes).
  std::function<void(const BrowserTab&, std::string)> sessionStateRejected;
  // What a tab's page asks of the window holding it: a tab opened right after `opener`, a page's
  // own window shown (selected) right after it, and the tab closed.
  std::function<void(const Url& address, bool inBackground, std::shared_ptr<BrowserTab> opener)>
      openTab;
  std::function<void(std::shared_ptr<BrowserTab> popup, std::shared_ptr<BrowserTab> opener)>
      showPopup;
  std::function<void(const BrowserTab&)> closeTab;
  // Gives the tab's web view the content blocker and page dark mode of a page at `address`.
  std::function<void(BrowserTab&, const std::optional<Url>& address)> preparePage;
};

}  // namespace zemblo
