// The content blocker's part inside each web view: the video-page script and the handler that
// tells it whether to act.
#include <webkit/webkit.h>

#include <memory>

#include "web/ad_block_page_script.h"

#include "model/ad_blocker.h"
#include "web/page_script_channel.h"
#include "web/script_message.h"

namespace zemblo {
namespace {

// The video-page script, with "__DOMAIN__" standing for the site's domain as a JavaScript
// string. It asks the handler first, so the switch and the allow list decide, then hides the
// ad slots and, while an ad plays, seeks it to its end and presses its skip button.
constexpr std::string_view kVideoPageScript = R"JS((() => {
  const domain = __DOMAIN__;
  const host = location.hostname;
  if (host !== domain && !host.endsWith("." + domain)) return;
  const handlers = window.webkit && window.webkit.messageHandlers;
  const handler = handlers && handlers.zembloAdblock;
  if (!handler) return;
  const hidden = [
    "ytd-ad-slot-renderer",
    "ytd-in-feed-ad-layout-renderer",
    "ytd-banner-promo-renderer",
    "ytd-statement-banner-renderer",
    "ytd-promoted-sparkles-web-renderer",
    "ytd-display-ad-renderer",
    "ytd-companion-slot-renderer",
    "ytd-player-legacy-desktop-watch-ads-renderer",
    'ytd-engagement-panel-section-list-renderer[target-id="engagement-panel-ads"]',
    "#player-ads",
    "#masthead-ad",
    ".ytp-ad-overlay-container",
    ".ytp-ad-message-container",
    ".ytp-ad-image-overlay",
    "ytd-rich-item-renderer:has(ytd-ad-slot-renderer)",
    "ytd-reel-video-renderer:has(.ytd-ad-slot-renderer)",
  ];
  const skipButtons = ".ytp-skip-ad-button, .ytp-ad-skip-button, .ytp-ad-skip-button-modern";
  const start = () => {
    const style = document.createElement("style");
    style.textContent = hidden.join(",\n") + " { display: none !important; }";
    (document.head || document.documentElement).appendChild(style);
    setInterval(() => {
      const player = document.querySelector(".html5-video-player");
      if (!player || !player.classList.contains("ad-showing")) return;
      const video = player.querySelector("video");
      if (video && Number.isFinite(video.duration) && video.duration > 0 &&
          video.currentTime < video.duration - 0.1) {
        video.currentTime = video.duration;
      }
      const skip = player.querySelector(skipButtons);
      if (skip) skip.click();
    }, 250);
  };
  handler.postMessage({ type: "enabled", host }).then((enabled) => {
    if (enabled === true) start();
  }, () => {});
})();
)JS";

std::string javaScriptString(std::string_view text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

}  // namespace

std::string adBlockVideoPageScript(std::string_view domain) {
  std::string script(kVideoPageScript);
  constexpr std::string_view kDomainMark = "__DOMAIN__";
  script.replace(script.find(kDomainMark), kDomainMark.size(), javaScriptString(domain));
  return script;
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
