#include "app/zemblo_app.h"

#include <adwaita.h>

#include <functional>
#include <memory>
#include <utility>

#include "app/browser_commands.h"
#include "app/language_follower.h"
#include "app/profile_in_use_notice.h"
#include "app/view_models.h"
#include "model/browser_store.h"
#include "model/download_manager.h"
#include "model/external_address.h"
#include "model/localization.h"
#include "model/preferences_model.h"
#include "model/tab_opening_queue.h"
#include "model/window_model.h"
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

ZembloApp::ZembloApp() : Gtk::Application(kApplicationId, Gio::Application::Flags::HANDLES_OPEN) {
  // The desktop entry's actions start the browser with these; a running browser takes them over
  // the bus.
  add_main_option_entry(Gio::Application::OptionType::BOOL, "new-window", '\0',
                        "Open a new browser window");
  add_main_option_entry(Gio::Application::OptionType::BOOL, "new-private-window", '\0',
                        "Open a new private browser window");
  signal_handle_local_options().connect(sigc::mem_fun(*this, &ZembloApp::handleLocalOptions),
                                        false);
}

int ZembloApp::handleLocalOptions(const Glib::RefPtr<Glib::VariantDict>& options) {
  const bool window = options->contains("new-window");
  const bool privateWindow = options->contains("new-private-window");
  if (!window && !privateWindow) return -1;
  try {
    register_application();
  } catch (const Glib::Error& error) {
    g_warning("The browser could not register on the bus: %s", error.what());
    return 1;
  }
  // A first start opens its session's windows, as without the option; the private window, or the
  // window the addresses open in, comes on top of them.
  if (!is_remote()) {
    if (!launchAddresses_.empty()) {
      launchWindowIsPrivate_ = privateWindow;
    } else if (privateWindow) {
      signal_activate().connect([this] { activate_action("new-private-window"); }, true);
    }
    return -1;
  }
  // Taken over the bus by the running browser; the addresses go along with the window, or they
  // would be lost with this process.
  if (launchAddresses_.empty()) {
    activate_action(privateWindow ? "new-private-window" : "new-window");
  } else {
    std::vector<Glib::ustring> addresses(launchAddresses_.begin(), launchAddresses_.end());
    activate_action(privateWindow ? "open-all-in-new-private-window" : "open-all-in-new-window",
                    Glib::Variant<std::vector<Glib::ustring>>::create(addresses));
  }
  return 0;
}

// Each part goes before what it uses, whatever order the members are declared in: a member added
// in the wrong place must not leave a window or an observer to outlive the models it reads. A
// quit (on_shutdown) has let go of the windows, the store and the engine already; a run that
// never started (the profile was another session's) or never shut down ends here alone.
ZembloApp::~ZembloApp() {
  // The start's windows, the observers of the preferences and of the window turns, and the
  // addresses waiting for a window reach the windows and the store.
  startWindows_.disconnect();
  languageObserver_.reset();
  commandsObserver_.reset();
  openings_.reset();
  closeEveryWindow();
  // A copied password is cleared after its window has closed.
  passwordClipboard_.reset();
  colorScheme_.reset();
  // It lets go of the store's preferences, the store of the engine it shares.
  language_.reset();
  store_.reset();
  webEngine_.reset();
  profileInUseNotice_.reset();
  // After every save of this run: another start may take the profile from here on.
  profileLock_.reset();
}

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
      askDownloadDestination(activeBrowserWindow(), proposed, std::move(answer));
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
  openings_ = std::make_unique<TabOpeningQueue>(Scheduler::mainLoop());
  Gtk::Application::on_startup();
  adw_init();
  // Every window shows the application icon: from the icon theme when installed, else from our
  // resource, which holds it under the same name.
  registerSymbolIcons(Gdk::Display::get_default());
  Gtk::Window::set_default_icon_name(kApplicationId);
  process::handleTerminationSignals([this] { quitApplication(); });
  add_action("browser", [this] { showBrowserWindow(); });
  addWindowActions();
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
    if (!window) return;
    for (auto& open : browserWindows_) {
      if (open.menu) open.menu->lendTabKeysTo(*window);
    }
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
  profileLock_ = std::make_unique<ProfileLock>(paths::appSupportDirectory(), sessionBusAddress());
  profileInUse_ = profileLock_->state() == ProfileLock::State::inUse;
  return !profileInUse_;
}

std::string ZembloApp::sessionBusAddress() {
  if (const char* address = g_getenv("DBUS_SESSION_BUS_ADDRESS"); address && *address) {
    return address;
  }
  // Where GLib looks when the variable is not set.
  const std::string socket = std::string(g_get_user_runtime_dir()) + "/bus";
  return g_file_test(socket.c_str(), G_FILE_TEST_EXISTS) ? "unix:path=" + socket : "";
}

