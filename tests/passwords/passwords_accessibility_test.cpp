#include <gtest/gtest.h>

#include <algorithm>

#include "passwords/passwords_harness.h"
#include "window/accessibility_tree.h"

namespace zemblo::testing {
namespace {

TEST(PasswordsAccessibilityTest, LockScreenImportSheetLoginsAndQuestionNameTheirControls) {
  if (!PasswordsHarness::hasTestAccountService()) GTEST_SKIP() << "needs the test PAM service";
  PasswordsHarness harness(
      {login("mail.example.test", "ada", "pw-ada"), login("mail.example.test", "bob", "pw-bob")});
  harness.open();
  ASSERT_TRUE(waitUntil([&] { return harness.awaitsPassword(); }));
  EXPECT_EQ((readControls()[{"button", "Kilidi Aç"}].count), 1);

  PasswordsHarness::click(harness.control("İçe Aktar…"));
  ASSERT_TRUE(waitUntil([&] {
    return harness.importSheet() && gtk_widget_is_visible(GTK_WIDGET(harness.importSheet()));
  }));
  pump();
  readControls();
  gtk_window_close(harness.importSheet());

  harness.unlock();
  harness.select(harness.passwords().credentials.peek()[0]);
  const auto controls = readControls();
  EXPECT_EQ((controls.at({"button", "Şifreyi Sil"}).count), 1);
  // Two logins on one host are told apart by their user.
  for (const std::string name : {"ada, mail.example.test", "bob, mail.example.test"}) {
    EXPECT_TRUE(std::ranges::any_of(controls, [&](const auto& entry) {
      return entry.first.second == name;
    })) << name;
  }
  PasswordsHarness::click(harness.control("Şifreyi Sil"));
  pump();
  EXPECT_EQ((readControls()[{"button", "Sil"}].count), 2);  // one set for each layout
}

}  // namespace
}  // namespace zemblo::testing
