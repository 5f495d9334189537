#include "app/zemblo_app.h"

#include <adwaita.h>

#include <functional>
#include <memory>

#include "app/browser_commands.h"
#include "app/language_follower.h"
#include "app/profile_in_use_notice.h"
#include "model/browser_store.h"
#include "model/download_manager.h"
#include "model/external_address.h"
#include "model/localization.h"
#include "model/preferences_model.h"
#include "passwords/password_clipboard.h"
#include "passwords/passwords_window.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/profile_lock.h"
#include "settings/settings_view.h"
#include "sidebar/sidebar_view.h"
#include "web/favicon_loader.h"
#include "web/web_engine.h"
#include "widgets/symbol_icons.h"
#include "widgets/system_color_scheme.h"
#include "widgets/tooltip_guard.h"
#include "window/browser_window.h"
#include "window/download_destination_dialog.h"

namespace zemblo {
namespace {

template <class Window>
void present(Window& window, Gtk::Application& app) {
  if (!window.get_application()) app.add_window(window);
  window.present();
}

// Left to the toolkit, a closed window would be destroyed under the object that owns it, which
// then works on a dead window (the next opening, the end of the application). The window is
// hidden instead, after `first`, and dropped once its own signal has returned; the application
// ends with its last window.
template <class Window>
void dropWhenClosed(std::unique_ptr<Window>& owner, std::function<void()> first = nullptr) {
  owner->signal_close_request().connect(
      [&owner, first] {
        if (first) first();
        owner->set_visible(false);
        Glib::signal_idle().connect_once([&owner] {
          if (owner && !owner->get_visible()) owner.reset();
        });
        return true;
      },
      false);
}

}  // namespace

ZembloApp::ZembloApp() : Gtk::Application(kApplicationId, Gio::Application::Flags::HANDLES_OPEN) {}
ZembloApp::~ZembloApp() = default;

Glib::RefPtr<ZembloApp> ZembloApp::create() {
  return Glib::make_refptr_for_instance(new ZembloApp());
}

std::shared_ptr<BrowserStore> ZembloApp::store() {
  if (!store_) {
    if (!webEngine_) webEngine_ = std::make_shared<WebEngine>(Scheduler::mainLoop());
    UserDefaults& defaults = UserDefaults::standard();
    language_ = std::make_unique<LanguageFollower>(AppPreferences::load(defaults).language);
    store_ = BrowserStore::create(webEngine_, {.defaults = &defaults});
    language_->follow(store_->preferences());
    store_->downloads().setDestinationChooser([this](const auto& proposed, auto answer) {
      askDownloadDestination(browserWindow_.get(), proposed, std::move(answer));
    });
  }
  return store_;
}

void ZembloApp::on_startup() {
  if (!claimProfile()) {
    // Up only as far as a window that says so needs.
    Gtk::Application::on_startup();
    adw_init();
    Gtk::Window::set_default_icon_name(kApplicationId);
    return;
  }
  // The store asks for the selected tab's page first (the toolkit is up since construction), so
  // that the page's web process starts while the application, the style and the window are set
  // up; its navigation then waits only for the main loop.
  store();
  Gtk::Application::on_startup();
  adw_init();
  // Every window shows the application icon: from the icon theme when installed, else from our
  // resource, which holds it under the same name.
  registerSymbolIcons(Gdk::Display::get_default());
  Gtk::Window::set_default_icon_name(kApplicationId);
  process::handleTerminationSignals([this] { quitApplication(); });
  add_action("browser", [this] { showBrowserWindow(); });
  add_action("passwords", [this] { showPasswordsWindow(); });
  add_action("import-passwords", [this] { showPasswordsWindow(/*importing=*/true); });
  // Saves, then starts the browser anew (after a change of language).
  add_action("relaunch", [this] {
    store_->saveNow();
    requestRelaunch();
  });
  add_action("settings", [this] { showSettingsWindow(); });
  // Saves on the way out like closing the window does (in the shutdown handler).
  add_action("quit", [this] { quitApplication(); });
  set_accel_for_action("app.settings", "<Control>comma");
  // Every window of the application quits with it, a page's dialog included.
  set_accel_for_action("app.quit", "<Control>q");
  signal_window_added().connect([this](Gtk::Window* window) {
    if (browserMenu_ && window) browserMenu_->lendTabKeysTo(*window);
  });
  // Reading the language under observation rebuilds the language-keyed windows on every change.
  languageObserver_ =
      std::make_unique<Observer>([this, last = std::optional<AppLanguage>()]() mutable {
        const AppLanguage language = store_->preferences().prefs().language;
        if (last && *last != language) languageChanged();
        last = language;
      });
}

bool ZembloApp::claimProfile() {
  // Only the first start on this bus gets here; later ones hand their addresses to it and never
  // touch the profile.
  profileLock_ = std::make_unique<ProfileLock>(paths::appSupportDirectory());
  profileInUse_ = profileLock_->state() == ProfileLock::State::inUse;
  return !profileInUse_;
}

void ZembloApp::on_activate() {
  if (profileInUse_) {
    tellProfileInUse();
    return;
  }
  showBrowserWindow();
}

void ZembloApp::on_open(const type_vec_files& files, const Glib::ustring&) {
  if (profileInUse_) {
    tellProfileInUse();
    return;
  }
  showBrowserWindow();
  openAddresses(files);
}

void ZembloApp::openAddresses(const type_vec_files& files) {
  // In the order given, each after the one before, the last one selected.
  std::shared_ptr<BrowserTab> previous;
  for (const auto& file : files) {
    // Anyone on the bus can ask: what the command line would refuse is refused here too.
    const std::string uri = file->get_uri();
    const auto address = openableAddress(uri);
    if (!address) {
      g_warning("not opened from another program: %s", uri.c_str());
      continue;
    }
    previous = store_->tabs().openTab(*address, /*inBackground=*/false, previous);
  }
}

void ZembloApp::tellProfileInUse() {
  if (!profileInUseNotice_) {
    L10n::setEnglish(isEnglish(AppPreferences::load().language));
    profileInUseNotice_ = std::make_unique<ProfileInUseNotice>(*this);
  }
  profileInUseNotice_->present();
}

void ZembloApp::on_shutdown() {
  // The windows go at once; the process stays a little longer for the keyring's answers, which
  // come on the main loop, so that a password saved just before quitting is kept.
  for (auto* window : get_windows()) window->set_visible(false);
  if (store_) store_->finishPasswordWrites(kKeyringWriteLimit);

  // The last save of the session; a debounced save still pending never runs. The process must
  // not end before what was handed to the disk is there, settings included.
  if (store_) {
    store_->saveNow();
    store_->finishWrites();
  }
  // A running download must not hold the process: it stops and its partial file goes.
  if (store_) store_->downloads().cancelAll();
  // A copied password must not stay on the clipboard once the browser is gone.
  if (passwordClipboard_) passwordClipboard_->clearPassword();
  languageObserver_.reset();
  commandsObserver_.reset();
  Gtk::Application::on_shutdown();
}

const SystemColorScheme& ZembloApp::colorScheme() {
  if (!colorScheme_) colorScheme_ = std::make_unique<SystemColorScheme>();
  return *colorScheme_;
}

FaviconLoader& ZembloApp::favicons() {
  if (!favicons_) favicons_ = std::make_unique<FaviconLoader>();
  return *favicons_;
}

void ZembloApp::showBrowserWindow() {
  if (!browserWindow_) {
    browserWindow_ =
        std::make_unique<BrowserWindow>(*store(), favicons(), Scheduler::mainLoop(), colorScheme());
    // The menu's popover, actions and shortcuts are on the window: they go first.
    dropWhenClosed(browserWindow_, [this] {
      commandsObserver_.reset();
      browserMenu_.reset();
    });
  }
  if (!browserMenu_) attachBrowserCommands();
  present(*browserWindow_, *this);
}

void ZembloApp::attachBrowserCommands() {
  // The menus are built again, with a new commands value, whenever the interface language or the
  // page dark mode changes; no other setting touches them.
  commandsObserver_ = std::make_unique<Observer>([this] {
    const AppPreferences& prefs = store_->preferences().prefs();
    BrowserCommands commands(*store_, prefs.language, prefs.pageDarkMode);
    if (!browserMenu_) {
      browserMenu_ = std::make_unique<BrowserMenu>(*browserWindow_, std::move(commands));
      return;
    }
    const BrowserCommands& shown = browserMenu_->commands();
    if (shown.language != commands.language || shown.pageDarkMode != commands.pageDarkMode) {
      browserMenu_->setCommands(std::move(commands));
    }
  });
}

void ZembloApp::showPasswordsWindow(bool importing) {
  if (!passwordsWindow_) {
    if (!passwordClipboard_) {
      passwordClipboard_ = std::make_unique<PasswordClipboard>(Scheduler::mainLoop());
    }
    passwordsWindow_ =
        std::make_unique<PasswordsWindow>(*store(), favicons(), colorScheme(), *passwordClipboard_);
    dropWhenClosed(passwordsWindow_);
    if (browserWindow_) {
      hideTooltipWhileOpen(browserWindow_->sidebarView().bottomBar().passwordsButton(),
                           *passwordsWindow_);
    }
  }
  if (importing) passwordsWindow_->requestImport();
  present(*passwordsWindow_, *this);
}

void ZembloApp::showSettingsWindow() {
  if (!settingsWindow_) {
    settingsWindow_ = std::make_unique<SettingsView>(*store(), favicons(), colorScheme());
    dropWhenClosed(settingsWindow_);
    if (browserWindow_) {
      hideTooltipWhileOpen(browserWindow_->sidebarView().bottomBar().settingsButton(),
                           *settingsWindow_);
    }
  }
  present(*settingsWindow_, *this);
}

void ZembloApp::languageChanged() {
  if (browserWindow_) browserWindow_->rebuildContent();
  if (passwordsWindow_) passwordsWindow_->rebuildContent();
  // The sidebar's buttons are new: windows already open keep them clear of tooltips as well.
  if (!browserWindow_) return;
  auto& bar = browserWindow_->sidebarView().bottomBar();
  if (passwordsWindow_) hideTooltipWhileOpen(bar.passwordsButton(), *passwordsWindow_);
  if (settingsWindow_) hideTooltipWhileOpen(bar.settingsButton(), *settingsWindow_);
}

void ZembloApp::requestRelaunch() {
  relaunchRequested_ = true;
  quitApplication();
}

void ZembloApp::quitApplication() {
  // A print dialog runs a main loop of its own: the application's can't end before it does.
  if (webEngine_) webEngine_->closePrintDialogs();
  quit();
}

}  // namespace zemblo
