#pragma once

#include <webkit/webkit.h>

#include <memory>
#include <string>

namespace zemblo {

class BrowserTab;
class DarkModeController;
struct PageDarkModeDecision;

// The page dark-mode script of every frame, in the controller's isolated world. It starts from
// `initial` (so a page to be darkened never shows light while it asks), asks the handler for
// its configuration, and inverts the colours of light pages, turning pictures back.
std::string darkModePageScript(const PageDarkModeDecision& initial);

// Adds the page script, starting switched off, and the "zembloDark" handler that answers it with
// the configuration of `tab`'s page. The handler answers nothing once the controller is gone.
void installDarkModePageScript(std::weak_ptr<const DarkModeController> controller,
                               std::weak_ptr<const BrowserTab> tab,
                               WebKitUserContentManager* contentManager);

// Gives the web view the look of `decision`: a near-black background behind dark pages, and the
// page script starting from the decision in the next documents. With `pushToPage` the page shown
// now takes the decision at once.
void applyPageDarkMode(WebKitWebView* view, const PageDarkModeDecision& decision, bool pushToPage);

// The same for a tab's web view, if it has one of this engine.
void applyPageDarkModeToTab(BrowserTab& tab, const PageDarkModeDecision& decision, bool pushToPage);

}  // namespace zemblo
