#include <gtest/gtest.h>

#include <vector>

#include "model/dark_mode_controller.h"
#include "model/page_services_model.h"
#include "model/preferences_model.h"
#include "web_harness.h"

namespace zemblo {
namespace {

using testing::callJavaScript;
using testing::TestServer;
using testing::waitUntil;
using testing::WebHarness;
using namespace std::chrono_literals;

// A white page with a mid-grey block filling its lower half, where the brightness shows.
constexpr const char* kLightPage = R"(<!doctype html><title>Light</title>
<style>body { margin: 0; background: #fff; color: #000; }
#grey { position: fixed; left: 0; right: 0; bottom: 0; height: 50%; background: #808080; }</style>
<p>A light page</p><div id="grey"></div>)";

constexpr const char* kDarkPage = R"(<!doctype html><title>Dark</title>
<style>body { margin: 0; background: #202020; color: #eee; }</style><p>A dark page</p>)";

// Notes what the root element looks like when the first frame is about to be painted.
constexpr const char* kFirstFramePage = R"(<!doctype html><html><head><title>First</title>
<script>requestAnimationFrame(() => {
  window.firstFrame = document.documentElement.className;
});</script></head><body style="margin: 0; background: #fff"><p>text</p></body></html>)";

// Grey level (the mean of the channels) of the page's pixel at a fraction of its width and
// height, as the engine paints the visible page.
std::optional<int> greyAt(WebKitWebView* view, double x, double y) {
  struct Shot {
    bool done = false;
    GdkTexture* texture = nullptr;
  };
  Shot shot;
  webkit_web_view_get_snapshot(
      view, WEBKIT_SNAPSHOT_REGION_VISIBLE, WEBKIT_SNAPSHOT_OPTIONS_NONE, nullptr,
      +[](GObject* source, GAsyncResult* result, gpointer data) {
        auto* shot = static_cast<Shot*>(data);
        shot->texture =
            webkit_web_view_get_snapshot_finish(WEBKIT_WEB_VIEW(source), result, nullptr);
        shot->done = true;
      },
      &shot);
  waitUntil([&] { return shot.done; });
  if (!shot.texture) return std::nullopt;
  const int width = gdk_texture_get_width(shot.texture);
  const int height = gdk_texture_get_height(shot.texture);
  std::vector<guchar> pixels(static_cast<size_t>(width) * height * 4);
  gdk_texture_download(shot.texture, pixels.data(), static_cast<gsize>(width) * 4);
  g_object_unref(shot.texture);
  const size_t at =
      (static_cast<size_t>(y * (height - 1)) * width + static_cast<size_t>(x * (width - 1))) * 4;
  return (pixels[at] + pixels[at + 1] + pixels[at + 2]) / 3;
}

// Waits until the painted page shows a grey level in [low, high] at the point; the last level
// seen otherwise.
::testing::AssertionResult paints(BrowserTab& tab, int low, int high, double x = 0.5,
                                  double y = 0.25) {
  std::optional<int> grey;
  const bool seen = waitUntil([&] {
    grey = greyAt(WebHarness::viewOf(tab), x, y);
    return grey && *grey >= low && *grey <= high;
  });
  if (seen) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "grey level " << (grey ? std::to_string(*grey) : "none")
                                       << ", wanted " << low << "–" << high;
}

constexpr int kLight = 230;  // white stays above this
constexpr int kDark = 60;    // white inverted stays below this

class PageDarkModeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server.page("/light", kLightPage);
    server.page("/dark", kDarkPage);
    server.page("/first", kFirstFramePage);
  }
  void TearDown() override {
    adw_style_manager_set_color_scheme(adw_style_manager_get_default(), ADW_COLOR_SCHEME_DEFAULT);
  }

  void setMode(PageDarkMode mode) {
    harness.store().preferences().updatePrefs(
        [&](AppPreferences& prefs) { prefs.pageDarkMode = mode; });
  }
  // A path of the local server, or a whole address.
  std::shared_ptr<BrowserTab> show(const std::string& address, const std::string& title) {
    auto tab = harness.show(address.starts_with("/") ? server.url(address) : address);
    EXPECT_TRUE(WebHarness::waitForPage(*tab, title));
    return tab;
  }

  TestServer server;
  WebHarness harness;
};

TEST_F(PageDarkModeTest, TheModeDarkensLightPagesOnlyAndOpenTabsFollowWithoutReloading) {
  auto light = show("/light", "Light");
  EXPECT_TRUE(paints(*light, kLight, 255));

  setMode(PageDarkMode::always);
  EXPECT_TRUE(paints(*light, 0, kDark));
  // The grey block: inverted grey stays mid-grey at full brightness.
  EXPECT_TRUE(paints(*light, 115, 140, 0.5, 0.8));

  // Following the theme: light while the application is light, dark while it is dark.
  setMode(PageDarkMode::withTheme);
  EXPECT_TRUE(paints(*light, kLight, 255));
  AdwStyleManager* style = adw_style_manager_get_default();
  adw_style_manager_set_color_scheme(style, ADW_COLOR_SCHEME_FORCE_DARK);
  EXPECT_TRUE(paints(*light, 0, kDark));
  adw_style_manager_set_color_scheme(style, ADW_COLOR_SCHEME_FORCE_LIGHT);
  EXPECT_TRUE(paints(*light, kLight, 255));

  // A page that is dark already is left as it is.
  setMode(PageDarkMode::always);
  auto dark = show("/dark", "Dark");
  EXPECT_TRUE(paints(*dark, 25, 40));

  // Brightness reaches every open page, the hidden one too.
  harness.store().preferences().updatePrefs(
      [](AppPreferences& prefs) { prefs.darkBrightness = 0.5; });
  harness.container().setTab(light);
  EXPECT_TRUE(paints(*light, 52, 76, 0.5, 0.8));
  EXPECT_EQ(server.hits("/light"), 1);
  EXPECT_EQ(server.hits("/dark"), 1);
}

