// Several browser windows of the real executable: a private one whose site data lives in memory
// only and leaves nothing on disk, and normal ones that the session brings back after a restart.
#include <gtest/gtest.h>

#include <gio/gio.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "app/site_routes.h"
#include "support/real_browser.h"
#include "support/window_manager.h"

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

// The lines a shell command prints.
std::vector<std::string> linesOf(const std::string& command) {
  FILE* output = popen(command.c_str(), "r");
  std::vector<std::string> lines;
  char line[512];
  while (output && fgets(line, sizeof line, output)) {
    std::string text(line);
    if (text.ends_with('\n')) text.pop_back();
    lines.push_back(std::move(text));
  }
  if (output) pclose(output);
  return lines;
}

// Each shown window of the browser: its X id, then what `xdotool` prints of it for `query`.
std::vector<std::string> shownWindows(const BrowserProcess& browser, const std::string& query) {
  return linesOf("for w in $(xdotool search --onlyvisible --pid " +
                 std::to_string(browser.pid().value_or(0)) + " 2>/dev/null); do echo \"$w $(" +
                 query + " 2>/dev/null)\"; done");
}

// The X ids of the browser's shown private windows, found by their titles.
std::vector<std::string> privateWindows(const BrowserProcess& browser) {
  std::vector<std::string> ids;
  for (const std::string& line : shownWindows(browser, "xdotool getwindowname $w")) {
    if (line.ends_with(" Gezinti") || line.ends_with(" Browsing")) {
      ids.push_back(line.substr(0, line.find(' ')));
    }
  }
  return ids;
}

std::string listed(const std::vector<std::string>& items) {
  std::string text;
  for (const auto& item : items) text += item + " ";
  return text;
}

// The sizes of the browser's shown windows ("1000x650"), smallest first.
std::vector<std::string> windowSizes(const BrowserProcess& browser) {
  std::vector<std::string> sizes;
  for (const std::string& line :
       shownWindows(browser, "xdotool getwindowgeometry $w | grep -o '[0-9]*x[0-9]*'")) {
    sizes.push_back(line.substr(line.find(' ') + 1));
  }
  std::ranges::sort(sizes, [](const std::string& a, const std::string& b) {
    return std::stoi(a) < std::stoi(b);
  });
  return sizes;
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
  testing::WindowManager windowManager;
  ASSERT_TRUE(windowManager.ready());
  // The display's size, which a full-screen window takes.
  auto display = linesOf("xdotool getdisplaygeometry");
  ASSERT_EQ(display.size(), 1u);
  const std::string screen = display[0].replace(display[0].find(' '), 1, "x");
  // A session as a browser with one window wrote it.
  saveTabs({server.url("/visit?first")});
  std::vector<std::string> leftAt;
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
    // Each window is left as the user leaves it: one resized, the other full screen.
    const auto ids = shownWindows(browser, "true");
    ASSERT_EQ(ids.size(), 2u);
    const std::string first = ids[0].substr(0, ids[0].find(' '));
    const std::string second = ids[1].substr(0, ids[1].find(' '));
    ASSERT_EQ(std::system(("xdotool windowsize " + first + " 1000 650").c_str()), 0);
    ASSERT_EQ(std::system(("xdotool windowfocus --sync " + second + " key F11").c_str()), 0);
    ASSERT_TRUE(within(20s, [&] { return windowSizes(browser).front() == "1000x650"; }))
        << listed(windowSizes(browser));
    ASSERT_TRUE(within(20s, [&] { return windowSizes(browser).back() == screen; }));
    leftAt = windowSizes(browser);
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
  ASSERT_TRUE(saved->frame && saved->windows.front().frame);
  EXPECT_NE(saved->frame->fullScreen, saved->windows.front().frame->fullScreen);
  {
    auto browser = start("second");
    EXPECT_TRUE(within(30s, [&] {
      return server.notesStarting("GET /visit?first").size() == 2 &&
             server.notesStarting("GET /visit?third").size() == 2;
    })) << browser.log();
    EXPECT_TRUE(within(20s, [&] { return browser.shownWindows() == 2; }));
    // Each window stands as it was left.
    EXPECT_TRUE(within(20s, [&] { return windowSizes(browser) == leftAt; }))
        << listed(windowSizes(browser)) << "left at " << listed(leftAt);
    quit(browser);
  }
}

}  // namespace
}  // namespace zemblo
