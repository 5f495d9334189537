#include "model/browser_store.h"

#include <array>

#include "model/localization.h"
#include "passwords/autofill_bridge.h"
#include "passwords/password_store.h"
#include "web/ad_blocker.h"
#include "web/browser_tab.h"
#include "web/dark_mode_controller.h"
#include "web/download_manager.h"

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

}  // namespace

std::shared_ptr<BrowserStore> BrowserStore::create(BrowserStoreEnvironment environment) {
  auto store = std::make_shared<BrowserStore>(Passkey{}, std::move(environment));
  store->start();
  return store;
}

BrowserStore::BrowserStore(Passkey, BrowserStoreEnvironment environment)
    : environment_(std::move(environment)),
      defaults_(environment_.defaults ? environment_.defaults : &UserDefaults::standard()),
      files_(environment_.files ? *environment_.files : SessionFiles()),
      scheduler_(environment_.scheduler ? *environment_.scheduler : Scheduler::mainLoop()) {}

BrowserStore::~BrowserStore() = default;

void BrowserStore::start() {
  downloads_ = std::make_unique<DownloadManager>();
  passwords_ = std::make_unique<PasswordStore>(*defaults_);
  adBlocker_ = std::make_unique<AdBlocker>(*defaults_);
  darkMode_ = std::make_unique<DarkModeController>();
  autofill_ = std::make_unique<AutofillBridge>();

  prefs_.set(AppPreferences::load(*defaults_));
  L10n::setEnglish(isEnglish(prefs_.peek().language));
  launchLanguage_ = prefs_.peek().language;

  restore(files_.readSession());
  history.set(files_.readHistory());
  relabelDefaultSpaces();

  if (auto tab = currentSpace()->selectedTab()) tab->loadIfNeeded();

  std::weak_ptr<BrowserStore> weakSelf = weak_from_this();
  autofill_->browser = weakSelf;
  adBlocker_->onChange = [weakSelf] {
    if (auto self = weakSelf.lock()) self->applyAdBlockToAllTabs();
  };
  darkMode_->browser = weakSelf;
  applyAppAppearance();
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
  now.save(*defaults_);
  if (now.theme != old.theme) applyAppAppearance();
  if (now.language != old.language) applyLanguage();
}

void BrowserStore::applyAppAppearance() {
  if (!environment_.applyAppearance) return;
  const ThemeMode theme = prefs_.peek().theme;
  // The appearance changes on a later turn, never inside the call that changed the preference.
  auto apply = environment_.applyAppearance;
  auto task = scheduler_.after(std::chrono::milliseconds(0), [apply, theme] { apply(theme); });
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
  const auto& list = adBlocker_->ruleList;
  if (!list) return;
  for (const auto& space : spaces.peek()) {
    for (const auto& tab : space->tabs.peek()) {
      auto* view = tab->storedWebView();
      if (!view) continue;
      const auto& address = tab->url.peek();
      const auto host = address ? address->host() : std::nullopt;
      const bool wanted =
          adBlocker_->isEnabled.peek() &&
          !adBlocker_->isAllowed(host ? std::optional<std::string_view>(*host) : std::nullopt);
      if (wanted == tab->adBlockApplied) continue;
      if (wanted)
        view->addContentRuleList(*list);
      else
        view->removeContentRuleList(*list);
      tab->adBlockApplied = wanted;
    }
  }
}

void BrowserStore::scheduleSave() {
  const std::weak_ptr<BrowserStore> weakSelf = weak_from_this();
  saveTask_ = scheduler_.after(kSaveDelay, [weakSelf] {
    if (auto self = weakSelf.lock()) self->saveNow();
  });
}

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
  files_.writeSession(sessionSnapshot());
  files_.writeHistory(history.peek());
}

void BrowserStore::relaunch() {
  saveNow();
  if (environment_.restartProcess) environment_.restartProcess();
}

}  // namespace zemblo
