#pragma once

#include <adwaita.h>
#include <gtest/gtest.h>
#include <gtkmm.h>
#include <gtkmm/init.h>
#include <pwd.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/browser_store.h"
#include "model/localization.h"
#include "model/password_store.h"
#include "model/preferences_model.h"
#include "passwords/password_clipboard.h"
#include "passwords/passwords_window.h"
#include "support/fake_scheduler.h"
#include "support/fake_web_view.h"
#include "support/find_passwords.h"
#include "support/find_widget.h"
#include "support/interface_language.h"
#include "support/main_loop.h"
#include "support/memory_vault_storage.h"
#include "support/rendered_pixels.h"
#include "support/temp_home.h"
#include "support/x_input.h"
#include "web/favicon_loader.h"
#include "widgets/system_color_scheme.h"

// The passwords window over a store of its own and a vault in memory, under the virtual display,
// in Turkish, with animations off. The account password is checked by the test's PAM service
// (pam_wrapper with pam_matrix), which accepts kAccountPassword for the user running the tests.
namespace zemblo::testing {

using namespace std::chrono_literals;

inline void initializeDisplay() {
  static const bool initialized = [] {
    gtk_init();
    Gtk::init_gtkmm_internals();
    adw_init();
    g_object_set(gtk_settings_get_default(), "gtk-enable-animations", FALSE, nullptr);
    return true;
  }();
  (void)initialized;
}

inline Credential login(std::string host, std::string username, std::string password,
                        std::string title = {}) {
  Credential credential;
  credential.host = std::move(host);
  credential.url = "https://" + credential.host;
  credential.username = std::move(username);
  credential.password = std::move(password);
  credential.title = std::move(title);
  return credential;
}

// The name a login's row is announced by.
inline std::string rowName(const Credential& credential) {
  return credential.username + ", " + credential.host;
}

// Whether `widget` is in the part of its window's tree that is shown (when the window is).
inline bool shownInWindow(GtkWidget* widget) {
  for (GtkWidget* part = widget; part && !GTK_IS_WINDOW(part); part = gtk_widget_get_parent(part)) {
    if (!gtk_widget_get_visible(part) || !gtk_widget_get_child_visible(part)) return false;
  }
  return widget != nullptr;
}

// The text of the label at or under `root` with that widget name; empty when there is none.
inline std::string labelText(GtkWidget* root, const std::string& widgetName) {
  GtkWidget* label = findByWidgetName(root, widgetName);
  return label && GTK_IS_LABEL(label) ? gtk_label_get_text(GTK_LABEL(label)) : "";
}

class PasswordsHarness {
 public:
  static constexpr const char* kAccountPassword = "correct horse";

  explicit PasswordsHarness(const std::vector<Credential>& stored = {})
      : PasswordsHarness(stored.empty()
                             ? VaultStorage::ReadResult{VaultStorage::ReadStatus::notFound, {}, {}}
                             : VaultStorage::ReadResult{VaultStorage::ReadStatus::found,
                                                        *encodeCredentials(stored),
                                                        {}}) {}
  // A vault whose keyring item reads as given.
  explicit PasswordsHarness(VaultStorage::ReadResult read) {
    initializeDisplay();
    L10n::setEnglish(false);
    if (const char* passdb = std::getenv("PAM_MATRIX_PASSWD")) {
      std::ofstream(passdb) << userName() << ":" << kAccountPassword << ":"
                            << AccountAuthentication::kService << "\n";
    }
    vault->stored = std::move(read);
    BrowserStoreEnvironment environment;
    environment.defaults = &defaults;
    environment.vaultStorage = vault;
    store_ = BrowserStore::create(webViews_, std::move(environment));
    switchLanguage(store_->preferences(), AppLanguage::turkish);
    clipboard_ = std::make_unique<PasswordClipboard>(clock);
  }
  ~PasswordsHarness() {
    window_.reset();
    clipboard_.reset();
    store_.reset();
    L10n::setEnglish(false);
  }

  // Whether the test's PAM service is in place (the test command sets it up).
  static bool hasTestAccountService() { return std::getenv("PAM_WRAPPER") != nullptr; }

