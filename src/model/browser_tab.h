#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/load_error.h"
#include "model/navigation_decisions.h"
#include "model/page_dialogs.h"
#include "model/pending_autofill_menu.h"
#include "model/tab_permissions.h"
#include "model/tab_web_view.h"
#include "model/web_view_port.h"
#include "platform/observable.h"
#include "platform/url.h"
#include "platform/uuid.h"

namespace zemblo {

struct TabServices;

// One tab: the state the sidebar, the content card and the menus show, kept from the engine's
// events on the tab's page. The web view's life and the decisions on the page's way between
// pages are objects of their own; the engine layer only translates the engine's signals.
class BrowserTab : public std::enable_shared_from_this<BrowserTab>,
                   private TabWebView::Tab,
                   private NavigationDecisions::Tab {
 public:
  using CertificateFault = zemblo::CertificateFault;
  using FailureCause = zemblo::FailureCause;
  using LoadError = zemblo::LoadError;
  using Policy = NavigationDecisions::Policy;
  using NavigationAction = NavigationDecisions::NavigationAction;
  using NavigationResponse = NavigationDecisions::NavigationResponse;

  // What the address pill tells of the page's connection.
  enum class ConnectionSecurity { unknown, secure, notSecure, allowedCertificate };

  // A provisional load that failed, as the engine reports it.
  struct LoadFailure {
    enum class Kind { cancelled, interruptedByPolicyChange, handledByPlugin, other };
    Kind kind = Kind::other;
    std::string message;
    std::optional<Url> failingURL;
    FailureCause cause = FailureCause::unknown;
  };

  explicit BrowserTab(Uuid id = Uuid::random(), std::optional<Url> url = std::nullopt,
                      std::string title = {}, std::optional<Url> faviconURL = std::nullopt);
  // A tab made for a page's request to open a window; its web view is related to the opener's.
  static std::shared_ptr<BrowserTab> makePopup(std::weak_ptr<BrowserTab> opener);
  ~BrowserTab();
  BrowserTab(const BrowserTab&) = delete;
  BrowserTab& operator=(const BrowserTab&) = delete;

  const Uuid id;
  Observable<std::string> title;
  Observable<std::optional<Url>> url;
  Observable<std::optional<Url>> faviconURL;
  Observable<bool> isLoading{false};
  Observable<double> progress{0};
  Observable<bool> canGoBack{false};
  Observable<bool> canGoForward{false};
  Observable<std::optional<LoadError>> loadError;
  // The page on screen came over a connection the engine verified: false until a load commits,
  // and again from the start of the next one.
  Observable<bool> verifiedConnection{false};
  // The page on screen came over a certificate the engine refused and the user let through.
  Observable<bool> allowedCertificate{false};
  // The page is playing sound (heard or not), and whether the user silenced the tab.
  Observable<bool> isPlayingAudio{false};
  Observable<bool> isMuted{false};
  // The zoom the page is shown at.
  Observable<double> zoom{1};
  // The page shows one of its elements (a video, say) full screen.
  Observable<bool> showsPageFullScreen{false};

  // The page whose markup the tab shows as text, while it shows it. Its session keeps the page's
  // address behind "view-source:", never the text itself, whatever its size.
  struct SourceOf {
    Url page;
    std::string pageTitle;
    friend bool operator==(const SourceOf&, const SourceOf&) = default;
  };
  Observable<std::optional<SourceOf>> sourceOf;
  static constexpr std::string_view kSourceScheme = "view-source";

  // The menu of saved logins the page asked for after the user's press in a login field.
  PendingAutofillMenu autofillMenu{allowedCertificate};
  // The alert, confirm or prompt the page waits on, and what the tab lets its pages ask.
  PageDialogs dialogs;
  // The page's permission questions waiting for the user, and what it captures.
  TabPermissions permissions;
  // The web view, made on first use, and the back and forward list kept while it sleeps.
  TabWebView page{*this};
  // Downloads, other tabs, sent forms, crashes, refused certificates and pages' own windows.
  NavigationDecisions navigation{*this, page};

  // What the tab works with beyond its page: none for a tab that belongs to no window.
  std::shared_ptr<const TabServices> services() const { return services_.lock(); }
  // A window takes the tab; in a private window its pages use the private network session, and
  // nothing of it is written (history, site icons of favourites, zoom).
  void joinWindow(std::weak_ptr<const TabServices> services, bool isPrivate);
  bool isPrivate() const { return isPrivate_; }
  // Made for a page's request to open a window.
  bool isPopup() const { return isPopup_; }

  // The web view, made by the services' factory on first use; none for a tab without services.
  WebViewPort* webView() { return page.view(); }
  // The web view if it was already created.
  WebViewPort* storedWebView() const { return page.stored(); }

  // Starts the first load of a tab created without one (restored tabs).
  void loadIfNeeded() { page.wake(); }
  // Loads an address into this tab now (the command bar, the start page, new tabs).
  void load(const Url& address);
  // Loads the page again; while the tab asks whether to send a form again, the question stays.
  void reload();
  // Shows the zoom of the page's host (the default zoom for a host without its own).
  void applyZoom();
  // Sets the zoom of the page's host, which every tab on it follows; a page without a host is
  // zoomed alone.
  void zoomTo(double level);
  // The page's host goes back to the default zoom.
  void resetZoom();
  // Silences the tab or lets it be heard; a tab without a web view starts muted when it gets one.
  void setMuted(bool muted);
  // Ends the page's element full screen; nothing while it shows none.
  void leavePageFullScreen();
  // Releases the web view, keeping nothing: the tab closes.
  void tearDown() { page.release(); }

  // Nothing of the page would be lost with its web view gone: it has a page to come back to that
  // no form made, and plays no sound, captures nothing, loads nothing and waits on no dialog or
  // question.
  bool mayGiveUpPage() const;

  bool showsStartPage() const;
  std::string displayTitle() const;
  // The address the user sees and edits: while the tab shows a failed load, the address that
  // failed (the engine itself goes back to the page before it), else the page's own.
  std::optional<Url> shownURL() const;
  std::optional<std::string> displayHost() const;
  // The address and title the session keeps for the tab.
  std::optional<Url> addressToKeep() const;
  std::string titleToKeep() const;
  ConnectionSecurity connectionSecurity() const;
  // The certificate the user let through for the page on screen, while `allowedCertificate`.
  std::optional<CertificateFault> allowedCertificateFault() const;

  // Engine events: the web view's state and navigation, reported by the engine layer.
  void webViewTitleChanged(const std::optional<std::string>& newTitle);
  // The engine holds the page's icon, fetched from `address` or kept from an earlier visit.
  void engineFaviconChanged(const std::string& address);
  void webViewURLChanged(const std::optional<Url>& newURL);
  // A main-frame load really started (or was redirected) towards `address`.
  void provisionalNavigationStarted(const std::optional<Url>& address);
  // The main frame's load committed; `verified` when it came over TLS without a certificate error.
  // `allowedCertificate` when it came over a certificate the user let through despite its faults.
  void navigationCommitted(bool verified,
                           std::optional<CertificateFault> allowedCertificate = std::nullopt);
  void navigationDidFinish(const std::optional<Url>& address, const std::string& pageTitle);
  void handleLoadFailure(const LoadFailure& failure);

 private:
  // TabWebView::Tab
  std::unique_ptr<WebViewPort> makeWebView() override;
  void prepareWebView(WebViewPort& view) override;
  bool hasAddress() const override { return url.peek().has_value(); }
  void loadAddress(WebViewPort& view) override;
  void sessionStateRejected(std::string bytes) override;
  void webViewEnding() override;
  void webViewEnded(bool hadView) override;

  // NavigationDecisions::Tab
  const std::optional<Url>& address() const override { return url.peek(); }
  const std::optional<LoadError>& shownError() const override { return loadError.peek(); }
  void showError(LoadError error, bool endsNavigation) override;
  bool hasShownPage() const override { return committed_.has_value(); }
  void openBeside(const Url& address, bool inBackground) override;
  std::shared_ptr<BrowserTab> openPopup() override;
  void close() override;
  void closeUnlessShown() override;

  // Asks the web view for the page's icon, which each finished load does.
  void fetchFavicon();
  // Takes a page's icon address; ignored unless it is an absolute web address.
  void showFavicon(const std::string& address);
  // Zooms the web view, which must exist.
  void showZoom(double level);
  // The zoom of the page's host, else the default zoom.
  double pageZoom(const TabServices& owner) const;
  // Gives the web view the content blocker and page dark mode of a page at `address`.
  void preparePage(const TabServices& owner, const std::optional<Url>& address);

  std::weak_ptr<const TabServices> services_;
  bool isPrivate_ = false;
  bool isPopup_ = false;
  std::weak_ptr<BrowserTab> popupOpener_;
  // The page on screen: a navigation that starts and is then stopped or replaced leaves it
  // there, with the connection it came over.
  struct CommittedPage {
    std::optional<Url> url;
    bool verified = false;
    std::optional<CertificateFault> allowedCertificate;
    // Made from a sent form: only sending it again could show it once its view is gone.
    bool fromSentForm = false;
  };
  void showCommittedConnection();
  std::optional<CommittedPage> committed_;
  bool provisional_ = false;
  // The history entry the last finished load recorded, until the next load starts: a title that
  // comes later is that visit's, whichever visits other tabs recorded meanwhile.
  std::optional<Uuid> recordedVisit_;
  std::unique_ptr<ScheduledTask> closing_;
};

}  // namespace zemblo
