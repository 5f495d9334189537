#include "sidebar/favorites_grid.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

#include "model/browser_tab.h"
#include "model/favorites_model.h"
#include "model/localization.h"
#include "model/preferences_model.h"
#include "model/space.h"
#include "model/theme_colors.h"
#include "model/window_model.h"
#include "sidebar/keyboard_focus.h"
#include "widgets/accessibility.h"
#include "widgets/hover.h"
#include "widgets/paint.h"
#include "widgets/tooltip_guard.h"

namespace zemblo {

int favoriteGridColumns(int64_t stored) { return int(std::clamp<int64_t>(stored, 1, 64)); }

FavoriteGridCell favoriteGridCell(size_t index, int columns) {
  const size_t width = size_t(std::max(1, columns));
  return {int(index / width), int(index % width)};
}

std::optional<std::string> selectedTabHost(const WindowModel& tabs) {
  auto tab = tabs.currentSpace()->selectedTab();
  if (!tab) return std::nullopt;
  const auto& url = tab->url.get();
  return url ? url->host() : std::nullopt;
}

bool isFavoriteActive(const Favorite& favorite, const std::optional<std::string>& selectedHost) {
  const auto host = favorite.url.host();
  return selectedHost && host && *host == *selectedHost;
}

namespace {

constexpr double kRestingFill = 0.06;
constexpr double kHoverFill = 0.1;
constexpr double kHoverScale = 0.04;
constexpr double kFadedOpacity = 0.01;

}  // namespace

FavoriteTile::FavoriteTile(const SidebarContext& context, Favorite favorite,
                           std::function<void(const Favorite&)> onRemove)
    : context_(context),
      favorite_(std::move(favorite)),
      onRemove_(std::move(onRemove)),
      icon_(context.favicons, kIconSize),
      hover_(*this, 0, [this] { queue_draw(); }) {
  set_name("FavoriteTile");
  setAccessibleRole(*this, Gtk::Accessible::Role::BUTTON);
  setHelpText(*this, favorite_.title);
  icon_.set(favorite_.faviconURL, favorite_.url.host(), kIconSize);
  icon_.set_parent(*this);

  auto click = Gtk::GestureClick::create();
  click->set_button(GDK_BUTTON_PRIMARY);
  click->signal_released().connect([this](int presses, double x, double y) {
    if (presses == 1 && contains(x, y)) context_.favorites.open(favorite_, context_.tabs);
  });
  add_controller(click);
  auto secondary = Gtk::GestureClick::create();
  secondary->set_button(GDK_BUTTON_SECONDARY);
  secondary->signal_pressed().connect([this](int, double x, double y) { popupMenu(x, y); });
  add_controller(secondary);
  trackHover(*this, [this](bool hovering) { setHovering(hovering); });
  activateWithKeys(*this, [this] { context_.favorites.open(favorite_, context_.tabs); });
  openMenuWithKeys(*this, [this](double x, double y) -> Gtk::Popover* {
    popupMenu(x, y);
    return menu_.get();
  });

  actions_ = Gio::SimpleActionGroup::create();
  actions_->add_action("open-in-new-tab", [this] { openInNewTab(); });
  actions_->add_action("remove", [this] { remove(); });
  insert_action_group("favorite", actions_);
}

FavoriteTile::~FavoriteTile() {
  if (menu_) menu_->unparent();
  icon_.unparent();
}

void FavoriteTile::popupMenu(double x, double y) {
  auto model = Gio::Menu::create();
  auto open = Gio::Menu::create();
  open->append(localized("Yeni Sekmede Aç"), "favorite.open-in-new-tab");
  auto remove = Gio::Menu::create();
  remove->append(localized("Favorilerden Kaldır"), "favorite.remove");
  model->append_section(open);
  model->append_section(remove);
  if (menu_) menu_->unparent();
  menu_ = std::make_unique<Gtk::PopoverMenu>(model);
  focusItemsOnly(*menu_);
  setAccessibleName(*menu_, favorite_.title);
  titleToolkitPages(*menu_, favorite_.title);
  menu_->set_parent(*this);
  menu_->set_has_arrow(false);
  menu_->set_pointing_to(Gdk::Rectangle(int(x), int(y), 1, 1));
  hideTooltipWhileOpen(*this, *menu_);
  pointerReturn_.watch(*menu_);
  menu_->popup();
}

void FavoriteTile::openInNewTab() { context_.tabs.openTab(favorite_.url, false); }

void FavoriteTile::remove() {
  if (onRemove_) onRemove_(favorite_);
}

void FavoriteTile::setActive(bool active) {
  if (active == active_) return;
  active_ = active;
  queue_draw();
}

void FavoriteTile::setHovering(bool hovering) {
  if (hovering == hovering_) return;
  hovering_ = hovering;
  hover_.springTo(hovering ? 1 : 0, kHoverSpring);
}

void FavoriteTile::measure_vfunc(Gtk::Orientation orientation, int, int& minimum, int& natural,
                                 int& minimum_baseline, int& natural_baseline) const {
  minimum_baseline = natural_baseline = -1;
  minimum = natural = orientation == Gtk::Orientation::VERTICAL ? kHeight : 10;
}

void FavoriteTile::size_allocate_vfunc(int width, int height, int) {
  int iconWidth = 0, iconHeight = 0, unused = 0, baseline = -1;
  icon_.measure(Gtk::Orientation::HORIZONTAL, -1, unused, iconWidth, baseline, baseline);
  icon_.measure(Gtk::Orientation::VERTICAL, -1, unused, iconHeight, baseline, baseline);
  icon_.size_allocate(
      Gtk::Allocation((width - iconWidth) / 2, (height - iconHeight) / 2, iconWidth, iconHeight),
      -1);
  if (menu_ && menu_->get_visible()) menu_->present();
}

void FavoriteTile::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
  GtkSnapshot* s = snapshot->gobj();
  const ColorScheme scheme = context_.scheme();
  const double hover = hover_.value();
  const float width = float(get_width()), height = float(get_height());
  const graphene_point_t centre{width / 2, height / 2};
  const graphene_point_t back{-centre.x, -centre.y};
  const float scale = float(1 + kHoverScale * hover);
  gtk_snapshot_save(s);
  gtk_snapshot_translate(s, &centre);
  gtk_snapshot_scale(s, scale, scale);
  gtk_snapshot_translate(s, &back);
  const graphene_rect_t bounds = paint::rect(0, 0, width, height);
  const GskRoundedRect shape = paint::roundedRect(bounds, kCornerRadius);
  GdkRGBA fill;
  if (active_) {
    const TranslucentColor selected = selectedTabFill(context_.preferences, context_.tabs, scheme);
    fill = paint::rgba(selected.color, selected.opacity);
    const GdkRGBA shadow = paint::grey(0, 0.1);
    gtk_snapshot_append_outset_shadow(s, &shape, &shadow, 0, 1, 0, 4);
  } else {
    fill = SidebarContext::primary(scheme, kRestingFill + (kHoverFill - kRestingFill) * hover);
  }
  paint::appendRoundedFill(s, shape, fill);
  snapshot_child(icon_, snapshot);
  gtk_snapshot_restore(s);
}

