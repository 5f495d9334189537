#pragma once

#include <memory>

#include <gtkmm.h>

#include "platform/observable.h"

namespace zemblo {

class BrowserStore;
class BrowserWindow;
class PasswordsWindow;
class SettingsView;

// The application: owns the one store of the process and the three single-instance windows
// (browser, passwords, settings), opened through the application actions "app.browser",
// "app.passwords" and "app.settings".
class ZembloApp : public Gtk::Application {
 public:
  static constexpr const char* kApplicationId = "com.pellobar.browser";

  static Glib::RefPtr<ZembloApp> create();
  ~ZembloApp() override;

  // Created on first use and kept for the life of the process.
  std::shared_ptr<BrowserStore> store();
  bool relaunchRequested() const { return relaunchRequested_; }

  void showBrowserWindow();
  void showPasswordsWindow();
  void showSettingsWindow();

 protected:
  ZembloApp();
  void on_startup() override;
  void on_activate() override;
  void on_shutdown() override;

 private:
  void requestRelaunch();
  void languageChanged();

  std::shared_ptr<BrowserStore> store_;
  std::unique_ptr<BrowserWindow> browserWindow_;
  std::unique_ptr<PasswordsWindow> passwordsWindow_;
  std::unique_ptr<SettingsView> settingsWindow_;
  std::unique_ptr<Observer> languageObserver_;
  bool relaunchRequested_ = false;
};

}  // namespace zemblo
