#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <gtkmm.h>

#include "model/records.h"
#include "platform/observable.h"
#include "platform/url.h"
#include "widgets/animated_value.h"
#include "widgets/start_background_view.h"
#include "window/clock_greeting.h"

namespace zemblo {

class BrowserTab;
class FaviconLoader;
class FavoritesModel;
class PreferencesModel;
class SystemColorScheme;
class WindowModel;

// The field's placeholder, naming the engine a search goes to.
std::string startPagePlaceholder(std::string_view engineName);

// The favourite tiles of the start page: as many columns of 84 to 96 points, 14 apart, as fit in
// the width (at least one).
int startTileColumns(double width);

// A box drawn as a rounded pane of frosted glass, which can grow about its centre.
class GlassBox : public Gtk::Box {
 public:
  explicit GlassBox(double radius);

  static constexpr Spring kHoverSpring{0.28, 0.7};

  // Springs to `scale`.
  void setScale(double scale);
  // Over a picture the glass turns to a dark pane, so that light text on it stays legible
  // however light or busy the picture is.
  void setOverPicture(bool overPicture);

 protected:
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;

 private:
  double radius_;
  AnimatedValue scale_;
  bool overPicture_ = false;
};

// One favourite on the start page: its icon in a rounded glass box that grows a little under the
// pointer, with the title below. Nothing else marks the hover: no fill, no tooltip.
class StartTile : public Gtk::Button {
 public:
  StartTile(FaviconLoader& favicons, const Favorite& favorite, std::function<void()> action);
};

// The start page's favourite tiles: as many columns of 84 to 96 points, 14 apart, as fit in at
// most 520 points, centred, with the rows 18 apart; a short last row starts at the first column.
class StartTileGrid : public Gtk::Widget {
 public:
  static constexpr double kMaximumWidth = 520;
  static constexpr double kTileMinimumWidth = 84;
  static constexpr double kTileMaximumWidth = 96;
  static constexpr double kColumnSpacing = 14;
  static constexpr double kRowSpacing = 18;

  StartTileGrid();
  ~StartTileGrid() override;

  void setTiles(std::vector<StartTile*> tiles);
  std::vector<StartTile*> tiles() const;

 protected:
  Gtk::SizeRequestMode get_request_mode_vfunc() const override;
  void measure_vfunc(Gtk::Orientation orientation, int for_size, int& minimum, int& natural,
                     int& minimum_baseline, int& natural_baseline) const override;
  void size_allocate_vfunc(int width, int height, int baseline) override;

 private:
  struct Columns {
    int count = 1;
    double width = kTileMinimumWidth;
  };
  static Columns columnsFor(double width);
  int rowHeight(double columnWidth) const;
};

// What the card shows for a tab without an address: the clock block, a search field that turns
// what is typed into an address or a search, and the favourite tiles, over the background the
// settings choose. Over the user's own picture the content is drawn light on dark.
class StartPage : public Gtk::Widget {
 public:
  StartPage(WindowModel& tabs, const PreferencesModel& preferences, const FavoritesModel& favorites,
            FaviconLoader& favicons, Scheduler& scheduler, const SystemColorScheme& scheme);
  ~StartPage() override;

  // The tab whose start page this is; none when the space has no tab to show.
  void setTab(std::shared_ptr<BrowserTab> tab);
  void sync();
  // Gives the search field the keyboard on the next turn, once the window has put this page on
  // screen; asked for by every new blank tab, also when this page is already shown.
  void focusFieldSoon();

  // Loads what the field holds, then empties it.
  void submit();
  // Into the page's tab, else into a new tab of the current space.
  void loadQuery(const Url& url);

 protected:
  void measure_vfunc(Gtk::Orientation orientation, int for_size, int& minimum, int& natural,
                     int& minimum_baseline, int& natural_baseline) const override;
  void size_allocate_vfunc(int width, int height, int baseline) override;

 private:
  static constexpr int kMargin = 40;
  static constexpr int kCompactMargin = 16;
  static constexpr int kSpacing = 36;
  static constexpr int kCompactSpacing = 18;

  void buildCapsule();
  // Tighter spacing and a smaller clock, so that a low card still shows every tile whole.
  void setCompact(bool compact);
  void rebuildTiles(const std::vector<Favorite>& favorites);
  void focusField();
  void pictureChanged();

  WindowModel& tabs_;
  const PreferencesModel& preferences_;
  const FavoritesModel& favorites_;
  FaviconLoader& favicons_;
  Scheduler& scheduler_;
  const SystemColorScheme& scheme_;
  std::shared_ptr<BrowserTab> tab_;
  StartBackgroundView background_;
  // The column is never wider than 620 points, the capsule never wider than 560.
  GtkWidget* columnClamp_ = nullptr;
  Gtk::Box column_{Gtk::Orientation::VERTICAL, kSpacing};
  ClockGreeting clock_;
  GlassBox capsule_{28};
  Gtk::Image magnifier_;
  Gtk::Text field_;
  Gtk::Label returnHint_;
  StartTileGrid grid_;
  std::vector<Favorite> shownFavorites_;
  bool compact_ = false;
  // The roomy column's height when it last had to give way, to know when it fits again.
  int roomyHeight_ = 0;
  sigc::connection layoutChange_;
  std::unique_ptr<ScheduledTask> focusTask_;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
