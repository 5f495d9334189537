#include "web/engine_favicon_feed.h"

#include <string>

#include "model/browser_tab.h"
#include "platform/url.h"
#include "web/favicon_loader.h"

namespace zemblo {
namespace {

WebKitFaviconDatabase* iconDatabaseOf(WebKitWebView* view) {
  WebKitNetworkSession* session = webkit_web_view_get_network_session(view);
  if (!session) return nullptr;
  WebKitWebsiteDataManager* manager = webkit_network_session_get_website_data_manager(session);
  if (!webkit_website_data_manager_get_favicons_enabled(manager)) return nullptr;
  return webkit_website_data_manager_get_favicon_database(manager);
}

}  // namespace

EngineFaviconFeed::EngineFaviconFeed(WebKitWebView* view, std::weak_ptr<BrowserTab> tab,
                                     std::weak_ptr<FaviconLoader> favicons)
    : tab_(std::move(tab)), favicons_(std::move(favicons)) {
  handlers_.connect(view, "notify::favicon", toGCallback(&onFavicon), this);
}

bool EngineFaviconFeed::keepsIcons(WebKitWebView* view) { return iconDatabaseOf(view) != nullptr; }

void EngineFaviconFeed::onFavicon(WebKitWebView* view, GParamSpec*, EngineFaviconFeed* self) {
  // Cleared when a new page commits; the tab itself forgets another site's icon then.
  GdkTexture* texture = webkit_web_view_get_favicon(view);
  const char* page = webkit_web_view_get_uri(view);
  WebKitFaviconDatabase* database = iconDatabaseOf(view);
  if (!texture || !page || !database) return;
  char* found = webkit_favicon_database_get_favicon_uri(database, page);
  const auto address = found ? Url::parse(found) : std::nullopt;
  g_free(found);
  if (!address) return;
  // Kept under the address the views ask for, written as the tab writes it.
  if (auto favicons = self->favicons_.lock()) {
    favicons->keep(address->str(), Glib::wrap(texture, /*take_copy=*/true));
  }
  if (auto tab = self->tab_.lock()) tab->engineFaviconChanged(address->str());
}

}  // namespace zemblo
