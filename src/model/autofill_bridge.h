#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/autofill_menu.h"
#include "model/page_script_world.h"

namespace zemblo {

class PasswordOffers;
class PasswordStore;

// Answers the autofill page script: the saved logins a login field's menu lists, the username
// and password of the one the user chose there, and logins the user submitted, which the
// browser then offers to save. The script runs in a script world of its own and tells its
// frame's origin with every message, where the page's scripts cannot reach it. Keeps nothing
// between messages.
//
// A login goes to a frame of exactly its own host ("www." aside); the user may also choose one
// of another host of the same site, which the menu lists after the host's own. Either only on
// the port it was saved on, and one saved on a secure page never to a page without encryption,
// nor is it changed by one.
class AutofillBridge {
 public:
  static constexpr const char* kMessageHandler = "zembloPasswords";
  static constexpr const char* kContentWorld = kPageScriptWorld;

  // The vault answers, the offers receive what the user submitted. Page handlers may keep the
  // bridge past them: without either it answers nothing.
  AutofillBridge(std::weak_ptr<PasswordStore> vault, std::weak_ptr<PasswordOffers> offers);

  // The answer to a message that needs none but its effect (a submitted login), as JSON: "null".
  std::string reply(std::string_view message);
  // The menu's rows for the frame that sent `message`: its host's logins, most recently used
  // first, then those of the site's other hosts; none for a frame that is no web page's.
  std::optional<std::vector<AutofillMenu::Row>> menuRows(std::string_view message) const;
  // The username and password of the login `id`, chosen in the menu opened by `message`, as
  // JSON; "null" when that login may not go to that frame. Records the use.
  std::string chosenLogin(std::string_view message, const Uuid& id);

 private:
  std::weak_ptr<PasswordStore> vault_;
  std::weak_ptr<PasswordOffers> offers_;
};

}  // namespace zemblo
