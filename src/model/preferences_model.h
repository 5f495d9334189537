#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

#include "model/app_preferences.h"
#include "model/search_engine.h"
#include "platform/observable.h"
#include "platform/scheduler.h"
#include "platform/throttle.h"
#include "platform/user_defaults.h"

namespace zemblo {

// The user's preferences and search engine, kept in the user defaults. Every write of the
// preferences is saved and reported to the owner, which brings the rest of the browser in line
// (appearance, language, page dark mode).
class PreferencesModel {
 public:
  // The preferences are written at once, then at most once per interval while they keep
  // changing (a dragged slider), and the last change is always written.
  static constexpr std::chrono::milliseconds kSaveInterval{250};

  // Loads what `defaults` hold. `changed` learns of every write that changed the preferences,
  // with the preferences from before it.
  PreferencesModel(UserDefaults& defaults, Scheduler& scheduler,
                   std::function<void(const AppPreferences& old)> changed);
  // Writes a change still waiting.
  ~PreferencesModel();
  PreferencesModel(const PreferencesModel&) = delete;
  PreferencesModel& operator=(const PreferencesModel&) = delete;

  const AppPreferences& prefs() const { return prefs_.get(); }
  const Observable<AppPreferences>& observablePrefs() const { return prefs_; }
  void setPrefs(AppPreferences value);
  // Writes one field as a whole new value: writing the stored value again saves nothing.
  template <class T>
  void setPref(T AppPreferences::*field, const std::type_identity_t<T>& value) {
    AppPreferences changed = prefs();
    changed.*field = value;
    setPrefs(std::move(changed));
  }
  template <class Change>
  void updatePrefs(Change&& change) {
    const AppPreferences old = prefs_.peek();
    prefs_.mutate(std::forward<Change>(change));
    didSet(old);
  }

  // The engine of searches typed into the command bar and the start page; change it with
  // setSearchEngine, which also stores it.
  Observable<SearchEngine> searchEngine{SearchEngine::google};
  void setSearchEngine(SearchEngine engine);

  // The interface language the browser was started in.
  AppLanguage launchLanguage() const { return launchLanguage_; }
  // Hands a change still waiting to the user defaults.
  void flush() { save_->flush(); }

 private:
  void didSet(const AppPreferences& old);

  UserDefaults& defaults_;
  std::function<void(const AppPreferences& old)> changed_;
  Observable<AppPreferences> prefs_;
  AppLanguage launchLanguage_ = AppLanguage::system;
  std::unique_ptr<Throttle> save_;
};

}  // namespace zemblo
