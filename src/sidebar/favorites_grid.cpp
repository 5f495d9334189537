#include "sidebar/favorites_grid.h"

#include <algorithm>

#include "model/browser_store.h"
#include "model/localization.h"
#include "model/space.h"
#include "model/theme_colors.h"
#include "web/browser_tab.h"
#include "window/paint.h"

namespace zemblo {

int favoriteGridColumns(int64_t stored) { return int(std::clamp<int64_t>(stored, 1, 64)); }

FavoriteGridCell favoriteGridCell(size_t index, int columns) {
  const size_t width = size_t(std::max(1, columns));
  return {int(index / width), int(index % width)};
}

std::optional<std::string> selectedTabHost(const BrowserStore& store) {
  auto tab = store.currentSpace()->selectedTab();
  if (!tab) return std::nullopt;
  const auto& url = tab->url.get();
  return url ? url->host() : std::nullopt;
}

bool isFavoriteActive(const Favorite& favorite, const std::optional<std::string>& selectedHost) {
  const auto host = favorite.url.host();
  return selectedHost && host && *host == *selectedHost;
}

FavoriteTile::FavoriteTile(const SidebarContext& context, Favorite favorite)
    : context_(context), favorite_(std::move(favorite)), icon_(kIconSize) {
  set_name("FavoriteTile");
  set_hexpand(true);
  set_size_request(10, kHeight);
  set_tooltip_text(favorite_.title);
  icon_.set(favorite_.faviconURL, favorite_.url.host(), kIconSize);
  icon_.set_hexpand(true);
  icon_.set_halign(Gtk::Align::CENTER);
  icon_.set_valign(Gtk::Align::CENTER);
  append(icon_);
  buildMenu();

  auto click = Gtk::GestureClick::create();
  click->set_button(GDK_BUTTON_PRIMARY);
  click->signal_released().connect([this](int presses, double, double) {
    if (presses == 1) context_.store().open(favorite_);
  });
  add_controller(click);
  auto secondary = Gtk::GestureClick::create();
  secondary->set_button(GDK_BUTTON_SECONDARY);
  secondary->signal_pressed().connect([this](int, double x, double y) {
    menu_.set_pointing_to(Gdk::Rectangle(int(x), int(y), 1, 1));
    menu_.popup();
  });
  add_controller(secondary);
  auto motion = Gtk::EventControllerMotion::create();
  motion->signal_enter().connect([this](double, double) {
    hovering_ = true;
    queue_draw();
  });
  motion->signal_leave().connect([this] {
    hovering_ = false;
    queue_draw();
  });
  add_controller(motion);
}

FavoriteTile::~FavoriteTile() {
  if (menu_.get_parent()) menu_.unparent();
}

void FavoriteTile::buildMenu() {
  auto* box = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 2);
  auto* open = Gtk::make_managed<Gtk::Button>(localized("Yeni Sekmede Aç"));
  auto* remove = Gtk::make_managed<Gtk::Button>(localized("Favorilerden Kaldır"));
  for (Gtk::Button* button : {open, remove}) {
    button->set_has_frame(false);
    button->get_child()->set_halign(Gtk::Align::START);
  }
  remove->add_css_class("destructive-action");
  open->signal_clicked().connect([this] {
    menu_.popdown();
    openInNewTab();
  });
  // The tile may be destroyed by the removal, so the menu closes first.
  remove->signal_clicked().connect([this] {
    menu_.popdown();
    this->remove();
  });
  box->append(*open);
  box->append(*Gtk::make_managed<Gtk::Separator>());
  box->append(*remove);
  menu_.set_child(*box);
  menu_.set_has_arrow(false);
  menu_.set_parent(*this);
}

void FavoriteTile::openInNewTab() { context_.store().openTab(favorite_.url, false); }

void FavoriteTile::remove() {
  const Uuid id = favorite_.id;
  // Removing rebuilds the grid, which destroys this tile: leave the handler first.
  auto* store = &context_.store();
  Glib::signal_idle().connect_once([store, id] { store->removeFavorite(id); });
}

