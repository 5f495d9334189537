#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/content_rule_store.h"
#include "model/page_dark_mode.h"
#include "model/preference_enums.h"
#include "model/records.h"
#include "model/web_view_port.h"

namespace zemblo {

class BrowserTab;

// Everything the model reaches outside itself: the web engine with its web views, compiled
// content rules and website data, and the application's light or dark appearance, which the
// pages follow. The web layer implements it for the browser, and model tests use a fake; the
// store takes one at construction, so no part of it is ever missing.
class BrowserEngine : public WebViewFactory, public ContentRuleStoreProvider {
 public:
  // Shows the application light, dark or as the desktop does.
  virtual void applyAppearance(ThemeMode theme) = 0;
  // Whether the application shows dark now.
  virtual bool isDark() const = 0;
  // Starts watching whether the application shows dark; `changed` runs on every change until
  // the returned token goes.
  virtual std::shared_ptr<void> observeDark(std::function<void()> changed) = 0;
  // Gives the tab's existing web view its dark-mode look for the page it shows or is about to
  // show, and with `pushToPage` hands the shown page its new configuration at once.
  virtual void applyPageDarkMode(BrowserTab& tab, const PageDarkModeDecision& decision,
                                 bool pushToPage) = 0;
  // Turns the marking of misspelt words in editable fields on or off for every page, open ones
  // included, against those of the named dictionaries ("en_US") that are installed.
  virtual void applySpellChecking(bool enabled, const std::vector<std::string>& languages) = 0;
  // Removes every kind of data sites stored (cookies, storage, caches); `done` runs later with
  // whether the engine managed it.
  virtual void clearWebsiteData(std::function<void(bool cleared)> done) = 0;
  // The last private window closed: whatever its pages kept in memory (cookies, caches, site
  // storage) goes, and the next private window starts with nothing.
  virtual void endPrivateBrowsing() = 0;
  // Looks at the cookie store before the engine first opens it: one it could not use is moved
  // out of the way, so the user is told and the engine starts a new one. Blocks on the disk, as
  // reading the session does.
  virtual std::optional<SetAsideFile> checkCookieStore() { return std::nullopt; }
};

}  // namespace zemblo
