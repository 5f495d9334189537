#include "web/web_engine.h"

#include "model/ad_blocker.h"
#include "model/browser_tab.h"
#include "model/download_manager.h"
#include "model/page_services_model.h"
#include "model/tab_services.h"
#include "platform/database_file.h"
#include "platform/interface_renderer.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "web/spelling_menu.h"
#include "web/web_view_configuration.h"
#include "web/webkit_content_rule_store.h"
#include "web/webkit_download_transfer.h"
#include "web/webkit_page_permissions.h"
#include "web/webkit_web_view_port.h"

namespace zemblo {
namespace {

// Each web view knows the download manager its tab's services name, and its tab.
constexpr const char* kDownloadsKey = "zemblo-downloads";

struct DownloadOrigin {
  std::weak_ptr<DownloadManager> downloads;
  std::weak_ptr<BrowserTab> tab;
};

void rememberDownloads(WebKitWebView* view, DownloadOrigin origin) {
  g_object_set_data_full(G_OBJECT(view), kDownloadsKey, new DownloadOrigin(std::move(origin)),
                         [](gpointer data) { delete static_cast<DownloadOrigin*>(data); });
}

void onDownloadStarted(WebKitNetworkSession*, WebKitDownload* download, gpointer) {
  WebKitWebView* view = webkit_download_get_web_view(download);
  const auto* origin =
      view ? static_cast<DownloadOrigin*>(g_object_get_data(G_OBJECT(view), kDownloadsKey))
           : nullptr;
  WebKitDownloadTransfer::start(download,
                                origin ? origin->downloads : std::weak_ptr<DownloadManager>());
  if (const auto tab = origin ? origin->tab.lock() : nullptr) tab->navigation.downloadStarted();
}

}  // namespace

WebEngine::WebEngine(Scheduler& scheduler, std::optional<Folders> folders)
    : scheduler_(scheduler),
      folders_(std::move(folders)),
      compositing_(interface_renderer::softwareOnlyGL() ? PageCompositing::cpu
                                                        : PageCompositing::gpu) {}

WebEngine::~WebEngine() { enableFavicons_.disconnect(); }

bool WebEngine::awaitNetworkProcessEnd(std::chrono::milliseconds limit) {
  const auto running = process::childrenNamed("WebKitNetworkProcess");
  if (process::awaitEnd(running, limit)) return true;
  g_warning("The engine's network process had not ended %lld ms after quitting",
            static_cast<long long>(limit.count()));
  return false;
}

FaviconLoader& WebEngine::favicons() {
  if (!favicons_) favicons_ = std::make_shared<FaviconLoader>();
  return *favicons_;
}

DesktopNotifications& WebEngine::desktopNotifications() {
  if (!notifications_) {
    notifications_ =
        std::make_shared<DesktopNotifications>("Zemblo Browser", "com.pellobar.browser");
  }
  return *notifications_;
}

WebEngine::Folders WebEngine::folders() const {
  return folders_.value_or(
      Folders{paths::appSupportDirectory() / "WebKit", paths::cacheDirectory() / "WebKit"});
}

std::optional<SetAsideFile> WebEngine::checkCookieStore() {
  // Once the network process has the file, moving it would only lose what it writes there.
  if (session_) return std::nullopt;
  const std::filesystem::path file = folders().data / kCookieFileName;
  if (database_file::check(file) != database_file::State::unusable) return std::nullopt;
  // The engine would sign the user out silently and keep failing to write into it.
  g_warning("The cookie store %s is no database; a new one is started", file.c_str());
  return SetAsideFile{file, database_file::setAside(file), false};
}

WebKitNetworkSession* WebEngine::networkSession() {
  if (!session_) {
    const Folders folders = this->folders();
    session_ = GObjectRef<WebKitNetworkSession>::adopt(
        webkit_network_session_new(folders.data.c_str(), folders.cache.c_str()));
    // Off by default; the tab rows and favourites show the pages' icons. Turning them on opens
    // the icon database on disk while this thread waits (tens of milliseconds on a first start),
    // so it is done on the main loop's first turns instead of before the first page is asked for,
    // and after the engine's own work of those turns (at Glib::PRIORITY_HIGH_IDLE), which takes
    // up the first page's web process. That is early enough: a web view takes up the database
    // when its page starts loading, which takes later turns.
    enableFavicons_ = Glib::signal_idle().connect(
        [this] {
          webkit_website_data_manager_set_favicons_enabled(
              webkit_network_session_get_website_data_manager(session_.get()), TRUE);
          return false;
        },
        Glib::PRIORITY_HIGH_IDLE + 5);
    g_signal_connect(session_.get(), "download-started", G_CALLBACK(onDownloadStarted), nullptr);
    keepCookies(folders.data);
  }
  return session_.get();
}

WebKitNetworkSession* WebEngine::privateNetworkSession() {
  if (!privateSession_) {
    // No folders, no cookie file and no site icons: nothing of its pages reaches the disk but
    // what the user downloads.
    privateSession_ =
        GObjectRef<WebKitNetworkSession>::adopt(webkit_network_session_new_ephemeral());
    g_signal_connect(privateSession_.get(), "download-started", G_CALLBACK(onDownloadStarted),
                     nullptr);
  }
  return privateSession_.get();
}

void WebEngine::endPrivateBrowsing() {
  // Each private view holds the session too; the last one going frees what it kept in memory.
  privateSession_.reset();
}

void WebEngine::keepCookies(const std::filesystem::path& folder) {
  // Without a store of its own the session keeps cookies in memory only, and every site logs the
  // user out at each restart. Cookies without an expiry are never written there, so they still
  // end at quit. The network process opens the file: nothing waits for the disk here.
  const std::filesystem::path file = folder / kCookieFileName;
  webkit_cookie_manager_set_persistent_storage(
      webkit_network_session_get_cookie_manager(session_.get()), file.c_str(),
      WEBKIT_COOKIE_PERSISTENT_STORAGE_SQLITE);
}

std::shared_ptr<ContentRuleStore> WebEngine::contentRuleStore() {
  if (!contentRuleStore_) {
    std::filesystem::path folder = paths::appSupportDirectory() / "ContentRuleLists";
    if (folders_) {
      folder = folders_->contentRuleLists.empty() ? folders_->data / "ContentRuleLists"
                                                  : folders_->contentRuleLists;
    }
    // The list compiled when the browser was built lies beside the rule file.
    std::vector<std::filesystem::path> bundled;
    if (const auto ruleFile = AdBlocker::bundledRuleFile()) {
      bundled.push_back(ruleFile->parent_path() / content_rule_compiler::kBundledFolderName);
    }
    contentRuleStore_ = std::make_shared<WebKitContentRuleStore>(folder, bundled);
  }
  return contentRuleStore_;
}

void WebEngine::clearWebsiteData(std::function<void(bool cleared)> done) {
  using Done = std::function<void(bool)>;
  auto finished = +[](GObject* source, GAsyncResult* result, gpointer data) {
    const std::unique_ptr<Done> done(static_cast<Done*>(data));
    GError* error = nullptr;
    const bool cleared = webkit_website_data_manager_clear_finish(
        WEBKIT_WEBSITE_DATA_MANAGER(source), result, &error);
    if (!cleared) {
      g_warning("Website data could not be cleared: %s",
                error ? error->message : "no reason given");
    }
    g_clear_error(&error);
    (*done)(cleared);
  };
  // A time span of 0 takes everything, however old.
  webkit_website_data_manager_clear(
      webkit_network_session_get_website_data_manager(networkSession()), WEBKIT_WEBSITE_DATA_ALL, 0,
      nullptr, finished, std::make_unique<Done>(std::move(done)).release());
}

std::unique_ptr<WebViewPort> WebEngine::makeWebView(BrowserTab& tab) { return make(tab, nullptr); }

std::unique_ptr<WebViewPort> WebEngine::makePopupWebView(BrowserTab& popup, WebViewPort& opener) {
  return make(popup, dynamic_cast<WebKitWebViewPort*>(&opener));
}

std::unique_ptr<WebViewPort> WebEngine::make(BrowserTab& tab, WebKitWebViewPort* opener) {
  const auto owner = tab.services();
  PageServices services;
  if (const auto pageServices = owner ? owner->pageServices.lock() : nullptr) {
    services.adBlocker = pageServices->weakAdBlocker();
    services.darkMode = pageServices->weakDarkMode();
  }
  if (owner) services.autofill = owner->autofill;
  services.tab = tab.weak_from_this();
  const WebViewConfiguration configuration(std::move(services), compositing_);
  // A related view runs in its opener's process.
  auto view =
      configuration.makeWebView(tab.isPrivate() ? privateNetworkSession() : networkSession(),
                                opener ? opener->webView() : nullptr);
  if (owner) rememberDownloads(view.get(), {owner->downloads, tab.weak_from_this()});
  labelSpellingItems(view.get());
  if (owner && !notificationFeed_) {
    notificationFeed_ = std::make_unique<NotificationPermissionsFeed>(owner->sitePermissions);
  }
  desktopNotifications();
  auto port = std::make_unique<WebKitWebViewPort>(
      std::move(view), tab.weak_from_this(), scheduler_, requestTimeout_,
      opener ? opener->process() : std::make_shared<WebProcessShare>(), notifications_);
  port->setPrintDialogs(printDialogs_);
  favicons();
  port->setFavicons(favicons_);
  return port;
}

}  // namespace zemblo
