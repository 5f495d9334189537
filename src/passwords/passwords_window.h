#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <gtkmm.h>

#include "passwords/locked_passwords_view.h"
#include "platform/account_authentication.h"

namespace zemblo {

class FaviconLoader;
class ImportPasswordsSheet;
class PasswordClipboard;
class PasswordsBrowser;
class PasswordsStyle;
class PasswordStore;
class PreferencesModel;
class SystemColorScheme;
class BrowserWindows;
class WindowModel;

// The passwords window. It opens locked and asks for the account password at once; a right
// answer shows the saved logins, and every new appearance of the window (a new window after a
// close, or the content rebuilt for another language) is locked again. It answers a request to
// import (the application's "import-passwords") with the import sheet, over the lock screen or
// the logins, without asking for the password first. Ctrl+W closes it.
class PasswordsWindow : public Gtk::Window {
 public:
  static constexpr int kDefaultWidth = 860;
  static constexpr int kDefaultHeight = 560;
  static constexpr int kMinimumWidth = 760;
  static constexpr int kMinimumHeight = 480;

  // What the window shows and changes; all of it outlives the window.
  struct Models {
    PasswordStore& passwords;
    PreferencesModel& preferences;
    // The first window's current space tints the window.
    const BrowserWindows& windows;
    // The tabs of the browser window the user used last, where a login's website opens; none
    // while no browser window is open.
    std::function<WindowModel*()> lastUsedTabs;
  };

  PasswordsWindow(const Models& models, FaviconLoader& favicons, const SystemColorScheme& scheme,
                  PasswordClipboard& clipboard);
  ~PasswordsWindow() override;

  // Fresh state in the interface language of the moment: locked, no sheet.
  void rebuildContent();

  // Unlocks with the password field's text, or answers the question waiting for it.
  void authenticate();
  // Shows the import sheet now when the window is on screen, else as soon as it appears.
  void requestImport();

 protected:
  void on_map() override;
  void on_unmap() override;

 private:
  // Ends an authentication silently.
  void cancelAuthentication();
  void showImport();
  void handleImportRequest();
  void takeImportRequest();
  void startAttempt();
  void questionAsked(const std::string& prompt, bool secret);
  void attemptFinished(const AccountAuthentication::Result& result);
  void showState();
  void lock();
  void closeImport();

  Models models_;
  FaviconLoader& favicons_;
  const SystemColorScheme& scheme_;
  PasswordClipboard& clipboard_;
  std::unique_ptr<PasswordsStyle> style_;
  bool unlocked_ = false;
  std::optional<std::string> authError_;
  std::unique_ptr<AccountAuthentication> attempt_;
  bool awaitingAnswer_ = false;
  int questionsAsked_ = 0;
  std::optional<std::string> prompt_;
  std::optional<std::string> notice_;

  Gtk::HeaderBar header_;
  Gtk::Button import_;
  Gtk::Stack content_;
  std::unique_ptr<LockedPasswordsView> locked_;
  std::unique_ptr<PasswordsBrowser> browser_;
  std::unique_ptr<ImportPasswordsSheet> sheet_;
  sigc::connection sheetDisposal_;
  bool importRequested_ = false;
};

}  // namespace zemblo
