// Links clicked in other programs reach the browser the way the desktop sends them: as arguments
// of a new start, which hands them over the session bus to the browser already running; and one
// profile has one writer, whichever login session starts a second browser on it.
#include <gtest/gtest.h>

#include <gio/gio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <map>
#include <optional>

#include "model/localization.h"
#include "support/real_browser.h"

namespace zemblo {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using testing::BrowserProcess;
using testing::ChildProcess;
using testing::within;

// The titles of the saved session's tabs in order (a tab never loaded: its address's last part),
// the selected one marked with "*".
std::vector<std::string> savedTabs() {
  std::vector<std::string> titles;
  const auto session = SessionFiles().readSession();
  if (!session || session->spaces.empty()) return titles;
  const SpaceSnapshot& space = session->spaces.front();
  for (const auto& tab : space.tabs) {
    const std::string address = tab.url ? tab.url->str() : "";
    const std::string title =
        tab.title.empty() ? address.substr(address.rfind('/') + 1) : tab.title;
    titles.push_back(title + (space.selectedTabID == tab.id ? "*" : ""));
  }
  return titles;
}

class LinksFromOtherProgramsTest : public testing::RealBrowserTest {
 protected:
  LinksFromOtherProgramsTest() {
    server.page("/mail.html", "<title>From mail</title>");
    server.page("/chat.html", "<title>From chat</title>");
    server.page("/page.html", "<title>Opened in the first</title>");
    server.route("/notes.zqxw", [](const testing::PageServer::Request&) {
      return testing::PageServer::Response{"saved bytes", "application/octet-stream"};
    });
    saveTabs({"http://127.0.0.1:9/saved"});
  }
};

// Asks the browser on the bus at `address` to open `uris`, as the toolkit's second start does.
bool openOverBus(const std::string& address, const std::vector<std::string>& uris) {
  GVariantBuilder files;
  g_variant_builder_init(&files, G_VARIANT_TYPE("as"));
  for (const auto& uri : uris) g_variant_builder_add(&files, "s", uri.c_str());
  return testing::callBrowserOverBus(address, "org.gtk.Application", "Open",
                                     g_variant_new("(assa{sv})", &files, "", nullptr));
}

TEST_F(LinksFromOtherProgramsTest, StartsOpenTheirAddressesAsSelectedTabsOfTheOneRunningBrowser) {
  home.writeFile(home.root() / "docs" / "notes page.html", "<title>Local notes</title>");

  // No browser running: it starts with its session and opens the address after it.
  auto browser = start("browser", {server.url("/mail.html")});
  ASSERT_TRUE(browser.waitForWindow()) << browser.log();
  ASSERT_TRUE(within(20s, [] {
    return savedTabs() == std::vector<std::string>{"From mail*", "Work0"};
  })) << ::testing::PrintToString(savedTabs());

  // A link from a terminal: a web address and a path relative to the terminal's folder. The new
  // start hands both to the running browser and ends; the last one is selected.
  const fs::path secondLog = home.root() / "second.log";
  ChildProcess second(browser.anotherStart(
      home.root(), {server.url("/chat.html"), "docs/notes page.html"}, secondLog));
  const auto status = second.waitForExit(20s);
  EXPECT_TRUE(testing::exitedCleanly(status)) << home.readFile(secondLog);
  EXPECT_EQ(home.readFile(secondLog).find("CRITICAL"), std::string::npos);
  EXPECT_TRUE(within(20s, [] {
    return savedTabs() ==
           std::vector<std::string>{"chat.html", "Local notes*", "From mail", "Work0"};
  })) << ::testing::PrintToString(savedTabs());
  EXPECT_EQ(browser.shownWindows(), 1);

  // Any program on the bus may ask the running browser directly: what the command line refuses
  // is refused there too, and what follows it still opens.
  ASSERT_TRUE(openOverBus(browser.busAddress(),
                          {"javascript:alert(document.cookie)", server.url("/mail.html?2")}));
  EXPECT_TRUE(within(20s, [] {
    return savedTabs() ==
           std::vector<std::string>{"From mail*", "chat.html", "Local notes", "From mail", "Work0"};
  })) << ::testing::PrintToString(savedTabs());

  // A file's address downloads the file, and its tab goes again; a page opened after it is the
  // only tab the session gained.
  for (const std::string& address : {server.url("/notes.zqxw"), server.url("/chat.html?2")}) {
    ChildProcess opened(browser.anotherStart(home.root(), {address}, secondLog));
    EXPECT_TRUE(testing::exitedCleanly(opened.waitForExit(20s))) << home.readFile(secondLog);
    ASSERT_TRUE(within(20s, [&] { return fs::exists(home.root() / "Downloads" / "notes.zqxw"); }));
  }
  EXPECT_TRUE(within(20s, [&] {
    return savedTabs() == std::vector<std::string>{"From chat*",  "From mail", "chat.html",
                                                   "Local notes", "From mail", "Work0"};
  })) << ::testing::PrintToString(savedTabs());
  EXPECT_EQ(home.readFile(home.root() / "Downloads" / "notes.zqxw"), "saved bytes");

  // Thousands in one call: tabs that load when shown, the last one at once, added while the
  // browser keeps answering, and without a web process each.
  std::vector<std::string> many;
  for (int i = 1; i <= 3000; ++i) many.push_back(server.url("/chat.html?") + std::to_string(i));
  const int processesBefore = browser.webProcesses();
  ASSERT_TRUE(openOverBus(browser.busAddress(), many));
  auto slowest = 0ms;
  ASSERT_TRUE(within(60s, [&] {
    const auto asked = std::chrono::steady_clock::now();
    // Answered by the application's actions, which live on its main loop.
    testing::callBrowserOverBus(browser.busAddress(), "org.gtk.Actions", "List", nullptr);
    slowest = std::max(slowest, std::chrono::duration_cast<std::chrono::milliseconds>(
                                    std::chrono::steady_clock::now() - asked));
    const auto tabs = savedTabs();
    return tabs.size() == 3006 && tabs[2999] == "From chat*";
  })) << savedTabs().size();
  EXPECT_LT(slowest, 1s);
  EXPECT_EQ(savedTabs().front(), "chat.html?1");
  // The one page shown is all that may start a process.
  EXPECT_LE(browser.webProcesses(), processesBefore + 1);

  // A private window used last takes no link of another program, which would go with it; with no
  // normal window left, a new one opens for the link.
  ASSERT_TRUE(testing::callBrowserOverBus(
      browser.busAddress(), "org.gtk.Actions", "Activate",
      g_variant_new("(sava{sv})", "new-private-window", nullptr, nullptr)));
  ASSERT_TRUE(browser.onWindow("Özel Gezinti|Private Browsing", ""));
  // The toolkit numbers the windows in the order they open: the first, the private one, the new.
  for (const auto& [saved, window] : {std::pair{3007u, "1"}, std::pair{3008u, "3"}}) {
    ChildProcess link(browser.anotherStart(home.root(), {server.url("/mail.html")}, secondLog));
    EXPECT_TRUE(testing::exitedCleanly(link.waitForExit(20s))) << home.readFile(secondLog);
    EXPECT_TRUE(within(20s, [&] {
      const auto tabs = savedTabs();
      return tabs.size() == saved && tabs.front() == "From mail*";
    })) << ::testing::PrintToString(savedTabs().size());
    EXPECT_EQ(browser.shownWindows(), 2);
    ASSERT_TRUE(
        testing::callBrowserOverBus(browser.busAddress(), "org.gtk.Actions", "Activate",
                                    g_variant_new("(sava{sv})", "close-window", nullptr, nullptr),
                                    std::string("/com/pellobar/browser/window/") + window));
    ASSERT_TRUE(within(20s, [&] { return browser.shownWindows() == 1; }));
  }

  // Neither an address nor a file: refused with the reason, before anything reaches the bus.
  const fs::path thirdLog = home.root() / "third.log";
  ChildProcess third(browser.anotherStart(home.root(), {"no such page"}, thirdLog));
  const auto refused = third.waitForExit(20s);
  ASSERT_TRUE(refused && WIFEXITED(*refused));
  EXPECT_EQ(WEXITSTATUS(*refused), 1);
  L10n::setEnglish(systemLanguageIsEnglish());
  const std::string reason = withArgument(
      localized("zemblo-browser: “%@” ne bir web adresi ne de var olan bir dosya; açılmadı."),
      "no such page");
  L10n::setEnglish(false);
  EXPECT_EQ(home.readFile(thirdLog), reason + "\n");
}

// The files the browser keeps directly in `folder` (the web engine's folders below it are the
// running browser's own), each with its bytes, its inode and its time of change: a file written
// again, even with the same bytes, is a file written.
std::map<fs::path, std::string> filesIn(const testing::TempHome& home, const fs::path& folder) {
  std::map<fs::path, std::string> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    struct stat status {};
    if (!entry.is_regular_file() || stat(entry.path().c_str(), &status) != 0) continue;
    files[entry.path()] = home.readFile(entry.path()) + "|" + std::to_string(status.st_ino) + "|" +
                          std::to_string(status.st_mtim.tv_sec) + "." +
                          std::to_string(status.st_mtim.tv_nsec);
  }
  return files;
}

