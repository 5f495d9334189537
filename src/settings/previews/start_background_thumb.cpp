#include "settings/previews/start_background_thumb.h"

#include "widgets/accessibility.h"

#include "model/preferences_model.h"
#include "model/theme_colors.h"
#include "widgets/symbol_icons.h"

namespace zemblo {

StartBackgroundThumb::StartBackgroundThumb(const SettingsContext& context, StartBackground kind)
    : context_(context), kind_(kind) {
  set_name("StartBackgroundThumb");
  set_child(background_);
  background_.signalPictureChanged().connect([this] { followPicture(); });
  symbol_.set_from_icon_name(symbolIconName("photo.badge.plus"));
  symbol_.set_pixel_size(symbolPixelSize(20));
  symbol_.set_name("ChooseSymbol");
  symbol_.add_css_class("settings-secondary");
  hideFromScreenReaders(symbol_);
  symbol_.set_halign(Gtk::Align::CENTER);
  symbol_.set_valign(Gtk::Align::CENTER);
  add_overlay(symbol_);
  followPicture();
  observer_ = std::make_unique<Observer>([this] { sync(); });
}

StartBackgroundThumb::~StartBackgroundThumb() { observer_.reset(); }

AppPreferences StartBackgroundThumb::stillPrefs(AppPreferences prefs, StartBackground kind) {
  prefs.startBackground = kind;
  prefs.auroraSpeed = 0;
  prefs.reduceMotion = true;
  return prefs;
}

void StartBackgroundThumb::sync() {
  const PreferencesModel& preferences = context_.preferences();
  background_.update(themeColors(preferences, context_.tabs()),
                     stillPrefs(preferences.prefs(), kind_), context_.scheme());
  followPicture();
}

void StartBackgroundThumb::followPicture() {
  symbol_.set_visible(kind_ == StartBackground::wallpaper && !background_.showsPicture());
}

}  // namespace zemblo
