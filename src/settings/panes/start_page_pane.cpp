#include "settings/panes/start_page_pane.h"

#include <charconv>

#include <cmath>
#include <cstdio>

#include "model/localization.h"
#include "model/preferences_model.h"
#include "model/wallpaper.h"
#include "settings/kit/binding.h"
#include "settings/kit/choice_cards.h"
#include "settings/kit/slider_row.h"
#include "settings/kit/toggle_row.h"
#include "settings/previews/start_background_thumb.h"
#include "settings/previews/start_preview.h"
#include "widgets/accessibility.h"
#include "widgets/wallpaper_image.h"

namespace zemblo {
namespace {

constexpr StartBackground kBackgrounds[] = {StartBackground::aurora, StartBackground::gradient,
                                            StartBackground::solid, StartBackground::wallpaper};

}  // namespace

StartPagePane::StartPagePane(const SettingsContext& context)
    : PaneBody(SettingsPane::startPage), context_(context), preview_(context) {
  append(preview_);
  buildWelcome();
  buildBackground();
  auto& favorites = addSection(localized("Favoriler"));
  favorites.add<ToggleRow>(localized("Favorileri göster"), localized("Arama kutusunun altında"),
                           "star",
                           prefBinding(context.preferences(), &AppPreferences::showStartFavorites));
  observer_ = std::make_unique<Observer>([this] { sync(); });
}

StartPagePane::~StartPagePane() {
  observer_.reset();
  if (chooser_) chooser_->hide();
}

void StartPagePane::buildWelcome() {
  PreferencesModel& preferences = context_.preferences();
  auto& welcome = addSection(localized("Karşılama"));
  auto& name = welcome.add<SettingsRow>(localized("Adın"), localized("Selamlamada kullanılır"),
                                        "person.crop.circle");
  nameField_.set_size_request(kNameFieldWidth, -1);
  // Empty preferences greet the first word of the user's full name, as the system reports it.
  nameField_.set_placeholder_text(namePlaceholder(AppPreferences().effectiveGreetingName()));
  nameField_.signal_changed().connect(sigc::mem_fun(*this, &StartPagePane::nameEdited));
  name.setAccessory(nameField_);
  welcome.add<ToggleRow>(localized("Saat"), std::nullopt, "clock",
                         prefBinding(preferences, &AppPreferences::showClock));
  use24Hour_ = &welcome.add<ToggleRow>(localized("24 saat biçimi"), std::nullopt, "24.circle",
                                       prefBinding(preferences, &AppPreferences::use24Hour));
  welcome.add<ToggleRow>(localized("Tarih"), std::nullopt, "calendar",
                         prefBinding(preferences, &AppPreferences::showDate));
  welcome.add<ToggleRow>(localized("Selamlama"), localized("Günaydın, iyi akşamlar…"), "hand.wave",
                         prefBinding(preferences, &AppPreferences::showGreeting));
}

void StartPagePane::buildBackground() {
  PreferencesModel& preferences = context_.preferences();
  auto& background = addSection(localized("Arka plan"));
  background.add<ChoiceCards<StartBackground>>(
      context_, std::vector<StartBackground>(std::begin(kBackgrounds), std::end(kBackgrounds)),
      prefBinding(preferences, &AppPreferences::startBackground),
      [](const StartBackground& kind) { return backgroundLabel(kind); },
      [this](const StartBackground& kind) -> Gtk::Widget* {
        return Gtk::make_managed<StartBackgroundThumb>(context_, kind);
      });
  speed_ = &background.add<SliderRow>(localized("Hareket hızı"), std::nullopt, "wind",
                                      prefBinding(preferences, &AppPreferences::auroraSpeed),
                                      SliderRow::Range{0, 2, 0.25}, &StartPagePane::speedLabel);

  image_ = &background.add<SettingsRow>(localized("Görsel"), std::nullopt, "photo");
  removeButton_.set_label(localized("Kaldır"));
  removeButton_.signal_clicked().connect(
      [this] { removeWallpaper(context_.preferences().prefs().wallpaperFile); });
  chooseButton_.set_label(localized("Görsel Seç…"));
  chooseButton_.add_css_class("suggested-action");
  chooseButton_.signal_clicked().connect([this] { chooseWallpaper(); });
  for (Gtk::Button* button : {&removeButton_, &chooseButton_}) {
    button->add_css_class("settings-small");
    button->set_valign(Gtk::Align::CENTER);
    imageButtons_.append(*button);
  }
  image_->setAccessory(imageButtons_, false);

  dim_ = &background.add<SliderRow>(localized("Karartma"), std::nullopt, "moon",
                                    prefBinding(preferences, &AppPreferences::wallpaperDim),
                                    SliderRow::Range{0, 0.7, std::nullopt},
                                    [](double value) { return percentText(value); });
  blur_ =
      &background.add<SliderRow>(localized("Bulanıklık"), std::nullopt, "drop",
                                 prefBinding(preferences, &AppPreferences::wallpaperBlur),
                                 SliderRow::Range{0, 40, std::nullopt}, &StartPagePane::blurLabel);
}

void StartPagePane::sync() {
  const AppPreferences& prefs = context_.preferences().prefs();
  if (nameField_.get_text().raw() != prefs.greetingName) {
    ShowingModelValue showing(showing_);
    nameField_.set_text(prefs.greetingName);
  }
  // The 24-hour switch keeps its value while the clock is off; it only cannot be used.
  setUsable(*use24Hour_, prefs.showClock);
  use24Hour_->set_opacity(prefs.showClock ? 1 : kDisabledOpacity);
  const bool aurora = prefs.startBackground == StartBackground::aurora;
  const bool wallpaper = prefs.startBackground == StartBackground::wallpaper;
  speed_->set_visible(aurora);
  for (Gtk::Widget* row : std::initializer_list<Gtk::Widget*>{image_, dim_, blur_}) {
    row->set_visible(wallpaper);
  }
  const bool hasFile = prefs.wallpaperFile.has_value();
  image_->setSubtitle(wallpaperProblem_ ? *wallpaperProblem_
                      : hasFile         ? localized("Kendi görselin kullanılıyor")
                                        : localized("Henüz görsel seçilmedi"));
  removeButton_.set_visible(hasFile);
}

void StartPagePane::nameEdited() {
  if (showing_) return;
  prefBinding(context_.preferences(), &AppPreferences::greetingName).set(nameField_.get_text());
}

std::string StartPagePane::backgroundLabel(StartBackground background) {
  switch (background) {
    case StartBackground::aurora:
      return "Aurora";  // the same word in both languages
    case StartBackground::gradient:
      return localized("Renk geçişi");
    case StartBackground::solid:
      return localized("Sade");
    case StartBackground::wallpaper:
      break;
  }
  return localized("Duvar kâğıdı");
}

std::string StartPagePane::speedLabel(double speed) {
  if (speed == 0) return localized("Durağan");
  // The C library would write the locale's decimal comma ("1,2x"); the badge reads the same in
  // every locale.
  char text[32];
  const auto end =
      std::to_chars(text, text + sizeof text - 1, speed, std::chars_format::general, 2);
  *end.ptr = 'x';
  return std::string(text, end.ptr + 1);
}

std::string StartPagePane::blurLabel(double blur) {
  return std::to_string(static_cast<long long>(std::trunc(blur)));
}

std::string StartPagePane::namePlaceholder(std::string_view fullUserName) {
  const std::string first = AppPreferences().effectiveGreetingName(fullUserName);
  return first.empty() ? localized("Adın") : first;
}

void StartPagePane::chooseWallpaper() {
  auto* window = dynamic_cast<Gtk::Window*>(get_root());
  chooser_ = window ? Gtk::FileChooserNative::create(
                          localized("Başlangıç sayfası için bir görsel seç"), *window,
                          Gtk::FileChooser::Action::OPEN, localized("Seç"), localized("Vazgeç"))
                    : Gtk::FileChooserNative::create(
                          localized("Başlangıç sayfası için bir görsel seç"),
                          Gtk::FileChooser::Action::OPEN, localized("Seç"), localized("Vazgeç"));
  chooser_->set_modal(true);
  chooser_->set_select_multiple(false);
  auto images = Gtk::FileFilter::create();
  images->add_mime_type("image/*");
  chooser_->set_filter(images);
  chooser_->signal_response().connect([this](int response) {
    const Glib::RefPtr<Gio::File> file =
        response == Gtk::ResponseType::ACCEPT ? chooser_->get_file() : nullptr;
    chooser_->hide();
    // A file the chooser cannot name as a local path (a remote location) cannot be copied.
    if (file && !file->get_path().empty()) useWallpaper(file->get_path());
  });
  chooser_->show();
}

void StartPagePane::useWallpaper(const std::filesystem::path& picked) {
  // The copy may finish after this pane is gone, and in tests after the preferences are gone.
  PreferencesModel* preferences = &context_.preferences();
  std::weak_ptr<const void> models = context_.lifetime();
  const AliveToken::Watch pane = alive_.watch();
  const auto decodes = [](const std::filesystem::path& file) {
    GdkTexture* texture = WallpaperImage::decode(file, kPictureCheckSide);
    if (texture) g_object_unref(texture);
    return texture != nullptr;
  };
  Wallpaper::importImageInBackground(
      picked, context_.preferences().prefs().wallpaperFile, decodes,
      [this, preferences, models, pane](Wallpaper::Import result) {
        if (!pane.expired()) {
          wallpaperProblem_ = result.problem;
          sync();
        }
        const auto alive = models.lock();
        const std::optional<std::string>& name = result.name;
        if (!alive || !name) return;
        // Another picture may have been chosen while this one was copied: it is replaced too.
        const std::optional<std::string> replaced = preferences->prefs().wallpaperFile;
        prefBinding(*preferences, &AppPreferences::wallpaperFile).set(name);
        if (replaced && replaced != name) Wallpaper::deleteFile(*replaced);
        prefBinding(*preferences, &AppPreferences::startBackground).set(StartBackground::wallpaper);
      });
}

void StartPagePane::removeWallpaper(const std::optional<std::string>& fileName) {
  // Only a name of the form the browser gives its copies is ever deleted; any other stored text
  // is just forgotten.
  wallpaperProblem_.reset();
  if (fileName) Wallpaper::deleteFile(*fileName);
  prefBinding(context_.preferences(), &AppPreferences::wallpaperFile).set(std::nullopt);
}

}  // namespace zemblo
