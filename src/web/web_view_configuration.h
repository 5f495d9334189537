#pragma once

#include <webkit/webkit.h>

#include <memory>
#include <string>
#include <string_view>

#include "platform/gobject_ref.h"

namespace zemblo {

class AdBlocker;
class AutofillBridge;
class BrowserTab;
class DarkModeController;

// The browser's page services whose scripts and handlers each web view gets; a missing one is
// left out.
struct PageServices {
  std::weak_ptr<const AdBlocker> adBlocker;
  std::weak_ptr<AutofillBridge> autofill;
  std::weak_ptr<const DarkModeController> darkMode;
  // The tab whose page the handlers answer for.
  std::weak_ptr<BrowserTab> tab;
};

// Where the engine composites pages. On software-only GL its GL path gains nothing over the CPU
// and costs every web process LLVM, shader programs and GL buffers: tens of megabytes and a
// third of its start-up work. WebGL stays available either way.
enum class PageCompositing { gpu, cpu };

// What every web view of the browser is made with: its own settings and its own user content
// manager (so page services and rule lists are per view), sharing the browser's one network
// session. Nothing is cached between web views.
class WebViewConfiguration {
 public:
  // The text the user agent ends with, exactly once.
  static constexpr std::string_view kUserAgentSuffix = "Version/26.0 Safari/605.1.15";

  // Fresh settings and a fresh user content manager with the page services installed.
  explicit WebViewConfiguration(PageServices services = {},
                                PageCompositing compositing = PageCompositing::gpu);

  // A new web view with this configuration in `session`. A pop-up passes its opener's view,
  // which puts it in the opener's web process so the page keeps its window.opener.
  GObjectRef<WebKitWebView> makeWebView(WebKitNetworkSession* session,
                                        WebKitWebView* relatedView = nullptr) const;

  // The engine's own user agent with its trailing "Version/… Safari/…" replaced by ours.
  // (The engine's application-details setter would append a second one.)
  static std::string userAgent(std::string_view engineDefault);

 private:
  void configureSettings(PageCompositing compositing);
  // The page services, in the order their scripts must run.
  void installAutofill();
  void installContentBlocker();
  void installDarkMode();

  PageServices services_;
  GObjectRef<WebKitSettings> settings_;
  GObjectRef<WebKitUserContentManager> userContentManager_;
};

}  // namespace zemblo
