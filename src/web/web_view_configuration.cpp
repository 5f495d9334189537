#include "web/web_view_configuration.h"

#include "web/ad_block_page_script.h"
#include "web/autofill_page_script.h"
#include "web/dark_mode_page_script.h"

namespace zemblo {
namespace {

bool endsWithToken(std::string_view text, std::string_view prefix, size_t& tokenStart) {
  const size_t space = text.rfind(' ');
  tokenStart = space == std::string_view::npos ? 0 : space + 1;
  return text.substr(tokenStart).starts_with(prefix);
}

}  // namespace

WebViewConfiguration::WebViewConfiguration(PageServices services, PageCompositing compositing)
    : services_(std::move(services)),
      settings_(GObjectRef<WebKitSettings>::adopt(webkit_settings_new())),
      userContentManager_(
          GObjectRef<WebKitUserContentManager>::adopt(webkit_user_content_manager_new())) {
  configureSettings(compositing);
  installAutofill();
  installContentBlocker();
  installDarkMode();
}

void WebViewConfiguration::configureSettings(PageCompositing compositing) {
  WebKitSettings* settings = settings_.get();
  const char* engineDefault = webkit_settings_get_user_agent(settings);
  webkit_settings_set_user_agent(settings, userAgent(engineDefault ? engineDefault : "").c_str());
  webkit_settings_set_enable_fullscreen(settings, TRUE);
  // The inspector opens from the user's key, the menu or the page's context menu; a page has no
  // way to open it itself.
  webkit_settings_set_enable_developer_extras(settings, TRUE);
  // Off by default in the engine: pages could not even ask for the camera or the microphone.
  // Each use is asked of the user first.
  webkit_settings_set_enable_media_stream(settings, TRUE);
  webkit_settings_set_media_playback_requires_user_gesture(settings, FALSE);
  // Pop-ups only after a user gesture: a page cannot open tabs on its own.
  webkit_settings_set_javascript_can_open_windows_automatically(settings, FALSE);
  webkit_settings_set_enable_back_forward_navigation_gestures(settings, TRUE);
  if (compositing == PageCompositing::cpu) {
    webkit_settings_set_hardware_acceleration_policy(settings,
                                                     WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
  }
}

// The password manager's autofill script and its handler.
void WebViewConfiguration::installAutofill() {
  if (!services_.autofill.expired()) {
    installAutofillPageScript(services_.autofill, services_.tab, userContentManager_.get());
  }
}

// The content blocker's video-page script and the handler that answers it.
void WebViewConfiguration::installContentBlocker() {
  if (!services_.adBlocker.expired()) {
    installAdBlockPageScript(services_.adBlocker, userContentManager_.get());
  }
}

// The page dark-mode script and the handler that answers it.
void WebViewConfiguration::installDarkMode() {
  if (!services_.darkMode.expired()) {
    installDarkModePageScript(services_.darkMode, services_.tab, userContentManager_.get());
  }
}

GObjectRef<WebKitWebView> WebViewConfiguration::makeWebView(WebKitNetworkSession* session,
                                                            WebKitWebView* relatedView) const {
  // A related view shares its opener's session; WebKit refuses to be given one as well.
  gpointer view =
      relatedView
          ? g_object_new(WEBKIT_TYPE_WEB_VIEW, "user-content-manager", userContentManager_.get(),
                         "settings", settings_.get(), "related-view", relatedView, nullptr)
          : g_object_new(WEBKIT_TYPE_WEB_VIEW, "network-session", session, "user-content-manager",
                         userContentManager_.get(), "settings", settings_.get(), nullptr);
  return GObjectRef<WebKitWebView>::share(WEBKIT_WEB_VIEW(view));
}

std::string WebViewConfiguration::userAgent(std::string_view engineDefault) {
  std::string_view base = engineDefault;
  size_t tokenStart = 0;
  if (const size_t version = base.rfind(" Version/"); version != std::string_view::npos) {
    base = base.substr(0, version);
  } else if (endsWithToken(base, "Safari/", tokenStart)) {
    base = base.substr(0, tokenStart);
  }
  while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
  std::string result(base);
  if (!result.empty()) result += ' ';
  result += kUserAgentSuffix;
  return result;
}

}  // namespace zemblo
