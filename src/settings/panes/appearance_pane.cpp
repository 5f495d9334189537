#include "settings/panes/appearance_pane.h"

#include "model/localization.h"
#include "model/preferences_model.h"
#include "settings/kit/choice_cards.h"
#include "settings/kit/pref_controls.h"
#include "settings/kit/toggle_row.h"
#include "settings/previews/font_preview.h"
#include "settings/previews/interface_preview.h"
#include "settings/previews/page_dark_thumb.h"
#include "settings/previews/theme_thumb.h"

namespace zemblo {

AppearancePane::AppearancePane(const SettingsContext& context)
    : PaneBody(SettingsPane::appearance), context_(context) {
  PreferencesModel& preferences = context.preferences();
  append(*Gtk::make_managed<InterfacePreview>(context));

  auto& theme = addSection(localized("Tema"));
  pref_controls::addCards(theme, context, &AppPreferences::theme, [&context](ThemeMode mode) {
    return Gtk::make_managed<ThemeThumb>(context, mode);
  });

  auto& pageDark = addSection(
      localized("Sayfalar için karanlık mod"),
      localized("Kendi karanlık teması olan siteler onu kullanır; olmayanların renkleri akıllıca "
                "ters çevrilir. Fotoğraf ve videolar olduğu gibi kalır."));
  pref_controls::addCards(
      pageDark, context, &AppPreferences::pageDarkMode,
      [&context](PageDarkMode mode) { return Gtk::make_managed<PageDarkThumb>(context, mode); });
  const auto percent = [](double value) { return percentText(value); };
  brightness_ = &pageDark.add<SliderRow>(localized("Parlaklık"), std::nullopt, "sun.max",
                                         prefBinding(preferences, &AppPreferences::darkBrightness),
                                         kBrightnessRange, percent);
  contrast_ = &pageDark.add<SliderRow>(
      localized("Kontrast"), std::nullopt, "circle.righthalf.filled",
      prefBinding(preferences, &AppPreferences::darkContrast), kContrastRange, percent);
  excludedSites_ = &pageDark.add<ExcludedSitesList>(preferences, context.favicons());

  auto& font = addSection(localized("Yazı tipi"),
                          localized("Kenar çubuğu, başlangıç sayfası, komut çubuğu ve ayarlarda "
                                    "kullanılır."));
  pref_controls::addCards(
      font, context, &AppPreferences::interfaceFont,
      [&context](InterfaceFont option) { return Gtk::make_managed<FontPreview>(context, option); });

  auto& motion = addSection(localized("Hareket"));
  motion.add<ToggleRow>(localized("Hareketi azalt"),
                        localized("Başlangıç sayfasındaki arka plan animasyonunu durdurur"),
                        "figure.walk.motion",
                        prefBinding(preferences, &AppPreferences::reduceMotion));
  observer_ = std::make_unique<Observer>([this] { sync(); });
}

AppearancePane::~AppearancePane() { observer_.reset(); }

void AppearancePane::sync() {
  const AppPreferences& prefs = context_.preferences().prefs();
  const bool darkening = prefs.pageDarkMode != PageDarkMode::off;
  brightness_->set_visible(darkening);
  contrast_->set_visible(darkening);
  excludedSites_->set_visible(darkening && !prefs.darkDisabledHosts.empty());
}

}  // namespace zemblo