// A tile and where it is drawn: its cell (fractional while it slides) and its opacity (below one
// while it fades out after a removal).
struct FavoritesGrid::Slot {
  Slot(FavoritesGrid& grid, std::unique_ptr<FavoriteTile> tile, FavoriteGridCell cell)
      : tile(std::move(tile)),
        column(grid, cell.column, [&grid] { grid.queue_allocate(); }),
        row(grid, cell.row, [&grid] { grid.queue_allocate(); }),
        opacity(grid, 1, [this, &grid] {
          this->tile->set_opacity(std::clamp(opacity.value(), 0.0, 1.0));
          grid.queue_draw();
          if (opacity.target() <= 0 && opacity.value() <= kFadedOpacity) grid.scheduleDropFaded();
        }) {}

  std::unique_ptr<FavoriteTile> tile;
  AnimatedValue column;
  AnimatedValue row;
  AnimatedValue opacity;
};

FavoritesGrid::FavoritesGrid(const SidebarContext& context)
    : context_(context),
      keyboard_(
          *this,
          [this] {
            std::vector<Gtk::Widget*> items;
            for (const auto& slot : slots_) items.push_back(slot->tile.get());
            return items;
          },
          [this] { return size_t(std::max(1, columns_)); }) {
  set_name("FavoritesGrid");
  groupForScreenReaders(*this);
  set_hexpand(true);
  rows_ = std::make_unique<AnimatedValue>(*this, 0, [this] { queue_resize(); });
  observer_ = std::make_unique<Observer>([this] { sync(); });
}

FavoritesGrid::~FavoritesGrid() {
  observer_.reset();
  dropFaded_.disconnect();
  for (auto* list : {&slots_, &leaving_}) {
    for (auto& slot : *list) slot->tile->unparent();
  }
}

void FavoritesGrid::removeFavorite(const Favorite& favorite) {
  pendingSpring_ = kRemovalSpring;
  context_.favorites.remove(favorite.id);
}

void FavoritesGrid::sync() {
  const AppPreferences& prefs = context_.preferences.prefs();
  const auto& favorites = context_.favorites.list.get();
  const int columns = favoriteGridColumns(prefs.favoriteColumns);
  const bool shown = prefs.showFavorites && !favorites.empty();
  set_visible(shown);
  if (auto* slot = get_parent()) slot->set_visible(shown);
  if (favorites != shown_ || columns != columns_) {
    reconcile(favorites, columns, shown ? pendingSpring_ : std::nullopt);
  }
  pendingSpring_.reset();
  const auto host = selectedTabHost(context_.tabs);
  context_.scheme();  // the fills follow the sidebar's scheme
  size_t entry = 0;
  for (size_t i = 0; i < slots_.size(); ++i) {
    FavoriteTile& tile = *slots_[i]->tile;
    tile.setActive(isFavoriteActive(tile.favorite(), host));
    if (tile.isActive()) entry = i;
    tile.queue_draw();
  }
  keyboard_.settle(entry);
}

