#include "model/browser_store.h"

#include <glib.h>

#include "model/ad_blocker.h"
#include "model/autofill_bridge.h"
#include "model/browser_engine.h"
#include "model/browser_tab.h"
#include "model/browser_windows.h"
#include "model/download_manager.h"
#include "model/favorites_model.h"
#include "model/history_model.h"
#include "model/keyring_vault_storage.h"
#include "model/localization.h"
#include "model/page_services_model.h"
#include "model/password_offers.h"
#include "model/password_store.h"
#include "model/preferences_model.h"
#include "model/spaces_model.h"
#include "model/spell_checking_languages.h"
#include "model/tab_state_files.h"
#include "model/window_model.h"
#include "platform/heap.h"
#include "platform/main_loop.h"

namespace zemblo {
namespace {

constexpr const char* kAppleLanguagesKey = "AppleLanguages";
// Restored windows whose shown page loads at the start, a web process each: a session of hundreds
// of windows would start hundreds at once and exhaust the display's clients. The page of a window
// beyond them loads once the user turns to that window.
constexpr size_t kStartLoadLimit = 24;

std::string repairedNotice(const std::string& name,
                           const std::optional<std::filesystem::path>& keptAs) {
  if (!keptAs) {
    return withArgument(localized("\"%@\" dosyasındaki bozuk karakterler onarıldı, ancak özgün "
                                  "dosya kenara alınamadı; alınana dek üzerine kaydedilmeyecek."),
                        name);
  }
  return withArgument(withArgument(localized("\"%@\" dosyasındaki bozuk karakterler onarıldı; "
                                             "özgün dosya \"%@\" olarak saklandı."),
                                   name),
                      keptAs->filename().string());
}

// What the user is told of a file that could not be used as it was: where it is kept, or that
// it stays where it was, untouched.
std::string setAsideNotice(const SetAsideFile& file) {
  const std::string name = file.original.filename().string();
  if (file.repaired) return repairedNotice(name, file.keptAs);
  const bool session = name == SessionFiles::kSessionFileName;
  if (!file.keptAs) {
    return localized(session ? "Oturum dosyası okunamadı ve kenara alınamadı; dosyaya dokunulmadı "
                               "ve alınana dek üzerine kaydedilmeyecek. Sekmeleriniz yeniden "
                               "başlatıldı."
                             : "Geçmiş dosyası okunamadı ve kenara alınamadı; dosyaya dokunulmadı "
                               "ve alınana dek üzerine kaydedilmeyecek. Geçmiş boş başlatıldı.");
  }
  return withArgument(
      localized(session ? "Oturum dosyası okunamadı ve \"%@\" olarak saklandı. Sekmeleriniz "
                          "yeniden başlatıldı."
                        : "Geçmiş dosyası okunamadı ve \"%@\" olarak saklandı. Geçmiş boş "
                          "başlatıldı."),
      file.keptAs->filename().string());
}

}  // namespace

std::shared_ptr<BrowserStore> BrowserStore::create(std::shared_ptr<BrowserEngine> engine,
                                                   BrowserStoreEnvironment environment) {
  g_assert(engine);
  auto store = std::make_shared<BrowserStore>(Passkey{}, std::move(engine), std::move(environment));
  store->start();
  return store;
}

BrowserStore::BrowserStore(Passkey, std::shared_ptr<BrowserEngine> engine,
                           BrowserStoreEnvironment environment)
    : engine_(std::move(engine)),
      environment_(std::move(environment)),
      defaults_(environment_.defaults ? environment_.defaults : &UserDefaults::standard()),
      windowFrames_(*defaults_),
      files_(environment_.files ? *environment_.files : SessionFiles()),
      scheduler_(environment_.scheduler ? *environment_.scheduler : Scheduler::mainLoop()),
      saveDebounce_(scheduler_, kSaveDelay, kSaveLongestDelay, [this] { saveNow(); }),
      heapRelease_(scheduler_, kHeapReleaseDelay, 5 * kHeapReleaseDelay, [] { heap::release(); }) {}

BrowserStore::~BrowserStore() { preferences_->flush(); }

void BrowserStore::start() {
  const auto save = [this] { scheduleSave(); };
  preferences_ = std::make_unique<PreferencesModel>(
      *defaults_, scheduler_, [this](const AppPreferences& old) { preferencesChanged(old); });
  spaces_ = std::make_unique<SpacesModel>(save);
  windows_ = std::make_unique<BrowserWindows>();
  startTabServices();
  WindowModel& first =
      windows_->add(std::make_unique<WindowModel>(tabServicesHandle_, save, *spaces_));
  favorites_ = std::make_unique<FavoritesModel>(save);
  pageServices_ = std::make_shared<PageServicesModel>(*engine_, *preferences_, handleTo(*windows_),
                                                      *defaults_, scheduler_);
  tabServices_->pageServices = pageServices_;
  const AppPreferences& prefs = preferences_->observablePrefs().peek();

  files_.removeLeftoverTemporaries();
  std::vector<SetAsideFile> setAside;
  const std::optional<SessionSnapshot> session = files_.readSession(&setAside);
  spaces_->restore(session ? session->spaces : std::vector<SpaceSnapshot>{});
  if (session) first.restore(*session, prefs.restoreSession);
  if (session && prefs.restoreSession) restoreOtherWindows(*session);
  restoreTabStates(setAside);
  favorites_->list.set(session ? session->favorites : Favorite::defaults());
  history_->entries.set(files_.readHistory(&setAside));
  loadSiteSettings(setAside);
  tellAboutSetAsideFiles(setAside);
  if (const auto cookies = engine_->checkCookieStore()) tellAboutCookieStore(*cookies);
  tellAboutPasswordsLostAtQuit();
  if (defaults_->foundUnreadableFile()) {
    notice(localized("Ayarlar dosyası okunamadı; varsayılan ayarlar kullanılıyor."));
  }
  if (const auto& repaired = defaults_->repairedFile()) {
    tellAboutSetAsideFiles({{defaults_->file(), repaired->keptAs, true}});
  }
  spaces_->relabelDefaults();

  std::vector<std::shared_ptr<BrowserTab>> startLoads;
  for (WindowModel* window : windows()) {
    // One is kept for the first window, which loads its page as it is shown.
    if (startLoads.size() + 1 >= kStartLoadLimit) break;
    if (auto tab = window->selectedTab()) {
      tab->loadIfNeeded();
      startLoads.push_back(tab);
    }
  }
  sleeper_ = std::make_unique<TabSleeper>(
      *windows_, *preferences_, scheduler_, memoryPressure(),
      environment_.clock ? environment_.clock : [] { return std::chrono::steady_clock::now(); });

  std::weak_ptr<BrowserStore> weakSelf = weak_from_this();
  defaults_->writeObserver = [weakSelf](bool written) {
    if (auto self = weakSelf.lock()) self->settingsWritten(written);
  };
  pageServices_->start();
  applyAppAppearance();
  // The engine reads its dictionaries from disk on this thread, which the first page's web
  // process waits on for its first steps: not before that page is up.
  spellCheckingAfterStart_ = std::make_unique<StartLoadWatch>(
      startLoads, scheduler_, kLongestStartLoadWait, [this] { applySpellChecking(); });
}

void BrowserStore::preferencesChanged(const AppPreferences& old) {
  const AppPreferences& now = preferences_->observablePrefs().peek();
  if (now.theme != old.theme) applyAppAppearance();
  if (now.language != old.language) applyLanguage();
  if (now.spellChecking != old.spellChecking || now.language != old.language) {
    applySpellChecking();
  }
  if (now.pageDarkMode != old.pageDarkMode || now.darkBrightness != old.darkBrightness ||
      now.darkContrast != old.darkContrast || now.darkDisabledHosts != old.darkDisabledHosts) {
    pageServices_->applyPageDarkModeToAllTabs();
  }
  if (now.defaultZoom != old.defaultZoom) applyZoomToAllTabs();
}

void BrowserStore::startTabServices() {
  history_ = std::make_unique<HistoryModel>([this] { scheduleSave(); });
  downloads_ = std::make_shared<DownloadManager>(DownloadManagerEnvironment{
      .folder = [this] { return preferences_->observablePrefs().peek().effectiveDownloadFolder(); },
      .asksWhereToSave = [this] { return preferences_->observablePrefs().peek().askWhereToSave; },
      .scheduler = &scheduler_});
  auto vault = environment_.vaultStorage ? environment_.vaultStorage
                                         : std::make_shared<KeyringVaultStorage>();
  passwords_ = std::make_unique<PasswordStore>(*defaults_, std::move(vault));
  offers_ = std::make_shared<PasswordOffers>(*passwords_);
  autofill_ = std::make_shared<AutofillBridge>(handleTo(*passwords_), handleTo(*offers_));
  sitePermissions_ = std::make_shared<SitePermissions>([this] {
    siteSettingsChanged_ = true;
    scheduleSave();
  });
  siteZoom_ = std::make_unique<SiteZoom>([this](const std::string&) {
    siteSettingsChanged_ = true;
    scheduleSave();
    applyZoomToAllTabs();
  });
  tabServices_ = std::make_unique<TabServices>(TabServices{
      .webViews = *engine_,
      .scheduler = scheduler_,
      .preferences = *preferences_,
      .history = *history_,
      .siteZoom = *siteZoom_,
      .windows = *windows_,
      .sitePermissions = sitePermissions_,
      .autofill = autofill_,
      .downloads = downloads_,
      .pageServices = {},
      .faviconFound = [this](const BrowserTab& tab) { favorites_->updateIcon(tab); },
      .scheduleSave = [this] { scheduleSave(); },
      .webViewReleased = [this] { webViewReleased(); },
      .sessionStateRejected =
          [this](const BrowserTab& tab, std::string bytes) {
            sessionStateRejected(tab.id, std::move(bytes));
          },
      .openTab =
          [this](const Url& address, bool inBackground, std::shared_ptr<BrowserTab> opener) {
            windows_->holding(*opener).openTab(address, inBackground, opener);
          },
      .showPopup =
          [this](std::shared_ptr<BrowserTab> popup, std::shared_ptr<BrowserTab> opener) {
            WindowModel& window = windows_->holding(*opener);
            window.insertTab(popup, opener);
            window.select(*popup);
          },
      .closeTab = [this](const BrowserTab& tab) { windows_->holding(tab).closeTab(tab); },
      .preparePage =
          [this](BrowserTab& tab, const std::optional<Url>& address) {
            if (!pageServices_) return;
            pageServices_->adBlocker().apply(tab.page, address);
            pageServices_->applyDarkMode(tab, address);
          }});
  // Shares the store's life: a tab that holds it keeps the store whole while it uses it.
  tabServicesHandle_ = handleTo(*tabServices_);
}

void BrowserStore::applyZoomToAllTabs() {
  forEachTab([](const auto& tab) { tab->applyZoom(); }, /*andPrivate=*/true);
}

void BrowserStore::forEachTab(const std::function<void(const std::shared_ptr<BrowserTab>&)>& visit,
                              bool andPrivate) const {
  for (const WindowModel* window : windows_->all()) {
    if (window->isPrivate() && !andPrivate) continue;
    for (const auto& space : window->spaces.peek()) {
      for (const auto& tab : space->tabs.peek()) visit(tab);
    }
  }
}

void BrowserStore::restoreOtherWindows(const SessionSnapshot& session) {
  for (const SessionSnapshot& saved : session.windows) {
    auto window = WindowModel::alongside(windows_->first());
    window->restore(saved);
    // A window whose tabs are all gone (start pages are not saved) is not worth a window.
    if (window->tabCount() > 0) windows_->add(std::move(window));
  }
}

WindowModel& BrowserStore::openWindow(bool isPrivate) {
  WindowModel* kept = isPrivate ? nullptr : windows_->reopenKept();
  if (kept) {
    // It opens as a new window would, at the size it was closed at.
    kept->frame.reset();
    if (auto tab = kept->selectedTab()) tab->loadIfNeeded();
  }
  WindowModel& window = kept
                            ? *kept
                            : windows_->add(isPrivate ? WindowModel::makePrivate(tabServicesHandle_)
                                                      : WindowModel::alongside(windows_->first()));
  if (sleeper_) sleeper_->windowsChanged();
  return window;
}

void BrowserStore::closeWindow(WindowModel& window) {
  const bool isPrivate = window.isPrivate();
  const bool last = windows_->othersLike(window).empty();
  if (last && !isPrivate) {
    // With private windows still open: the session keeps this window's tabs, which the next
    // normal window takes up.
    window.releaseWebViews();
    windows_->keep(window);
  } else {
    window.closeAllTabs();
    windows_->remove(window);
  }
  if (sleeper_) sleeper_->windowsChanged();
  if (isPrivate && last) engine_->endPrivateBrowsing();
  if (!isPrivate) scheduleSave();
}

void BrowserStore::applyAppAppearance() {
  const ThemeMode theme = preferences_->observablePrefs().peek().theme;
  // The appearance changes on a later turn, never inside the call that changed the preference.
  auto task = scheduler_.after(std::chrono::milliseconds(0),
                               [engine = engine_, theme] { engine->applyAppearance(theme); });
  appearanceTasks_.push_back(std::move(task));
  std::erase_if(appearanceTasks_, [](const auto& pending) { return pending->finished(); });
}

void BrowserStore::applyLanguage() {
  const AppLanguage language = preferences_->observablePrefs().peek().language;
  // The interface language was set as the preference was written, so the names follow it.
  spaces_->relabelDefaults();
  switch (language) {
    case AppLanguage::turkish:
      defaults_->setStringArray(kAppleLanguagesKey, {"tr"});
      break;
    case AppLanguage::english:
      defaults_->setStringArray(kAppleLanguagesKey, {"en"});
      break;
    case AppLanguage::system:
      defaults_->remove(kAppleLanguagesKey);
      break;
  }
  scheduleSave();
}

void BrowserStore::applySpellChecking() {
  // The interface language was set as the preference was written, so the dictionaries follow it.
  engine_->applySpellChecking(preferences_->observablePrefs().peek().spellChecking,
                              spellCheckingLanguages());
}

void BrowserStore::scheduleSave() { saveDebounce_.request(); }

SessionSnapshot BrowserStore::sessionSnapshot() const {
  // The first normal window takes today's keys, so that a browser reading them alone gets a
  // whole window.
  std::vector<const WindowModel*> normal;
  for (const WindowModel* window : windows_->all()) {
    if (!window->isPrivate()) normal.push_back(window);
  }
  SessionSnapshot session = snapshotOf(*normal.front());
  for (size_t i = 1; i < normal.size(); ++i) session.windows.push_back(snapshotOf(*normal[i]));
  session.favorites = favorites_->list.peek();
  return session;
}

SessionSnapshot BrowserStore::snapshotOf(const WindowModel& window) const {
  SessionSnapshot session;
  for (const auto& space : window.spaces.peek()) {
    SpaceSnapshot snapshot{space->id,
                           space->name.peek(),
                           space->symbol.peek(),
                           space->colorA.peek(),
                           space->colorB.peek(),
                           {},
                           space->selectedTabID.peek()};
    for (const auto& tab : space->tabs.peek()) {
      if (!tab->url.peek()) continue;  // start-page tabs are not kept
      snapshot.tabs.push_back(
          TabSnapshot{tab->id, tab->addressToKeep(), tab->titleToKeep(), tab->faviconURL.peek()});
    }
    session.spaces.push_back(std::move(snapshot));
  }
  session.currentSpaceID = window.currentSpaceID.peek();
  session.sidebarVisible = window.sidebarVisible.peek();
  session.frame = window.frame;
  return session;
}

void BrowserStore::restoreTabStates(std::vector<SetAsideFile>& setAside) {
  // Only the tab that loads at once needs its list now; the others are read on the writing
  // thread, so that many tabs cost the start no more than one small file.
  const TabStateFiles stateFiles(files_.folder());
  std::vector<std::shared_ptr<BrowserTab>> first;
  for (WindowModel* window : windows()) {
    if (auto tab = window->selectedTab()) first.push_back(tab);
  }
  std::vector<Uuid> later;
  forEachTab([&](const std::shared_ptr<BrowserTab>& tab) {
    if (std::ranges::find(first, tab) != first.end()) {
      tab->page.keepSessionState(stateFiles.read(tab->id, &setAside));
    } else {
      later.push_back(tab->id);
    }
  });
  if (later.empty()) {
    tabStatesRead_ = true;
    return;
  }
  auto found = std::make_shared<std::vector<TabState>>();
  auto unreadable = std::make_shared<std::vector<SetAsideFile>>();
  writes_.submit(
      "tab-states-read",
      [stateFiles, later = std::move(later), found, unreadable] {
        for (const Uuid& id : later) {
          if (auto bytes = stateFiles.read(id, unreadable.get())) {
            found->push_back(TabState{id, std::move(*bytes)});
          }
        }
        return true;
      },
      [this, found, unreadable](bool) { takeTabStates(std::move(*found), *unreadable); });
}

void BrowserStore::sessionStateRejected(const Uuid& tabID, std::string bytes) {
  auto kept = std::make_shared<std::vector<SetAsideFile>>();
  // Behind any save already handed over, which wrote the same bytes at most.
  writes_.submit(
      "tab-state-aside-" + tabID.str(),
      [stateFiles = TabStateFiles(files_.folder()), tabID, bytes = std::move(bytes), kept] {
        if (auto file = stateFiles.keepAside(tabID, bytes)) kept->push_back(std::move(*file));
        return true;
      },
      [this, kept](bool) { tellAboutSetAsideFiles(*kept); });
}

void BrowserStore::takeTabStates(std::vector<TabState> states,
                                 const std::vector<SetAsideFile>& setAside) {
  tellAboutSetAsideFiles(setAside);
  for (TabState& state : states) {
    forEachTab([&](const std::shared_ptr<BrowserTab>& tab) {
      // A tab the user already opened has a list of its own by now.
      if (tab->id == state.tabID && !tab->page.hasStartedLoading()) {
        tab->page.keepSessionState(std::move(state.bytes));
      }
    });
  }
  tabStatesRead_ = true;
}

std::optional<std::vector<TabState>> BrowserStore::tabStates() const {
  // Until the saved lists are in, writing ours would remove theirs.
  if (!tabStatesRead_) return std::nullopt;
  std::vector<TabState> states;
  // Private windows' tabs are never written.
  forEachTab([&](const std::shared_ptr<BrowserTab>& tab) {
    if (!tab->url.peek()) return;  // as in the session: start-page tabs are not kept
    if (auto bytes = tab->page.sessionState())
      states.push_back(TabState{tab->id, std::move(*bytes)});
  });
  return states;
}

void BrowserStore::saveNow() {
  saveDebounce_.cancel();
  preferences_->flush();
  // Only the copy is made here; encoding and writing happen on the writing thread.
  writes_.submit(
      "session",
      [files = files_.pinned(), session = sessionSnapshot(), history = history_->entries.peek(),
       states = tabStates()] {
        const bool sessionSaved = files.writeSession(session);
        const bool historySaved = files.writeHistory(history);
        // A tab's list that can't be written costs that tab its list, not the session: it is
        // no reason to tell the user the session was lost, nor to try again and again.
        if (states && !TabStateFiles(files.folder()).write(*states)) {
          g_warning("Some tabs' back and forward lists could not be saved");
        }
        return sessionSaved && historySaved;
      },
      [this](bool written) { saveFinished(written); });
  saveSiteSettings();
}

void BrowserStore::loadSiteSettings(std::vector<SetAsideFile>& setAside) {
  const SiteSettingsFile file(files_.folder());
  file.removeLeftoverTemporaries();
  SiteSettings settings = file.read(&setAside);
  sitePermissions_->decisions.set(std::move(settings.permissions));
  siteZoom_->restore(std::move(settings.zoom));
  siteSettingsOtherKeys_ = std::move(settings.otherKeys);
}

void BrowserStore::saveSiteSettings() {
  if (!std::exchange(siteSettingsChanged_, false)) return;
  writes_.submit(
      "site-settings",
      [file = SiteSettingsFile(files_.folder()),
       settings = SiteSettings{sitePermissions_->decisions.peek(), siteZoom_->levels(),
                               siteSettingsOtherKeys_}] { return file.write(settings); },
      [this](bool written) {
        // Tried again with the next save; the answers stay in memory meanwhile.
        if (!written) siteSettingsChanged_ = true;
      });
}

bool BrowserStore::finishWrites() {
  preferences_->flush();
  writes_.finish();
  defaults_->flush();
  return lastSaveWritten_;
}

void BrowserStore::finishPasswordWrites(std::chrono::milliseconds limit) {
  turnMainLoopUntil([this] { return !passwords_->awaitsKeyring(); }, limit);
  if (!passwords_->hasUnsavedChanges()) return;
  g_warning("The browser quits before the keyring holds every password change");
  defaults_->setBool(kPasswordsLostAtQuitKey, true);
}

void BrowserStore::tellAboutPasswordsLostAtQuit() {
  if (!defaults_->boolValue(kPasswordsLostAtQuitKey).value_or(false)) return;
  notice(
      localized("Tarayıcı kapanırken son şifre değişikliklerin anahtarlığa yazılamadı. Şifreler "
                "penceresinden kontrol et; eksik olanları yeniden kaydetmen gerekebilir."));
  defaults_->remove(kPasswordsLostAtQuitKey);
}

void BrowserStore::tellAboutCookieStore(const SetAsideFile& file) {
  if (!file.keptAs) {
    notice(
        localized("Çerez dosyası okunamadı ve kenara alınamadı; çerezler yalnızca tarayıcı "
                  "kapanana dek tutulacak. Siteler yeniden oturum açmanı isteyecek."));
    return;
  }
  notice(withArgument(localized("Çerez dosyası okunamadı ve \"%@\" olarak saklandı. Siteler "
                                "yeniden oturum açmanı isteyecek."),
                      file.keptAs->filename().string()));
}

void BrowserStore::saveFinished(bool written) {
  lastSaveWritten_ = written;
  // The save that follows closed tabs makes garbage of its own: the heap goes back after it.
  if (heapRelease_.pending()) heapRelease_.request();
  if (written) {
    saveFailing_ = false;
    saveRetry_.reset();
    return;
  }
  if (!saveFailing_) {
    saveFailing_ = true;
    notice(
        localized("Oturum kaydedilemedi; yeniden denenecek. Sorun sürerse değişiklikler "
                  "kaybolabilir."));
  }
  // Tried again even if nothing else changes, so a freed disk keeps what is on screen.
  saveRetry_ = scheduler_.after(kSaveRetryDelay, [this] {
    if (!hasPendingSave()) saveNow();
  });
}

void BrowserStore::settingsWritten(bool written) {
  if (written) {
    settingsFailing_ = false;
    settingsRetry_.reset();
    return;
  }
  if (!settingsFailing_) {
    settingsFailing_ = true;
    notice(
        localized("Ayarlar kaydedilemedi; yeniden denenecek. Sorun sürerse değişiklikler "
                  "kaybolabilir."));
  }
  settingsRetry_ = scheduler_.after(kSaveRetryDelay, [this] { defaults_->retryWrite(); });
}

void BrowserStore::notice(std::string text) {
  notices.mutate([&](std::vector<std::string>& list) { list.push_back(std::move(text)); });
}

void BrowserStore::tellAboutTabState(const SetAsideFile& file) {
  if (std::exchange(toldAboutTabState_, true)) return;
  if (!file.keptAs) {
    notice(
        localized("Bir sekmenin geçmişi okunamadı; sekme, geri ve ileri listesi olmadan "
                  "sayfasını açar."));
    return;
  }
  notice(withArgument(localized("Bir sekmenin geçmişi okunamadı ve \"%@\" olarak saklandı; "
                                "sekme, geri ve ileri listesi olmadan sayfasını açar."),
                      file.keptAs->filename().string()));
}

void BrowserStore::tellAboutSetAsideFiles(const std::vector<SetAsideFile>& files) {
  for (const SetAsideFile& file : files) {
    if (file.original.parent_path().filename() == TabStateFiles::kFolderName) {
      tellAboutTabState(file);
      continue;
    }
    if (file.original.filename() == SiteSettingsFile::kFileName) {
      const std::string keptAs =
          file.keptAs ? file.keptAs->filename().string() : file.original.filename().string();
      notice(withArgument(localized("Site ayarları dosyası okunamadı ve \"%@\" olarak saklandı. "
                                    "Siteler izinleri yeniden soracak."),
                          keptAs));
      continue;
    }
    notice(setAsideNotice(file));
  }
}

}  // namespace zemblo
