#include "web/web_engine.h"

#include "model/ad_blocker.h"
#include "model/browser_store.h"
#include "model/browser_tab.h"
#include "platform/paths.h"
#include "web/web_view_configuration.h"
#include "web/webkit_content_rule_store.h"
#include "web/webkit_web_view_port.h"

namespace zemblo {

WebEngine::WebEngine(std::optional<Folders> folders) : folders_(std::move(folders)) {}

WebEngine::~WebEngine() { enableFavicons_.disconnect(); }

WebKitNetworkSession* WebEngine::networkSession() {
  if (!session_) {
    const Folders folders = folders_.value_or(
        Folders{paths::appSupportDirectory() / "WebKit", paths::cacheDirectory() / "WebKit"});
    session_ = GObjectRef<WebKitNetworkSession>::adopt(
        webkit_network_session_new(folders.data.c_str(), folders.cache.c_str()));
    // Off by default; the tab rows and favourites show the pages' icons. Turning them on opens
    // the icon database on disk while this thread waits (tens of milliseconds on a first start),
    // so it is done on the main loop's first turn instead of before the first page is asked for.
    // That is early enough: a web view takes up the database when its page starts loading, which
    // takes later turns.
    enableFavicons_ = Glib::signal_idle().connect(
        [this] {
          webkit_website_data_manager_set_favicons_enabled(
              webkit_network_session_get_website_data_manager(session_.get()), TRUE);
          return false;
        },
        Glib::PRIORITY_HIGH);
  }
  return session_.get();
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

std::unique_ptr<WebViewPort> WebEngine::makeWebView(BrowserTab& tab) { return make(tab, nullptr); }

std::unique_ptr<WebViewPort> WebEngine::makePopupWebView(BrowserTab& popup, WebViewPort& opener) {
  auto* openerPort = dynamic_cast<WebKitWebViewPort*>(&opener);
  return make(popup, openerPort ? openerPort->webView() : nullptr);
}

std::unique_ptr<WebViewPort> WebEngine::make(BrowserTab& tab, WebKitWebView* relatedView) {
  const auto owner = tab.store.lock();
  const WebViewConfiguration configuration(
      {owner ? owner->weakAdBlocker() : std::weak_ptr<const AdBlocker>()});
  auto view = configuration.makeWebView(networkSession(), relatedView);
  return std::make_unique<WebKitWebViewPort>(std::move(view), tab.weak_from_this(),
                                             requestTimeout_);
}

}  // namespace zemblo
