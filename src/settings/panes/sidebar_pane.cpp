#include "settings/panes/sidebar_pane.h"

#include "model/localization.h"
#include "model/preferences_model.h"
#include "settings/kit/choice_cards.h"
#include "settings/kit/pref_controls.h"
#include "settings/kit/toggle_row.h"
#include "settings/previews/density_thumb.h"
#include "settings/previews/interface_preview.h"
#include "settings/previews/side_thumb.h"

namespace zemblo {

SidebarPane::SidebarPane(const SettingsContext& context)
    : PaneBody(SettingsPane::sidebar), context_(context) {
  PreferencesModel& preferences = context.preferences();
  append(*Gtk::make_managed<InterfacePreview>(context));

  auto& layout = addSection(localized("Yerleşim"));
  pref_controls::addCards(
      layout, context, &AppPreferences::sidebarSide,
      [&context](SidebarSide side) { return Gtk::make_managed<SideThumb>(context, side); });
  layout.add<SliderRow>(localized("Genişlik"),
                        localized("Kenar çubuğunun iç kenarından sürükleyerek de ayarlayabilirsin"),
                        "arrow.left.and.right",
                        prefBinding(preferences, &AppPreferences::sidebarWidth), kWidthRange,
                        pref_controls::pointText);

  auto& tabs = addSection(localized("Sekmeler"));
  pref_controls::addCards(
      tabs, context, &AppPreferences::tabDensity,
      [&context](TabDensity density) { return Gtk::make_managed<DensityThumb>(context, density); });

  auto& favorites = addSection(localized("Favoriler"));
  favorites.add<ToggleRow>(localized("Favorileri göster"), std::nullopt, "star",
                           prefBinding(preferences, &AppPreferences::showFavorites));
  columns_ = &favorites.add<SegmentedRow<int64_t>>(
      localized("Sütun sayısı"), std::nullopt, "square.grid.3x2", std::vector<int64_t>{3, 4, 5},
      prefBinding(preferences, &AppPreferences::favoriteColumns),
      [](const int64_t& count) { return std::to_string(count); }, kColumnsWidth);
  observer_ = std::make_unique<Observer>([this] { sync(); });
}

SidebarPane::~SidebarPane() { observer_.reset(); }

void SidebarPane::sync() {
  // The column count stays as it is while the grid is hidden, ready for when it comes back.
  pref_controls::setAvailable(*columns_, context_.preferences().prefs().showFavorites);
}

}  // namespace zemblo
