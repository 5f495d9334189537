#include "web/web_view_configuration.h"

#include <gtest/gtest.h>

#include "web_harness.h"

namespace zemblo {
namespace {

using testing::TestServer;
using testing::WebHarness;

size_t occurrences(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

TEST(WebViewConfigurationTest, UserAgentEndsWithOurVersionExactlyOnce) {
  const std::string suffix(WebViewConfiguration::kUserAgentSuffix);
  // The engine's own version is replaced, not followed by ours.
  EXPECT_EQ(WebViewConfiguration::userAgent(
                "Mozilla/5.0 (X11; Linux x86_64) AppleWebKit/605.1.15 (KHTML, like Gecko) "
                "Version/60.5 Safari/605.1.15"),
            "Mozilla/5.0 (X11; Linux x86_64) AppleWebKit/605.1.15 (KHTML, like Gecko) " + suffix);
  // A user agent without a version gets one; one that already has ours keeps it once.
  EXPECT_EQ(WebViewConfiguration::userAgent("Mozilla/5.0 (X11) Safari/605.1.15"),
            "Mozilla/5.0 (X11) " + suffix);
  EXPECT_EQ(WebViewConfiguration::userAgent("Mozilla/5.0 (X11)"), "Mozilla/5.0 (X11) " + suffix);
  EXPECT_EQ(WebViewConfiguration::userAgent("Mozilla/5.0 " + suffix), "Mozilla/5.0 " + suffix);
  EXPECT_EQ(WebViewConfiguration::userAgent(""), suffix);
}

TEST(WebViewConfigurationTest, EveryWebViewHasItsOwnSettingsAndContentManager) {
  testing::initializeGtk();
  const WebViewConfiguration first, second;
  WebKitNetworkSession* session = testing::networkSessionOf(*testing::sharedEngine());
  auto view = first.makeWebView(session);
  auto sameConfiguration = first.makeWebView(session);
  auto otherConfiguration = second.makeWebView(session);
  // The views of one configuration share its settings and content manager; another's has its own.
  WebKitSettings* settings = webkit_web_view_get_settings(view.get());
  EXPECT_EQ(webkit_web_view_get_settings(sameConfiguration.get()), settings);
  EXPECT_NE(webkit_web_view_get_settings(otherConfiguration.get()), settings);
  EXPECT_EQ(webkit_web_view_get_user_content_manager(sameConfiguration.get()),
            webkit_web_view_get_user_content_manager(view.get()));
  EXPECT_NE(webkit_web_view_get_user_content_manager(otherConfiguration.get()),
            webkit_web_view_get_user_content_manager(view.get()));

  EXPECT_TRUE(webkit_settings_get_enable_fullscreen(settings));
  EXPECT_FALSE(webkit_settings_get_media_playback_requires_user_gesture(settings));
  EXPECT_FALSE(webkit_settings_get_javascript_can_open_windows_automatically(settings));
  EXPECT_TRUE(webkit_settings_get_enable_back_forward_navigation_gestures(settings));
  // Pages are composited on the GPU unless GL is software-only.
  EXPECT_EQ(webkit_settings_get_hardware_acceleration_policy(settings),
            WEBKIT_HARDWARE_ACCELERATION_POLICY_ALWAYS);
  const WebViewConfiguration onCpu({}, PageCompositing::cpu);
  EXPECT_EQ(webkit_settings_get_hardware_acceleration_policy(
                webkit_web_view_get_settings(onCpu.makeWebView(session).get())),
            WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
  EXPECT_EQ(webkit_web_view_get_network_session(view.get()), session);
}

TEST(WebViewConfigurationTest, PagesSeeTheBrowserUserAgent) {
  TestServer server;
  server.page("/agent", "<title>Agent</title>");
  WebHarness harness;
  auto tab = harness.show(server.url("/agent"));
  ASSERT_TRUE(WebHarness::waitForPage(*tab, "Agent"));
  const auto agent =
      testing::callJavaScript(WebHarness::viewOf(*tab), "return navigator.userAgent;");
  ASSERT_TRUE(agent);
  EXPECT_TRUE(agent->ends_with(" Version/26.0 Safari/605.1.15")) << *agent;
  EXPECT_EQ(occurrences(*agent, "Version/"), 1u) << *agent;
  EXPECT_EQ(occurrences(*agent, "Safari/"), 1u) << *agent;
}

}  // namespace
}  // namespace zemblo
