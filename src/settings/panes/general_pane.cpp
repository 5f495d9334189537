#include "settings/panes/general_pane.h"

#include "model/localization.h"
#include "model/preferences_model.h"
#include "settings/kit/choice_cards.h"
#include "settings/kit/pref_controls.h"
#include "settings/kit/toggle_row.h"
#include "settings/panes/default_browser_row.h"
#include "settings/panes/download_folder_row.h"
#include "settings/panes/shortcut_row.h"
#include "settings/previews/language_thumb.h"
#include "widgets/accessibility.h"
#include "widgets/named_drop_down_items.h"

namespace zemblo {

GeneralPane::GeneralPane(const SettingsContext& context)
    : PaneBody(SettingsPane::general),
      context_(context),
      shortcuts_(keyboardShortcuts()),
      restartButton_(localized("Yeniden Başlat")) {
  PreferencesModel& preferences = context.preferences();

  auto& language =
      addSection(localized("Dil"), localized("Arayüz anında değişir. Sistem menüleri (Düzenle, "
                                             "Pencere) yeniden başlatınca değişir."));
  pref_controls::addCards(
      language, context, &AppPreferences::language,
      [&context](AppLanguage option) { return Gtk::make_managed<LanguageThumb>(context, option); });
  restartRow_ =
      Gtk::make_managed<SettingsRow>(localized("Yeniden Başlat"), std::nullopt, "arrow.clockwise");
  restartButton_.add_css_class("suggested-action");
  restartButton_.signal_clicked().connect([this] { activate_action("app.relaunch"); });
  restartRow_->setAccessory(restartButton_, false);
  // Every change of language builds the pane anew and fades it in: the row needs no fade of its
  // own.
  language.addRow(*restartRow_);

  auto& search = addSection(localized("Arama"));
  auto& engineRow = search.add<SettingsRow>(localized("Arama motoru"),
                                            localized("Adres çubuğuna yazdığın aramalar için"),
                                            "magnifyingglass");
  auto names = Gtk::StringList::create({});
  for (SearchEngine engine : SearchEngine::allCases) {
    names->append(std::string(engine.displayName()));
  }
  enginePicker_ = Gtk::make_managed<Gtk::DropDown>(names);
  enginePicker_->set_size_request(kEnginePickerWidth, -1);
  nameDropDownItems(*enginePicker_);
  enginePicker_->property_selected().signal_changed().connect(
      sigc::mem_fun(*this, &GeneralPane::enginePicked));
  engineRow.setAccessory(*enginePicker_);
  setAccessibleNameWithInnerButton(*enginePicker_, localized("Arama motoru"));

  auto& startup = addSection(localized("Açılış"));
  startup.add<ToggleRow>(localized("Son oturumu geri yükle"),
                         localized("Zemblo açıldığında sekmelerin kaldığın yerden devam eder"),
                         "clock.arrow.circlepath",
                         prefBinding(preferences, &AppPreferences::restoreSession));

  addSection(localized("Bağlantılar")).add<DefaultBrowserRow>();

  auto& downloads = addSection(localized("İndirmeler"));
  downloads.add<ToggleRow>(localized("Her dosyanın nereye kaydedileceğini sor"), std::nullopt,
                           "square.and.arrow.down",
                           prefBinding(preferences, &AppPreferences::askWhereToSave));
  downloads.add<DownloadFolderRow>(preferences);

  auto& pages = addSection(localized("Web sayfaları"));
  pages.add<SliderRow>(localized("Varsayılan yakınlaştırma"),
                       localized("Yeni açılan sekmeler bu boyutta başlar"), "plus.magnifyingglass",
                       prefBinding(preferences, &AppPreferences::defaultZoom), kZoomRange,
                       [](double zoom) { return percentText(zoom); });
  pages.add<ToggleRow>(localized("Yazım denetimi"),
                       localized("Yazı alanlarında yanlış yazılmış kelimelerin altını çizer"),
                       "textformat", prefBinding(preferences, &AppPreferences::spellChecking));
  // A list rather than segments: the longest of the English durations does not fit a segment.
  auto& sleepRow =
      pages.add<SettingsRow>(localized("Kullanılmayan sekmeleri uyut"),
                             localized("Uyuyan sekme seçilince kaldığı yerden açılır"), "moon");
  auto delays = Gtk::StringList::create({});
  for (TabSleepDelay delay : allCases<TabSleepDelay>()) delays->append(label(delay));
  sleepPicker_ = Gtk::make_managed<Gtk::DropDown>(delays);
  sleepPicker_->set_size_request(kEnginePickerWidth, -1);
  nameDropDownItems(*sleepPicker_);
  sleepPicker_->property_selected().signal_changed().connect(
      sigc::mem_fun(*this, &GeneralPane::sleepDelayPicked));
  sleepRow.setAccessory(*sleepPicker_);
  setAccessibleNameWithInnerButton(*sleepPicker_, localized("Kullanılmayan sekmeleri uyut"));

  auto& keys = addSection(localized("Klavye kısayolları"));
  for (const KeyboardShortcut& shortcut : shortcuts_) {
    keys.add<ShortcutRow>(shortcut);
  }
  observer_ = std::make_unique<Observer>([this] { sync(); });
}

GeneralPane::~GeneralPane() { observer_.reset(); }

void GeneralPane::sync() {
  PreferencesModel& preferences = context_.preferences();
  // The setting is compared, not the language it stands for: "system" and "Türkçe" may show the
  // same texts and still differ in what a restart gives the desktop's own texts.
  restartRow_->set_visible(preferences.prefs().language != preferences.launchLanguage());
  const SearchEngine engine = preferences.searchEngine.get();
  ShowingModelValue showing(showing_);
  for (size_t i = 0; i < SearchEngine::allCases.size(); ++i) {
    if (SearchEngine::allCases[i] == engine) enginePicker_->set_selected(guint(i));
  }
  sleepPicker_->set_selected(guint(preferences.prefs().tabSleepDelay));
}

void GeneralPane::enginePicked() {
  if (showing_) return;
  const guint index = enginePicker_->get_selected();
  if (index >= SearchEngine::allCases.size()) return;
  context_.preferences().setSearchEngine(SearchEngine::allCases[index]);
}

void GeneralPane::sleepDelayPicked() {
  if (showing_) return;
  const guint index = sleepPicker_->get_selected();
  const auto delays = allCases<TabSleepDelay>();
  if (index >= delays.size()) return;
  context_.preferences().updatePrefs(
      [delay = delays[index]](AppPreferences& p) { p.tabSleepDelay = delay; });
}

}  // namespace zemblo
