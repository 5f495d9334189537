#pragma once

#include <memory>

namespace zemblo {

class BrowserStore;

// Answers the autofill page script: credential queries, fills, and submitted logins, which
// become a save offer in the store.
class AutofillBridge {
 public:
  // The store that receives submitted logins; held weakly, set by the store at start-up.
  std::weak_ptr<BrowserStore> browser;
};

}  // namespace zemblo
