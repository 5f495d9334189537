#include "passwords/passwords_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "model/localization.h"
#include "model/preference_enums.h"
#include "model/preferences_model.h"
#include "passwords/passwords_harness.h"
#include "support/tab_round.h"
#include "support/x_input.h"

namespace zemblo::testing {
namespace {

class PasswordsWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!PasswordsHarness::hasTestAccountService()) GTEST_SKIP() << "needs the test PAM service";
  }
};

TEST_F(PasswordsWindowTest, TabGoesRoundTheLockScreenAndTheListAndBackReachingEveryControl) {
  PasswordsHarness harness(
      {login("mail.example.test", "ada", "pw-ada"), login("shop.example.test", "bob", "pw-bob")});
  PasswordsWindow& window = harness.open();
  window.set_title("zemblo-passwords-test");
  ASSERT_TRUE(waitUntil([&] { return harness.awaitsPassword(); }));
  const auto press = [](const std::string& keys) {
    runBesideMainLoop(xdotoolOn("zemblo-passwords-test", "windowfocus --sync %1") +
                      " && xdotool key " + keys);
  };
  // Tab comes back to where it started, every control it meets is named (a text part by its
  // entry), and it meets the field and each of `expected`; gives the names met, each as often.
  const auto goRound = [&](const std::vector<std::string>& expected) {
    const auto round = focusRound(focusVisits(window.gobj(), press, 30));
    EXPECT_FALSE(round.empty()) << "Tab never came back to where it started";
    std::multiset<std::string> names;
    for (GtkWidget* control : round) {
      const std::string name = accessibleName(control);
      EXPECT_TRUE(!name.empty() || GTK_IS_TEXT(control)) << G_OBJECT_TYPE_NAME(control);
      names.insert(name);
    }
    EXPECT_TRUE(
        std::ranges::any_of(round, [](GtkWidget* control) { return GTK_IS_TEXT(control); }));
    for (const std::string& name : expected) EXPECT_TRUE(names.contains(name)) << name;
    return names;
  };
  goRound({"İçe Aktar…", "Kilidi Aç"});
  harness.unlock();
  // Nothing selected, nothing there to be a stop of its own.
  goRound({"İçe Aktar"});
  harness.select(harness.passwords().credentials.peek()[0]);
  // The list is one stop: the arrows walk it.
  const auto names = goRound({"ada, mail.example.test", "Şifreyi kopyala", "Şifreyi Sil"});
  EXPECT_EQ(names.count("ada, mail.example.test") + names.count("bob, shop.example.test"), 1u);
  // Ctrl+F goes to Search from wherever the focus is.
  press("ctrl+f");
  GtkWidget* search = findByAccessibleName(GTK_WIDGET(window.gobj()), localized("Ara"),
                                           GTK_ACCESSIBLE_ROLE_SEARCH_BOX);
  ASSERT_NE(search, nullptr);
  EXPECT_TRUE(waitUntil(
      [&] { return window.get_focus() && window.get_focus()->is_ancestor(*Glib::wrap(search)); }));
}

TEST_F(PasswordsWindowTest, RightPasswordUnlocksWrongOneFailsAndCancelStaysSilent) {
  PasswordsHarness harness({login("example.test", "ada", "pw")});
  PasswordsWindow& window = harness.open();
  // Opening asks at once.
  EXPECT_TRUE(harness.lockBusy());
  ASSERT_TRUE(waitUntil([&] { return harness.awaitsPassword(); }));
  EXPECT_EQ(labelText(harness.root(), "LockTitle"), "Şifreler kilitli");
  PasswordsHarness::shot(window, "lock-screen");

  harness.enterPassword("wrong");
  ASSERT_TRUE(waitUntil([&] { return !harness.lockBusy(); }));
  const std::string failure = "Kimlik doğrulanamadı. Parolanı kontrol edip tekrar dene.";
  EXPECT_EQ(harness.lockError(), failure);
  EXPECT_FALSE(harness.showsLogins());
  EXPECT_STREQ(gtk_editable_get_text(GTK_EDITABLE(harness.passwordField())), "");
  PasswordsHarness::shot(window, "lock-screen-failed");
  // Escape after a failure clears its text too.
  harness.pressKeys("Escape");
  EXPECT_TRUE(waitUntil([&] { return !harness.lockError(); }));

  // Unlock with an empty field asks again; the next attempt clears the failure at once. Cancel
  // leaves the lock screen as it was, with no text.
  PasswordsHarness::click(harness.unlockButton());
  EXPECT_TRUE(harness.lockBusy());
  EXPECT_FALSE(harness.lockError());
  ASSERT_TRUE(waitUntil([&] { return harness.awaitsPassword(); }));
  harness.pressKeys("Escape");
  EXPECT_TRUE(waitUntil([&] { return !harness.lockBusy(); }));
  EXPECT_FALSE(harness.lockError());
  EXPECT_FALSE(harness.showsLogins());

  // Typed while nothing asks, the password starts an attempt that uses it.
  gtk_editable_set_text(GTK_EDITABLE(harness.passwordField()), PasswordsHarness::kAccountPassword);
  PasswordsHarness::click(harness.unlockButton());
  PasswordsHarness::click(harness.unlockButton());  // a second press while checking does nothing
  ASSERT_TRUE(waitUntil([&] { return harness.showsLogins(); }));
  EXPECT_FALSE(harness.lockError());
  EXPECT_EQ(harness.shownLogins().size(), 1u);
}

