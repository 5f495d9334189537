#include <gtest/gtest.h>

#include <algorithm>

#include "passwords/credential_detail.h"
#include "passwords/import_passwords_sheet.h"
#include "passwords/passwords_browser.h"
#include "passwords/passwords_harness.h"
#include "window/accessibility_tree.h"

namespace zemblo::testing {
namespace {

TEST(PasswordsAccessibilityTest, LockScreenImportSheetLoginsAndQuestionNameTheirControls) {
  if (!PasswordsHarness::hasTestAccountService()) GTEST_SKIP() << "needs the test PAM service";
  PasswordsHarness harness(
      {login("mail.example.test", "ada", "pw-ada"), login("mail.example.test", "bob", "pw-bob")});
  PasswordsWindow& window = harness.open();
  ASSERT_TRUE(waitUntil([&] { return harness.awaitsPassword(); }));
  EXPECT_EQ((readControls()[{"button", "Kilidi Aç"}].count), 1);

  window.showImport();
  ASSERT_TRUE(
      waitUntil([&] { return window.importSheet() && window.importSheet()->is_visible(); }));
  pump();
  readControls();
  window.importSheet()->close();

  harness.unlock();
  window.browser()->select(harness.passwords().credentials.peek()[0].id);
  pump();
  const auto controls = readControls();
  EXPECT_EQ((controls.at({"button", "Şifreyi Sil"}).count), 1);
  // Two logins on one host are told apart by their user.
  for (const std::string name : {"ada, mail.example.test", "bob, mail.example.test"}) {
    EXPECT_TRUE(std::ranges::any_of(controls, [&](const auto& entry) {
      return entry.first.second == name;
    })) << name;
  }
  PasswordsHarness::click(window.browser()->detail()->deleteButton());
  pump();
  EXPECT_EQ((readControls()[{"button", "Sil"}].count), 2);  // one set for each layout
}

}  // namespace
}  // namespace zemblo::testing
