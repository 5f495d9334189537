// The answers to sites' permission questions outlive the browser: a new start of the real
// executable hands them to its pages before their first line runs.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include "app/browser_process.h"
#include "model/records.h"
#include "support/child_process.h"
#include "support/temp_home.h"

namespace zemblo {
namespace {

using namespace std::chrono_literals;
using testing::BrowserProcess;
using testing::within;

// Serves one page on 127.0.0.1 that reports, by the address it fetches next, what it knows of
// its permissions; prints its port first, then every address asked for.
constexpr const char* kServer = R"(
import sys
from http.server import BaseHTTPRequestHandler, HTTPServer
PAGE = b"""<title>Asks</title><script>
navigator.permissions.query({name: "geolocation"}).then(
  (g) => fetch("/report?" + Notification.permission + "-" + g.state));
</script>"""
class Handler(BaseHTTPRequestHandler):
    def log_message(self, *args): pass
    def do_GET(self):
        print(self.path, flush=True)
        self.send_response(200)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(PAGE)))
        self.end_headers()
        self.wfile.write(PAGE)
server = HTTPServer(("127.0.0.1", 0), Handler)
print(server.server_address[1], flush=True)
server.serve_forever()
)";

// What the server printed so far, without waiting for more.
std::string readAvailable(int fd) {
  std::string text;
  char buffer[256];
  for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) text.append(buffer, size_t(n));
  return text;
}

TEST(SitePermissionsRestartTest, AnswersInTheProfileReachThePagesOfANewStart) {
  testing::TempHome home;
  int output = -1;
  testing::ChildProcess server({"python3", "-c", kServer}, &output);
  ASSERT_TRUE(server.started());
  fcntl(output, F_SETFL, fcntl(output, F_GETFL) | O_NONBLOCK);
  std::string printed;
  ASSERT_TRUE(within(10s, [&] {
    printed += readAvailable(output);
    return printed.find('\n') != std::string::npos;
  }));
  const std::string port = printed.substr(0, printed.find('\n'));
  const std::string site = "http:\\/\\/127.0.0.1:" + port;
  const std::string settings =
      R"({"zoom":{"x":1},"permissions":{")" + site +
      R"(":{"notifications":"allow","geolocation":"allow","camera":"block"}}})";
  home.writeFile(home.dataDir() / "site-settings.json", settings);
  SpaceSnapshot space{Uuid::random(), "Work", "star", "#112233", "#445566", {}, {}};
  space.tabs.push_back(TabSnapshot{Uuid::random(), Url::parse("http://127.0.0.1:" + port + "/page"),
                                   "Asks", std::nullopt});
  space.selectedTabID = space.tabs.front().id;
  SessionSnapshot session;
  session.currentSpaceID = space.id;
  session.spaces.push_back(space);
  ASSERT_TRUE(SessionFiles().writeSession(session));

  BrowserProcess browser(home.root() / "browser.log");
  ASSERT_TRUE(browser.waitForWindow()) << browser.log();
  ASSERT_TRUE(within(20s,
                     [&] {
                       printed += readAvailable(output);
                       return printed.find("/report?") != std::string::npos;
                     }))
      << printed << browser.log();
  EXPECT_NE(printed.find("/report?granted-granted"), std::string::npos) << printed << browser.log();

  ASSERT_TRUE(browser.onWindow("^Zemblo$", "windowfocus --sync %1 key ctrl+q"));
  EXPECT_TRUE(testing::exitedCleanly(browser.exitStatus(10s)));
  EXPECT_EQ(home.readFile(home.dataDir() / "site-settings.json"), settings);
  close(output);
}

}  // namespace
}  // namespace zemblo
