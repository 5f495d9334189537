#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <gtkmm.h>

#include "model/preference_enums.h"
#include "platform/alive_token.h"
#include "platform/observable.h"
#include "settings/kit/pane_body.h"
#include "settings/previews/start_preview.h"
#include "settings/settings_context.h"

namespace zemblo {

class SettingsRow;
class SliderRow;
class ToggleRow;

// The start page's settings under a live miniature of it: the name it greets, its clock, date
// and greeting, its background (the aurora's speed, or the user's own picture with its dimming
// and blur) and its favourites. Every control writes the preferences at once.
class StartPagePane : public PaneBody {
 public:
  static constexpr double kDisabledOpacity = 0.45;
  static constexpr int kNameFieldWidth = 180;
  // A chosen file is decoded this small to learn whether it is a picture at all.
  static constexpr int kPictureCheckSide = 64;

  explicit StartPagePane(const SettingsContext& context);
  ~StartPagePane() override;

  static std::string backgroundLabel(StartBackground background);
  // "Still" for 0, else two significant digits and "x".
  static std::string speedLabel(double speed);
  // The whole points, without a unit.
  static std::string blurLabel(double blur);
  // The first word of the user's full name, or "Your name" when it has none.
  static std::string namePlaceholder(std::string_view fullUserName);

  // Copies the picture in (off the main thread) and, once it is there, makes it the background;
  // a picture that cannot be copied changes nothing, and a file that gives no picture keeps the
  // current one while the image row says why.
  void useWallpaper(const std::filesystem::path& picked);

 private:
  // Deletes the stored picture of `fileName` and forgets it; the background stays the picture
  // kind and shows a still aurora.
  void removeWallpaper(const std::optional<std::string>& fileName);
  // Asks for a picture and makes it the background.
  void chooseWallpaper();
  void buildWelcome();
  void buildBackground();
  void sync();
  void nameEdited();

  const SettingsContext& context_;
  StartPreview preview_;
  Gtk::Entry nameField_;
  ToggleRow* use24Hour_ = nullptr;
  SliderRow* speed_ = nullptr;
  SettingsRow* image_ = nullptr;
  Gtk::Box imageButtons_{Gtk::Orientation::HORIZONTAL, 8};
  Gtk::Button removeButton_;
  Gtk::Button chooseButton_;
  SliderRow* dim_ = nullptr;
  SliderRow* blur_ = nullptr;
  std::optional<std::string> wallpaperProblem_;
  // Lets a picture copied after this pane closed find it gone.
  AliveToken alive_;
  Glib::RefPtr<Gtk::FileChooserNative> chooser_;
  bool showing_ = false;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
