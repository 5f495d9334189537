#pragma once

#include <memory>

#include "model/browser_store.h"

namespace zemblo {

class WebEngine;

// Fills in what the store reaches of the web engine and the application's appearance: the
// factory of its web views, the page dark-mode look of a web view, the removal of website data,
// and whether (and when) the application turns dark.
void connectWebEngine(BrowserStoreEnvironment& environment, std::shared_ptr<WebEngine> engine);

}  // namespace zemblo