void FavoriteTile::setActive(bool active) {
  if (active == active_) return;
  active_ = active;
  queue_draw();
}

void FavoriteTile::size_allocate_vfunc(int width, int height, int baseline) {
  Gtk::Box::size_allocate_vfunc(width, height, baseline);
  if (menu_.get_visible()) menu_.present();
}

void FavoriteTile::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
  GtkSnapshot* s = snapshot->gobj();
  const ColorScheme scheme = context_.scheme();
  const float width = float(get_width()), height = float(get_height());
  const graphene_point_t centre{width / 2, height / 2};
  const graphene_point_t back{-centre.x, -centre.y};
  const float scale = hovering_ ? 1.04f : 1.0f;
  gtk_snapshot_save(s);
  gtk_snapshot_translate(s, &centre);
  gtk_snapshot_scale(s, scale, scale);
  gtk_snapshot_translate(s, &back);
  const graphene_rect_t bounds = paint::rect(0, 0, width, height);
  const GskRoundedRect shape = paint::roundedRect(bounds, kCornerRadius);
  GdkRGBA fill;
  if (active_) {
    const TranslucentColor selected = selectedTabFill(context_.store(), scheme);
    fill = paint::rgba(selected.color, selected.opacity);
    const GdkRGBA shadow = paint::grey(0, 0.1);
    gtk_snapshot_append_outset_shadow(s, &shape, &shadow, 0, 1, 0, 4);
  } else {
    fill = SidebarContext::primary(scheme, hovering_ ? 0.1 : 0.06);
  }
  gtk_snapshot_push_rounded_clip(s, &shape);
  gtk_snapshot_append_color(s, &fill, &bounds);
  gtk_snapshot_pop(s);
  snapshot_child(icon_, snapshot);
  gtk_snapshot_restore(s);
}

FavoritesGrid::FavoritesGrid(const SidebarContext& context) : context_(context) {
  set_name("FavoritesGrid");
  set_row_spacing(kSpacing);
  set_column_spacing(kSpacing);
  set_column_homogeneous(true);
  set_hexpand(true);
  observer_ = std::make_unique<Observer>([this] { sync(); });
}

FavoritesGrid::~FavoritesGrid() { observer_.reset(); }

void FavoritesGrid::sync() {
  BrowserStore& store = context_.store();
  const AppPreferences& prefs = store.prefs();
  const auto& favorites = store.favorites.get();
  const int columns = favoriteGridColumns(prefs.favoriteColumns);
  const bool shown = prefs.showFavorites && !favorites.empty();
  set_visible(shown);
  if (auto* slot = get_parent()) slot->set_visible(shown);
  if (favorites != shown_ || columns != columns_) rebuild(favorites, columns);
  const auto host = selectedTabHost(store);
  context_.scheme();  // the fills follow the sidebar's scheme
  for (FavoriteTile* tile : tiles_) {
    tile->setActive(isFavoriteActive(tile->favorite(), host));
    tile->queue_draw();
  }
}

void FavoritesGrid::rebuild(const std::vector<Favorite>& favorites, int columns) {
  while (auto* child = get_first_child()) remove(*child);
  tiles_.clear();
  shown_ = favorites;
  columns_ = columns;
  for (size_t i = 0; i < favorites.size(); ++i) {
    auto* tile = Gtk::make_managed<FavoriteTile>(context_, favorites[i]);
    const FavoriteGridCell cell = favoriteGridCell(i, columns);
    attach(*tile, cell.column, cell.row);
    tiles_.push_back(tile);
  }
  // Empty cells keep a short last row at one column's width.
  for (int column = int(favorites.size()); column < columns; ++column) {
    auto* filler = Gtk::make_managed<Gtk::Box>();
    filler->set_hexpand(true);
    attach(*filler, column, 0);
  }
}

}  // namespace zemblo
