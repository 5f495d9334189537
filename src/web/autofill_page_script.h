#pragma once

#include <webkit/webkit.h>

#include <memory>
#include <string>
#include <string_view>

namespace zemblo {

class AutofillBridge;

// The autofill page script as written, with its two menu texts in Turkish.
extern const std::string_view kAutofillScriptText;

// The script with its menu texts in the interface language of this moment.
std::string autofillPageScript();

// Adds the script to every frame of a web view's pages, in the autofill script world, and the
// "zembloPasswords" handler that answers it from the bridge; only that world can post to it. The
// handler answers nothing once the bridge is gone.
void installAutofillPageScript(std::weak_ptr<AutofillBridge> bridge,
                               WebKitUserContentManager* contentManager);

}  // namespace zemblo
