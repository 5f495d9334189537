#include "window/start_page.h"

#include <adwaita.h>

#include <algorithm>
#include <chrono>
#include <cmath>

#include "model/browser_tab.h"
#include "model/favorites_model.h"
#include "model/localization.h"
#include "model/preferences_model.h"
#include "model/search_engine.h"
#include "model/theme_colors.h"
#include "model/typed_input.h"
#include "model/window_model.h"
#include "platform/text.h"
#include "widgets/accessibility.h"
#include "widgets/child_layout.h"
#include "widgets/favicon_view.h"
#include "widgets/hover.h"
#include "widgets/paint.h"
#include "widgets/symbol_icons.h"
#include "widgets/system_color_scheme.h"

namespace zemblo {
namespace {

constexpr double kTileMinimumWidth = StartTileGrid::kTileMinimumWidth;
constexpr double kTileSpacing = StartTileGrid::kColumnSpacing;
constexpr int kColumnMaximumWidth = 620;
constexpr int kCapsuleMaximumWidth = 560;
constexpr double kHoverScale = 1.06;
// Dark enough that, over a white picture, white text on the pane keeps a contrast of 4.5:1 and
// the dimmed placeholder one of 3:1.
constexpr double kPaneOverPicture = 0.65;

// A new widget that gives `child` all the width it is offered up to `maximum`, centred. Its
// floating reference goes to the parent it is given.
GtkWidget* clampedTo(int maximum, Gtk::Widget& child) {
  GtkWidget* clamp = adw_clamp_new();
  adw_clamp_set_maximum_size(ADW_CLAMP(clamp), maximum);
  adw_clamp_set_tightening_threshold(ADW_CLAMP(clamp), maximum);
  adw_clamp_set_child(ADW_CLAMP(clamp), child.gobj());
  return clamp;
}

void setFont(Gtk::Label& label, int points, Pango::Weight weight) {
  Pango::AttrList attributes;
  auto size = Pango::Attribute::create_attr_size(points * PANGO_SCALE);
  auto bold = Pango::Attribute::create_attr_weight(weight);
  attributes.insert(size);
  attributes.insert(bold);
  label.set_attributes(attributes);
}

}  // namespace

GlassBox::GlassBox(double radius) : radius_(radius), scale_(*this, 1, [this] { queue_draw(); }) {
  set_overflow(Gtk::Overflow::VISIBLE);
}

void GlassBox::setScale(double scale) { scale_.springTo(scale, kHoverSpring); }

void GlassBox::setOverPicture(bool overPicture) {
  if (overPicture == overPicture_) return;
  overPicture_ = overPicture;
  queue_draw();
}

void GlassBox::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
  // Grows about its centre, drawing over its neighbours rather than pushing them away.
  GtkSnapshot* s = snapshot->gobj();
  const graphene_point_t centre{float(get_width() / 2.0), float(get_height() / 2.0)};
  const graphene_point_t back{-centre.x, -centre.y};
  gtk_snapshot_save(s);
  gtk_snapshot_translate(s, &centre);
  const auto scale = float(scale_.value());
  gtk_snapshot_scale(s, scale, scale);
  gtk_snapshot_translate(s, &back);
  const graphene_rect_t bounds = paint::rect(0, 0, get_width(), get_height());
  const double radius = std::min(radius_, std::min(get_width(), get_height()) / 2.0);
  const GskRoundedRect shape = paint::roundedRect(bounds, radius);
  GdkRGBA fill = paint::foreground(*this);
  fill.alpha = 0.06f;
  GdkRGBA border = paint::foreground(*this);
  border.alpha = 0.1f;
  if (overPicture_) {
    fill = paint::grey(0, kPaneOverPicture);
    border = paint::grey(1, 0.16);
  }
  paint::appendRoundedFill(s, shape, fill);
  paint::appendInsideBorder(s, shape, 1, border);
  Gtk::Box::snapshot_vfunc(snapshot);
  gtk_snapshot_restore(s);
}

std::string startPagePlaceholder(std::string_view engineName) {
  return withArgument(localized("%@ ile ara veya adres gir"), engineName);
}

int startTileColumns(double width) {
  return std::max(1, int(std::floor((width + kTileSpacing) / (kTileMinimumWidth + kTileSpacing))));
}

