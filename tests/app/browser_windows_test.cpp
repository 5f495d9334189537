// Several browser windows of the real executable: a private one whose site data lives in memory
// only and leaves nothing on disk, and normal ones that the session brings back after a restart.
#include <gtest/gtest.h>

#include <gio/gio.h>

#include <fstream>
#include <iterator>

#include "app/site_routes.h"
#include "support/real_browser.h"

namespace zemblo {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using testing::BrowserProcess;
using testing::ChildProcess;
using testing::within;

// Activates the application action `name` with an address, over the browser's bus, as another
// program may.
bool activateOverBus(const BrowserProcess& browser, const std::string& name,
                     const std::string& address) {
  GVariantBuilder parameters;
  g_variant_builder_init(&parameters, G_VARIANT_TYPE("av"));
  g_variant_builder_add(&parameters, "v", g_variant_new_string(address.c_str()));
  return testing::callBrowserOverBus(
      browser.busAddress(), "org.gtk.Actions", "Activate",
      g_variant_new("(sava{sv})", name.c_str(), &parameters, nullptr));
}

// The files below `folder` whose bytes hold `text`.
std::vector<fs::path> filesHolding(const fs::path& folder, const std::string& text) {
  std::vector<fs::path> found;
  if (!fs::exists(folder)) return found;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (bytes.find(text) != std::string::npos) found.push_back(entry.path());
  }
  return found;
}

// The X ids of the browser's shown private windows, found by their titles.
std::vector<std::string> privateWindows(const BrowserProcess& browser) {
  const std::string command =
      "for w in $(xdotool search --onlyvisible --pid " + std::to_string(browser.pid().value_or(0)) +
      " 2>/dev/null); do echo \"$w $(xdotool getwindowname $w " + "2>/dev/null)\"; done";
  FILE* output = popen(command.c_str(), "r");
  std::vector<std::string> ids;
  char line[512];
  while (output && fgets(line, sizeof line, output)) {
    const std::string text(line);
    if (text.ends_with(" Gezinti\n") || text.ends_with(" Browsing\n")) {
      ids.push_back(text.substr(0, text.find(' ')));
    }
  }
  if (output) pclose(output);
  return ids;
}

class BrowserWindowsTest : public testing::RealBrowserTest {
 protected:
  BrowserWindowsTest() { testing::serveSite(server); }
  // Waits for the site to see the visit of /visit?`name`; the cookies it was sent, if it came.
  std::optional<std::string> cookiesOfVisit(const std::string& name) {
    const std::string prefix = "GET /visit?" + name + " cookies=";
    std::optional<std::string> cookies;
    within(30s, [&] {
      const auto lines = server.notesStarting(prefix);
      if (!lines.empty()) cookies = lines.back().substr(prefix.size());
      return cookies.has_value();
    });
    return cookies;
  }
};