void ZembloApp::on_activate() {
  if (profileInUse_) {
    tellProfileInUse();
    return;
  }
  if (!std::exchange(activated_, true)) {
    showBrowserWindowSoon();
    return;
  }
  showBrowserWindow();
}

void ZembloApp::showBrowserWindowSoon() {
  // The engine takes up the web process the store launched for the selected tab on the main
  // loop's first turns, and the page waits for that before it is asked for. Building and showing
  // the windows takes a good part of the start: they come right after those turns, ahead of the
  // toolkit's first layout and drawing.
  hold();
  startWindows_ = Glib::signal_idle().connect(
      [this] {
        showBrowserWindow();
        return false;
      },
      Glib::PRIORITY_HIGH_IDLE + 5);
}

void ZembloApp::on_open(const type_vec_files& files, const Glib::ustring&) {
  if (profileInUse_) {
    tellProfileInUse();
    return;
  }
  if (const auto isPrivate = std::exchange(launchWindowIsPrivate_, std::nullopt)) {
    showBrowserWindow();
    std::vector<Glib::ustring> addresses;
    for (const auto& file : files) addresses.push_back(file->get_uri());
    openInNewWindow(*isPrivate, addresses);
    return;
  }
  std::vector<Url> openable;
  for (const auto& file : files) {
    // Anyone on the bus can ask: what the command line would refuse is refused here too.
    const std::string uri = file->get_uri();
    if (auto address = openableAddress(uri)) {
      openable.push_back(std::move(*address));
    } else {
      g_warning("not opened from another program: %s", uri.c_str());
    }
  }
  if (openable.empty()) {
    showBrowserWindow();
    return;
  }
  present(windowForLinks(), *this);
  // Each batch goes to the window used last by then; the user may have moved on.
  openings_->open(std::move(openable), [this] { return &windowForLinks().tabs(); });
}

BrowserWindow& ZembloApp::windowForLinks() {
  finishClosingWindows();
  if (browserWindows_.empty()) showBrowserWindow();
  // A private window would take the page with it when it closes, and the user never chose it
  // for a link of another program.
  for (Gtk::Window* shown : get_windows()) {
    auto* window = dynamic_cast<BrowserWindow*>(shown);
    if (window && window->get_visible() && !window->tabs().isPrivate()) return *window;
  }
  BrowserWindow& window = addBrowserWindow(store()->openWindow(false));
  present(window, *this);
  return window;
}

void ZembloApp::tellProfileInUse() {
  if (!profileInUseNotice_) {
    L10n::setEnglish(isEnglish(AppPreferences::load().language));
    profileInUseNotice_ = std::make_unique<ProfileInUseNotice>(this);
  }
  profileInUseNotice_->present();
}

void ZembloApp::on_shutdown() {
  startWindows_.disconnect();
  // Addresses still waiting are the user's too: they are saved as tabs, into the windows they
  // were going to while those are still there.
  if (openings_) openings_->finish();
  // The windows go at once; the process stays a little longer for the keyring's answers, which
  // come on the main loop, so that a password saved just before quitting is kept.
  // The least recently used go first: a browser window remembers its size as it is hidden, and
  // the next start opens at the size of the one the user used last.
  const auto windows = get_windows();
  for (auto window = windows.rbegin(); window != windows.rend(); ++window) {
    (*window)->set_visible(false);
  }
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
  letTheEngineFinish();
  Gtk::Application::on_shutdown();
}

void ZembloApp::letTheEngineFinish() {
  if (!webEngine_) return;
  // Every web view goes with its window and its tab, the sessions with the engine: its network
  // process then writes what the pages stored, which a quit right after a page's write would
  // otherwise lose.
  closeEveryWindow();
  store_.reset();
  webEngine_.reset();
  WebEngine::awaitNetworkProcessEnd(kSiteDataWriteLimit);
}

void ZembloApp::closeEveryWindow() {
  closingWindows_.clear();
  for (auto& open : browserWindows_) {
    // The menu's popover, actions and shortcuts are on the window: they go first.
    open.menu.reset();
    open.window.reset();
  }
  browserWindows_.clear();
  passwordsWindow_.reset();
  settingsWindow_.reset();
}

const SystemColorScheme& ZembloApp::colorScheme() {
  if (!colorScheme_) colorScheme_ = std::make_unique<SystemColorScheme>();
  return *colorScheme_;
}

FaviconLoader& ZembloApp::favicons() {
  // The engine's: the icons its pages report are already there when a view asks.
  store();
  return webEngine_->favicons();
}

