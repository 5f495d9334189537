#include "settings/panes/window_pane.h"

#include "model/localization.h"
#include "settings/kit/pref_controls.h"
#include "settings/kit/row_parts.h"
#include "settings/kit/segmented_row.h"
#include "settings/kit/toggle_row.h"
#include "settings/panes/window_preset_card.h"
#include "settings/previews/interface_preview.h"

namespace zemblo {
namespace {

constexpr int kPresetSpacing = 12;
constexpr int kPresetPadding = 14;
constexpr int kProgressWidth = 220;
constexpr int kCommandBarWidth = 160;

}  // namespace

WindowPane::WindowPane(const SettingsContext& context) : PaneBody(SettingsPane::window) {
  PreferencesModel& preferences = context.preferences();
  append(*Gtk::make_managed<InterfacePreview>(context));

  auto& presets = addSection(localized("Hazır görünümler"));
  auto* row = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, kPresetSpacing);
  row->set_homogeneous(true);
  row_parts::pad(*row, kPresetPadding, kPresetPadding);
  for (const WindowPreset& preset : WindowPreset::all()) {
    row->append(*Gtk::make_managed<WindowPresetCard>(context, preset));
  }
  presets.addRow(*row);

  auto& card = addSection(localized("İçerik kartı"));
  card.add<SliderRow>(localized("Köşe yuvarlaklığı"), std::nullopt, "square.dashed",
                      prefBinding(preferences, &AppPreferences::cornerRadius), kCornerRadiusRange,
                      pref_controls::pointText);
  card.add<SliderRow>(localized("Kenar boşluğu"), std::nullopt, "rectangle.inset.filled",
                      prefBinding(preferences, &AppPreferences::contentInset), kContentInsetRange,
                      pref_controls::pointText);
  card.add<ToggleRow>(localized("Gölge"), localized("Sayfa kartını arka plandan ayırır"), "shadow",
                      prefBinding(preferences, &AppPreferences::contentShadow));

  auto& loading = addSection(localized("Yükleme çubuğu"));
  pref_controls::addSegments(
      loading, preferences, localized("Stil"), localized("Sayfa yüklenirken üstte görünen çizgi"),
      "slider.horizontal.below.rectangle", &AppPreferences::progressStyle, kProgressWidth);

  auto& commandBar = addSection(localized("Komut çubuğu"));
  pref_controls::addSegments(commandBar, preferences, localized("Konum"), std::nullopt, "command",
                             &AppPreferences::commandBarPosition, kCommandBarWidth);
  commandBar.add<ToggleRow>(
      localized("Arka planı karart"), localized("Komut çubuğu açıkken sayfayı hafifçe karartır"),
      "circle.lefthalf.filled", prefBinding(preferences, &AppPreferences::dimBehindCommandBar));
}

}  // namespace zemblo
