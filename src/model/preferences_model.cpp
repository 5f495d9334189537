#include "model/preferences_model.h"

namespace zemblo {

PreferencesModel::PreferencesModel(UserDefaults& defaults, Scheduler& scheduler,
                                   std::function<void(const AppPreferences& old)> changed)
    : defaults_(defaults),
      changed_(std::move(changed)),
      prefs_(AppPreferences::load(defaults)),
      launchLanguage_(prefs_.peek().language),
      save_(std::make_unique<Throttle>(scheduler, kSaveInterval,
                                       [this] { prefs_.peek().save(defaults_); })) {
  searchEngine.set(SearchEngine::selected(defaults));
}

PreferencesModel::~PreferencesModel() { save_->flush(); }

void PreferencesModel::setPrefs(AppPreferences value) {
  const AppPreferences old = prefs_.peek();
  prefs_.set(std::move(value));
  didSet(old);
}

void PreferencesModel::didSet(const AppPreferences& old) {
  if (prefs_.peek() == old) return;
  save_->request();
  changed_(old);
}

void PreferencesModel::setSearchEngine(SearchEngine engine) {
  defaults_.setString(SearchEngine::kDefaultsKey, engine.rawValue());
  searchEngine.set(engine);
}

}  // namespace zemblo