StartTile::StartTile(FaviconLoader& favicons, const Favorite& favorite,
                     std::function<void()> action) {
  set_has_frame(false);
  add_css_class("start-tile");
  setAccessibleName(*this, favorite.title);
  auto* box = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 8);
  auto* icon = Gtk::make_managed<FaviconView>(favicons, 28);
  icon->set(favorite.faviconURL, favorite.url.host(), 28);
  icon->set_halign(Gtk::Align::CENTER);
  icon->set_valign(Gtk::Align::CENTER);
  auto* glass = Gtk::make_managed<GlassBox>(18);
  glass->append(*icon);
  icon->set_hexpand(true);
  glass->set_size_request(60, 60);
  glass->set_halign(Gtk::Align::CENTER);
  auto* title = Gtk::make_managed<Gtk::Label>(favorite.title);
  title->set_name("StartTileTitle");
  setFont(*title, 11, Pango::Weight::MEDIUM);
  title->add_css_class("start-secondary");
  title->set_ellipsize(Pango::EllipsizeMode::END);
  title->set_single_line_mode(true);
  title->set_max_width_chars(12);
  box->append(*glass);
  box->append(*title);
  set_child(*box);
  set_size_request(int(kTileMinimumWidth), -1);
  signal_clicked().connect(std::move(action));
  // The icon box grows a little under the pointer; the title stays as it is.
  trackHover(*this, [glass](bool hovering) { glass->setScale(hovering ? kHoverScale : 1); });
}

StartTileGrid::StartTileGrid() {
  set_name("StartTileGrid");
  groupForScreenReaders(*this);
}

StartTileGrid::~StartTileGrid() { setTiles({}); }

void StartTileGrid::setTiles(std::vector<StartTile*> tiles) {
  while (Gtk::Widget* child = get_first_child()) child->unparent();
  for (StartTile* tile : tiles) tile->set_parent(*this);
}

std::vector<StartTile*> StartTileGrid::tiles() const {
  std::vector<StartTile*> result;
  for (auto* child = const_cast<StartTileGrid*>(this)->get_first_child(); child;
       child = child->get_next_sibling()) {
    result.push_back(static_cast<StartTile*>(child));
  }
  return result;
}

StartTileGrid::Columns StartTileGrid::columnsFor(double width) {
  Columns columns;
  columns.count = startTileColumns(width);
  const double share = (width - kColumnSpacing * (columns.count - 1)) / columns.count;
  columns.width = std::clamp(share, kTileMinimumWidth, kTileMaximumWidth);
  return columns;
}

int StartTileGrid::rowHeight(double columnWidth) const {
  int height = 0;
  for (StartTile* tile : tiles()) {
    int minimum = 0, natural = 0, b1 = -1, b2 = -1;
    tile->measure(Gtk::Orientation::VERTICAL, int(columnWidth), minimum, natural, b1, b2);
    height = std::max(height, natural);
  }
  return height;
}

Gtk::SizeRequestMode StartTileGrid::get_request_mode_vfunc() const {
  return Gtk::SizeRequestMode::HEIGHT_FOR_WIDTH;
}

void StartTileGrid::measure_vfunc(Gtk::Orientation orientation, int for_size, int& minimum,
                                  int& natural, int& minimum_baseline,
                                  int& natural_baseline) const {
  minimum_baseline = natural_baseline = -1;
  if (orientation == Gtk::Orientation::HORIZONTAL) {
    minimum = int(kTileMinimumWidth);
    natural = int(kMaximumWidth);
    return;
  }
  const double width = std::min(for_size < 0 ? kMaximumWidth : double(for_size), kMaximumWidth);
  const Columns columns = columnsFor(width);
  const int count = int(tiles().size());
  const int rows = (count + columns.count - 1) / columns.count;
  minimum = natural =
      rows == 0 ? 0 : rows * rowHeight(columns.width) + int(kRowSpacing) * (rows - 1);
}

