// What the user gave a site outlives the browser: after a restart of the real executable, the
// host's zoom lays out its page from the start, and the answers to its permission questions are
// its page's before its first line runs.
#include <gtest/gtest.h>

#include "platform/foundation_json.h"
#include "support/real_browser.h"

namespace zemblo {
namespace {

using namespace std::chrono_literals;
using testing::within;

// The page reports what it knows of its permissions, and its width in CSS pixels, which shrinks
// as the page is zoomed, whenever it changes.
constexpr const char* kPage = R"(<title>Site</title><script>
navigator.permissions.query({name: "geolocation"}).then(
  (g) => fetch("/report?" + Notification.permission + "-" + g.state));
const report = () => fetch("/width?" + innerWidth);
addEventListener("resize", report); report();
</script>)";

class SiteSettingsRestartTest : public testing::RealBrowserTest {
 protected:
  // Waits for a width reported after the first `seen` that `wanted` accepts.
  bool widthWhere(const std::function<bool(int)>& wanted) {
    return within(20s, [&] {
      const auto widths = server.requestsStarting("GET /width?");
      for (; seen < widths.size(); ++seen) {
        if (wanted(std::stoi(widths[seen].substr(11)))) return ++seen, true;
      }
      return false;
    });
  }
  size_t seen = 0;
};

TEST_F(SiteSettingsRestartTest, TheHostsZoomAndPermissionAnswersReachThePagesOfANewStart) {
  server.page("/page", kPage);
  const std::string permissions =
      R"({"http:\/\/127.0.0.1:)" + std::to_string(server.port()) +
      R"(":{"notifications":"allow","geolocation":"allow","camera":"block"}})";
  home.writeFile(home.dataDir() / "site-settings.json",
                 R"({"zoom":{"x":1},"permissions":)" + permissions + "}");
  saveTabs({server.url("/page")});
  const auto granted = [&](size_t starts) {
    return within(20s, [&] { return server.requestsStarting("GET /report?").size() == starts; }) &&
           server.requestsStarting("GET /report?").back() == "GET /report?granted-granted";
  };

  int unzoomed = 0;
  int zoomed = 0;
  {
    auto browser = start("first");
    ASSERT_TRUE(widthWhere([&](int width) { return (unzoomed = width) > 200; })) << browser.log();
    EXPECT_TRUE(granted(1)) << ::testing::PrintToString(server.requests());
    ASSERT_TRUE(browser.onWindow("^Zemblo$", "windowfocus --sync %1 key ctrl+equal ctrl+equal"));
    ASSERT_TRUE(
        widthWhere([&](int width) { return (zoomed = width) > 0 && width < unzoomed * 0.9; }));
    quit(browser);
  }
  const auto saved = json::parse(home.readFile(home.dataDir() / "site-settings.json"));
  ASSERT_TRUE(saved && saved->contains("zoom"));
  EXPECT_NEAR((*saved)["zoom"]["127.0.0.1"].get<double>(), 1.2, 1e-9);
  EXPECT_EQ((*saved)["zoom"]["x"], 1);
  EXPECT_EQ((*saved)["permissions"], *json::parse(permissions));

  auto browser = start("second");
  // Laid out at the saved zoom, as wide as the first run's zoomed page.
  EXPECT_TRUE(widthWhere([&](int width) { return std::abs(width - zoomed) <= 2; }))
      << unzoomed << " " << zoomed << browser.log();
  EXPECT_TRUE(granted(2)) << ::testing::PrintToString(server.requests());
  quit(browser);
}

}  // namespace
}  // namespace zemblo
