// A password the user saves just before quitting is in the keyring once the browser has ended,
// although the keyring answers on the main loop and quitting ends it.
#include <gtest/gtest.h>

#include "app/accessible_controls.h"
#include "app/browser_process.h"
#include "app/keyring_bus.h"
#include "app/site_server.h"
#include "model/credential.h"
#include "model/keyring_vault_storage.h"
#include "model/records.h"
#include "support/temp_home.h"

namespace zemblo {
namespace {

using namespace std::chrono_literals;
using testing::BrowserProcess;
using testing::within;

TEST(PasswordsAtQuitTest, APasswordSavedJustBeforeCtrlQIsInTheKeyringAfterTheBrowserEnded) {
  testing::TempHome home;
  testing::SiteServer site(home.root() / "site.log");
  ASSERT_TRUE(site.started());
  SpaceSnapshot space{Uuid::random(), "Work", "star", "#112233", "#445566", {}, {}};
  space.tabs.push_back(
      TabSnapshot{Uuid::random(), *Url::parse(site.url("/login")), "Login", std::nullopt});
  space.selectedTabID = space.tabs.front().id;
  ASSERT_TRUE(SessionFiles().writeSession({.spaces = {space}, .currentSpaceID = space.id}));
  testing::startInTurkish(home.configDir());
  testing::KeyringBus keyring(home.root());
  ASSERT_TRUE(keyring.ready());
  const testing::KeyringBus::Attributes vaultItem = {{"service", KeyringVaultStorage::kService},
                                                     {"account", KeyringVaultStorage::kAccount}};
  ASSERT_TRUE(keyring.store(vaultItem, "[]"));
  const testing::AccessibleControls controls(keyring.connection());

  BrowserProcess browser(home.root() / "browser.log", BrowserProcess::OnBus{keyring.address()});
  ASSERT_TRUE(browser.waitForWindow()) << browser.log();
  ASSERT_TRUE(within(30s, [&] { return !site.linesStarting("GET /login").empty(); }));
  // The page's one button covers it: a click anywhere in the page sends the login. A click that
  // came before the page was drawn is given again.
  ASSERT_TRUE(within(30s, [&] {
    browser.onWindow("^Zemblo$", "windowfocus --sync %1 mousemove --window %1 1000 500 click 1");
    return !site.linesStarting("POST /signed-in").empty();
  })) << browser.log();
  ASSERT_TRUE(within(30s, [&] { return controls.has({"Kaydet"}); })) << browser.log();

  // Another program has taken the item away meanwhile, so that the save takes two answers of the
  // keyring, which is slow to give them: the save is under way when Ctrl+Q comes.
  keyring.remove(vaultItem);
  keyring.pause();
  ASSERT_TRUE(controls.press({"Kaydet"}));
  // The banner's buttons wait while the keyring writes.
  ASSERT_TRUE(within(10s, [&] { return !controls.isEnabled({"Kaydet"}); }));
  ASSERT_TRUE(browser.onWindow("^Zemblo$", "windowfocus --sync %1 key ctrl+q"));
  EXPECT_TRUE(within(10s, [&] { return browser.shownWindows() == 0; }))
      << "the window stays after Ctrl+Q";
  keyring.resume();
  EXPECT_TRUE(testing::exitedCleanly(browser.exitStatus(20s))) << browser.log();

  const auto vault = keyring.secret(vaultItem);
  ASSERT_TRUE(vault) << "no password item in the keyring\n" << browser.log();
  const auto logins = decodeCredentials(*vault);
  ASSERT_TRUE(logins && logins->size() == 1u) << *vault;
  EXPECT_EQ(logins->front().username, "ada@example.test");
  EXPECT_EQ(logins->front().password, "s3cret-at-quit");
}

}  // namespace
}  // namespace zemblo
