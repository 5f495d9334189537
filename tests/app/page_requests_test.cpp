// A page that prints or asks for files over and over, served from 127.0.0.1, can hold neither
// its tab nor the browser: Ctrl+W closes the tab, and Ctrl+Q or a signal ends the process.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "app/browser_process.h"
#include "model/records.h"
#include "support/temp_home.h"

namespace zemblo {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
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

// Serves the files of a folder on 127.0.0.1 from a process of its own.
class FolderServer {
 public:
  explicit FolderServer(const fs::path& folder)
      : process_({"python3", "-c",
                  "import functools, http.server, sys\n"
                  "handler = functools.partial(http.server.SimpleHTTPRequestHandler, "
                  "directory=sys.argv[1])\n"
                  "server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), handler)\n"
                  "print(server.server_address[1], flush=True)\n"
                  "server.serve_forever()\n",
                  folder.string()},
                 &output_) {
    std::string line;
    for (char c = 0; line.find('\n') == std::string::npos && read(output_, &c, 1) == 1;) line += c;
    close(output_);
    if (line.find('\n') != std::string::npos) port_ = std::stoi(line);
  }
  std::string url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }
  bool listening() const { return port_ > 0; }

 private:
  int output_ = -1;
  testing::ChildProcess process_;
  int port_ = 0;
};

class PageRequestsTest : public ::testing::Test {
 protected:
  PageRequestsTest() {
    home.writeFile(pages / "print.html", kPrintLoop);
    home.writeFile(pages / "files.html", kChooserLoop);
  }

  // A session of one space whose tabs show `page` twice, the first tab selected.
  void openTwice(const std::string& page) {
    SpaceSnapshot space{Uuid::random(), "Work", "star", "#112233", "#445566", {}, {}};
    for (const char* which : {"?first", "?second"}) {
      const auto address = *Url::parse(server.url("/" + page + which));
      space.tabs.push_back(TabSnapshot{Uuid::random(), address, page, std::nullopt});
    }
    space.selectedTabID = space.tabs.front().id;
    SessionSnapshot session;
    session.currentSpaceID = space.id;
    session.spaces.push_back(space);
    ASSERT_TRUE(SessionFiles().writeSession(session));
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

  testing::TempHome home;
  fs::path pages = home.root() / "pages";
  FolderServer server{pages};
};

TEST_F(PageRequestsTest, APageThatKeepsPrintingLosesItsTabToCtrlWAndTheBrowserToCtrlQ) {
  ASSERT_TRUE(server.listening());
  openTwice("print.html");
  BrowserProcess browser(home.root() / "browser.log");
  ASSERT_TRUE(browser.waitForWindow()) << browser.log();
  ASSERT_TRUE(within(15s, [&] { return browser.shownWindows() == 2; })) << "no print dialog";
  // The keys work from the dialog: behind it, the browser window may be out of reach.
  ASSERT_TRUE(browser.onWindow(kPrintDialog, "windowfocus --sync %1 key ctrl+w"));
  ASSERT_TRUE(within(15s, [] { return oneTabLeft(); })) << "the printing tab was not closed";
  // The next tab prints the same way.
  ASSERT_TRUE(within(15s, [&] { return browser.shownWindows() == 2; })) << browser.log();
  ASSERT_TRUE(browser.onWindow(kPrintDialog, "windowfocus --sync %1 key ctrl+q"));
  const auto status = browser.exitStatus(10s);
  ASSERT_TRUE(status) << "still running 10 s after Ctrl+Q, killed";
  EXPECT_TRUE(testing::exitedCleanly(status));
}

TEST_F(PageRequestsTest, APageThatKeepsPrintingEndsWithTheBrowserOnATerminationSignal) {
  ASSERT_TRUE(server.listening());
  openTwice("print.html");
  BrowserProcess browser(home.root() / "browser.log");
  ASSERT_TRUE(browser.waitForWindow()) << browser.log();
  ASSERT_TRUE(within(15s, [&] { return browser.shownWindows() == 2; }))
      << "no print dialog: " << browser.shownWindows() << " windows\n"
      << browser.log();
  browser.signal(SIGTERM);
  const auto status = browser.exitStatus(10s);
  ASSERT_TRUE(status) << "still running 10 s after SIGTERM, killed";
  EXPECT_TRUE(testing::exitedCleanly(status));
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
  ASSERT_TRUE(browser.onWindow("^Zemblo$", "windowfocus --sync %1 key ctrl+q"));
  const auto status = browser.exitStatus(10s);
  ASSERT_TRUE(status) << "still running 10 s after Ctrl+Q, killed";
  EXPECT_TRUE(testing::exitedCleanly(status));
}

}  // namespace
}  // namespace zemblo
