// A password the user saves just before quitting is in the keyring once the browser has ended,
// although the keyring answers on the main loop and quitting ends it; one the keyring cannot
// take is told at once and may be saved again.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/site_routes.h"
#include "model/credential.h"
#include "model/keyring_vault_storage.h"
#include "support/accessible_controls.h"
#include "support/keyring_bus.h"
#include "support/real_browser.h"

namespace zemblo {
namespace {

using namespace std::chrono_literals;
using testing::BrowserProcess;
using testing::within;

const testing::KeyringBus::Attributes kVaultItem = {{"service", KeyringVaultStorage::kService},
                                                    {"account", KeyringVaultStorage::kAccount}};

// A browser on its own keyring that shows a login page, where the user has sent a login and
// is offered to save it.
class PasswordsAtQuitTest : public testing::RealBrowserTest {
 protected:
  PasswordsAtQuitTest() {
    testing::serveSite(server);
    saveTabs({server.url("/login")});
    testing::startInTurkish(home.configDir());
  }

  // Starts the browser on a keyring of its own holding `vault`, whose collection to store into
  // is there only `loginCollection`, and sends the login. False, with the reason reported, when the
  // browser never offered the save.
  bool offer(bool loginCollection, const std::string& vault = "") {
    auto& keyring = keyringBus.emplace(home.root(), loginCollection);
    if (!keyring.ready() || (!vault.empty() && !keyring.store(kVaultItem, vault))) return false;
    auto& controls = screenReader.emplace(keyring.connection());
    auto& browser =
        running.emplace(home.root() / "browser.log", BrowserProcess::OnBus{keyring.address()});
    EXPECT_TRUE(browser.waitForWindow()) << browser.log();
    EXPECT_TRUE(within(30s, [&] { return !server.requestsStarting("GET /login").empty(); }));
    // The page's one button covers it: a click anywhere in the page sends the login. A click
    // that came before the page was drawn is given again.
    EXPECT_TRUE(within(30s, [&] {
      browser.onWindow("^Zemblo$", "windowfocus --sync %1 mousemove --window %1 1000 500 click 1");
      return !server.requestsStarting("POST /signed-in").empty();
    })) << browser.log();
    const bool offered = within(30s, [&] { return controls.has({"Kaydet"}); });
    EXPECT_TRUE(offered) << browser.log();
    return offered;
  }

  std::optional<testing::KeyringBus> keyringBus;
  std::optional<testing::AccessibleControls> screenReader;
  std::optional<BrowserProcess> running;
};

TEST_F(PasswordsAtQuitTest, APasswordSavedJustBeforeCtrlQIsInTheKeyringAfterTheBrowserEnded) {
  ASSERT_TRUE(offer(/*loginCollection=*/true, "[]"));
  auto& keyring = *keyringBus;
  auto& controls = *screenReader;
  auto& browser = *running;

  // Another program has taken the item away meanwhile, so that the save takes two answers of the
  // keyring, which is slow to give them: the save is under way when Ctrl+Q comes.
  keyring.remove(kVaultItem);
  keyring.pause();
  ASSERT_TRUE(controls.press({"Kaydet"}));
  // The banner's buttons wait while the keyring writes.
  ASSERT_TRUE(within(10s, [&] { return !controls.isEnabled({"Kaydet"}); }));
  ASSERT_TRUE(browser.onWindow("^Zemblo$", "windowfocus --sync %1 key ctrl+q"));
  EXPECT_TRUE(within(10s, [&] { return browser.shownWindows() == 0; }))
      << "the window stays after Ctrl+Q";
  keyring.resume();
  EXPECT_TRUE(testing::exitedCleanly(browser.exitStatus(20s))) << browser.log();

  const auto vault = keyring.secret(kVaultItem);
  ASSERT_TRUE(vault) << "no password item in the keyring\n" << browser.log();
  const auto logins = decodeCredentials(*vault);
  ASSERT_TRUE(logins && logins->size() == 1u) << *vault;
  EXPECT_EQ(logins->front().username, "ada@example.test");
  EXPECT_EQ(logins->front().password, "s3cret-at-quit");
}

// A keyring with no collection to store into asks the user, through the desktop's prompter, to
// make one. The banner says at once that the password is not saved, and keeps the offer, however
// long the question stays open; once the user has answered it, Save stores the password.
TEST_F(PasswordsAtQuitTest,
       AKeyringWithoutACollectionFailsTheSaveAtOnceAndSavesOnceTheUserMadeOne) {
  ASSERT_TRUE(offer(/*loginCollection=*/false));
  auto& keyring = *keyringBus;
  auto& controls = *screenReader;
  const testing::ChildProcess prompter = keyring.prompter();
  ASSERT_TRUE(controls.press({"Kaydet"}));
  const std::string failure =
      "Şifre anahtarlığa kaydedilemedi. Anahtarlık onayını ya da parolanı isterse ver, sonra "
      "tekrar dene.";
  ASSERT_TRUE(within(5s, [&] { return controls.has({failure}); })) << running->log();
  EXPECT_TRUE(controls.isEnabled({"Kaydet"}));
  const std::string question =
      "timeout 30 xdotool search --sync --onlyvisible --class gcr-prompter windowfocus --sync ";
  ASSERT_EQ(std::system((question + "type --delay 20 'new-keyring-1' >/dev/null").c_str()), 0);
  ASSERT_EQ(std::system("xdotool key Tab type --delay 20 'new-keyring-1' && xdotool key Return"),
            0);
  EXPECT_FALSE(keyring.secret(kVaultItem));

  ASSERT_TRUE(within(20s, [&] {
    controls.press({"Kaydet"});
    return keyring.secret(kVaultItem).has_value();
  })) << running->log();
  const auto logins = decodeCredentials(*keyring.secret(kVaultItem));
  ASSERT_TRUE(logins && logins->size() == 1u);
  EXPECT_EQ(logins->front().password, "s3cret-at-quit");
  EXPECT_TRUE(within(10s, [&] { return !controls.has({"Kaydet"}); }));
}

}  // namespace
}  // namespace zemblo
