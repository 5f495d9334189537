#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/foundation_json.h"
#include "web/page_script_channel.h"

namespace zemblo {

class AutofillBridge;
class BrowserTab;

// The autofill script's side of the browser's menu of saved logins, for one web view: the
// script asks for the menu after the user's own press in a login field, reports where the field
// moves and when it loses the focus; the menu's answer to the first message is the login the
// user chose. The script reports the field in CSS pixels of its frame; turning that into the
// view's pixels (zoom, where the frame lies) is the engine's side, done here.
class AutofillMenuChannel {
 public:
  AutofillMenuChannel(std::weak_ptr<AutofillBridge> bridge, std::weak_ptr<BrowserTab> tab);

  // Takes the menu's messages and answers them, now or once the menu closes; false for any
  // other message.
  bool receive(std::string_view message, const std::shared_ptr<ScriptReply>& reply);

 private:
  void open(const json::Json& body, const std::string& message,
            const std::shared_ptr<ScriptReply>& reply);
  void move(const json::Json& body);
  void close(const json::Json& body);

  std::weak_ptr<AutofillBridge> bridge_;
  std::weak_ptr<BrowserTab> tab_;
  // The frame whose script the open menu answers (a token of the script's own), and where that
  // frame lies in the page, in CSS pixels.
  std::string frame_;
  struct {
    double x = 0;
    double y = 0;
  } frameOffset_;
};

}  // namespace zemblo