TEST_F(BrowserWindowsTest, APrivateWindowKeepsItsCookiesToItselfAndLeavesNothingOnDisk) {
  const std::string secret = "private-only-7d41c9";
  {
    auto browser = start("browser");
    ASSERT_TRUE(browser.waitForWindow()) << browser.log();
    // The desktop entry's action: a second start that hands it over the bus.
    ChildProcess start(
        browser.anotherStart(home.root(), {"--new-private-window"}, home.root() / "second.log"));
    EXPECT_TRUE(testing::exitedCleanly(start.waitForExit(20s)))
        << home.readFile(home.root() / "second.log");
    ASSERT_TRUE(within(20s, [&] { return privateWindows(browser).size() == 1; })) << browser.log();
    ASSERT_TRUE(
        activateOverBus(browser, "open-in-new-private-window", server.url("/visit?" + secret)));
    EXPECT_EQ(cookiesOfVisit(secret), "");
    // The site's cookie, set in the private window, is not sent from a normal one.
    ASSERT_TRUE(activateOverBus(browser, "open-in-new-window", server.url("/visit?normal")));
    EXPECT_EQ(cookiesOfVisit("normal"), "");

    // Ctrl+Shift+W on both private windows: the last one takes its session along.
    ASSERT_TRUE(within(20s, [&] { return privateWindows(browser).size() == 2; }));
    for (size_t open = 2; open > 0; --open) {
      const std::string id = privateWindows(browser).front();
      ASSERT_EQ(std::system(("xdotool windowfocus --sync " + id + " key ctrl+shift+w").c_str()), 0);
      ASSERT_TRUE(within(20s, [&] { return privateWindows(browser).size() == open - 1; }))
          << browser.log();
    }
    ASSERT_TRUE(activateOverBus(browser, "open-in-new-private-window", server.url("/visit?again")));
    EXPECT_EQ(cookiesOfVisit("again"), "") << browser.log();
    // The normal window's own cookie is untouched by all of it.
    ASSERT_TRUE(activateOverBus(browser, "open-in-new-window", server.url("/visit?normal-again")));
    EXPECT_EQ(cookiesOfVisit("normal-again"), "login=ada");
    quit(browser);
  }
  for (const char* folder : {"data", "config", "cache"}) {
    EXPECT_EQ(filesHolding(home.root() / folder, secret), std::vector<fs::path>{}) << folder;
    EXPECT_EQ(filesHolding(home.root() / folder, "visit?again"), std::vector<fs::path>{}) << folder;
  }
  // The normal windows' visits are in the history and the session as before.
  // (the first visit, long finished by then: the last may still be loading at the quit)
  const auto normal = filesHolding(home.dataDir(), "visit?normal\"");
  for (const char* file : {"history.json", "session.json"}) {
    EXPECT_NE(std::ranges::find(normal, home.dataDir() / file), normal.end()) << file;
  }
}

TEST_F(BrowserWindowsTest, TwoWindowsComeBackAfterARestartFromASessionWrittenBeforeWindows) {
  // A session as a browser with one window wrote it.
  saveTabs({server.url("/visit?first")});
  {
    auto browser = start("first");
    ASSERT_TRUE(cookiesOfVisit("first")) << browser.log();
    // A second start with addresses hands them over with the window they open in; only the last
    // one loads before it is shown.
    ChildProcess start(browser.anotherStart(
        home.root(), {"--new-window", server.url("/visit?second"), server.url("/visit?third")},
        home.root() / "start.log"));
    EXPECT_TRUE(testing::exitedCleanly(start.waitForExit(20s)))
        << home.readFile(home.root() / "start.log");
    ASSERT_TRUE(cookiesOfVisit("third")) << browser.log();
    EXPECT_TRUE(server.notesStarting("GET /visit?second").empty());
    ASSERT_TRUE(within(20s, [&] { return browser.shownWindows() == 2; }));
    quit(browser);
  }
  // The first window keeps the keys a browser with one window reads; the second is beside them.
  const auto saved = SessionFiles().readSession();
  ASSERT_TRUE(saved);
  ASSERT_EQ(saved->spaces.size(), 1u);
  ASSERT_EQ(saved->spaces.front().tabs.size(), 1u);
  EXPECT_EQ(saved->spaces.front().tabs.front().url, Url::parse(server.url("/visit?first")));
  ASSERT_EQ(saved->windows.size(), 1u);
  ASSERT_EQ(saved->windows.front().spaces.size(), 1u);
  const auto& opened = saved->windows.front().spaces.front().tabs;
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_EQ(opened.front().url, Url::parse(server.url("/visit?second")));
  EXPECT_EQ(opened.back().url, Url::parse(server.url("/visit?third")));
  {
    auto browser = start("second");
    EXPECT_TRUE(within(30s, [&] {
      return server.notesStarting("GET /visit?first").size() == 2 &&
             server.notesStarting("GET /visit?third").size() == 2;
    })) << browser.log();
    EXPECT_TRUE(within(20s, [&] { return browser.shownWindows() == 2; }));
    quit(browser);
  }
}

}  // namespace
}  // namespace zemblo
