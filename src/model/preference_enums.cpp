#include "model/preference_enums.h"

#include "model/localization.h"

namespace zemblo::choice_detail {

std::string displayLabel(const ChoiceCase& choice) {
  if (!choice.translated) return std::string(choice.turkish);
  return localized(choice.turkish);
}

}  // namespace zemblo::choice_detail
