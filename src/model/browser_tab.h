#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/autofill_menu.h"
#include "model/page_dialogs.h"
#include "model/tab_permissions.h"
#include "model/web_view_port.h"
#include "platform/observable.h"
#include "platform/url.h"
#include "platform/uuid.h"

namespace zemblo {

struct TabServices;

// One tab: the state the sidebar, the content card and the menus show, and the tab's web view,
// which is created only when the tab is first shown or loaded. The tab is also where the web
// view's navigation and page events are decided; the engine layer only translates them.
class BrowserTab : public std::enable_shared_from_this<BrowserTab> {
 public:
  // What the engine found wrong with a certificate it refused, and what the certificate says of
  // itself, as plain text for the error page.
  struct CertificateFault {
    enum class Kind { untrusted, expired, notYetValid, wrongHost, revoked, other };
    std::vector<Kind> kinds;
    std::string subject;
    std::string issuer;
    std::string validFrom;
    std::string validUntil;
    friend bool operator==(const CertificateFault&, const CertificateFault&) = default;
  };

  // What a failed load ran into, where the browser can say it in its own words.
  enum class FailureCause {
    unknown,
    nameNotResolved,
    connectionRefused,
    timedOut,
    connectionReset,
    tooManyRedirects,
    secureConnectionFailed,
    pageKeptCrashing,
  };

  struct LoadError {
    // The engine's own words, shown only when the user asks for the details.
    std::string message;
    std::optional<Url> url;
    // Set when the page was refused for its certificate: the user may let it through.
    std::optional<CertificateFault> certificate;
    // Set when the page at `url` was made from a form the user sent, and showing it again would
    // send that form again: only the user's answer does (resendForm).
    bool resendsForm = false;
    FailureCause cause = FailureCause::unknown;
    friend bool operator==(const LoadError&, const LoadError&) = default;
  };

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

  using Clock = std::function<std::chrono::steady_clock::time_point()>;

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

  // The menu of saved logins the page asked for after the user's press in a login field; none
  // while it is closed.
  Observable<std::optional<AutofillMenu>> autofillMenu;
  // The alert, confirm or prompt the page waits on, and what the tab lets its pages ask.
  PageDialogs dialogs;

  // The page's permission questions waiting for the user, and what it captures.
  TabPermissions permissions;

  // What the tab works with beyond its page; none for a tab that belongs to no window.
  std::weak_ptr<const TabServices> services;
  bool hasStartedLoading = false;
  bool adBlockApplied = false;
  bool isPopup = false;
  // Shown in a private window: its pages use the private network session, and nothing of it is
  // written (history, site icons of favourites, zoom); set as a window takes the tab.
  bool isPrivate = false;
  // The engine's record of the back and forward list of a tab that has no web view yet (restored
  // or reopened), as plain bytes; its first load goes back into that list.
  std::optional<std::string> pendingSessionState;
  // Time source for the crash-reload limit; tests replace it.
  Clock now = [] { return std::chrono::steady_clock::now(); };

  // The web view, made by the services' factory on first use; none for a tab without services.
  WebViewPort* webView();
  // The web view if it was already created.
  WebViewPort* storedWebView() const { return storedWebView_.get(); }

  // The back and forward list as it is now: the web view's, else the one still waiting.
  std::optional<std::string> sessionState() const;
  // Starts the first load of a tab created without one (restored tabs).
  void loadIfNeeded();
  // Loads an address into this tab now (the command bar, the start page, new tabs).
  void load(const Url& address);
  // Loads the page again; while the tab asks whether to send a form again, the question stays.
  void reload();
  // The user's answer to that question: the form goes again, once.
  void resendForm();
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
  // Releases the web view.
  void tearDown();

  // Nothing of the page would be lost with its web view gone: it has a page to come back to that
  // no form made, and plays no sound, captures nothing, loads nothing and waits on no dialog or
  // question.
  bool mayGiveUpPage() const;
  // Gives up the web view to free its process, keeping its back and forward list (with where
  // each page was scrolled) for its next show; false, with the view kept, when the engine has no
  // list to give.
  bool fallAsleep();
  bool isAsleep() const { return asleep_; }

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
  // Saved logins are never offered to a page whose certificate the engine could not vouch for.
  bool mayFillSavedLogins() const { return !allowedCertificate.peek(); }

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
  // The engine refused the certificate of `address`; the error page names what is wrong.
  void handleCertificateFailure(CertificateFault fault, const std::optional<Url>& address);
  // Lets the refused certificate through for its host until the browser quits, and loads the
  // page again; nothing unless the tab shows a certificate error.
  void visitDespiteCertificate();
  Policy decideNavigationAction(const NavigationAction& action);
  static Policy decideNavigationResponse(const NavigationResponse& response);
  // The page's process ended. A crash reloads the page, at most twice a minute; a process the
  // browser itself ended is left alone.
  void webContentProcessTerminated(bool endedByBrowser);
  // The user pressed a button or a key on the page: it may open one window for that.
  void pageActivatedByUser() { popupAllowed_ = true; }
  // A page asked for a new window: a selected tab right after this one, whose web view the
  // engine then loads. One window per user activation, so a page can't flood the sidebar from
  // one click; nothing without an unused activation, or when the services are gone.
  std::shared_ptr<BrowserTab> createPopupTab();
  // The page closed its window.
  void pageClosed();
  // A download began from this tab. A tab that never showed a page was opened only for the file
  // (by another program, or a link into a new tab): it closes instead of staying behind empty.
  void downloadStarted();

  // Opens the menu of saved logins; one still open is closed first. `answer` is called once,
  // with the login the user chose or with none when the menu closes without a choice.
  using AutofillAnswer = std::function<void(std::optional<Uuid> chosen)>;
  void openAutofillMenu(AutofillMenu menu, AutofillAnswer answer);
  // The field moved: the menu follows it.
  void moveAutofillMenu(const AutofillMenu::Box& field);
  // Closes the menu, with the user's choice or without one; nothing when it is closed.
  void endAutofillMenu(std::optional<Uuid> chosen = std::nullopt);

  static constexpr int kCrashReloadLimit = 2;
  static constexpr std::chrono::seconds kCrashWindow{60};

 private:
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

  std::unique_ptr<WebViewPort> storedWebView_;
  bool asleep_ = false;
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
  // Whether the navigation last allowed sends a form's data: the page it commits was made from it.
  bool sendsFormData_ = false;
  // The address whose form the user agreed to send again, until that request is decided or
  // another navigation starts.
  std::optional<Url> formResendAgreed_;
  // The history entry the last finished load recorded, until the next load starts: a title that
  // comes later is that visit's, whichever visits other tabs recorded meanwhile.
  std::optional<Uuid> recordedVisit_;
  bool popupAllowed_ = false;
  std::unique_ptr<ScheduledTask> closing_;
  std::deque<std::chrono::steady_clock::time_point> crashReloads_;
  AutofillAnswer autofillAnswer_;
};

}  // namespace zemblo
