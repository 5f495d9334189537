// The zoom the user gives a host outlives the browser: after a restart of the real executable its
// page is laid out zoomed from the start.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include "app/browser_process.h"
#include "model/records.h"
#include "platform/foundation_json.h"
#include "support/child_process.h"
#include "support/temp_home.h"

namespace zemblo {
namespace {

using namespace std::chrono_literals;
using testing::BrowserProcess;
using testing::within;

// Serves one page on 127.0.0.1 that reports its width in CSS pixels, which shrinks as the page
// is zoomed, whenever it changes; prints its port first, then every width reported.
constexpr const char* kServer = R"(
from http.server import BaseHTTPRequestHandler, HTTPServer
PAGE = b"""<title>Wide</title><script>
const report = () => fetch("/width?" + innerWidth);
addEventListener("resize", report); report();
</script>"""
class Handler(BaseHTTPRequestHandler):
    def log_message(self, *args): pass
    def do_GET(self):
        if self.path.startswith("/width?"): print(self.path[7:], flush=True)
        self.send_response(200)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(PAGE)))
        self.end_headers()
        self.wfile.write(PAGE)
server = HTTPServer(("127.0.0.1", 0), Handler)
print(server.server_address[1], flush=True)
server.serve_forever()
)";

class PrintedLines {
 public:
  explicit PrintedLines(int fd) : fd_(fd) { fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK); }
  // Waits for the next whole line.
  std::optional<std::string> next() {
    std::optional<std::string> line;
    within(20s, [&] {
      char buffer[256];
      for (ssize_t n; (n = read(fd_, buffer, sizeof buffer)) > 0;) text_.append(buffer, size_t(n));
      const auto end = text_.find('\n');
      if (end == std::string::npos) return false;
      line = text_.substr(0, end);
      text_.erase(0, end + 1);
      return true;
    });
    return line;
  }
  // Waits for a width that `wanted` accepts.
  bool widthWhere(const std::function<bool(int)>& wanted) {
    for (auto line = next(); line; line = next()) {
      if (wanted(std::stoi(*line))) return true;
    }
    return false;
  }

 private:
  int fd_;
  std::string text_;
};

TEST(SiteZoomRestartTest, TheHostsZoomIsSavedAndLaysOutItsPageAfterARestart) {
  testing::TempHome home;
  int output = -1;
  testing::ChildProcess server({"python3", "-c", kServer}, &output);
  ASSERT_TRUE(server.started());
  PrintedLines printed(output);
  const auto port = printed.next();
  ASSERT_TRUE(port);
  SpaceSnapshot space{Uuid::random(), "Work", "star", "#112233", "#445566", {}, {}};
  space.tabs.push_back(TabSnapshot{
      Uuid::random(), Url::parse("http://127.0.0.1:" + *port + "/page"), "Wide", std::nullopt});
  space.selectedTabID = space.tabs.front().id;
  SessionSnapshot session;
  session.currentSpaceID = space.id;
  session.spaces.push_back(space);
  ASSERT_TRUE(SessionFiles().writeSession(session));

  int unzoomed = 0;
  int zoomed = 0;
  {
    BrowserProcess browser(home.root() / "first.log");
    ASSERT_TRUE(browser.waitForWindow()) << browser.log();
    ASSERT_TRUE(printed.widthWhere([&](int width) { return (unzoomed = width) > 200; }));
    ASSERT_TRUE(browser.onWindow("^Zemblo$", "windowfocus --sync %1 key ctrl+equal ctrl+equal"));
    ASSERT_TRUE(printed.widthWhere(
        [&](int width) { return (zoomed = width) > 0 && width < unzoomed * 0.9; }));
    ASSERT_TRUE(browser.onWindow("^Zemblo$", "windowfocus --sync %1 key ctrl+q"));
    EXPECT_TRUE(testing::exitedCleanly(browser.exitStatus(10s)));
  }
  const auto saved = json::parse(home.readFile(home.dataDir() / "site-settings.json"));
  ASSERT_TRUE(saved && saved->contains("zoom"));
  EXPECT_NEAR((*saved)["zoom"]["127.0.0.1"].get<double>(), 1.2, 1e-9);

  BrowserProcess browser(home.root() / "second.log");
  ASSERT_TRUE(browser.waitForWindow()) << browser.log();
  // Laid out at the saved zoom, as wide as the first run's zoomed page.
  EXPECT_TRUE(printed.widthWhere([&](int width) { return std::abs(width - zoomed) <= 2; }))
      << unzoomed << " " << zoomed << browser.log();
  ASSERT_TRUE(browser.onWindow("^Zemblo$", "windowfocus --sync %1 key ctrl+q"));
  EXPECT_TRUE(testing::exitedCleanly(browser.exitStatus(10s)));
  close(output);
}

}  // namespace
}  // namespace zemblo
