#include "model/browser_store.h"

#include <algorithm>
#include <array>

#include <glib.h>

#include "model/ad_blocker.h"
#include "model/autofill_bridge.h"
#include "model/browser_engine.h"
#include "model/browser_tab.h"
#include "model/dark_mode_controller.h"
#include "model/download_manager.h"
#include "model/keyring_vault_storage.h"
#include "model/localization.h"
#include "model/password_store.h"

namespace zemblo {
namespace {

constexpr const char* kAppleLanguagesKey = "AppleLanguages";

// Default space names in relabelling order; the product-named third space is never relabelled.
constexpr std::array<const char*, 3> kDefaultSpaceNames = {"Kişisel", "İş", "Yeni Alan"};

std::shared_ptr<BrowserTab> restoredTab(const TabSnapshot& snapshot) {
  return std::make_shared<BrowserTab>(snapshot.id, snapshot.url, snapshot.title,
                                      snapshot.faviconURL);
}

std::shared_ptr<Space> restoredSpace(const SpaceSnapshot& snapshot) {
  Space::TabList tabs;
  tabs.reserve(snapshot.tabs.size());
  for (const auto& tab : snapshot.tabs) tabs.push_back(restoredTab(tab));
  return std::make_shared<Space>(snapshot.name, snapshot.symbol, snapshot.colorA, snapshot.colorB,
                                 snapshot.id, std::move(tabs), snapshot.selectedTabID);
}

// Position of the tab, found by identity.
std::optional<size_t> positionOf(const Space& space, const BrowserTab& tab) {
  const auto& tabs = space.tabs.peek();
  for (size_t i = 0; i < tabs.size(); ++i) {
    if (tabs[i].get() == &tab) return i;
  }
  return std::nullopt;
}

// The space's own reference to the tab, which keeps it alive while the space lets go of it.
std::shared_ptr<BrowserTab> heldTab(const Space& space, const BrowserTab& tab) {
  const auto position = positionOf(space, tab);
  return position ? space.tabs.peek()[*position] : nullptr;
}

// Whether a favourite's address stands for the page: the same host as exact text, or, for an
// address without a host (a local file, "about:"), the very same address. Two host-less
// addresses are not one site, so letting them match would tie a favourite to any such page.
bool samePage(const Url& favorite, const Url& page) {
  const auto favoriteHost = favorite.host();
  const auto pageHost = page.host();
  if (favoriteHost || pageHost) return favoriteHost == pageHost;
  return favorite == page;
}

// The list move of the tab list and the spaces settings: the elements at `offsets` keep their
// order and go just before the element that stood at `destination` (the end for the count).
// Positions past the end are ignored.
template <class T>
void moveElements(std::vector<T>& list, const std::set<size_t>& offsets, size_t destination) {
  destination = std::min(destination, list.size());
  std::vector<T> moved;
  std::vector<T> kept;
  size_t insertAt = destination;
  for (size_t i = 0; i < list.size(); ++i) {
    if (offsets.contains(i)) {
      moved.push_back(std::move(list[i]));
      if (i < destination) --insertAt;
    } else {
      kept.push_back(std::move(list[i]));
    }
  }
  kept.insert(kept.begin() + static_cast<std::ptrdiff_t>(insertAt),
              std::make_move_iterator(moved.begin()), std::make_move_iterator(moved.end()));
  list = std::move(kept);
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
      files_(environment_.files ? *environment_.files : SessionFiles()),
      scheduler_(environment_.scheduler ? *environment_.scheduler : Scheduler::mainLoop()),
      saveDebounce_(scheduler_, kSaveDelay, kSaveLongestDelay, [this] { saveNow(); }),
      prefsSave_(std::make_unique<Throttle>(scheduler_, kPrefsSaveInterval,
                                            [this] { prefs_.peek().save(*defaults_); })) {}

BrowserStore::~BrowserStore() { prefsSave_->flush(); }

void BrowserStore::start() {
  downloads_ =
      std::make_shared<DownloadManager>(DownloadManagerEnvironment{.scheduler = &scheduler_});
  auto vault = environment_.vaultStorage ? environment_.vaultStorage
                                         : std::make_shared<KeyringVaultStorage>();
  passwords_ = std::make_unique<PasswordStore>(*defaults_, std::move(vault));
  adBlocker_ = std::make_shared<AdBlocker>(*defaults_);
  darkMode_ = std::make_shared<DarkModeController>(scheduler_);
  autofill_ = std::make_shared<AutofillBridge>();

  prefs_.set(AppPreferences::load(*defaults_));
  searchEngine.set(SearchEngine::selected(*defaults_));
  L10n::setEnglish(isEnglish(prefs_.peek().language));
  launchLanguage_ = prefs_.peek().language;

  files_.removeLeftoverTemporaries();
  std::vector<SetAsideFile> setAside;
  restore(files_.readSession(&setAside));
  history.set(files_.readHistory(&setAside));
  tellAboutSetAsideFiles(setAside);
  if (defaults_->foundUnreadableFile()) {
    notice(localized("Ayarlar dosyası okunamadı; varsayılan ayarlar kullanılıyor."));
  }
  relabelDefaultSpaces();

  if (auto tab = currentSpace()->selectedTab()) tab->loadIfNeeded();

  std::weak_ptr<BrowserStore> weakSelf = weak_from_this();
  defaults_->writeObserver = [weakSelf](bool written) {
    if (auto self = weakSelf.lock()) self->settingsWritten(written);
  };
  autofill_->browser = weakSelf;
  adBlocker_->onChange = [weakSelf] {
    if (auto self = weakSelf.lock()) self->applyAdBlockToAllTabs();
  };
  adBlocker_->prepareRules(engine_->contentRuleStore());
  darkMode_->browser = weakSelf;
  const std::weak_ptr<DarkModeController> weakDarkMode = darkMode_;
  darkMode_->appearanceObservation = engine_->observeDark([weakDarkMode] {
    if (auto controller = weakDarkMode.lock()) controller->appearanceChanged();
  });
  applyAppAppearance();
}

void BrowserStore::setSearchEngine(SearchEngine engine) {
  defaults_->setString(SearchEngine::kDefaultsKey, engine.rawValue());
  searchEngine.set(engine);
}

void BrowserStore::restore(std::optional<SessionSnapshot> session) {
  SpaceList list;
  if (session) {
    for (const auto& space : session->spaces) list.push_back(restoredSpace(space));
  }
  if (list.empty()) list = Space::defaultSpaces();
  if (!prefs_.peek().restoreSession) {
    for (auto& space : list) {
      space->tabs.set({});
      space->selectedTabID.set(std::nullopt);
    }
  }
  spaces.set(std::move(list));

  const auto& restored = spaces.peek();
  Uuid current = restored.front()->id;
  if (session) {
    for (const auto& space : restored) {
      if (space->id == session->currentSpaceID) current = space->id;
    }
  }
  currentSpaceID.set(current);
  favorites.set(session ? session->favorites : Favorite::defaults());
  sidebarVisible.set(session ? session->sidebarVisible : true);

  const std::weak_ptr<BrowserStore> weakSelf = weak_from_this();
  for (const auto& space : restored) {
    for (const auto& tab : space->tabs.peek()) tab->store = weakSelf;
  }
}

std::shared_ptr<Space> BrowserStore::currentSpace() const {
  const auto& list = spaces.get();
  const auto& current = currentSpaceID.get();
  for (const auto& space : list) {
    if (space->id == current) return space;
  }
  return list.empty() ? nullptr : list.front();
}

void BrowserStore::setPrefs(AppPreferences value) {
  const AppPreferences old = prefs_.peek();
  prefs_.set(std::move(value));
  prefsDidSet(old);
}

void BrowserStore::prefsDidSet(const AppPreferences& old) {
  const AppPreferences& now = prefs_.peek();
  if (now == old) return;
  prefsSave_->request();
  if (now.theme != old.theme) applyAppAppearance();
  if (now.language != old.language) applyLanguage();
  if (now.pageDarkMode != old.pageDarkMode || now.darkBrightness != old.darkBrightness ||
      now.darkContrast != old.darkContrast || now.darkDisabledHosts != old.darkDisabledHosts) {
    applyPageDarkModeToAllTabs();
  }
}

void BrowserStore::applyAppAppearance() {
  const ThemeMode theme = prefs_.peek().theme;
  // The appearance changes on a later turn, never inside the call that changed the preference.
  auto task = scheduler_.after(std::chrono::milliseconds(0),
                               [engine = engine_, theme] { engine->applyAppearance(theme); });
  appearanceTasks_.push_back(std::move(task));
  std::erase_if(appearanceTasks_, [](const auto& pending) { return pending->finished(); });
}

void BrowserStore::applyLanguage() {
  const AppLanguage language = prefs_.peek().language;
  L10n::setEnglish(isEnglish(language));
  relabelDefaultSpaces();
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

void BrowserStore::relabelDefaultSpaces() {
  bool changed = false;
  for (const auto& space : spaces.peek()) {
    const std::string& name = space->name.peek();
    for (const char* turkish : kDefaultSpaceNames) {
      const std::string english = englishText(turkish);
      if (name != turkish && name != english) continue;
      const std::string target = L10n::isEnglish() ? english : std::string(turkish);
      if (name != target) {
        space->name.set(target);
        changed = true;
      }
      break;
    }
  }
  if (changed) scheduleSave();
}

void BrowserStore::applyAdBlockToAllTabs() {
  for (const auto& space : spaces.peek()) {
    for (const auto& tab : space->tabs.peek()) adBlocker_->apply(*tab, tab->url.peek());
  }
}

void BrowserStore::scheduleSave() { saveDebounce_.request(); }

SessionSnapshot BrowserStore::sessionSnapshot() const {
  SessionSnapshot session;
  for (const auto& space : spaces.peek()) {
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
          TabSnapshot{tab->id, tab->url.peek(), tab->title.peek(), tab->faviconURL.peek()});
    }
    session.spaces.push_back(std::move(snapshot));
  }
  session.currentSpaceID = currentSpaceID.peek();
  session.favorites = favorites.peek();
  session.sidebarVisible = sidebarVisible.peek();
  return session;
}

void BrowserStore::saveNow() {
  saveDebounce_.cancel();
  prefsSave_->flush();
  // Only the copy is made here; encoding and writing happen on the writing thread.
  writes_.submit(
      "session",
      [files = SessionFiles([folder = files_.folder()] { return folder; }),
       session = sessionSnapshot(), history = history.peek()] {
        const bool sessionSaved = files.writeSession(session);
        const bool historySaved = files.writeHistory(history);
        return sessionSaved && historySaved;
      },
      [this](bool written) { saveFinished(written); });
}

bool BrowserStore::finishWrites() {
  prefsSave_->flush();
  writes_.finish();
  defaults_->flush();
  return lastSaveWritten_;
}

void BrowserStore::saveFinished(bool written) {
  lastSaveWritten_ = written;
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

void BrowserStore::tellAboutSetAsideFiles(const std::vector<SetAsideFile>& files) {
  for (const SetAsideFile& file : files) {
    const bool session = file.original.filename() == SessionFiles::kSessionFileName;
    const std::string keptAs =
        file.keptAs ? file.keptAs->filename().string() : file.original.filename().string();
    notice(withArgument(
        localized(session ? "Oturum dosyası okunamadı ve \"%@\" olarak saklandı. Sekmeleriniz "
                            "yeniden başlatıldı."
                          : "Geçmiş dosyası okunamadı ve \"%@\" olarak saklandı. Geçmiş boş "
                            "başlatıldı."),
        keptAs));
  }
}

// Tabs ------------------------------------------------------------------------------------------

std::shared_ptr<Space> BrowserStore::spaceContaining(const BrowserTab& tab) const {
  for (const auto& space : spaces.peek()) {
    if (positionOf(*space, tab)) return space;
  }
  return nullptr;
}

std::shared_ptr<Space> BrowserStore::findSpace(const Space& space) const {
  for (const auto& candidate : spaces.peek()) {
    if (candidate.get() == &space) return candidate;
  }
  return nullptr;
}

void BrowserStore::select(const BrowserTab& tab) {
  // The selection belongs to the space that holds the tab: a pop-up or an anchored tab opened in
  // a background space must not take over the selection of the space on screen.
  const auto space = spaceContaining(tab);
  if (!space) return;
  space->selectedTabID.set(tab.id);
  if (space == currentSpace()) {
    heldTab(*space, tab)->loadIfNeeded();
  }
  findBarVisible.set(false);
  scheduleSave();
}

std::shared_ptr<BrowserTab> BrowserStore::openTab(const Url& url, bool inBackground,
                                                  const std::shared_ptr<BrowserTab>& after) {
  auto tab = std::make_shared<BrowserTab>(Uuid::random(), url);
  insertTab(tab, after);
  tab->load(url);
  if (!inBackground) select(*tab);
  scheduleSave();
  return tab;
}

void BrowserStore::insertTab(std::shared_ptr<BrowserTab> tab,
                             const std::shared_ptr<BrowserTab>& after) {
  tab->store = weak_from_this();
  std::shared_ptr<Space> space = after ? spaceContaining(*after) : nullptr;
  size_t position = 0;
  if (space) {
    position = *positionOf(*space, *after) + 1;
  } else {
    space = currentSpace();
  }
  space->tabs.mutate([&](Space::TabList& tabs) {
    tabs.insert(tabs.begin() + static_cast<std::ptrdiff_t>(position), std::move(tab));
  });
}

void BrowserStore::pushClosedTab(const Space& space, const BrowserTab& tab) {
  const auto& address = tab.url.peek();
  if (!address) return;  // the start page is not worth reopening
  if (closedTabs.size() >= kClosedTabLimit) {
    closedTabs.erase(closedTabs.begin(), closedTabs.end() - (kClosedTabLimit - 1));
  }
  closedTabs.push_back(ClosedTab{space.id, *address, tab.title.peek()});
}

std::shared_ptr<BrowserTab> BrowserStore::selectNeighbour(Space& space, size_t removedAt) {
  const auto& tabs = space.tabs.peek();
  if (tabs.empty()) {
    space.selectedTabID.set(std::nullopt);
    return nullptr;
  }
  auto neighbour = tabs[std::min(removedAt, tabs.size() - 1)];
  space.selectedTabID.set(neighbour->id);
  return neighbour;
}

void BrowserStore::closeTab(const BrowserTab& tab) {
  const auto space = spaceContaining(tab);
  if (!space) return;
  const size_t position = *positionOf(*space, tab);
  // Keeps the tab alive through its removal: the caller's reference may be the list's only one.
  const auto closing = space->tabs.peek()[position];
  pushClosedTab(*space, *closing);
  const bool wasSelected = space->selectedTabID.peek() == closing->id;
  space->tabs.mutate([&](Space::TabList& tabs) {
    tabs.erase(tabs.begin() + static_cast<std::ptrdiff_t>(position));
  });
  closing->tearDown();
  if (wasSelected) {
    auto neighbour = selectNeighbour(*space, position);
    if (neighbour && space == currentSpace()) neighbour->loadIfNeeded();
  }
  findBarVisible.set(false);
  scheduleSave();
}

void BrowserStore::closeOtherTabs(const BrowserTab& except) {
  // The kept tab's own space, so that a tab outside the current space never empties the space on
  // screen.
  const auto space = spaceContaining(except);
  if (!space) return;
  const auto keep = heldTab(*space, except);
  const Space::TabList copy = space->tabs.peek();
  for (const auto& tab : copy) {
    if (tab != keep) closeTab(*tab);
  }
  select(*keep);
}

void BrowserStore::closeAllTabsInCurrentSpace() {
  const Space::TabList copy = currentSpace()->tabs.peek();
  for (const auto& tab : copy) closeTab(*tab);
}

void BrowserStore::moveTabs(const std::set<size_t>& fromOffsets, size_t toOffset) {
  currentSpace()->tabs.mutate(
      [&](Space::TabList& tabs) { moveElements(tabs, fromOffsets, toOffset); });
  scheduleSave();
}

void BrowserStore::moveTab(const BrowserTab& tab, Space& toSpace) {
  const auto source = spaceContaining(tab);
  if (!source || source.get() == &toSpace || !findSpace(toSpace)) return;
  const size_t position = *positionOf(*source, tab);
  const auto moving = source->tabs.peek()[position];
  source->tabs.mutate([&](Space::TabList& tabs) {
    tabs.erase(tabs.begin() + static_cast<std::ptrdiff_t>(position));
  });
  if (source->selectedTabID.peek() == moving->id) {
    // The neighbour takes the moved tab's place on screen when the source is shown, so it must
    // load as it would after a close.
    auto neighbour = selectNeighbour(*source, position);
    if (neighbour && source == currentSpace()) neighbour->loadIfNeeded();
  }
  toSpace.tabs.mutate([&](Space::TabList& tabs) { tabs.insert(tabs.begin(), moving); });
  scheduleSave();
}

// Spaces ----------------------------------------------------------------------------------------

void BrowserStore::select(const Space& space) {
  if (!findSpace(space)) return;
  currentSpaceID.set(space.id);
  if (auto tab = space.selectedTab()) tab->loadIfNeeded();
  findBarVisible.set(false);
  scheduleSave();
}

std::shared_ptr<Space> BrowserStore::addSpace() {
  const size_t count = spaces.peek().size();
  const auto presets = SpacePreset::all();
  const SpacePreset& preset = presets[count % presets.size()];
  const auto& symbols = spaceSymbols();
  auto space = std::make_shared<Space>(localized("Yeni Alan"),
                                       std::string(symbols[(7 * count) % symbols.size()]),
                                       preset.colorA, preset.colorB);
  spaces.mutate([&](SpaceList& list) { list.push_back(space); });
  scheduleSave();
  return space;
}

void BrowserStore::deleteSpace(const Space& space) {
  if (spaces.peek().size() < 2) return;
  const auto deleting = findSpace(space);
  if (!deleting) return;
  // Top to bottom, so that reopening them one after another puts them back in their order.
  for (const auto& tab : deleting->tabs.peek()) {
    pushClosedTab(*deleting, *tab);
    tab->tearDown();
  }
  const bool wasCurrent = deleting == currentSpace();
  spaces.mutate([&](SpaceList& list) { std::erase(list, deleting); });
  if (wasCurrent) {
    const auto& first = spaces.peek().front();
    currentSpaceID.set(first->id);
    if (auto tab = first->selectedTab()) tab->loadIfNeeded();
  }
  scheduleSave();
}

void BrowserStore::moveSpaces(const std::set<size_t>& fromOffsets, size_t toOffset) {
  spaces.mutate([&](SpaceList& list) { moveElements(list, fromOffsets, toOffset); });
  scheduleSave();
}

// Favourites ------------------------------------------------------------------------------------

bool BrowserStore::isFavorite(const BrowserTab& tab) const {
  const auto& address = tab.url.peek();
  if (!address) return false;
  return std::ranges::any_of(
      favorites.peek(), [&](const Favorite& favorite) { return samePage(favorite.url, *address); });
}

void BrowserStore::open(const Favorite& favorite) {
  const auto space = currentSpace();
  for (const auto& tab : space->tabs.peek()) {
    const auto& address = tab->url.peek();
    if (address && samePage(favorite.url, *address)) {
      select(*tab);
      return;
    }
  }
  openTab(favorite.url, false);
}

void BrowserStore::toggleFavorite(const BrowserTab& tab) {
  const auto& address = tab.url.peek();
  if (!address) return;
  if (!isFavorite(tab)) {
    Favorite favorite(Uuid::random(), tab.displayTitle(), *address, tab.faviconURL.peek());
    favorites.mutate([&](std::vector<Favorite>& list) { list.push_back(std::move(favorite)); });
  } else {
    const Url page = *address;
    favorites.mutate([&](std::vector<Favorite>& list) {
      std::erase_if(list, [&](const Favorite& favorite) { return samePage(favorite.url, page); });
    });
  }
  scheduleSave();
}

void BrowserStore::removeFavorite(const Uuid& id) {
  favorites.mutate([&](std::vector<Favorite>& list) {
    std::erase_if(list, [&](const Favorite& favorite) { return favorite.id == id; });
  });
  scheduleSave();
}

void BrowserStore::updateFavoriteIcon(const BrowserTab& tab) {
  const auto& address = tab.url.peek();
  const auto host = address ? address->host() : std::nullopt;
  const auto& icon = tab.faviconURL.peek();
  if (!host || !icon) return;
  const size_t count = favorites.peek().size();
  for (size_t i = 0; i < count; ++i) {
    if (favorites.peek()[i].url.host() != host) continue;
    favorites.mutate([&](std::vector<Favorite>& list) { list[i].faviconURL = icon; });
  }
  scheduleSave();
}

// History ---------------------------------------------------------------------------------------

void BrowserStore::recordVisit(const Url& url, const std::string& title) {
  const auto scheme = url.scheme();
  if (scheme != "http" && scheme != "https") return;
  const auto& entries = history.peek();
  if (!entries.empty() && entries.front().url == url) {
    history.mutate([&](std::vector<HistoryEntry>& list) {
      // A reload often finishes before the engine knows the title again.
      if (!title.empty()) list.front().title = title;
      list.front().date = Date::now();
    });
    return;
  }
  history.mutate([&](std::vector<HistoryEntry>& list) {
    list.insert(list.begin(), HistoryEntry(Uuid::random(), url, title, Date::now()));
    if (list.size() > kHistoryLimit) {
      list.erase(list.begin() + static_cast<std::ptrdiff_t>(kHistoryLimit), list.end());
    }
  });
}

void BrowserStore::retitleNewestVisit(const Url& url, const std::string& title) {
  const auto& entries = history.peek();
  if (title.empty() || entries.empty() || entries.front().url != url ||
      entries.front().title == title) {
    return;
  }
  history.mutate([&](std::vector<HistoryEntry>& list) { list.front().title = title; });
  scheduleSave();
}

void BrowserStore::clearHistory() {
  history.set({});
  scheduleSave();
}

}  // namespace zemblo
