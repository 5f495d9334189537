// A page that prints, asks for files or shows dialogs over and over can hold neither its tab nor
// the browser: Ctrl+W closes the tab, and Ctrl+Q or a signal ends the process.
#include <gtest/gtest.h>

#include <csignal>

#include "support/real_browser.h"

namespace zemblo {
namespace {

using namespace std::chrono_literals;
using testing::BrowserProcess;
using testing::within;

// Prints again as soon as print() returns. The engine defers a print asked for while anything of
// the page is still loading (its icon too), so the page lets the engine run between two prints.
constexpr const char* kPrintLoop =
    "<title>Print</title><script>const again = () => { print(); setTimeout(again, 0); }; "
    "again();</script>";
// Asks for files every 0.4 s with no click of the user's; the field covers the page, so a click
// anywhere asks too.
constexpr const char* kChooserLoop =
    "<title>Files</title><input type=file "
    "style='position:fixed;left:0;top:0;width:100%;height:100%'><script>setInterval(() => "
    "document.querySelector('input').click(), 400);</script>";

// GTK's print dialog, by its title in either language.
constexpr const char* kPrintDialog = "^(Print|Yazdır)$";
// The file chooser, which has no title of its own.
constexpr const char* kChooser = "^$";

class PageRequestsTest : public testing::RealBrowserTest {
 protected:
  PageRequestsTest() {
    server.page("/print.html", kPrintLoop);
    server.page("/files.html", kChooserLoop);
    // Its address, which the session keeps, says that it has begun asking.
    server.page("/dialogs.html",
                "<title>Loop</title><script>setTimeout(() => { location.hash = 'asking'; "
                "for (let i = 0;; ++i) { alert(i); confirm(i); prompt(i); } }, 0);</script>");
  }

  // A session of one space whose tabs show `page` twice, the first tab selected.
  void openTwice(const std::string& page) {
    saveTabs({server.url("/" + page + "?first"), server.url("/" + page + "?second")});
  }
  // The session names the page once the selected tab has loaded it.
  static bool pageLoaded(const std::string& title) {
    const auto session = SessionFiles().readSession();
    if (!session) return false;
    const auto& space = session->spaces.front();
    for (const auto& tab : space.tabs) {
      if (tab.id == space.selectedTabID && tab.title == title) return true;
    }
    return false;
  }
  static bool oneTabLeft() {
    const auto session = SessionFiles().readSession();
    return session && session->spaces.front().tabs.size() == 1;
  }
  // A click on the page, right of the sidebar.
  static bool clickPage(const BrowserProcess& browser) {
    return browser.onWindow("^Zemblo$",
                            "windowfocus --sync %1 mousemove --window %1 700 400 click 1");
  }
};

TEST_F(PageRequestsTest, APageThatKeepsPrintingLosesItsTabToCtrlWAndTheBrowserToCtrlQOrASignal) {
  openTwice("print.html");
  {
    auto browser = start("first");
    ASSERT_TRUE(browser.waitForWindow()) << browser.log();
    ASSERT_TRUE(within(15s, [&] { return browser.shownWindows() == 2; })) << "no print dialog";
    // The keys work from the dialog: behind it, the browser window may be out of reach.
    ASSERT_TRUE(browser.onWindow(kPrintDialog, "windowfocus --sync %1 key ctrl+w"));
    ASSERT_TRUE(within(15s, [] { return oneTabLeft(); })) << "the printing tab was not closed";
    // The next tab prints the same way.
    ASSERT_TRUE(within(15s, [&] { return browser.shownWindows() == 2; })) << browser.log();
    quit(browser, kPrintDialog);
  }
  auto browser = start("second");
  ASSERT_TRUE(within(15s, [&] { return browser.shownWindows() == 2; }))
      << "no print dialog: " << browser.shownWindows() << " windows\n"
      << browser.log();
  browser.signal(SIGTERM);
  const auto status = browser.exitStatus(10s);
  ASSERT_TRUE(status) << "still running 10 s after SIGTERM, killed";
  EXPECT_TRUE(testing::exitedCleanly(status));
}

// A page that asks and asks again cannot keep its tab, nor the browser: the tab closes with
// Ctrl+W and the browser quits with Ctrl+Q while a dialog is up.
TEST_F(PageRequestsTest, APageThatNeverStopsAskingCanBeClosedAndTheBrowserQuit) {
  openTwice("dialogs.html");
  const auto asking = [](size_t tabs) {
    const auto session = SessionFiles().readSession();
    return session && session->spaces.front().tabs.size() == tabs &&
           session->spaces.front().tabs.front().url->str().ends_with("#asking");
  };

  auto browser = start("browser");
  ASSERT_TRUE(browser.waitForWindow()) << browser.pid().value_or(0) << browser.log();
  ASSERT_TRUE(within(15s, [&] { return asking(2); })) << "no dialog\n" << browser.log();
  ASSERT_TRUE(browser.onWindow("^Zemblo$", "windowfocus --sync %1 key ctrl+w"));
  // The next tab is the same page: its dialogs come up too, and the browser still quits.
  ASSERT_TRUE(within(15s, [&] { return asking(1); }))
      << "the first tab was not closed, or the next one asks nothing\n"
      << browser.log();
  quit(browser);
  const auto session = SessionFiles().readSession();
  ASSERT_TRUE(session);
  ASSERT_EQ(session->spaces.front().tabs.size(), 1u);
  EXPECT_EQ(session->spaces.front().tabs.front().url->str(),
            server.url("/dialogs.html?second#asking"));
}

TEST_F(PageRequestsTest, AFileChooserOpensOnlyOnAClickAndNeitherHoldsTheTabNorTheBrowser) {
  ASSERT_TRUE(server.listening());
  openTwice("files.html");
  BrowserProcess browser(home.root() / "browser.log");
  ASSERT_TRUE(browser.waitForWindow()) << browser.log();
  ASSERT_TRUE(within(15s, [] { return pageLoaded("Files"); }));
  ASSERT_TRUE(clickPage(browser));
  // The chooser is told by its name, which is none: the field under the pointer soon shows its
  // tooltip, a window of the browser too.
  ASSERT_TRUE(within(15s, [&] { return browser.shownWindows(kChooser) == 1; }))
      << "no file chooser";
  // The keys work from the chooser and from the window behind it.
  ASSERT_TRUE(browser.onWindow(kChooser, "windowfocus --sync %1 key ctrl+w"));
  ASSERT_TRUE(within(15s, [] { return oneTabLeft(); })) << "the tab was not closed";
  EXPECT_TRUE(within(15s, [&] { return browser.shownWindows(kChooser) == 0; }))
      << "the chooser stayed";
  ASSERT_TRUE(within(15s, [] { return pageLoaded("Files"); }));
  ASSERT_TRUE(clickPage(browser));
  ASSERT_TRUE(within(15s, [&] { return browser.shownWindows(kChooser) == 1; }))
      << "no file chooser";
  quit(browser);
}

}  // namespace
}  // namespace zemblo
