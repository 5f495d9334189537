#pragma once

#include <sigc++/sigc++.h>

#include "model/app_language.h"

namespace zemblo {

class PreferencesModel;

// The one writer of the process's interface language (`L10n::setEnglish`) while the browser
// runs. The application sets it from the saved preferences before the store loads, because the
// store names its default spaces and words its notices as it loads; then it follows the
// preference.
class LanguageFollower {
 public:
  explicit LanguageFollower(AppLanguage saved);
  ~LanguageFollower();
  LanguageFollower(const LanguageFollower&) = delete;
  LanguageFollower& operator=(const LanguageFollower&) = delete;

  // From now on every change of the preference sets the language as the change is written,
  // before the model's owner is told of it (it names the default spaces anew) and before any
  // view rebuilds its texts on the next turn.
  void follow(const PreferencesModel& preferences);

 private:
  AppLanguage language_;
  sigc::connection connection_;
};

}  // namespace zemblo
