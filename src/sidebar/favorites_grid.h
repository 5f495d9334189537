#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtkmm.h>

#include "model/records.h"
#include "platform/observable.h"
#include "sidebar/keyboard_focus.h"
#include "sidebar/sidebar_context.h"
#include "widgets/animated_value.h"
#include "widgets/favicon_view.h"
#include "widgets/pointer_return.h"

namespace zemblo {

class WindowModel;

// The number of columns the grid is laid out in; a stored value below one still gives one.
int favoriteGridColumns(int64_t stored);

// Where the tile at `index` sits in a grid of `columns`, filled row by row.
struct FavoriteGridCell {
  int row = 0;
  int column = 0;
  friend bool operator==(const FavoriteGridCell&, const FavoriteGridCell&) = default;
};
FavoriteGridCell favoriteGridCell(size_t index, int columns);

// The host of the current space's selected tab, as the address holds it; none on the start page.
std::optional<std::string> selectedTabHost(const WindowModel& tabs);

// A tile is marked while the selected tab's host is exactly the favourite's host: no case
// folding, no dropping of a leading "www.".
bool isFavoriteActive(const Favorite& favorite, const std::optional<std::string>& selectedHost);

// One favourite in the sidebar: its icon on a rounded tile, filled like the selected tab row
// while its site is open in the selected tab.
class FavoriteTile : public Gtk::Widget {
 public:
  static constexpr int kHeight = 46;
  static constexpr double kIconSize = 20;
  static constexpr double kCornerRadius = 12;
  static constexpr Spring kHoverSpring{0.25, 0.7};

  // `onRemove` takes the favourite off the list; the grid animates what follows.
  FavoriteTile(const SidebarContext& context, Favorite favorite,
               std::function<void(const Favorite&)> onRemove);
  ~FavoriteTile() override;

  const Favorite& favorite() const { return favorite_; }
  void setActive(bool active);
  bool isActive() const { return active_; }
  void setHovering(bool hovering);

  // Builds the context menu anew, in the interface language of the moment, and shows it.
  void popupMenu(double x, double y);

 protected:
  void measure_vfunc(Gtk::Orientation orientation, int for_size, int& minimum, int& natural,
                     int& minimum_baseline, int& natural_baseline) const override;
  void size_allocate_vfunc(int width, int height, int baseline) override;
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;

 private:
  void openInNewTab();
  void remove();

  const SidebarContext& context_;
  Favorite favorite_;
  std::function<void(const Favorite&)> onRemove_;
  PointerReturn pointerReturn_{*this};
  FaviconView icon_;
  std::unique_ptr<Gtk::PopoverMenu> menu_;
  Glib::RefPtr<Gio::SimpleActionGroup> actions_;
  bool active_ = false;
  bool hovering_ = false;
  // 0 at rest, 1 under the pointer; the scale and the hover fill follow it.
  AnimatedValue hover_;
};

// The favourite tiles between the address pill and the space header, in the configured number
// of columns; hidden when switched off or when there are no favourites. Tiles are kept by the
// favourite's id; after a removal the others slide to their new cells. One stop for Tab, at the
// tile of the open site or the first; the arrows walk the grid.
class FavoritesGrid : public Gtk::Widget {
 public:
  static constexpr int kSpacing = 8;
  static constexpr Spring kRemovalSpring{0.5, 0.85};

  explicit FavoritesGrid(const SidebarContext& context);
  ~FavoritesGrid() override;

  void sync();
  // Removes the favourite from the list; the grid then reflows on the removal spring.
  void removeFavorite(const Favorite& favorite);

 protected:
  Gtk::SizeRequestMode get_request_mode_vfunc() const override;
  void measure_vfunc(Gtk::Orientation orientation, int for_size, int& minimum, int& natural,
                     int& minimum_baseline, int& natural_baseline) const override;
  void size_allocate_vfunc(int width, int height, int baseline) override;
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;

 private:
  struct Slot;
  void reconcile(const std::vector<Favorite>& favorites, int columns, std::optional<Spring> spring);
  double cellWidth(int width) const;
  void scheduleDropFaded();
  void dropFadedSlots();

  const SidebarContext& context_;
  std::vector<std::unique_ptr<Slot>> slots_;
  std::vector<std::unique_ptr<Slot>> leaving_;
  std::vector<Favorite> shown_;
  int columns_ = 0;
  // Set by a removal from a tile's menu until the grid has reflowed.
  std::optional<Spring> pendingSpring_;
  std::unique_ptr<AnimatedValue> rows_;
  sigc::connection dropFaded_;
  KeyboardGroup keyboard_;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
