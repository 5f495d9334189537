#include <gtest/gtest.h>

#include "model/window_model.h"
#include "passwords/passwords_harness.h"
#include "support/x_input.h"
#include "widgets/symbol_icons.h"

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
  stored[1].lastUsed = Date{Date::now().secondsSince2001 - 9 * 60 - 5};
  PasswordsHarness harness(stored);
  harness.open();
  harness.unlock();
  const auto& vault = harness.passwords().credentials.peek();
  EXPECT_EQ(harness.shownLogins(),
            (std::vector<std::string>{rowName(vault[2]), rowName(vault[1]), rowName(vault[0])}));
  EXPECT_EQ(harness.statusDescription("PasswordsPlaceholder"), "3 kayıtlı şifre");

  harness.select(vault[1]);
  GtkWidget* detail = harness.detail();
  ASSERT_TRUE(detail);
  EXPECT_EQ(labelText(detail, "CredentialTitle"), "Work Mail");
  EXPECT_EQ(labelText(detail, "CredentialUsername"), "zed");
  EXPECT_EQ(labelText(detail, "CredentialPassword"), "••••••••");
  EXPECT_EQ(labelText(detail, "CredentialWebsite"), "Mail.example.test");
  EXPECT_FALSE(gtk_widget_get_visible(findByWidgetName(detail, "CredentialNotes")));
  // The date line fits on one line where the column has room, in the longer Turkish too.
  GtkWidget* date = findFirst(detail, [](GtkWidget* widget) {
    return gtk_widget_has_css_class(widget, "credential-date");
  });
  ASSERT_TRUE(date);
  EXPECT_EQ(gtk_label_get_text(GTK_LABEL(date)), std::string("Son kullanım: 9 dakika önce"));
  EXPECT_EQ(pango_layout_get_line_count(gtk_label_get_layout(GTK_LABEL(date))), 1);
  PasswordsHarness::click(findByAccessibleName(detail, "Göster"));
  EXPECT_EQ(labelText(detail, "CredentialPassword"), "pw-zed");
  PasswordsHarness::shot(harness.window(), "list-with-detail");

  GtkEditable* search = GTK_EDITABLE(harness.searchField());
  gtk_editable_set_text(search, "  WORK ");
  EXPECT_EQ(harness.shownLogins(), (std::vector<std::string>{rowName(vault[1])}));
  // A search that hides the selected login keeps its page.
  gtk_editable_set_text(search, "nothing like it");
  EXPECT_TRUE(harness.shownLogins().empty());
  EXPECT_EQ(harness.statusTitle("PasswordsEmptyState"), "“nothing like it” için sonuç yok");
  EXPECT_EQ(harness.detail(), detail);
  gtk_editable_set_text(search, "");
  EXPECT_EQ(harness.statusTitle("PasswordsEmptyState"), "");

  // Opening the site loads it in a new tab of the browser window used last at the press, which
  // was opened after this window.
  const size_t tabsBefore = harness.store().tabs().tabCount();
  WindowModel& other = harness.store().openWindow(false);
  harness.usedLast = &other;
  PasswordsHarness::click(findByAccessibleName(detail, "Tarayıcıda aç"));
  EXPECT_EQ(other.tabCount(), 1u);
  EXPECT_EQ(harness.store().tabs().tabCount(), tabsBefore);
}

// A press of the secondary button on the widget, as the click gestures in it take it.
void rightClick(GtkWidget* widget) {
  ASSERT_TRUE(widget);
  for (GtkWidget* part : findAll(widget, [](GtkWidget*) { return true; })) {
    GListModel* controllers = gtk_widget_observe_controllers(part);
    for (guint i = 0; i < g_list_model_get_n_items(controllers); ++i) {
      auto* controller = g_list_model_get_item(controllers, i);
      g_object_unref(controller);
      if (GTK_IS_GESTURE_CLICK(controller) &&
          gtk_gesture_single_get_button(GTK_GESTURE_SINGLE(controller)) == GDK_BUTTON_SECONDARY) {
        g_signal_emit_by_name(controller, "pressed", 1, 1.0, 1.0);
      }
    }
    g_object_unref(controllers);
  }
}

// The list's context menu while it is open.
GtkWidget* openMenu(PasswordsHarness& harness) {
  GtkWidget* item = harness.control("Sil");
  GtkWidget* menu = item ? gtk_widget_get_ancestor(item, GTK_TYPE_POPOVER) : nullptr;
  return menu && gtk_widget_get_visible(menu) ? menu : nullptr;
}

TEST_F(PasswordsBrowserTest, ShiftF10AndTheMenuKeyOpenTheFocusedRowsMenuWithTheKeyboardInIt) {
  PasswordsHarness harness(stored);
  harness.open().set_title("zemblo-passwords-test");
  harness.unlock();
  const auto press = [](const std::string& keys) {
    runBesideMainLoop(xdotoolOn("zemblo-passwords-test", "windowfocus --sync %1") +
                      " && xdotool key " + keys);
  };
  const auto menuHasFocus = [&] {
    GtkWidget* menu = openMenu(harness);
    GtkWidget* focus = gtk_root_get_focus(GTK_ROOT(harness.root()));
    return menu && focus && gtk_widget_is_ancestor(focus, menu);
  };
  const Credential shop = harness.passwords().credentials.peek()[0];
  GtkWidget* item = harness.listItem(shop);
  ASSERT_TRUE(item);
  gtk_widget_grab_focus(item);
  press("shift+F10");
  ASSERT_TRUE(waitUntil(menuHasFocus));
  press("Escape");
  ASSERT_TRUE(waitUntil([&] { return !openMenu(harness); }));
  EXPECT_EQ(harness.passwords().credentials.peek().size(), 3u);

  // Return on the menu's only item deletes the focused row's login, and no other.
  gtk_widget_grab_focus(item);
  press("Menu");
  ASSERT_TRUE(waitUntil(menuHasFocus));
  press("Return");
  EXPECT_TRUE(waitUntil([&] { return !harness.passwords().credential(shop.id); }));
  EXPECT_EQ(harness.passwords().credentials.peek().size(), 2u);
}

