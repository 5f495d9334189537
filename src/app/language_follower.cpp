#include "app/language_follower.h"

#include "model/localization.h"
#include "model/preferences_model.h"

namespace zemblo {

LanguageFollower::LanguageFollower(AppLanguage saved) : language_(saved) {
  L10n::setEnglish(isEnglish(saved));
}

LanguageFollower::~LanguageFollower() { connection_.disconnect(); }

void LanguageFollower::follow(const PreferencesModel& preferences) {
  connection_.disconnect();
  const auto apply = [this, &preferences] {
    // Only a change of the language itself: every other write leaves the flag alone.
    const AppLanguage language = preferences.observablePrefs().peek().language;
    if (language == language_) return;
    language_ = language;
    L10n::setEnglish(isEnglish(language));
  };
  apply();
  connection_ = preferences.observablePrefs().signalChanged().connect(apply);
}

}  // namespace zemblo
