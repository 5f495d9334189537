#pragma once

#include <webkit/webkit.h>

namespace zemblo {

// The engine's "Open Link in New Window" would open the link as a tab of this window; its item
// is replaced by one that asks the application ("app.open-in-new-window", or
// "app.open-in-new-private-window" from a private window) to open the link in a window of its
// own. Without such an application action the engine's item stays.
void routeNewWindowLinkItem(WebKitWebView* view, bool fromPrivateWindow);

}  // namespace zemblo