TEST_F(PasswordsBrowserTest, DeletesFromTheContextMenuAtOnceAndFromTheDetailAfterAsking) {
  PasswordsHarness harness(stored);
  harness.open();
  harness.unlock();
  const Credential shop = harness.passwords().credentials.peek()[0];
  const Credential ada = harness.passwords().credentials.peek()[2];

  harness.select(shop);
  rightClick(harness.listItem(shop));
  pump();
  ASSERT_TRUE(openMenu(harness));
  PasswordsHarness::click(harness.control("Sil"));
  // The list follows the vault on the main loop's next idle turn.
  EXPECT_TRUE(waitUntil([&] { return harness.shownLogins().size() == 2u; }));
  EXPECT_FALSE(harness.passwords().credential(shop.id));
  EXPECT_FALSE(harness.detail());
  EXPECT_EQ(harness.statusDescription("PasswordsPlaceholder"), "2 kayıtlı şifre");

  harness.select(ada);
  PasswordsHarness::click(findByAccessibleName(harness.detail(), "Şifreyi Sil"));
  AdwMessageDialog* dialog = nullptr;
  ASSERT_TRUE(waitUntil([&] { return (dialog = shownDialog()) != nullptr; }));
  EXPECT_STREQ(adw_message_dialog_get_body(dialog),
               "mail.example.test için kayıtlı şifre kalıcı olarak silinecek.");
  adw_message_dialog_response(dialog, "cancel");
  EXPECT_TRUE(harness.passwords().credential(ada.id));
  PasswordsHarness::click(findByAccessibleName(harness.detail(), "Şifreyi Sil"));
  ASSERT_TRUE(waitUntil([&] { return (dialog = shownDialog()) != nullptr; }));
  adw_message_dialog_response(dialog, "delete");
  EXPECT_TRUE(waitUntil([&] { return harness.shownLogins().size() == 1u; }));
  EXPECT_FALSE(harness.passwords().credential(ada.id));
}

TEST_F(PasswordsBrowserTest, AnEmptyVaultOffersAnImportAndAnUnreadableOneSaysSo) {
  {
    PasswordsHarness harness;
    harness.open();
    harness.unlock();
    EXPECT_EQ(harness.statusTitle("PasswordsEmptyState"), "Henüz şifre yok");
    EXPECT_EQ(harness.statusDescription("PasswordsPlaceholder"), "0 kayıtlı şifre");
    PasswordsHarness::click(harness.control("Şifreleri İçe Aktar"));
    ASSERT_TRUE(harness.importSheet());
  }
  PasswordsHarness unreadable(
      VaultStorage::ReadResult{VaultStorage::ReadStatus::failed, {}, "locked"});
  unreadable.open();
  unreadable.unlock();
  EXPECT_EQ(unreadable.statusTitle("PasswordsEmptyState"), "Şifrelere erişilemiyor");
}

TEST_F(PasswordsBrowserTest, ACopiedPasswordLeavesTheClipboardInTimeOrAtQuitButAUsernameStays) {
  PasswordsHarness harness(stored);
  harness.open();
  harness.unlock();
  harness.select(harness.passwords().credentials.peek()[0]);
  GtkWidget* copyPassword = findByAccessibleName(harness.detail(), "Şifreyi kopyala");
  GtkWidget* copyUsername = findByAccessibleName(harness.detail(), "Kopyala");
  // Which copy buttons show their checkmark.
  const auto checked = [&] {
    std::string marks;
    for (auto [button, tag] : {std::pair{copyUsername, "user"}, std::pair{copyPassword, "pass"}}) {
      if (gtk_button_get_icon_name(GTK_BUTTON(button)) ==
          std::string(symbolIconName("checkmark"))) {
        marks += tag;
      }
    }
    return marks;
  };

  PasswordsHarness::click(copyPassword);
  EXPECT_EQ(checked(), "pass");
  EXPECT_EQ(PasswordsHarness::clipboardText(), "pw-bob");
  harness.clock.advance(PasswordClipboard::kPasswordLifetime);
  EXPECT_EQ(PasswordsHarness::clipboardText(), "");

  PasswordsHarness::click(copyPassword);
  PasswordsHarness::click(copyUsername);  // takes the mark over at once
  EXPECT_EQ(checked(), "user");
  harness.clock.advance(PasswordClipboard::kPasswordLifetime);
  EXPECT_EQ(PasswordsHarness::clipboardText(), "bob");

  // Something copied since is left alone; a password still there goes at quit.
  PasswordsHarness::click(copyPassword);
  Gdk::Display::get_default()->get_clipboard()->set_text("copied elsewhere");
  harness.clock.advance(PasswordClipboard::kPasswordLifetime);
  EXPECT_EQ(PasswordsHarness::clipboardText(), "copied elsewhere");
  PasswordsHarness::click(copyPassword);
  harness.clipboard().clearPassword();
  EXPECT_EQ(PasswordsHarness::clipboardText(), "");
}

}  // namespace
}  // namespace zemblo::testing
