#include "passwords/passwords_browser.h"
#include "model/tabs_model.h"

#include <gtest/gtest.h>

#include "passwords/credential_detail.h"
#include "passwords/credential_row.h"
#include "passwords/import_passwords_sheet.h"
#include "passwords/passwords_harness.h"
#include "support/x_input.h"

namespace zemblo::testing {
namespace {

class PasswordsBrowserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!PasswordsHarness::hasTestAccountService()) GTEST_SKIP() << "needs the test PAM service";
  }

  std::vector<Credential> stored = {login("shop.example.test", "bob", "pw-bob"),
                                    login("Mail.example.test", "zed", "pw-zed", "Work Mail"),
                                    login("mail.example.test", "ada", "pw-ada")};
};

// The dialog the window shows on top of itself, if any.
AdwMessageDialog* shownDialog() {
  GListModel* toplevels = gtk_window_get_toplevels();
  for (guint i = 0; i < g_list_model_get_n_items(toplevels); ++i) {
    auto* window = static_cast<GObject*>(g_list_model_get_item(toplevels, i));
    g_object_unref(window);
    if (ADW_IS_MESSAGE_DIALOG(window) && gtk_widget_get_visible(GTK_WIDGET(window))) {
      return ADW_MESSAGE_DIALOG(window);
    }
  }
  return nullptr;
}

TEST_F(PasswordsBrowserTest, ListsSearchesAndShowsTheSelectedLogin) {
  PasswordsHarness harness(stored);
  harness.open();
  harness.unlock();
  PasswordsBrowser& browser = *harness.window().browser();
  const auto& vault = harness.passwords().credentials.peek();
  EXPECT_EQ(browser.shownIds(), (std::vector<Uuid>{vault[2].id, vault[1].id, vault[0].id}));
  EXPECT_EQ(browser.placeholderDescription(), "3 kayıtlı şifre");

  browser.select(vault[1].id);
  CredentialDetail* detail = browser.detail();
  ASSERT_TRUE(detail);
  EXPECT_EQ(detail->title().get_text(), "Work Mail");
  EXPECT_EQ(detail->usernameValue().get_text(), "zed");
  EXPECT_EQ(detail->passwordValue().get_text(), "••••••••");
  EXPECT_EQ(detail->websiteValue().get_text(), "Mail.example.test");
  EXPECT_FALSE(detail->notesBlock().get_visible());
  detail->toggleReveal();
  EXPECT_EQ(detail->passwordValue().get_text(), "pw-zed");
  PasswordsHarness::shot(harness.window(), "list-with-detail");

  browser.searchEntry().set_text("  WORK ");
  EXPECT_EQ(browser.shownIds(), (std::vector<Uuid>{vault[1].id}));
  // A search that hides the selected login keeps its page.
  browser.searchEntry().set_text("nothing like it");
  EXPECT_TRUE(browser.shownIds().empty());
  EXPECT_EQ(browser.emptyStateTitle(), "“nothing like it” için sonuç yok");
  EXPECT_EQ(browser.detail(), detail);
  browser.searchEntry().set_text("");
  EXPECT_EQ(browser.emptyStateTitle(), "");

  // Opening the site loads it in a new tab of the browser.
  const size_t tabsBefore = harness.store().tabs().currentSpace()->tabs.peek().size();
  detail->openSite();
  EXPECT_EQ(harness.store().tabs().currentSpace()->tabs.peek().size(), tabsBefore + 1);
}

// The list's item that holds the login's row, which takes the focus for it.
Gtk::Widget* listItemOf(Gtk::Widget& widget, const Uuid& id) {
  for (Gtk::Widget* child = widget.get_first_child(); child; child = child->get_next_sibling()) {
    if (auto* row = dynamic_cast<CredentialRow*>(child); row && row->credentialId() == id) {
      return &widget;
    }
    if (Gtk::Widget* found = listItemOf(*child, id)) return found;
  }
  return nullptr;
}

TEST_F(PasswordsBrowserTest, ShiftF10AndTheMenuKeyOpenTheFocusedRowsMenuWithTheKeyboardInIt) {
  PasswordsHarness harness(stored);
  harness.open().set_title("zemblo-passwords-test");
  harness.unlock();
  PasswordsBrowser& browser = *harness.window().browser();
  const auto press = [](const std::string& keys) {
    runBesideMainLoop(xdotoolOn("zemblo-passwords-test", "windowfocus --sync %1") +
                      " && xdotool key " + keys);
  };
  const auto menuHasFocus = [&] {
    Gtk::Widget* focus = harness.window().get_focus();
    return browser.contextMenu().get_visible() && focus &&
           focus->is_ancestor(browser.contextMenu());
  };
  const Uuid shop = harness.passwords().credentials.peek()[0].id;
  Gtk::Widget* item = listItemOf(browser.list(), shop);
  ASSERT_TRUE(item);
  item->grab_focus();
  press("shift+F10");
  ASSERT_TRUE(waitUntil(menuHasFocus));
  press("Escape");
  ASSERT_TRUE(waitUntil([&] { return !browser.contextMenu().get_visible(); }));
  EXPECT_EQ(harness.passwords().credentials.peek().size(), 3u);

  // Return on the menu's only item deletes the focused row's login, and no other.
  item->grab_focus();
  press("Menu");
  ASSERT_TRUE(waitUntil(menuHasFocus));
  press("Return");
  EXPECT_TRUE(waitUntil([&] { return !harness.passwords().credential(shop); }));
  EXPECT_EQ(harness.passwords().credentials.peek().size(), 2u);
}