void FavoritesGrid::reconcile(const std::vector<Favorite>& favorites, int columns,
                              std::optional<Spring> spring) {
  dropFadedSlots();
  std::map<Uuid, std::unique_ptr<Slot>> kept;
  for (auto& slot : slots_) kept[slot->tile->favorite().id] = std::move(slot);
  slots_.clear();
  shown_ = favorites;
  columns_ = columns;
  for (size_t i = 0; i < favorites.size(); ++i) {
    const FavoriteGridCell cell = favoriteGridCell(i, columns);
    auto found = kept.find(favorites[i].id);
    // A favourite edited in place (a new icon) gets a new tile in the same cell.
    if (found != kept.end() && found->second->tile->favorite() == favorites[i]) {
      auto& slot = found->second;
      for (auto [value, target] : {std::pair{&slot->column, cell.column}, {&slot->row, cell.row}}) {
        if (spring) {
          value->springTo(target, *spring);
        } else {
          value->jumpTo(target);
        }
      }
      slots_.push_back(std::move(slot));
      kept.erase(found);
      continue;
    }
    auto tile = std::make_unique<FavoriteTile>(
        context_, favorites[i], [this](const Favorite& favorite) { removeFavorite(favorite); });
    tile->set_parent(*this);
    slots_.push_back(std::make_unique<Slot>(*this, std::move(tile), cell));
  }
  // Screen readers and the keyboard's focus go through the tiles in the order of the widget tree,
  // so a tile made anew for an edited favourite takes its place there, not the last one.
  GtkWidget* previous = nullptr;
  for (const auto& slot : slots_) {
    gtk_widget_insert_after(GTK_WIDGET(slot->tile->gobj()), GTK_WIDGET(gobj()), previous);
    previous = GTK_WIDGET(slot->tile->gobj());
  }
  // Tiles whose favourite went fade out on the removal's spring, or go at once.
  for (auto& [id, slot] : kept) {
    if (!spring) {
      slot->tile->unparent();
      continue;
    }
    slot->tile->set_can_target(false);
    leaving_.push_back(std::move(slot));
    leaving_.back()->opacity.springTo(0, *spring);
  }
  const double rows =
      favorites.empty() ? 0 : favoriteGridCell(favorites.size() - 1, columns).row + 1;
  if (spring) {
    rows_->springTo(rows, *spring);
  } else {
    rows_->jumpTo(rows);
  }
  queue_resize();
}

void FavoritesGrid::scheduleDropFaded() {
  if (dropFaded_.connected()) return;
  // Not from inside the fading value's own callback, which the drop destroys.
  dropFaded_ = Glib::signal_idle().connect([this] {
    dropFadedSlots();
    return false;
  });
}

void FavoritesGrid::dropFadedSlots() {
  std::erase_if(leaving_, [](const std::unique_ptr<Slot>& slot) {
    if (slot->opacity.value() > kFadedOpacity) return false;
    slot->tile->unparent();
    return true;
  });
}

double FavoritesGrid::cellWidth(int width) const {
  const int columns = std::max(1, columns_);
  return std::max(0.0, (width - kSpacing * (columns - 1)) / double(columns));
}

Gtk::SizeRequestMode FavoritesGrid::get_request_mode_vfunc() const {
  return Gtk::SizeRequestMode::CONSTANT_SIZE;
}

void FavoritesGrid::measure_vfunc(Gtk::Orientation orientation, int, int& minimum, int& natural,
                                  int& minimum_baseline, int& natural_baseline) const {
  minimum_baseline = natural_baseline = -1;
  const int columns = std::max(1, columns_);
  if (orientation == Gtk::Orientation::HORIZONTAL) {
    minimum = natural = columns * 10 + (columns - 1) * kSpacing;
    return;
  }
  const double rows = std::max(0.0, rows_->value());
  minimum = natural =
      int(std::ceil(std::max(0.0, rows * (FavoriteTile::kHeight + kSpacing) - kSpacing)));
}

void FavoritesGrid::size_allocate_vfunc(int width, int, int) {
  const double cell = cellWidth(width);
  for (auto* list : {&slots_, &leaving_}) {
    for (const auto& slot : *list) {
      const int x = int(std::lround(slot->column.value() * (cell + kSpacing)));
      const int y = int(std::lround(slot->row.value() * (FavoriteTile::kHeight + kSpacing)));
      const int right = int(std::lround(slot->column.value() * (cell + kSpacing) + cell));
      slot->tile->size_allocate(Gtk::Allocation(x, y, right - x, FavoriteTile::kHeight), -1);
    }
  }
}

void FavoritesGrid::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
  for (const auto& slot : leaving_) snapshot_child(*slot->tile, snapshot);
  for (const auto& slot : slots_) snapshot_child(*slot->tile, snapshot);
}

}  // namespace zemblo
