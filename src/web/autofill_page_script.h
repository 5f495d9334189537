#pragma once

#include <webkit/webkit.h>

#include <memory>

namespace zemblo {

class AutofillBridge;
class BrowserTab;

// Adds the script to every frame of a web view's pages, in the browser's script world, and the
// "zembloPasswords" handler that answers it from the bridge and opens the menu of saved logins
// on `tab`; only that world can post to it. The handler answers nothing once the bridge is gone.
void installAutofillPageScript(std::weak_ptr<AutofillBridge> bridge, std::weak_ptr<BrowserTab> tab,
                               WebKitUserContentManager* contentManager);

}  // namespace zemblo
