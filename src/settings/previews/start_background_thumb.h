#pragma once

#include <memory>

#include <gtkmm.h>

#include "model/preference_enums.h"
#include "platform/observable.h"
#include "settings/settings_context.h"
#include "widgets/start_background_view.h"

namespace zemblo {

// The picture of one start-page background on its choice card: that background in the theme's
// colours, always still (the aurora too). The wallpaper's card shows a "choose a picture" symbol
// over it while there is no picture to show.
class StartBackgroundThumb : public Gtk::Overlay {
 public:
  StartBackgroundThumb(const SettingsContext& context, StartBackground kind);
  ~StartBackgroundThumb() override;

  // The preferences the card is drawn with: the current ones as this background, held still.
  static AppPreferences stillPrefs(AppPreferences prefs, StartBackground kind);

 private:
  void sync();
  void followPicture();

  const SettingsContext& context_;
  StartBackground kind_;
  StartBackgroundView background_;
  Gtk::Image symbol_;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
