// What sites keep in the browser (the login cookie, their storage) is still theirs after a
// restart until the user clears it, while what they meant for the browsing session alone is not.
#include <gtest/gtest.h>

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

class SiteDataTest : public testing::RealBrowserTest {
 protected:
  SiteDataTest() {
    testing::serveSite(server);
    saveTabs({server.url("/site")});
    testing::startInTurkish(home.configDir());
  }
  size_t notes(const std::string& prefix) { return server.notesStarting(prefix).size(); }
};

// The page's last write comes right before the note the test quits on. The first start finds a
// damaged cookie store: kept aside and told, it costs no cookie set afterwards. "Clear cookies and
// site data" in the privacy settings then signs the user out for good.
TEST_F(SiteDataTest,
       TheLoginCookieAndStorageSurviveARestartUntilClearedAndTheSessionCookieDoesNot) {
  const auto cookies = home.dataDir() / "WebKit" / "cookies.sqlite";
  home.writeFile(cookies, std::string(8192, '\0'));
  {
    testing::KeyringBus bus(home.root());
    const testing::AccessibleControls controls(bus.connection());
    BrowserProcess browser(home.root() / "first.log", BrowserProcess::OnBus{bus.address()});
    ASSERT_TRUE(browser.waitForWindow()) << browser.log();
    EXPECT_TRUE(within(30s, [&] {
      return controls.has(
          {"Çerez dosyası okunamadı ve \"cookies.sqlite.bad\" olarak saklandı. "
           "Siteler yeniden oturum açmanı isteyecek."});
    }));
    ASSERT_TRUE(within(30s, [&] { return notes("stored") == 1; })) << browser.log();
    quit(browser);
  }
  EXPECT_EQ(home.readFile(cookies.string() + ".bad"), std::string(8192, '\0'));
  EXPECT_TRUE(std::filesystem::exists(cookies));
  {
    // The tab the session kept asks for the site again.
    testing::KeyringBus bus(home.root());
    const testing::AccessibleControls controls(bus.connection());
    BrowserProcess browser(home.root() / "second.log", BrowserProcess::OnBus{bus.address()});
    ASSERT_TRUE(within(30s, [&] { return notes("stored") == 2; })) << browser.log();
    ASSERT_TRUE(browser.onWindow("^Zemblo$", "windowfocus --sync %1 key ctrl+comma"));
    // The pane's row takes a real click.
    std::optional<std::pair<int, int>> row;
    ASSERT_TRUE(within(30s, [&] {
      row = controls.middle({"Ayarlar", "Gizlilik ve Güvenlik"});
      return row.has_value();
    }));
    ASSERT_TRUE(browser.onWindow("^Ayarlar$", "mousemove --window %1 " +
                                                  std::to_string(row->first) + " " +
                                                  std::to_string(row->second) + " click 1"));
    ASSERT_TRUE(
        within(30s, [&] { return controls.press({"Çerezleri ve site verilerini temizle…"}); }));
    ASSERT_TRUE(within(30s, [&] { return controls.press({"Verileri Sil"}); }));
    ASSERT_TRUE(within(30s, [&] { return controls.has({"Çerezler ve site verileri temizlendi"}); }))
        << browser.log();
    quit(browser);
  }
  auto browser = start("third");
  ASSERT_TRUE(within(30s, [&] { return notes("storage") == 3; })) << browser.log();
  quit(browser);
  EXPECT_EQ(server.notesStarting("GET /site"),
            (std::vector<std::string>{"GET /site cookies=", "GET /site cookies=login=ada",
                                      "GET /site cookies="}));
  EXPECT_EQ(server.notesStarting("storage"),
            (std::vector<std::string>{"storage local=null indexed=undefined",
                                      "storage local=kept indexed=kept",
                                      "storage local=null indexed=undefined"}));
}

}  // namespace
}  // namespace zemblo
