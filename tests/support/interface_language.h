#pragma once

#include "model/app_preferences.h"
#include "model/localization.h"
#include "model/preferences_model.h"

namespace zemblo::testing {

// Shows the interface in English (or Turkish) for the life of the object, then restores the
// language it found.
class InterfaceLanguage {
 public:
  explicit InterfaceLanguage(bool english) : previous_(L10n::isEnglish()) {
    L10n::setEnglish(english);
  }
  ~InterfaceLanguage() { L10n::setEnglish(previous_); }
  InterfaceLanguage(const InterfaceLanguage&) = delete;
  InterfaceLanguage& operator=(const InterfaceLanguage&) = delete;

 private:
  bool previous_;
};

// The application's part as a store loads: the interface language of the saved preferences.
inline void useSavedLanguage(UserDefaults& defaults) {
  L10n::setEnglish(isEnglish(AppPreferences::load(defaults).language));
}

// The application's part in a language change, for tests that run the models without it: the
// interface language is set first, then the preference is written.
inline void switchLanguage(PreferencesModel& preferences, AppLanguage language) {
  L10n::setEnglish(isEnglish(language));
  preferences.updatePrefs([language](AppPreferences& prefs) { prefs.language = language; });
}

}  // namespace zemblo::testing
