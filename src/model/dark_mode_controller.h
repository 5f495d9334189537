#pragma once

#include <memory>

namespace zemblo {

class BrowserStore;

// Page dark mode: darkens light pages in every tab according to the preferences and the
// application's appearance.
class DarkModeController {
 public:
  // The store whose tabs it darkens; held weakly, set by the store at start-up.
  std::weak_ptr<BrowserStore> browser;
};

}  // namespace zemblo