TEST_F(PasswordsBrowserTest, DeletesFromTheContextMenuAtOnceAndFromTheDetailAfterAsking) {
  PasswordsHarness harness(stored);
  harness.open();
  harness.unlock();
  PasswordsBrowser& browser = *harness.window().browser();
  const Uuid shop = harness.passwords().credentials.peek()[0].id;
  const Uuid ada = harness.passwords().credentials.peek()[2].id;

  browser.select(shop);
  browser.showContextMenu(shop);
  pump();
  EXPECT_TRUE(browser.contextMenu().get_visible());
  PasswordsHarness::click(*static_cast<Gtk::Button*>(browser.contextMenu().get_child()));
  // The list follows the vault on the main loop's next idle turn.
  EXPECT_TRUE(waitUntil([&] { return browser.shownIds().size() == 2u; }));
  EXPECT_FALSE(harness.passwords().credential(shop));
  EXPECT_FALSE(browser.detail());
  EXPECT_EQ(browser.placeholderDescription(), "2 kayıtlı şifre");

  browser.select(ada);
  PasswordsHarness::click(browser.detail()->deleteButton());
  AdwMessageDialog* dialog = nullptr;
  ASSERT_TRUE(waitUntil([&] { return (dialog = shownDialog()) != nullptr; }));
  EXPECT_STREQ(adw_message_dialog_get_body(dialog),
               "mail.example.test için kayıtlı şifre kalıcı olarak silinecek.");
  adw_message_dialog_response(dialog, "cancel");
  EXPECT_TRUE(harness.passwords().credential(ada));
  PasswordsHarness::click(browser.detail()->deleteButton());
  ASSERT_TRUE(waitUntil([&] { return (dialog = shownDialog()) != nullptr; }));
  adw_message_dialog_response(dialog, "delete");
  EXPECT_TRUE(waitUntil([&] { return browser.shownIds().size() == 1u; }));
  EXPECT_FALSE(harness.passwords().credential(ada));
}

TEST_F(PasswordsBrowserTest, AnEmptyVaultOffersAnImportAndAnUnreadableOneSaysSo) {
  {
    PasswordsHarness harness;
    harness.open();
    harness.unlock();
    PasswordsBrowser& browser = *harness.window().browser();
    EXPECT_EQ(browser.emptyStateTitle(), "Henüz şifre yok");
    EXPECT_EQ(browser.placeholderDescription(), "0 kayıtlı şifre");
    harness.window().showImport();
    ASSERT_TRUE(harness.window().importSheet());
  }
  PasswordsHarness unreadable(
      VaultStorage::ReadResult{VaultStorage::ReadStatus::failed, {}, "locked"});
  unreadable.open();
  unreadable.unlock();
  EXPECT_EQ(unreadable.window().browser()->emptyStateTitle(), "Şifrelere erişilemiyor");
}

TEST_F(PasswordsBrowserTest, ACopiedPasswordLeavesTheClipboardInTimeOrAtQuitButAUsernameStays) {
  PasswordsHarness harness(stored);
  harness.open();
  harness.unlock();
  PasswordsBrowser& browser = *harness.window().browser();
  browser.select(harness.passwords().credentials.peek()[0].id);
  CredentialDetail& detail = *browser.detail();

  detail.copyPassword();
  EXPECT_EQ(detail.copied(), "pass");
  EXPECT_EQ(PasswordsHarness::clipboardText(), "pw-bob");
  harness.clock.advance(PasswordClipboard::kPasswordLifetime);
  EXPECT_EQ(PasswordsHarness::clipboardText(), "");

  detail.copyPassword();
  detail.copyUsername();  // takes the mark over at once
  EXPECT_EQ(detail.copied(), "user");
  harness.clock.advance(PasswordClipboard::kPasswordLifetime);
  EXPECT_EQ(PasswordsHarness::clipboardText(), "bob");

  // Something copied since is left alone; a password still there goes at quit.
  detail.copyPassword();
  Gdk::Display::get_default()->get_clipboard()->set_text("copied elsewhere");
  harness.clock.advance(PasswordClipboard::kPasswordLifetime);
  EXPECT_EQ(PasswordsHarness::clipboardText(), "copied elsewhere");
  detail.copyPassword();
  harness.clipboard().clearPassword();
  EXPECT_EQ(PasswordsHarness::clipboardText(), "");
}

}  // namespace
}  // namespace zemblo::testing
