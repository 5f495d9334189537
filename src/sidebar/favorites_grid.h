#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtkmm.h>

#include "model/records.h"
#include "platform/observable.h"
#include "sidebar/sidebar_context.h"
#include "window/favicon_view.h"

namespace zemblo {

class BrowserStore;

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
std::optional<std::string> selectedTabHost(const BrowserStore& store);

// A tile is marked while the selected tab's host is exactly the favourite's host: no case
// folding, no dropping of a leading "www.".
bool isFavoriteActive(const Favorite& favorite, const std::optional<std::string>& selectedHost);

// One favourite in the sidebar: its icon on a rounded tile, filled like the selected tab row
// while its site is open in the selected tab.
class FavoriteTile : public Gtk::Box {
 public:
  static constexpr int kHeight = 46;
  static constexpr double kIconSize = 20;
  static constexpr double kCornerRadius = 12;

  FavoriteTile(const SidebarContext& context, Favorite favorite);
  ~FavoriteTile() override;

  const Favorite& favorite() const { return favorite_; }
  void setActive(bool active);
  bool isActive() const { return active_; }
  bool isHovering() const { return hovering_; }

  void openInNewTab();
  void remove();
  Gtk::Popover& menu() { return menu_; }

 protected:
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;
  void size_allocate_vfunc(int width, int height, int baseline) override;

 private:
  void buildMenu();

  const SidebarContext& context_;
  Favorite favorite_;
  FaviconView icon_;
  Gtk::Popover menu_;
  bool active_ = false;
  bool hovering_ = false;
};

// The favourite tiles between the address pill and the space header, in the configured number
// of columns; hidden when switched off or when there are no favourites.
class FavoritesGrid : public Gtk::Grid {
 public:
  static constexpr int kSpacing = 8;

  explicit FavoritesGrid(const SidebarContext& context);
  ~FavoritesGrid() override;

  void sync();
  std::vector<FavoriteTile*> tiles() const { return tiles_; }
  int columns() const { return columns_; }

 private:
  void rebuild(const std::vector<Favorite>& favorites, int columns);

  const SidebarContext& context_;
  std::vector<Favorite> shown_;
  std::vector<FavoriteTile*> tiles_;
  int columns_ = 0;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
