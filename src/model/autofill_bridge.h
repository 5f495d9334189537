#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace zemblo {

class BrowserStore;

// Answers the autofill page script: which saved logins belong to a frame's site, the username
// and password of one of them, and logins the user submitted, which become a save offer in the
// store. The script runs in a script world of its own and tells its frame's origin with every
// message, where the page's scripts cannot reach it. Keeps nothing between messages.
class AutofillBridge {
 public:
  static constexpr const char* kMessageHandler = "zembloPasswords";
  static constexpr const char* kContentWorld = "ZembloAutofill";

  // The store whose vault answers and which receives offers; held weakly, set by the store.
  std::weak_ptr<BrowserStore> browser;

  // The answer to one message, both as JSON text; "null" is no answer. Only frames of web pages
  // are answered. A login goes only to a frame of its own site, and one saved on a secure page
  // never to a page without encryption; no answer but "fill" carries a password.
  std::string reply(std::string_view message);
};

}  // namespace zemblo
