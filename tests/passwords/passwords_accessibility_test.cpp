#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "passwords/credential_detail.h"
#include "passwords/import_passwords_sheet.h"
#include "passwords/passwords_browser.h"
#include "passwords/passwords_harness.h"
#include "window/accessibility_tree.h"

namespace zemblo::testing {
namespace {

// Reads every window of the program, expects every control named as a person would name it and
// every control drawn disabled reported so, and counts the controls by role and name.
std::map<std::pair<std::string, std::string>, int> readControls() {
  pump();
  std::set<std::string> widgetNames;
  GListModel* toplevels = gtk_window_get_toplevels();
  for (guint i = 0; i < g_list_model_get_n_items(toplevels); ++i) {
    auto* window = static_cast<GtkWidget*>(g_list_model_get_item(toplevels, i));
    collectWidgetNames(window, widgetNames);
    if (gtk_widget_get_visible(window)) {
      EXPECT_EQ(disabledReportedUsable(window), std::vector<std::string>{});
    }
    g_object_unref(window);
  }
  const auto nodes = AccessibilityReader::read();
  EXPECT_FALSE(nodes.empty()) << "no accessibility bus";
  for (const AccessibleNode& node : badlyNamedControls(nodes, widgetNames)) {
    ADD_FAILURE() << node.role << " '" << node.name << "' has no proper name";
  }
  std::map<std::pair<std::string, std::string>, int> controls;
  for (const AccessibleNode& node : nodes) {
    if (isControlRole(node.role)) ++controls[{node.role, node.name}];
  }
  return controls;
}

TEST(PasswordsAccessibilityTest, LockScreenImportSheetLoginsAndQuestionNameTheirControls) {
  if (!PasswordsHarness::hasTestAccountService()) GTEST_SKIP() << "needs the test PAM service";
  PasswordsHarness harness({login("mail.example.test", "ada", "pw-ada")});
  PasswordsWindow& window = harness.open();
  ASSERT_TRUE(waitUntil([&] { return harness.awaitsPassword(); }));
  {
    SCOPED_TRACE("lock screen");
    auto controls = readControls();
    EXPECT_EQ((controls[{"button", "Kilidi Aç"}]), 1);
    EXPECT_GE((controls[{"button", "İçe Aktar…"}]), 1);
  }
  {
    SCOPED_TRACE("import sheet");
    window.showImport();
    ASSERT_TRUE(
        waitUntil([&] { return window.importSheet() && window.importSheet()->is_visible(); }));
    readControls();
    window.importSheet()->close();
  }
  harness.unlock();
  PasswordsBrowser& browser = *window.browser();
  browser.select(harness.passwords().credentials.peek()[0].id);
  ASSERT_TRUE(browser.detail());
  {
    SCOPED_TRACE("logins");
    EXPECT_EQ((readControls()[{"button", "Şifreyi Sil"}]), 1);
  }
  {
    SCOPED_TRACE("question");
    PasswordsHarness::click(browser.detail()->deleteButton());
    auto controls = readControls();
    EXPECT_GE((controls[{"button", "Sil"}]), 1);
    EXPECT_GE((controls[{"button", "Vazgeç"}]), 1);
  }
}

}  // namespace
}  // namespace zemblo::testing
