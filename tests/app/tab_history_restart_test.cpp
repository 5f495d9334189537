// A tab's back and forward list and where its page was scrolled outlive Ctrl+Q and the next start;
// a damaged list costs the tab nothing but that list, and is kept aside.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>

#include "app/accessible_controls.h"
#include "app/browser_process.h"
#include "app/keyring_bus.h"
#include "app/site_server.h"
#include "model/records.h"
#include "support/child_process.h"
#include "support/temp_home.h"

namespace zemblo {
namespace {

using namespace std::chrono_literals;
using testing::BrowserProcess;
using testing::within;

// Pages of one tab's trip: the first visit of /a goes on to /b, the first of /b scrolls down its
// tall page and goes on to /c, the first of /c goes back. Every page reports where it is, how far
// down it is scrolled and how long its tab's list is, as it loads and as it scrolls. Every request
// is logged, one line each; nothing comes from a cache.
constexpr const char* kServer = R"(
import sys
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import urlparse
REPORT = ("<script>const report = () => fetch('/seen?at=' + location.pathname + '&y=' +"
          " Math.round(scrollY) + '&length=' + history.length);"
          " addEventListener('load', report); addEventListener('scroll', report);</script>")
FIRST = {
  "/a": "addEventListener('load', () => setTimeout(() => location.href = '/b'));",
  "/b": "addEventListener('load', () => setTimeout(() => { scrollTo(0, 1500);"
        " setTimeout(() => location.href = '/c'); }));",
  "/c": "addEventListener('load', () => setTimeout(() => history.back()));",
}
visited = set()
class Handler(BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass
    def do_GET(self):
        with open(sys.argv[1], "a") as log:
            log.write(self.path + "\n")
        path = urlparse(self.path).path
        body = ""
        if path in FIRST:
            first = path not in visited
            visited.add(path)
            body = ("<!doctype html><title>%s</title><body style='height: 6000px'>" % path + REPORT
                    + ("<script>%s</script>" % FIRST[path] if first else ""))
        data = body.encode()
        self.send_response(200)
        self.send_header("Content-Type", "text/html; charset=utf-8")
        self.send_header("Content-Length", str(len(data)))
        self.send_header("Cache-Control", "no-store")
        self.end_headers()
        self.wfile.write(data)
server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
print(server.server_port, flush=True)
server.serve_forever()
)";

class TripServer {
 public:
  explicit TripServer(std::filesystem::path log)
      : log_(std::move(log)), process_({"python3", "-c", kServer, log_.string()}, &out_) {
    std::string port;
    for (char c = 0; port.find('\n') == std::string::npos && read(out_, &c, 1) == 1;) port += c;
    close(out_);
    if (port.find('\n') != std::string::npos) port_ = std::stoi(port);
  }
  std::string url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }
  std::vector<std::string> requests() const {
    std::ifstream in(log_);
    std::vector<std::string> all;
    for (std::string line; std::getline(in, line);) all.push_back(line);
    return all;
  }
  // Waits for the request `line` among those after the first `from`.
  bool sees(size_t from, const std::string& line) const {
    return within(30s, [&] {
      const auto all = requests();
      return all.size() > from && std::find(all.begin() + static_cast<std::ptrdiff_t>(from),
                                            all.end(), line) != all.end();
    });
  }
  size_t count() const { return requests().size(); }

