#include <gtest/gtest.h>

#include "model/browser_tab.h"
#include "web/favicon_loader.h"
#include "web_harness.h"

namespace zemblo {
namespace {

using testing::pngPicture;
using testing::TestServer;
using testing::waitUntil;
using testing::WebHarness;

// The engine fetches a page's icon for its icon database; the browser's views then show that
// picture instead of asking the site a second time, and follow a page whose icon changes.
TEST(PageIconTest, EachIconIsRequestedOnceAndAChangedIconIsFollowed) {
  TestServer server;
  for (const char* path : {"/favicon.ico", "/icon.png", "/later.png"}) {
    server.route(path, {pngPicture(), "image/png"});
  }
  server.page("/plain", "<title>plain</title>");
  server.page("/linked", "<title>linked</title><link rel=icon href=/icon.png>");
  WebHarness harness;
  FaviconLoader& favicons = harness.engine().favicons();
  const auto shows = [&](BrowserTab& tab, const std::string& path) {
    if (!waitUntil([&] {
          return tab.faviconURL.peek() == server.address(path) &&
                 webkit_web_view_get_favicon(WebHarness::viewOf(tab));
        })) {
      return false;
    }
    // Asked for as a tab row asks for it.
    FaviconLoader::Picture picture;
    favicons.load(server.url(path), [&](FaviconLoader::Picture answer) { picture = answer; });
    return waitUntil([&] { return static_cast<bool>(picture); });
  };

  auto tab = harness.show(server.url("/plain"));
  ASSERT_TRUE(WebHarness::waitForPage(*tab, "plain"));
  ASSERT_TRUE(shows(*tab, "/favicon.ico"));
  EXPECT_EQ(server.hits("/favicon.ico"), 1);

  tab->load(server.address("/linked"));
  ASSERT_TRUE(WebHarness::waitForPage(*tab, "linked"));
  ASSERT_TRUE(shows(*tab, "/icon.png"));
  EXPECT_EQ(server.hits("/icon.png"), 1);

  // The site changes the page's icon: the next load shows the new one.
  server.page("/linked", "<title>linked</title><link rel=icon href=/later.png>");
  tab->reload();
  ASSERT_TRUE(shows(*tab, "/later.png"));
  EXPECT_EQ(server.hits("/later.png"), 1);
  EXPECT_EQ(server.hits("/favicon.ico") + server.hits("/icon.png"), 2);
}

}  // namespace
}  // namespace zemblo
