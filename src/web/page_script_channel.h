#pragma once

#include <webkit/webkit.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zemblo {

// Turns one message of a page script into the value handed back to the script's promise (a new
// reference). Runs on the main thread.
using ScriptMessageAnswer = std::function<JSCValue*(JSCValue* message)>;

// The answer to one page-script message that comes later than the message: the script's promise
// settles when it is sent, with no value when it is dropped unsent.
class ScriptReply {
 public:
  ScriptReply(WebKitScriptMessageReply* reply, JSCContext* context);
  ~ScriptReply();
  ScriptReply(const ScriptReply&) = delete;
  ScriptReply& operator=(const ScriptReply&) = delete;

  // The value as JSON text; only the first call counts.
  void send(std::string_view json);

 private:
  WebKitScriptMessageReply* reply_;
  JSCContext* context_;
};

// Receives one page-script message and the means to answer it, now or later.
using ScriptMessageReceiver =
    std::function<void(JSCValue* message, std::shared_ptr<ScriptReply> reply)>;

// Adds a page script to a web view's content manager in the script world `world` (the page's own
// when null); with
// `onlyOn`, only pages whose address matches one of those patterns (as "*://*.example.com/*")
// run it.
void addPageScript(WebKitUserContentManager* contentManager, std::string_view source,
                   WebKitUserContentInjectedFrames frames, WebKitUserScriptInjectionTime time,
                   const char* world, const std::vector<std::string>& onlyOn = {});

// Answers the messages posted to the handler `name`, which only scripts of `world` (the page's
// own when null) can reach.
// The answer is kept as long as the content manager.
void addScriptMessageHandler(WebKitUserContentManager* contentManager, const char* name,
                             const char* world, ScriptMessageAnswer answer);
// The same for messages that may be answered later.
void addScriptMessageReceiver(WebKitUserContentManager* contentManager, const char* name,
                              const char* world, ScriptMessageReceiver receive);

}  // namespace zemblo
