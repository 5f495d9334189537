#pragma once

#include <webkit/webkit.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zemblo {

// Turns one message of a page script into the value handed back to the script's promise (a new
// reference). Runs on the main thread.
using ScriptMessageAnswer = std::function<JSCValue*(JSCValue* message)>;

// Adds a page script to a web view's content manager in the script world `world`; with
// `onlyOn`, only pages whose address matches one of those patterns (as "*://*.example.com/*")
// run it.
void addPageScript(WebKitUserContentManager* contentManager, std::string_view source,
                   WebKitUserContentInjectedFrames frames, WebKitUserScriptInjectionTime time,
                   const char* world, const std::vector<std::string>& onlyOn = {});

// Answers the messages posted to the handler `name`, which only scripts of `world` can reach.
// The answer is kept as long as the content manager.
void addScriptMessageHandler(WebKitUserContentManager* contentManager, const char* name,
                             const char* world, ScriptMessageAnswer answer);

}  // namespace zemblo
