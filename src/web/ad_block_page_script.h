#pragma once

#include <webkit/webkit.h>

#include <memory>
#include <string>
#include <string_view>

#include "model/ad_blocker.h"

namespace zemblo {

// Adds the video-page script and the message handler that answers it to a web view's content
// manager. The handler answers false once the blocker is gone.
void installAdBlockPageScript(std::weak_ptr<const AdBlocker> blocker,
                              WebKitUserContentManager* contentManager);

// The video-page script, acting on pages of `domain` and its subdomains.
std::string adBlockVideoPageScript(std::string_view domain = AdBlocker::kVideoSiteDomain);

// Adds that script to a content manager, to be run on the pages of `domain` only.
void addAdBlockVideoPageScript(WebKitUserContentManager* contentManager,
                               std::string_view domain = AdBlocker::kVideoSiteDomain);

}  // namespace zemblo
