// A tab's back and forward list and where its page was scrolled outlive Ctrl+Q and the next start;
// a damaged list costs the tab nothing but that list, and is kept aside.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "app/site_routes.h"
#include "support/accessible_controls.h"
#include "support/browser_process.h"
#include "support/keyring_bus.h"
#include "support/real_browser.h"

namespace zemblo {
namespace {

using namespace std::chrono_literals;
using testing::BrowserProcess;
using testing::within;

// Pages of one tab's trip: the first visit of /a goes on to /b, the first of /b scrolls down its
// tall page and goes on to /c, the first of /c goes back. Every page reports where it is, how far
// down it is scrolled and how long its tab's list is, as it loads and as it scrolls.
class TabHistoryRestartTest : public testing::RealBrowserTest {
 protected:
  TabHistoryRestartTest() {
    server.page("/seen", "");
    for (const auto& [path, first] : std::map<std::string, std::string>{
             {"/a", "addEventListener('load', () => setTimeout(() => location.href = '/b'));"},
             {"/b",
              "addEventListener('load', () => setTimeout(() => { scrollTo(0, 1500); "
              "setTimeout(() => location.href = '/c'); }));"},
             {"/c", "addEventListener('load', () => setTimeout(() => history.back()));"}}) {
      server.route(path, [this, path, first](const testing::PageServer::Request&) {
        const bool firstVisit = server.requestsStarting("GET " + path).size() == 1;
        return testing::PageServer::Response{
            "<!doctype html><title>" + path +
            "</title><body style='height: 6000px'><script>"
            "const report = () => fetch('/seen?at=' + location.pathname + '&y=' + "
            "Math.round(scrollY) + '&length=' + history.length); addEventListener('load', report);"
            " addEventListener('scroll', report);" +
            (firstVisit ? first : "") + "</script>"};
      });
    }
  }
  // Waits for the request `line` among those after the first `from`.
  bool sees(size_t from, const std::string& line) const {
    return within(30s, [&] {
      const auto all = server.requests();
      return all.size() > from &&
             std::find(all.begin() + std::ptrdiff_t(from), all.end(), "GET " + line) != all.end();
    });
  }
  size_t count() const { return server.requests().size(); }
};

TEST_F(TabHistoryRestartTest, ARestoredTabKeepsItsListAndScrollAndADamagedListLeavesItsAddress) {
  saveTabs({server.url("/a")});
  const auto stateFile =
      home.dataDir() / "tab-states" / SessionFiles().readSession()->spaces[0].tabs[0].id.str();

  {
    auto browser = start("first");
    ASSERT_TRUE(browser.waitForWindow()) << browser.log();
    ASSERT_TRUE(sees(0, "/seen?at=/b&y=1500&length=3")) << "the trip never came back to /b";
    quit(browser);
  }
  ASSERT_TRUE(std::filesystem::is_regular_file(stateFile));

  {
    const size_t before = count();
    auto browser = start("second");
    ASSERT_TRUE(browser.waitForWindow()) << browser.log();
    EXPECT_TRUE(sees(before, "/b"));
    ASSERT_TRUE(sees(before, "/seen?at=/b&y=1500&length=3"))
        << "the tab lost its list or its scroll\n"
        << browser.log();
    const size_t atB = count();
    ASSERT_TRUE(browser.onWindow("^Zemblo$", "windowfocus --sync %1 key alt+Left"));
    ASSERT_TRUE(sees(atB, "/a"));
    ASSERT_TRUE(sees(atB, "/seen?at=/a&y=0&length=3"));
    const size_t atA = count();
    ASSERT_TRUE(browser.onWindow("^Zemblo$", "windowfocus --sync %1 key alt+Right"));
    ASSERT_TRUE(sees(atA, "/seen?at=/b&y=1500&length=3"));
    const size_t backAtB = count();
    ASSERT_TRUE(browser.onWindow("^Zemblo$", "windowfocus --sync %1 key alt+Right"));
    ASSERT_TRUE(sees(backAtB, "/c"));
    ASSERT_TRUE(sees(backAtB, "/seen?at=/c&y=0&length=3"));
    quit(browser);
  }

  // Kept aside rather than written over.
  const std::string damaged("\x00\x07not the engine's\xff", 20);
  home.writeFile(stateFile, damaged);
  const size_t before = count();
  auto browser = start("third");
  ASSERT_TRUE(browser.waitForWindow()) << browser.log();
  EXPECT_TRUE(sees(before, "/seen?at=/c&y=0&length=1")) << browser.log();
  quit(browser);
  EXPECT_EQ(home.readFile(stateFile.string() + ".bad"), damaged);
  EXPECT_NE(home.readFile(stateFile), damaged);
}

// What a sent form made is never loaded again unasked: after a restart the tab asks, and the
// server sees the form's data again only once the user has answered, as a screen reader can.
TEST_F(TabHistoryRestartTest, ARestoredPageMadeFromASentFormIsSentAgainOnlyWhenTheUserAgrees) {
  testing::serveSite(server);
  saveTabs({server.url("/order")});
  testing::startInTurkish(home.configDir());
  const auto orders = [&] { return server.requestsStarting("POST /ordered").size(); };
  {
    auto browser = start("first");
    // The tab is on what the form made once the session says so.
    ASSERT_TRUE(within(30s, [&] {
      const auto saved = SessionFiles().readSession();
      return saved && saved->spaces.at(0).tabs.at(0).url == *Url::parse(server.url("/ordered"));
    })) << browser.log();
    quit(browser);
    ASSERT_EQ(orders(), 1u);
  }
  testing::KeyringBus bus(home.root());
  const testing::AccessibleControls controls(bus.connection());
  BrowserProcess browser(home.root() / "second.log", BrowserProcess::OnBus{bus.address()});
  ASSERT_TRUE(within(30s, [&] { return controls.has({"Tekrar Gönder"}); })) << browser.log();
  EXPECT_EQ(orders(), 1u);
  ASSERT_TRUE(controls.press({"Tekrar Gönder"}));
  EXPECT_TRUE(within(30s, [&] { return orders() == 2; })) << browser.log();
  quit(browser);
}

}  // namespace
}  // namespace zemblo
