#pragma once

#include <functional>
#include <utility>

#include "model/preferences_model.h"

namespace zemblo {

// A two-way binding to a value held elsewhere, as the settings controls use it: `get` is read in
// the control's sync (so a model read subscribes the control), `set` runs only for a change the
// user made.
template <class T>
struct Binding {
  std::function<T()> get;
  std::function<void(const T&)> set;
};

// One field of the preferences; writing the shown value again saves nothing.
template <class T>
Binding<T> prefBinding(PreferencesModel& preferences, T AppPreferences::*field) {
  return {[&preferences, field] { return preferences.prefs().*field; },
          [&preferences, field](const T& value) { preferences.setPref(field, value); }};
}

// Marks the time a control spends showing the model's value. GTK reports programmatic changes
// like the user's, so a control's change handler returns early while this is held: showing a
// value never writes it back.
class ShowingModelValue {
 public:
  explicit ShowingModelValue(bool& flag) : flag_(flag), outer_(flag) { flag_ = true; }
  ~ShowingModelValue() { flag_ = outer_; }
  ShowingModelValue(const ShowingModelValue&) = delete;
  ShowingModelValue& operator=(const ShowingModelValue&) = delete;

 private:
  bool& flag_;
  bool outer_;
};

}  // namespace zemblo
