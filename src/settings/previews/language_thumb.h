#pragma once

#include "settings/previews/option_thumbnail.h"

namespace zemblo {

// The picture of a language choice: a greeting in the language over a faint theme gradient, or
// a globe for the system's language. Its texts read the same in every interface language.
class LanguageThumb : public OptionThumbnail {
 public:
  struct Lines {
    const char* first;  // a greeting, or none when the globe stands first
    const char* second;
  };
  static Lines lines(AppLanguage language);

  LanguageThumb(const SettingsContext& context, AppLanguage language);

 protected:
  void draw(GtkSnapshot* snapshot, const graphene_rect_t& bounds) override;

 private:
  AppLanguage language_;
};

}  // namespace zemblo