TEST_F(PasswordsWindowTest, LockScreenWrapsItsTextEvenlyAndUnlocksUnderAnOpenLock) {
  PasswordsHarness harness;
  for (const AppLanguage language : {AppLanguage::turkish, AppLanguage::english}) {
    testing::switchLanguage(harness.store().preferences(), language);
    PasswordsWindow& window = harness.open();
    ASSERT_TRUE(waitUntil([&] { return harness.awaitsPassword(); }));
    // However the explanation wraps on screen, no word stands on a line of its own.
    GtkLabel* explanation = GTK_LABEL(findByWidgetName(harness.root(), "LockExplanation"));
    const std::string text = gtk_label_get_text(explanation);
    PangoLayout* layout = gtk_label_get_layout(explanation);
    for (int i = 0; i < pango_layout_get_line_count(layout); ++i) {
      const PangoLayoutLine* wrapped = pango_layout_get_line_readonly(layout, i);
      std::string line = text.substr(wrapped->start_index, wrapped->length);
      line.erase(line.find_last_not_of(' ') + 1);
      EXPECT_NE(line.find(' '), std::string::npos) << line;
    }
    GtkWidget* unlockSymbol =
        findFirst(harness.unlockButton(), [](GtkWidget* w) { return GTK_IS_IMAGE(w); });
    ASSERT_TRUE(unlockSymbol);
    EXPECT_STREQ(gtk_image_get_icon_name(GTK_IMAGE(unlockSymbol)), "changes-allow-symbolic");
    PasswordsHarness::shot(window, "lock-screen-" + std::string(rawValue(language)));
    harness.close();
  }
}

TEST_F(PasswordsWindowTest, ControlWClosesTheWindow) {
  PasswordsHarness harness;
  PasswordsWindow& window = harness.open();
  window.set_title("zemblo-passwords-test");
  // The application hides a closed window and drops it later; so does this test.
  bool closed = false;
  window.signal_close_request().connect(
      [&] {
        closed = true;
        window.set_visible(false);
        return true;
      },
      false);
  ASSERT_TRUE(waitUntil([&] { return harness.awaitsPassword(); }));
  // Beside the main loop, which gives the window its new title. The keys go on their own, through
  // the server: aimed at a window, the release of a key that closed it would be sent to the
  // closed window, and the server would repeat the key for whatever window comes next.
  testing::runBesideMainLoop(testing::xdotoolOn("zemblo-passwords-test", "windowfocus --sync %1") +
                             " && xdotool key ctrl+w");
  EXPECT_TRUE(waitUntil([&] { return closed; }));
}

TEST_F(PasswordsWindowTest, EveryNewAppearanceIsLockedAndLateResultsAreDropped) {
  PasswordsHarness harness;
  harness.open();
  harness.unlock();

  // A new language rebuilds the content locked, and it asks again.
  harness.window().rebuildContent();
  EXPECT_FALSE(harness.showsLogins());
  EXPECT_TRUE(harness.lockBusy());
  EXPECT_FALSE(harness.searchField());

  // A right password answered just before the window closes unlocks nothing: the next window
  // opens locked and stays so. Its own attempt, asked and answered (wrongly) after the old one
  // was answered, finishes after the old one.
  harness.enterPassword(PasswordsHarness::kAccountPassword);
  harness.close();
  PasswordsWindow& reopened = harness.open();
  EXPECT_TRUE(harness.lockBusy());
  ASSERT_TRUE(waitUntil([&] { return harness.awaitsPassword(); }));
  harness.enterPassword("wrong");
  ASSERT_TRUE(waitUntil([&] { return !harness.lockBusy(); }));
  EXPECT_TRUE(harness.lockError());
  pump();
  EXPECT_FALSE(harness.showsLogins());

  // Hiding the window locks it too.
  harness.unlock();
  reopened.set_visible(false);
  EXPECT_FALSE(harness.showsLogins());
}

TEST_F(PasswordsWindowTest, ImportRequestsOpenTheSheetWithoutAskingForThePassword) {
  PasswordsHarness harness;
  PasswordsWindow& window = harness.open(/*importing=*/true);
  ASSERT_TRUE(harness.importSheet());
  EXPECT_TRUE(gtk_widget_get_visible(GTK_WIDGET(harness.importSheet())));
  EXPECT_FALSE(harness.lockBusy());

  // Closing the sheet leaves the window locked until the user unlocks.
  gtk_window_close(harness.importSheet());
  pump();
  EXPECT_FALSE(harness.importSheet());
  EXPECT_FALSE(harness.lockBusy());
  PasswordsHarness::click(harness.unlockButton());
  harness.unlock();

  // A request while the window is open shows the sheet over the logins.
  window.requestImport();
  pump();
  ASSERT_TRUE(harness.importSheet());
  EXPECT_TRUE(harness.showsLogins());
}

}  // namespace
}  // namespace zemblo::testing