 private:
  std::filesystem::path log_;
  int out_ = -1;
  testing::ChildProcess process_;
  int port_ = 0;
};

bool quit(BrowserProcess& browser) {
  if (!browser.onWindow("^Zemblo$", "windowfocus --sync %1 key ctrl+q")) return false;
  const auto status = browser.exitStatus(15s);
  return status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0;
}

TEST(TabHistoryRestartTest, ARestoredTabKeepsItsListAndScrollAndADamagedListLeavesItsAddress) {
  testing::TempHome home;
  TripServer server(home.root() / "requests.log");
  SpaceSnapshot space{Uuid::random(), "Work", "star", "#112233", "#445566", {}, {}};
  const Uuid tabID = Uuid::random();
  space.tabs.push_back(TabSnapshot{tabID, *Url::parse(server.url("/a")), "a", std::nullopt});
  space.selectedTabID = tabID;
  SessionSnapshot session;
  session.currentSpaceID = space.id;
  session.spaces.push_back(space);
  ASSERT_TRUE(SessionFiles().writeSession(session));
  const auto stateFile = home.dataDir() / "tab-states" / tabID.str();

  {
    BrowserProcess browser(home.root() / "first.log");
    ASSERT_TRUE(browser.waitForWindow()) << browser.log();
    ASSERT_TRUE(server.sees(0, "/seen?at=/b&y=1500&length=3")) << "the trip never came back to /b";
    ASSERT_TRUE(quit(browser)) << browser.log();
  }
  ASSERT_TRUE(std::filesystem::is_regular_file(stateFile));

  {
    const size_t before = server.count();
    BrowserProcess browser(home.root() / "second.log");
    ASSERT_TRUE(browser.waitForWindow()) << browser.log();
    EXPECT_TRUE(server.sees(before, "/b"));
    ASSERT_TRUE(server.sees(before, "/seen?at=/b&y=1500&length=3"))
        << "the tab lost its list or its scroll\n"
        << browser.log();
    const size_t atB = server.count();
    ASSERT_TRUE(browser.onWindow("^Zemblo$", "windowfocus --sync %1 key alt+Left"));
    ASSERT_TRUE(server.sees(atB, "/a"));
    ASSERT_TRUE(server.sees(atB, "/seen?at=/a&y=0&length=3"));
    const size_t atA = server.count();
    ASSERT_TRUE(browser.onWindow("^Zemblo$", "windowfocus --sync %1 key alt+Right"));
    ASSERT_TRUE(server.sees(atA, "/seen?at=/b&y=1500&length=3"));
    const size_t backAtB = server.count();
    ASSERT_TRUE(browser.onWindow("^Zemblo$", "windowfocus --sync %1 key alt+Right"));
    ASSERT_TRUE(server.sees(backAtB, "/c"));
    ASSERT_TRUE(server.sees(backAtB, "/seen?at=/c&y=0&length=3"));
    ASSERT_TRUE(quit(browser)) << browser.log();
  }

  // Kept aside rather than written over.
  const std::string damaged("\x00\x07not the engine's\xff", 20);
  home.writeFile(stateFile, damaged);
  const size_t before = server.count();
  BrowserProcess browser(home.root() / "third.log");
  ASSERT_TRUE(browser.waitForWindow()) << browser.log();
  EXPECT_TRUE(server.sees(before, "/seen?at=/c&y=0&length=1")) << browser.log();
  EXPECT_TRUE(quit(browser)) << browser.log();
  EXPECT_EQ(home.readFile(stateFile.string() + ".bad"), damaged);
  EXPECT_NE(home.readFile(stateFile), damaged);
}

// What a sent form made is never loaded again unasked: after a restart the tab asks, and the
// server sees the form's data again only once the user has answered, as a screen reader can.
TEST(TabHistoryRestartTest, ARestoredPageMadeFromASentFormIsSentAgainOnlyWhenTheUserAgrees) {
  testing::TempHome home;
  testing::SiteServer site(home.root() / "site.log");
  ASSERT_TRUE(site.started());
  SpaceSnapshot space{Uuid::random(), "Work", "star", "#112233", "#445566", {}, {}};
  space.tabs.push_back(TabSnapshot{Uuid::random(), *Url::parse(site.url("/order")), "Order", {}});
  space.selectedTabID = space.tabs.front().id;
  ASSERT_TRUE(SessionFiles().writeSession({.spaces = {space}, .currentSpaceID = space.id}));
  testing::startInTurkish(home.configDir());
  const auto orders = [&] { return site.linesStarting("POST /ordered").size(); };
  {
    BrowserProcess browser(home.root() / "first.log");
    // The tab is on what the form made once the session says so.
    ASSERT_TRUE(within(30s, [&] {
      const auto saved = SessionFiles().readSession();
      return saved && saved->spaces.at(0).tabs.at(0).url == *Url::parse(site.url("/ordered"));
    })) << browser.log();
    ASSERT_TRUE(quit(browser)) << browser.log();
    ASSERT_EQ(orders(), 1u);
  }
  testing::KeyringBus bus(home.root());
  const testing::AccessibleControls controls(bus.connection());
  BrowserProcess browser(home.root() / "second.log", BrowserProcess::OnBus{bus.address()});
  ASSERT_TRUE(within(30s, [&] { return controls.has({"Tekrar Gönder"}); })) << browser.log();
  EXPECT_EQ(orders(), 1u);
  ASSERT_TRUE(controls.press({"Tekrar Gönder"}));
  EXPECT_TRUE(within(30s, [&] { return orders() == 2; })) << browser.log();
  EXPECT_TRUE(quit(browser)) << browser.log();
}

}  // namespace
}  // namespace zemblo