  PasswordsWindow& open(bool importing = false) {
    if (!scheme_) scheme_ = std::make_unique<SystemColorScheme>();
    window_ = std::make_unique<PasswordsWindow>(
        PasswordsWindow::Models{store_->passwords(), store_->preferences(),
                                store_->browserWindows(),
                                [this] { return usedLast ? usedLast : &store_->tabs(); }},
        favicons_, *scheme_, *clipboard_);
    if (importing) window_->requestImport();
    window_->present();
    EXPECT_TRUE(waitUntil([&] { return window_->get_mapped() && window_->get_width() > 0; }));
    pump();
    return *window_;
  }
  void close() { window_.reset(); }

  PasswordsWindow& window() { return *window_; }
  // The tabs of the browser window used last, as the application would tell the window at the
  // moment it asks: the store's first window unless a test sets it.
  WindowModel* usedLast = nullptr;
  BrowserStore& store() { return *store_; }
  PasswordStore& passwords() { return store_->passwords(); }
  PasswordClipboard& clipboard() { return *clipboard_; }

  // The window's controls, found by the names a screen reader announces (in the language of the
  // moment), or by their widget names where they have none.
  GtkWidget* root() { return GTK_WIDGET(window_->gobj()); }
  GtkWidget* control(const std::string& turkishName,
                     GtkAccessibleRole role = GTK_ACCESSIBLE_ROLE_BUTTON) {
    return findByAccessibleName(root(), localized(turkishName), role);
  }
  GtkWidget* passwordField() { return control("Hesap parolası", GTK_ACCESSIBLE_ROLE_TEXT_BOX); }
  GtkWidget* unlockButton() { return control("Kilidi Aç"); }
  GtkWidget* searchField() { return control("Ara", GTK_ACCESSIBLE_ROLE_SEARCH_BOX); }
  // The selected login's page.
  GtkWidget* detail() { return findByWidgetName(root(), "CredentialDetail"); }
  GtkWindow* importSheet() { return importSheetOver(window_->gobj()); }

  // Whether the unlock button shows its progress indicator in place of its label.
  bool showsProgress() {
    GtkWidget* button = unlockButton();
    GtkWidget* spinner =
        button ? findFirst(button, [](GtkWidget* w) { return GTK_IS_SPINNER(w); }) : nullptr;
    return spinner && shownInWindow(spinner);
  }
  // Whether the lock screen waits for the password (the system asked for it).
  bool awaitsPassword() { return lockBusy() && !showsProgress(); }
  // Whether the lock screen is marked busy for assistive technologies: the system's check of the
  // account password is under way, waiting for the password or checking it.
  bool lockBusy() {
    GtkWidget* lock = findFirst(root(), [](GtkWidget* widget) {
      return gtk_widget_has_css_class(widget, "locked-passwords");
    });
    if (!lock) return false;
    char* differs =
        gtk_test_accessible_check_state(GTK_ACCESSIBLE(lock), GTK_ACCESSIBLE_STATE_BUSY, TRUE);
    g_free(differs);
    return !differs;
  }
  // Real key presses on the window, with the keyboard focus where it is.
  void pressKeys(const std::string& keys) {
    runBesideMainLoop(xdotoolOn(GTK_WINDOW(window_->gobj()), "windowfocus --sync %1") +
                      " && xdotool key " + keys);
  }
  // Whether the window shows the logins rather than its lock screen.
  bool showsLogins() {
    GtkWidget* search = searchField();
    return search && shownInWindow(search);
  }
  // The failure the lock screen shows, or shows as soon as the window is locked again.
  std::optional<std::string> lockError() {
    GtkWidget* error = findByWidgetName(root(), "LockError");
    if (!error || !gtk_widget_get_visible(error)) return std::nullopt;
    return gtk_label_get_text(GTK_LABEL(error));
  }
  // The rows of the logins listed, top to bottom, by the names they are announced by.
  std::vector<std::string> shownLogins() {
    std::vector<std::string> names;
    for (GtkWidget* row : findAll(root(), [](GtkWidget* widget) {
           return gtk_widget_has_css_class(widget, "credential-row") && shownInWindow(widget);
         })) {
      names.push_back(accessibleName(row));
    }
    return names;
  }
  // The list's item for the login's row, which takes the focus for it.
  GtkWidget* listItem(const Credential& credential) {
    return findByAccessibleName(root(), rowName(credential), GTK_ACCESSIBLE_ROLE_LIST_ITEM);
  }
  // Selects the login's row as a click on it does.
  void select(const Credential& credential) {
    GtkWidget* item = listItem(credential);
    ASSERT_TRUE(item) << rowName(credential);
    gtk_widget_activate_action(item, "listitem.select", "(bb)", FALSE, FALSE);
    pump();
  }
  // The title of the status page of that widget name while it is shown, and its description;
  // empty when it is hidden.
  std::string statusTitle(const std::string& widgetName) {
    GtkWidget* page = findByWidgetName(root(), widgetName);
    return page && gtk_widget_get_visible(page) ? adw_status_page_get_title(ADW_STATUS_PAGE(page))
                                                : "";
  }
  std::string statusDescription(const std::string& widgetName) {
    GtkWidget* page = findByWidgetName(root(), widgetName);
    return page && gtk_widget_get_visible(page)
               ? adw_status_page_get_description(ADW_STATUS_PAGE(page))
               : "";
  }