// Two login sessions have two buses: the second browser finds the profile claimed, says so and
// ends without having written a byte, and the first goes on as the one writer.
TEST_F(LinksFromOtherProgramsTest,
       ABrowserOfAnotherSessionOnTheSameProfileSaysItIsInUseAndWritesNothing) {
  // A tab opened in the first, saved with its visit once its page has loaded: from then on the
  // first has nothing to write.
  auto first = start("first", {server.url("/page.html")});
  ASSERT_TRUE(within(20s, [] {
    const auto history = SessionFiles().readHistory();
    return savedTabs() == std::vector<std::string>{"Opened in the first*", "Work0"} &&
           history.size() == 1 && history.front().title == "Opened in the first";
  })) << first.log();
  const auto before = filesIn(home, home.dataDir());
  const auto settingsBefore = filesIn(home, home.configDir());

  // Whatever would wait on its session's bus, the notice does not: it comes well before a call's
  // timeout of 25 s.
  const auto started = std::chrono::steady_clock::now();
  BrowserProcess second(home.root() / "second.log", {}, testing::onBusWithoutPortal(home.root()));
  L10n::setEnglish(systemLanguageIsEnglish());
  const std::string notice = "^" + localized("Profil kullanımda") + "$";
  L10n::setEnglish(false);
  ASSERT_TRUE(second.onWindow(notice, "")) << second.log();
  EXPECT_LT(std::chrono::steady_clock::now() - started, 12s);
  ASSERT_TRUE(second.onWindow(notice, "windowfocus --sync %1 key Return")) << second.log();
  const auto status = second.exitStatus(20s);
  ASSERT_TRUE(status && WIFEXITED(*status)) << second.log();
  EXPECT_EQ(WEXITSTATUS(*status), 1);
  EXPECT_EQ(filesIn(home, home.dataDir()), before);
  EXPECT_EQ(filesIn(home, home.configDir()), settingsBefore);

  // The first still owns it: what it saves on the way out is its own session.
  first.signal(SIGTERM);
  EXPECT_TRUE(testing::exitedCleanly(first.exitStatus(20s))) << first.log();
  EXPECT_EQ(savedTabs(), (std::vector<std::string>{"Opened in the first*", "Work0"}));
}

}  // namespace
}  // namespace zemblo
