#pragma once

#include "model/localization.h"

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

}  // namespace zemblo::testing
