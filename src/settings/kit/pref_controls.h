#pragma once

#include <optional>
#include <string>
#include <vector>

#include <gtkmm.h>

#include "model/preference_enums.h"
#include "model/preferences_model.h"
#include "settings/kit/binding.h"
#include "settings/kit/choice_cards.h"
#include "settings/kit/segmented_row.h"
#include "settings/kit/settings_section.h"

// The controls the panes bind to a choice of the preferences, offering every case in declaration
// order under its label.
namespace zemblo::pref_controls {

template <Choice T>
std::vector<T> options() {
  const auto values = allCases<T>();
  return {values.begin(), values.end()};
}

// Choice cards for a preference; `preview` makes each card's picture with Gtk::make_managed.
template <Choice T, class Preview>
ChoiceCards<T>& addCards(SettingsSection& section, const SettingsContext& context,
                         T AppPreferences::*field, Preview preview) {
  return section.add<ChoiceCards<T>>(
      context, options<T>(), prefBinding(context.preferences(), field),
      [](const T& option) { return label(option); },
      [preview](const T& option) -> Gtk::Widget* { return preview(option); });
}

template <Choice T>
SegmentedRow<T>& addSegments(SettingsSection& section, PreferencesModel& preferences,
                             std::string title, std::optional<std::string> subtitle,
                             std::string symbol, T AppPreferences::*field, int width) {
  return section.add<SegmentedRow<T>>(
      std::move(title), std::move(subtitle), std::move(symbol), options<T>(),
      prefBinding(preferences, field), [](const T& option) { return label(option); }, width);
}

// Whole points, the fraction dropped: 231.7 reads "231 pt".
std::string pointText(double value);

// Shows a row dimmed and out of reach while the setting it belongs to is off.
void setAvailable(Gtk::Widget& row, bool available);

}  // namespace zemblo::pref_controls
