#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <gtkmm.h>

#include "model/records.h"
#include "platform/observable.h"
#include "settings/previews/preview_glass.h"
#include "settings/settings_context.h"
#include "widgets/start_background_view.h"

namespace zemblo {

// A picture of the start page as the settings make it, 250 high and as wide as the pane: the
// chosen background, and over it the date, the time, the greeting, the search field and the
// first favourites, each shown while its switch is on. Over the user's own picture the texts are
// light, whatever the window's scheme. It ignores the pointer, and shows the time of its last
// change: it has no clock of its own.
class StartPreview : public Gtk::Widget {
 public:
  static constexpr int kHeight = 250;
  static constexpr double kCornerRadius = 12;
  static constexpr size_t kMaximumFavorites = 6;

  explicit StartPreview(const SettingsContext& context);
  ~StartPreview() override;

  // The greeting it shows at any hour: the morning's, with the name after a comma when there is
  // one.
  static std::string greetingText(std::string_view name);

 protected:
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;

 private:
  void sync();
  void followPicture();
  void showFavorites(const std::vector<Favorite>& favorites);

  const SettingsContext& context_;
  StartBackgroundView background_;
  Gtk::Box column_{Gtk::Orientation::VERTICAL, 6};
  Gtk::Label date_;
  Gtk::Label time_;
  Gtk::Label greeting_;
  PreviewGlass capsule_;
  Gtk::Image magnifier_;
  Gtk::Box favorites_{Gtk::Orientation::HORIZONTAL, 8};
  std::vector<Favorite> shownFavorites_;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