TEST_F(PageDarkModeTest, ALightPageNeverPaintsLightAndItsScriptsCannotReachTheHandler) {
  setMode(PageDarkMode::always);
  auto tab = show("/first", "First");
  WebKitWebView* view = WebHarness::viewOf(*tab);
  const auto firstFrame = callJavaScript(view, "return window.firstFrame;").value_or("none");
  EXPECT_TRUE(firstFrame.find("zemblo-dark-pending") != std::string::npos ||
              firstFrame.find("zemblo-dark-invert") != std::string::npos)
      << firstFrame;
  EXPECT_TRUE(paints(*tab, 0, kDark));

  EXPECT_EQ(callJavaScript(view,
                           "return typeof (window.webkit && window.webkit.messageHandlers && "
                           "window.webkit.messageHandlers.zembloDark) + ' ' + "
                           "typeof window.__zembloDark;"),
            "undefined undefined");
  const auto ask = [&](const std::string& message) {
    return callJavaScript(view,
                          "return JSON.stringify(await "
                          "window.webkit.messageHandlers.zembloDark.postMessage(" +
                              message + "), ['enabled', 'brightness', 'contrast']) ?? 'nothing';",
                          DarkModeController::kContentWorld);
  };
  EXPECT_EQ(ask("{type: 'config', host: 'elsewhere.example'}"),
            R"({"enabled":true,"brightness":1,"contrast":1})");
  EXPECT_EQ(ask("{type: 'exceptions'}"), "nothing");
}

TEST_F(PageDarkModeTest, AnExcludedSiteStaysLightWithItsSubdomains) {
  // Names of sites, all served by the local server acting as the session's proxy.
  WebKitNetworkSession* session = testing::networkSessionOf(harness.engine());
  const char* const direct[] = {"127.0.0.1", "localhost", nullptr};
  WebKitNetworkProxySettings* proxy =
      webkit_network_proxy_settings_new(server.url("").c_str(), direct);
  webkit_network_session_set_proxy_settings(session, WEBKIT_NETWORK_PROXY_MODE_CUSTOM, proxy);
  webkit_network_proxy_settings_free(proxy);
  struct Restore {
    WebKitNetworkSession* session;
    ~Restore() {
      webkit_network_session_set_proxy_settings(session, WEBKIT_NETWORK_PROXY_MODE_DEFAULT,
                                                nullptr);
    }
  } restore{session};

  setMode(PageDarkMode::always);
  auto site = show("http://www.news.example.test/light", "Light");
  EXPECT_TRUE(paints(*site, 0, kDark));
  harness.store().pageServices().setPageDarkMode(false, *site);
  EXPECT_EQ(harness.store().preferences().prefs().darkDisabledHosts,
            std::vector<std::string>{"news.example.test"});
  EXPECT_TRUE(paints(*site, kLight, 255));

  auto subdomain = show("http://live.news.example.test/light", "Light");
  EXPECT_TRUE(paints(*subdomain, kLight, 255));
  auto other = show("http://sports.example.test/light", "Light");
  EXPECT_TRUE(paints(*other, 0, kDark));

  harness.store().pageServices().setPageDarkMode(true, *subdomain);
  EXPECT_TRUE(harness.store().preferences().prefs().darkDisabledHosts.empty());
  harness.container().setTab(subdomain);
  EXPECT_TRUE(paints(*subdomain, 0, kDark));
}

TEST_F(PageDarkModeTest, ClearingWebsiteDataRemovesCookiesAndLocalStorage) {
  auto tab = show("/light", "Light");
  WebKitWebView* view = WebHarness::viewOf(*tab);
  const std::string read = "return document.cookie + '|' + (localStorage.getItem('kept') ?? '');";
  callJavaScript(view,
                 "document.cookie = 'visit=1; max-age=3600'; "
                 "localStorage.setItem('kept', 'yes'); return true;");
  ASSERT_EQ(callJavaScript(view, read), "visit=1|yes");

  std::optional<bool> cleared;
  harness.store().pageServices().clearWebsiteData([&](bool done) { cleared = done; });
  ASSERT_TRUE(waitUntil([&] { return cleared.has_value(); }));
  EXPECT_TRUE(*cleared);

  tab->reload();
  ASSERT_TRUE(waitUntil([&] { return server.hits("/light") == 2 && !tab->isLoading.peek(); }));
  EXPECT_EQ(callJavaScript(view, read), "|");
}

}  // namespace
}  // namespace zemblo
