// The content blocker's part inside each web view: the video-page script and the handler that
// tells it whether to act.
#include <webkit/webkit.h>

#include <memory>

#include "web/ad_block_page_script.h"

#include "model/ad_blocker.h"
#include "web/page_script_channel.h"
#include "web/script_message.h"
#include "web/web_resources.h"

namespace zemblo {
namespace {

std::string javaScriptString(std::string_view text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

}  // namespace

// It asks the handler first, so the switch and the allow list decide, then hides the ad slots
// and, while an ad plays, seeks it to its end and presses its skip button.
std::string adBlockVideoPageScript(std::string_view domain) {
  return resources::adBlockVideoPageScript({.domain = javaScriptString(domain)});
}

void addAdBlockVideoPageScript(WebKitUserContentManager* contentManager, std::string_view domain) {
  // Other pages never run it, so they do without its script world as well.
  const std::string host(domain);
  addPageScript(contentManager, adBlockVideoPageScript(domain),
                WEBKIT_USER_CONTENT_INJECT_TOP_FRAME, WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START,
                AdBlocker::kContentWorld, {"*://" + host + "/*", "*://*." + host + "/*"});
}

void installAdBlockPageScript(std::weak_ptr<const AdBlocker> blocker,
                              WebKitUserContentManager* contentManager) {
  addAdBlockVideoPageScript(contentManager);
  // The blocker may go before the web view does.
  addScriptMessageHandler(contentManager, AdBlocker::kMessageHandler, AdBlocker::kContentWorld,
                          [blocker = std::move(blocker)](JSCValue* message) {
                            bool enabled = false;
                            if (const auto target = blocker.lock()) {
                              const auto host = messageString(message, "host");
                              enabled = target->replyEnabled(
                                  host ? std::optional<std::string_view>(*host) : std::nullopt);
                            }
                            return jsc_value_new_boolean(jsc_value_get_context(message), enabled);
                          });
}

}  // namespace zemblo
