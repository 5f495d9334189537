#include <gtest/gtest.h>

#include "passwords/credential_detail.h"
#include "passwords/import_passwords_sheet.h"
#include "passwords/passwords_browser.h"
#include "passwords/passwords_harness.h"
#include "window/accessibility_tree.h"

namespace zemblo::testing {
namespace {

TEST(PasswordsAccessibilityTest, LockScreenImportSheetLoginsAndQuestionNameTheirControls) {
  if (!PasswordsHarness::hasTestAccountService()) GTEST_SKIP() << "needs the test PAM service";
  PasswordsHarness harness({login("mail.example.test", "ada", "pw-ada")});
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
  EXPECT_EQ((readControls()[{"button", "Şifreyi Sil"}].count), 1);
  PasswordsHarness::click(window.browser()->detail()->deleteButton());
  pump();
  EXPECT_EQ((readControls()[{"button", "Sil"}].count), 2);  // one set for each layout
}

}  // namespace
}  // namespace zemblo::testing
