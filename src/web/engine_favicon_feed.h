#pragma once

#include <webkit/webkit.h>

#include <memory>

#include "platform/gobject_ref.h"

namespace zemblo {

class BrowserTab;
class FaviconLoader;

// Hands the icon the web engine holds for a view's page, fetched or kept from an earlier run in
// its icon database, to the tab and to the browser's icon cache, so that the browser never asks
// the site for it a second time. A page that changes its icon later is followed too.
class EngineFaviconFeed {
 public:
  EngineFaviconFeed(WebKitWebView* view, std::weak_ptr<BrowserTab> tab,
                    std::weak_ptr<FaviconLoader> favicons);
  EngineFaviconFeed(const EngineFaviconFeed&) = delete;
  EngineFaviconFeed& operator=(const EngineFaviconFeed&) = delete;

  // Whether the view's session keeps site icons: private sessions never do.
  static bool keepsIcons(WebKitWebView* view);

 private:
  static void onFavicon(WebKitWebView* view, GParamSpec*, EngineFaviconFeed* self);

  std::weak_ptr<BrowserTab> tab_;
  std::weak_ptr<FaviconLoader> favicons_;
  SignalHandlers handlers_;
};

}  // namespace zemblo
