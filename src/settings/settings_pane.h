#pragma once

#include <array>
#include <string>
#include <string_view>

#include "model/color.h"
#include "model/preference_enums.h"

namespace zemblo {

// The panes of the settings window, in the order the pane list shows them. Not a preference:
// the window starts on `appearance` every time it opens and remembers the choice nowhere.
enum class SettingsPane {
  general,
  appearance,
  colors,
  sidebar,
  window,
  startPage,
  spaces,
  privacy
};

// The raw value is the case name; the label (`label(pane)`) is the pane's title, through the
// localisation table.
template <>
struct ChoiceTraits<SettingsPane> {
  static constexpr std::array<ChoiceCase, 8> cases{{
      {"general", "Genel"},
      {"appearance", "Görünüm"},
      {"colors", "Renkler"},
      {"sidebar", "Kenar Çubuğu"},
      {"window", "Pencere"},
      {"startPage", "Başlangıç Sayfası"},
      {"spaces", "Alanlar"},
      {"privacy", "Gizlilik ve Güvenlik"},
  }};
};

// The localised title, as the pane list and the pane's header show it.
std::string paneTitle(SettingsPane pane);
// One line on what the pane holds, localised.
std::string paneSubtitle(SettingsPane pane);
// The symbol of the pane's icon tile.
std::string_view paneSymbol(SettingsPane pane);
// The colour of the pane's icon tile; it never tints anything else.
Color paneTint(SettingsPane pane);

}  // namespace zemblo