void ZembloApp::addWindowActions() {
  add_action("new-window", [this] { openNewWindow(false); });
  add_action("new-private-window", [this] { openNewWindow(true); });
  // What "Open Link in New Window" calls, with the address as its parameter.
  const auto withAddress = [this](bool isPrivate) {
    return [this, isPrivate](const Glib::VariantBase& parameter) {
      const auto text = Glib::VariantBase::cast_dynamic<Glib::Variant<Glib::ustring>>(parameter);
      openInNewWindow(isPrivate, {text.get()});
    };
  };
  add_action_with_parameter("open-in-new-window", Glib::VARIANT_TYPE_STRING, withAddress(false));
  add_action_with_parameter("open-in-new-private-window", Glib::VARIANT_TYPE_STRING,
                            withAddress(true));
  // What a second start with --new-window and addresses hands over.
  const auto withAddresses = [this](bool isPrivate) {
    return [this, isPrivate](const Glib::VariantBase& parameter) {
      using Texts = Glib::Variant<std::vector<Glib::ustring>>;
      openInNewWindow(isPrivate, Glib::VariantBase::cast_dynamic<Texts>(parameter).get());
    };
  };
  add_action_with_parameter("open-all-in-new-window", Glib::VARIANT_TYPE_STRING_ARRAY,
                            withAddresses(false));
  add_action_with_parameter("open-all-in-new-private-window", Glib::VARIANT_TYPE_STRING_ARRAY,
                            withAddresses(true));
  set_accel_for_action("app.new-window", "<Control>n");
  set_accel_for_action("app.new-private-window", "<Control><Shift>n");
}

BrowserWindow* ZembloApp::browserWindow() const {
  return browserWindows_.empty() ? nullptr : browserWindows_.front().window.get();
}

BrowserWindow* ZembloApp::activeBrowserWindow() const {
  // The application keeps its windows with the most recently focused first.
  for (Gtk::Window* window : const_cast<ZembloApp*>(this)->get_windows()) {
    for (const auto& open : browserWindows_) {
      if (open.window.get() == window && window->get_visible()) return open.window.get();
    }
  }
  return browserWindow();
}

WindowModel* ZembloApp::lastUsedTabs() const {
  windowTurns_.get();  // read for its changes alone
  // A window being closed is hidden at once: it is passed over for the one used before it.
  BrowserWindow* window = activeBrowserWindow();
  return window && window->get_visible() ? &window->tabs() : nullptr;
}

void ZembloApp::showBrowserWindow() {
  const bool startWindowsWaited = startWindows_.connected();
  startWindows_.disconnect();
  finishClosingWindows();
  if (browserWindows_.empty()) {
    auto windows = store()->windows();
    if (windows.empty()) windows.push_back(&store_->openWindow(false));
    for (WindowModel* tabs : windows) present(addBrowserWindow(*tabs), *this);
  }
  // The first window of the session stays in front, as with a single window.
  if (auto* window = browserWindows_.size() > 1 ? activeBrowserWindow() : browserWindow()) {
    present(*window, *this);
  }
  if (startWindowsWaited) release();
}

void ZembloApp::openInNewWindow(bool isPrivate, const std::vector<Glib::ustring>& addresses) {
  std::vector<Url> openable;
  for (const auto& text : addresses) {
    // Anyone on the bus can ask: only what a link may open is opened.
    if (auto address = openableAddress(std::string(text))) {
      openable.push_back(std::move(*address));
    } else {
      g_warning("not opened in a new window: %s", text.c_str());
    }
  }
  if (!openable.empty()) openNewWindow(isPrivate, openable);
}

void ZembloApp::openNewWindow(bool isPrivate, const std::vector<Url>& addresses) {
  const auto openAll = [this, &addresses](WindowModel& tabs) {
    // Into this window only: a request whose window has closed ends with it.
    openings_->open(addresses, [this, target = &tabs]() -> WindowModel* {
      for (const auto& open : browserWindows_) {
        if (&open.window->tabs() == target) return target;
      }
      return nullptr;
    });
  };
  // The session's windows of a start that are still to come go below the new one.
  if (startWindows_.connected()) showBrowserWindow();
  // A window closed on this turn is gone first: its private session must not pass to the new one.
  finishClosingWindows();
  if (browserWindows_.empty() && !isPrivate) {
    showBrowserWindow();
    openAll(store_->tabs());
    return;
  }
  WindowModel& tabs = store()->openWindow(isPrivate);
  BrowserWindow& window = addBrowserWindow(tabs);
  present(window, *this);
  if (!addresses.empty()) {
    openAll(tabs);
  } else if (!tabs.selectedTab()) {
    window.openNewTab();
  }
}