  static void click(GtkWidget* button) {
    ASSERT_TRUE(button && GTK_IS_BUTTON(button));
    g_signal_emit_by_name(button, "clicked");
  }
  // Types into the password field and presses Unlock, as Return does.
  void enterPassword(const std::string& password) {
    EXPECT_TRUE(waitUntil([&] { return awaitsPassword() || !lockBusy(); }));
    gtk_editable_set_text(GTK_EDITABLE(passwordField()), password.c_str());
    click(unlockButton());
  }
  void unlock() {
    enterPassword(kAccountPassword);
    ASSERT_TRUE(waitUntil([&] { return showsLogins(); }));
    pump();
  }

  // The text on the desktop's clipboard; empty when it holds none.
  static std::string clipboardText() {
    auto board = Gdk::Display::get_default()->get_clipboard();
    std::optional<std::string> text;
    board->read_text_async([&](const Glib::RefPtr<Gio::AsyncResult>& result) {
      try {
        text = board->read_text_finish(result).raw();
      } catch (const Glib::Error&) {
        text = "";
      }
    });
    waitUntil([&] { return text.has_value(); });
    return text.value_or("");
  }

  // Saves a picture of the widget's window when ZEMBLO_SHOTS names a folder.
  static void shot(Gtk::Widget& widget, const std::string& name) {
    const char* folder = std::getenv("ZEMBLO_SHOTS");
    if (!folder) return;
    // A window that is being resized draws nothing until the new size is settled.
    for (int settled = 0, lastHeight = -1; settled < 3; pump()) {
      settled = widget.get_height() == lastHeight ? settled + 1 : 0;
      lastHeight = widget.get_height();
    }
    const int width = widget.get_width(), height = widget.get_height();
    GskRenderNode* node = drawnNodeOf(widget.gobj(), width, height);
    ASSERT_TRUE(node) << name;
    const graphene_rect_t viewport = GRAPHENE_RECT_INIT(0, 0, float(width), float(height));
    GskRenderer* renderer = gtk_native_get_renderer(widget.get_native()->gobj());
    GdkTexture* texture = gsk_renderer_render_texture(renderer, node, &viewport);
    const std::string file = std::string(folder) + "/" + name + ".png";
    EXPECT_TRUE(gdk_texture_save_to_png(texture, file.c_str())) << file;
    g_object_unref(texture);
    gsk_render_node_unref(node);
  }

  FakeScheduler clock;
  std::shared_ptr<MemoryVaultStorage> vault = std::make_shared<MemoryVaultStorage>();
  TempHome home;

 private:
  static std::string userName() {
    const passwd* entry = getpwuid(getuid());
    return entry ? entry->pw_name : "";
  }

  UserDefaults defaults{home.root() / "config" / "user-defaults.json"};
  std::shared_ptr<FakeEngine> webViews_ = std::make_shared<FakeEngine>();
  std::shared_ptr<BrowserStore> store_;
  std::unique_ptr<PasswordClipboard> clipboard_;
  FaviconLoader favicons_;
  std::unique_ptr<SystemColorScheme> scheme_;
  std::unique_ptr<PasswordsWindow> window_;
};

}  // namespace zemblo::testing