void StartTileGrid::size_allocate_vfunc(int width, int, int) {
  const double gridWidth = std::min(double(width), kMaximumWidth);
  const Columns columns = columnsFor(gridWidth);
  const double used = columns.count * columns.width + (columns.count - 1) * kColumnSpacing;
  const double left = std::round((width - used) / 2);
  const int height = rowHeight(columns.width);
  int index = 0;
  for (StartTile* tile : tiles()) {
    const int column = index % columns.count, row = index / columns.count;
    allocateChild(*tile, int(std::lround(left + column * (columns.width + kColumnSpacing))),
                  int(row * (height + kRowSpacing)), int(std::lround(columns.width)), height);
    ++index;
  }
}

StartPage::StartPage(WindowModel& tabs, const PreferencesModel& preferences,
                     const FavoritesModel& favorites, FaviconLoader& favicons, Scheduler& scheduler,
                     const SystemColorScheme& scheme)
    : tabs_(tabs),
      preferences_(preferences),
      favorites_(favorites),
      favicons_(favicons),
      scheduler_(scheduler),
      scheme_(scheme),
      clock_(preferences) {
  set_name("StartPage");
  groupForScreenReaders(*this);
  background_.set_parent(*this);
  background_.signalPictureChanged().connect(sigc::mem_fun(*this, &StartPage::pictureChanged));
  columnClamp_ = clampedTo(kColumnMaximumWidth, column_);
  gtk_widget_set_parent(columnClamp_, GTK_WIDGET(gobj()));
  column_.append(clock_);
  buildCapsule();
  column_.append(grid_);
  observer_ = std::make_unique<Observer>([this] { sync(); });
  signal_map().connect([this] {
    // Coming on screen, it takes the keyboard from the page it replaces or from nowhere, not from
    // a control beside it that the user is on (a row of the sidebar, whose tab just closed).
    auto* root = get_root();
    auto* focus = root ? root->get_focus() : nullptr;
    auto* content = get_parent();
    if (focus && content && focus != content && !focus->is_ancestor(*content)) return;
    focusField();
  });
}

StartPage::~StartPage() {
  layoutChange_.disconnect();
  observer_.reset();
  background_.unparent();
  gtk_widget_unparent(columnClamp_);
}

void StartPage::buildCapsule() {
  magnifier_.set_from_icon_name(symbolIconName("magnifyingglass"));
  presentAsDecoration(magnifier_);
  magnifier_.set_pixel_size(symbolPixelSize(17));
  magnifier_.set_opacity(0.6);
  field_.set_hexpand(true);
  field_.set_name("StartPageField");
  presentAsTextField(field_);
  Pango::AttrList attributes;
  // 17 points of the layout are 17 logical pixels; as typographic points the text would be a
  // third larger, and the placeholder would no longer fit the capsule of the smallest window.
  auto size = Pango::Attribute::create_attr_size_absolute(17 * PANGO_SCALE);
  attributes.insert(size);
  field_.set_attributes(attributes);
  // The text part's own Return signal, which gtkmm does not wrap.
  g_signal_connect(
      field_.gobj(), "activate",
      G_CALLBACK(+[](GtkText*, gpointer page) { static_cast<StartPage*>(page)->submit(); }), this);
  // The hint keeps its room while hidden, so the field does not change width as one types.
  returnHint_.set_text("↩");
  setFont(returnHint_, 11, Pango::Weight::SEMIBOLD);
  returnHint_.set_opacity(0);
  field_.signal_changed().connect(
      [this] { returnHint_.set_opacity(field_.get_text().empty() ? 0 : 0.4); });
  capsule_.set_spacing(12);
  capsule_.set_name("StartPageCapsule");
  column_.set_name("StartPageColumn");
  capsule_.set_size_request(-1, 56);
  for (Gtk::Widget* part :
       std::initializer_list<Gtk::Widget*>{&magnifier_, &field_, &returnHint_}) {
    part->set_valign(Gtk::Align::CENTER);
    capsule_.append(*part);
  }
  magnifier_.set_margin_start(22);
  returnHint_.set_margin_end(22);
  gtk_box_append(column_.gobj(), clampedTo(kCapsuleMaximumWidth, capsule_));
}

void StartPage::measure_vfunc(Gtk::Orientation, int, int& minimum, int& natural,
                              int& minimum_baseline, int& natural_baseline) const {
  // The card gives the page its size; the column shrinks to it.
  minimum = natural = 0;
  minimum_baseline = natural_baseline = -1;
}