BrowserWindow& ZembloApp::addBrowserWindow(WindowModel& tabs) {
  const AppPreferences& prefs = store()->preferences().observablePrefs().peek();
  OpenBrowserWindow open;
  open.window = std::make_unique<BrowserWindow>(browserWindowModels(*store_, tabs), favicons(),
                                                Scheduler::mainLoop(), colorScheme());
  open.menu = std::make_unique<BrowserMenu>(
      *open.window, BrowserCommands(*store_, prefs.language, prefs.pageDarkMode, &tabs));
  BrowserWindow& window = *open.window;
  // Left to the toolkit, a closed window would be destroyed under the object that owns it: it is
  // hidden instead, and dropped once its own signal has returned.
  window.signal_close_request().connect(
      [this, &window] {
        window.set_visible(false);
        closingWindows_.push_back(&window);
        Glib::signal_idle().connect_once([this] { finishClosingWindows(); });
        return true;
      },
      false);
  const auto turned = [this] { windowTurns_.mutate([](unsigned& turns) { ++turns; }); };
  window.property_is_active().signal_changed().connect([turned, &window] {
    turned();
    // A window restored beyond those whose pages load at the start loads its page now.
    if (auto tab = window.is_active() ? window.tabs().selectedTab() : nullptr) {
      tab->loadIfNeeded();
    }
  });
  window.property_visible().signal_changed().connect(turned);
  browserWindows_.push_back(std::move(open));
  if (!commandsObserver_) attachBrowserCommands();
  return window;
}

void ZembloApp::finishClosingWindows() {
  for (BrowserWindow* window : std::exchange(closingWindows_, {})) browserWindowClosed(*window);
}

void ZembloApp::browserWindowClosed(BrowserWindow& window) {
  const auto found = std::ranges::find_if(
      browserWindows_, [&](const auto& open) { return open.window.get() == &window; });
  if (found == browserWindows_.end() || window.get_visible()) return;
  WindowModel& tabs = window.tabs();
  // The last window keeps its tabs for the session, as the application ends with it; any other
  // takes them along. A private window's always go.
  const bool last = browserWindows_.size() == 1;
  if (last) commandsObserver_.reset();
  // The menu's popover, actions and shortcuts are on the window: they go first, and the window
  // before the tabs it shows.
  found->menu.reset();
  found->window.reset();
  browserWindows_.erase(found);
  if (!last || tabs.isPrivate()) store_->closeWindow(tabs);
}

void ZembloApp::attachBrowserCommands() {
  // The menus are built again, with a new commands value, whenever the interface language or the
  // page dark mode changes; no other setting touches them.
  commandsObserver_ = std::make_unique<Observer>([this] {
    const AppPreferences& prefs = store_->preferences().prefs();
    for (auto& open : browserWindows_) {
      const BrowserCommands& shown = open.menu->commands();
      if (shown.language != prefs.language || shown.pageDarkMode != prefs.pageDarkMode) {
        open.menu->setCommands(
            BrowserCommands(*store_, prefs.language, prefs.pageDarkMode, &open.window->tabs()));
      }
    }
  });
}

void ZembloApp::showPasswordsWindow(bool importing) {
  if (!passwordsWindow_) {
    if (!passwordClipboard_) {
      passwordClipboard_ = std::make_unique<PasswordClipboard>(Scheduler::mainLoop());
    }
    passwordsWindow_ = std::make_unique<PasswordsWindow>(
        passwordsModels(*store(), [this] { return lastUsedTabs(); }), favicons(), colorScheme(),
        *passwordClipboard_);
    dropWhenClosed(passwordsWindow_);
    if (auto* browser = activeBrowserWindow()) {
      hideTooltipWhileOpen(browser->sidebarView().bottomBar().passwordsButton(), *passwordsWindow_);
    }
  }
  if (importing) passwordsWindow_->requestImport();
  present(*passwordsWindow_, *this);
}

void ZembloApp::showSettingsWindow() {
  if (!settingsWindow_) {
    settingsWindow_ = std::make_unique<SettingsView>(
        settingsModels(*store(), [this] { return lastUsedTabs(); }), favicons(), colorScheme());
    dropWhenClosed(settingsWindow_);
    if (auto* browser = activeBrowserWindow()) {
      hideTooltipWhileOpen(browser->sidebarView().bottomBar().settingsButton(), *settingsWindow_);
    }
  }
  present(*settingsWindow_, *this);
}

void ZembloApp::languageChanged() {
  for (auto& open : browserWindows_) open.window->rebuildContent();
  if (passwordsWindow_) passwordsWindow_->rebuildContent();
  // The sidebar's buttons are new: windows already open keep them clear of tooltips as well.
  for (auto& open : browserWindows_) {
    auto& bar = open.window->sidebarView().bottomBar();
    if (passwordsWindow_) hideTooltipWhileOpen(bar.passwordsButton(), *passwordsWindow_);
    if (settingsWindow_) hideTooltipWhileOpen(bar.settingsButton(), *settingsWindow_);
  }
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