void StartPage::size_allocate_vfunc(int width, int height, int) {
  background_.size_allocate(Gtk::Allocation(0, 0, width, height), -1);
  // Only the room above and below gives way; the sides keep theirs.
  const int margin = compact_ ? kCompactMargin : kMargin;
  const int columnWidth = std::max(0, width - 2 * kMargin);
  int minimum = 0, natural = 0, b1 = -1, b2 = -1;
  gtk_widget_measure(columnClamp_, GTK_ORIENTATION_VERTICAL, columnWidth, &minimum, &natural, &b1,
                     &b2);
  const int columnHeight = std::max(minimum, natural);
  const bool tooLow = columnHeight > height - 2 * margin;
  const bool roomAgain = compact_ && roomyHeight_ <= height - 2 * kMargin;
  if ((tooLow && !compact_) || roomAgain) {
    if (!compact_) roomyHeight_ = columnHeight;
    // Fonts and spacing can't change while the page is being laid out: on the next turn.
    if (!layoutChange_.connected()) {
      layoutChange_ = Glib::signal_idle().connect(
          [this, compact = !compact_] {
            setCompact(compact);
            return false;
          },
          Glib::PRIORITY_HIGH_IDLE);
    }
  }
  // Centred; a column that still does not fit keeps its top in view.
  const int y = std::max(margin, (height - columnHeight) / 2);
  const GtkAllocation column{kMargin, y, columnWidth, columnHeight};
  gtk_widget_size_allocate(columnClamp_, &column, -1);
}

void StartPage::setCompact(bool compact) {
  compact_ = compact;
  column_.set_spacing(compact ? kCompactSpacing : kSpacing);
  clock_.setCompact(compact);
  queue_resize();
}

void StartPage::setTab(std::shared_ptr<BrowserTab> tab) { tab_ = std::move(tab); }

void StartPage::sync() {
  const AppPreferences& prefs = preferences_.prefs();
  clock_.set_visible(prefs.showClock || prefs.showDate || prefs.showGreeting);
  // The engine is read here rather than observed: a change shows at the next refresh, while a
  // search always uses the engine chosen at that moment.
  setPlaceholder(field_, startPagePlaceholder(preferences_.searchEngine.get().displayName()));
  const auto& favorites = favorites_.list.get();
  grid_.set_visible(prefs.showStartFavorites && !favorites.empty());
  if (favorites != shownFavorites_) rebuildTiles(favorites);
  background_.update(themeColors(preferences_, tabs_), prefs, scheme_.get());
}

void StartPage::rebuildTiles(const std::vector<Favorite>& favorites) {
  shownFavorites_ = favorites;
  std::vector<StartTile*> tiles;
  for (const Favorite& favorite : favorites) {
    const Url url = favorite.url;
    tiles.push_back(
        Gtk::make_managed<StartTile>(favicons_, favorite, [this, url] { loadQuery(url); }));
  }
  grid_.setTiles(std::move(tiles));
}

void StartPage::submit() {
  const SearchEngine engine = preferences_.searchEngine.peek();
  const std::string text = field_.get_text();
  if (auto url = urlForInputOrSearch(text, engine)) loadQuery(*url);
  field_.set_text("");
}

void StartPage::loadQuery(const Url& url) {
  if (!tab_) {
    tabs_.openTab(url, false);
    return;
  }
  std::shared_ptr<BrowserTab> tab = tab_;
  tab->load(url);
  // After the card has swapped the start page for the web view, the page takes the keyboard.
  Glib::signal_idle().connect_once([tab] {
    if (WebViewPort* page = tab->storedWebView()) page->focusIfShown();
  });
}

void StartPage::focusFieldSoon() {
  focusTask_ = scheduler_.after(std::chrono::milliseconds(0), [this] { focusField(); });
}

void StartPage::focusField() {
  if (get_mapped()) field_.grab_focus();
}

void StartPage::pictureChanged() {
  // Light text on the dimmed picture, whatever the window's scheme; the background keeps it.
  if (background_.showsPicture()) {
    column_.add_css_class("over-picture");
  } else {
    column_.remove_css_class("over-picture");
  }
  capsule_.setOverPicture(background_.showsPicture());
}

}  // namespace zemblo
