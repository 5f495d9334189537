#include "sidebar/tab_list_view.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "model/browser_tab.h"
#include "model/browser_windows.h"
#include "model/dropped_address.h"
#include "model/localization.h"
#include "model/preferences_model.h"
#include "model/window_model.h"
#include "sidebar/keyboard_focus.h"
#include "sidebar/sidebar_context.h"
#include "sidebar/sidebar_rules.h"
#include "sidebar/tab_drag_value.h"
#include "sidebar/tab_row.h"
#include "widgets/accessibility.h"
#include "widgets/dropped_content.h"
#include "widgets/hover.h"
#include "widgets/paint.h"
#include "widgets/symbol_icons.h"

namespace zemblo {
namespace {

constexpr double kPlusPointSize = 12;
constexpr double kSecondaryOpacity = 0.55;
constexpr double kHoverFill = 0.06;
constexpr double kAutoScrollMargin = 24;

void allocateRow(Gtk::Widget& row, int width, double y, double height) {
  int minimum = 0, natural = 0, b1 = -1, b2 = -1;
  row.measure(Gtk::Orientation::HORIZONTAL, -1, minimum, natural, b1, b2);
  const int w = std::max(width, minimum);
  const graphene_point_t origin = GRAPHENE_POINT_INIT(0, static_cast<float>(y));
  gtk_widget_allocate(row.gobj(), w, static_cast<int>(std::lround(height)), -1,
                      gsk_transform_translate(nullptr, &origin));
}

}  // namespace

NewTabRow::NewTabRow(const SidebarContext& context) : context_(context) {
  set_name("NewTabRow");
  setAccessibleRole(*this, Gtk::Accessible::Role::BUTTON);
  set_layout_manager(Gtk::BinLayout::create());
  plus_.set_from_icon_name(symbolIconName("plus"));
  presentAsDecoration(plus_);
  plus_.set_pixel_size(symbolPixelSize(kPlusPointSize));
  plus_.set_size_request(16, -1);
  label_.set_name("NewTabRowLabel");
  label_.set_xalign(0);
  label_.set_ellipsize(Pango::EllipsizeMode::END);
  label_.set_hexpand(true);
  row_.append(plus_);
  row_.append(label_);
  row_.set_margin_start(10);
  row_.set_margin_end(10);
  row_.set_opacity(kSecondaryOpacity);
  row_.set_parent(*this);

  addTapAndHover(
      *this, [this] { tap(); }, [this](bool hovering) { setHovering(hovering); });
  activateWithKeys(*this, [this] { tap(); });

  observer_ = std::make_unique<Observer>([this] { sync(); });
}

NewTabRow::~NewTabRow() {
  observer_.reset();
  row_.unparent();
}

void NewTabRow::sync() {
  const DensityMetrics metrics = densityMetrics(context_.preferences.prefs().tabDensity);
  scheme_ = context_.scheme();
  label_.set_text(localized("Yeni Sekme"));
  setAccessibleName(*this, label_.get_text());
  Pango::AttrList attributes;
  auto size = Pango::Attribute::create_attr_size_absolute(
      static_cast<int>(std::lround(metrics.labelSize * PANGO_SCALE)));
  attributes.insert(size);
  label_.set_attributes(attributes);
  set_size_request(-1, static_cast<int>(metrics.rowHeight));
  queue_draw();
}

void NewTabRow::tap() {
  if (!activate_action(kNewTabAction)) g_warning("The new-tab row is in no browser window");
}

void NewTabRow::setHovering(bool hovering) {
  if (hovering == hovering_) return;
  hovering_ = hovering;
  queue_draw();
}

void NewTabRow::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
  if (hovering_) {
    GtkSnapshot* s = snapshot->gobj();
    const graphene_rect_t bounds = paint::rect(0, 0, get_width(), get_height());
    const GskRoundedRect shape = paint::roundedRect(bounds, kCornerRadius);
    const GdkRGBA fill = SidebarContext::primary(scheme_, kHoverFill);
    paint::appendRoundedFill(s, shape, fill);
  }
  snapshot_child(row_, snapshot);
}

// The list's content: the new-tab row at the top, then the tab rows, each sliding towards its
// place in the space's order. Also where dragged rows are dropped.
class TabListView::Column : public Gtk::Widget {
 public:
  static constexpr size_t kAnimatedArrivals = 8;

  struct Slot {
    Slot(Gtk::Widget& owner, std::unique_ptr<TabRow> row, double y)
        : row(std::move(row)),
          top(owner, y, [&owner] { owner.queue_allocate(); }),
          opacity(owner, 0,
                  [this] { this->row->set_opacity(std::clamp(opacity.value(), 0.0, 1.0)); }) {}
    std::unique_ptr<TabRow> row;
    AnimatedValue top;
    AnimatedValue opacity;
  };

  Column(TabListView& list, const SidebarContext& context)
      : list_(list), newTab_(context), fade_(*this, 1, [this] { set_opacity(fade_.value()); }) {
    set_name("TabColumn");
    groupForScreenReaders(*this);
    newTab_.set_parent(*this);
    // A row dragged from a tab list of any window of this browser moves its tab; links, files
    // and text from pages and other programs open new tabs where they are dropped.
    auto rows = Gtk::DropTarget::create(tabDragType(), Gdk::DragAction::MOVE);
    rows->signal_motion().connect(
        [this](double, double y) {
          dragMoved(y);
          return Gdk::DragAction::MOVE;
        },
        false);
    rows->signal_leave().connect([this] { setMarker(std::nullopt); });
    rows->signal_drop().connect(
        [this](const Glib::ValueBase& value, double, double y) {
          setMarker(std::nullopt);
          const auto payload = tabDragPayloadIn(value);
          return payload && list_.dropPayload(*payload, y);
        },
        false);
    add_controller(rows);
    auto drop = makeContentDropTarget(
        [this](const Glib::ValueBase& value, double, double y) {
          setMarker(std::nullopt);
          return list_.openDropped(value, y);
        },
        [this](double, double y) { dragMoved(y); });
    drop->signal_leave().connect([this] { setMarker(std::nullopt); });
    add_controller(drop);
  }

  ~Column() override {
    for (auto& slot : slots_) slot->row->unparent();
    newTab_.unparent();
  }

  double firstRowTop() const { return newTabRowPitch(density_); }
  double pitch() const { return tabRowPitch(density_); }
  double rowTop(size_t index) const { return firstRowTop() + index * pitch() + 1; }
  double rowBottom(size_t index) const {
    return rowTop(index) + densityMetrics(density_).rowHeight;
  }

  // Brings the rows in line with the space's tabs, reusing the row of every tab still there. A
  // replaced list (another space) starts afresh and fades in.
  void reconcile(const SidebarContext& context, const Space::TabList& tabs,
                 const std::optional<Uuid>& selected, TabDensity density, bool replaced) {
    // Only a change of the rows or their height changes the column's size: a new selection alone
    // (each step of a held Ctrl+Tab) measures no row again.
    const bool resized = replaced || density != density_ || !sameRows(tabs);
    density_ = density;
    std::unordered_map<const BrowserTab*, std::unique_ptr<Slot>> kept(slots_.size());
    for (auto& slot : slots_) kept[slot->row->tab().get()] = std::move(slot);
    slots_.clear();
    if (replaced) {
      for (auto& [tab, slot] : kept) slot->row->unparent();
      kept.clear();
      fade_.jumpTo(0);
      fade_.springTo(1, kSpaceFade);
    }
    // Tabs arriving by the dozen (links from another program, a restored window) take their
    // places at once: an animation per row would all run on the first frame the list gets.
    const size_t arriving =
        std::ranges::count_if(tabs, [&kept](const auto& tab) { return !kept.contains(tab.get()); });
    const bool animate = !replaced && arriving <= kAnimatedArrivals;
    for (size_t i = 0; i < tabs.size(); ++i) {
      const auto& tab = tabs[i];
      const double top = rowTop(i);
      auto found = kept.find(tab.get());
      std::unique_ptr<Slot> slot;
      if (found != kept.end()) {
        slot = std::move(found->second);
        kept.erase(found);
        if (animate) {
          slot->top.springTo(top, kRowSpring);
        } else {
          slot->top.jumpTo(top);
        }
      } else {
        slot = std::make_unique<Slot>(*this, std::make_unique<TabRow>(context, tab), top);
        slot->row->set_parent(*this);
        slot->row->set_opacity(0);
        if (animate) {
          slot->opacity.springTo(1, kRowSpring);
        } else {
          slot->opacity.jumpTo(1);
        }
      }
      slot->row->setSelected(selected && *selected == tab->id);
      slots_.push_back(std::move(slot));
    }
    // Rows of tabs that left the space.
    for (auto& [tab, slot] : kept) slot->row->unparent();
    if (resized) queue_resize();
  }

  size_t insertionIndexAt(double y) const {
    return tabInsertionIndex(slots_.size(), firstRowTop(), pitch(), y);
  }

  KeyboardGroup& keyboard() { return keyboard_; }

  void setMarker(std::optional<size_t> marker) {
    if (marker == marker_) return;
    marker_ = marker;
    queue_draw();
  }

 protected:
  Gtk::SizeRequestMode get_request_mode_vfunc() const override {
    return Gtk::SizeRequestMode::CONSTANT_SIZE;
  }

  void measure_vfunc(Gtk::Orientation orientation, int, int& minimum, int& natural,
                     int& minimum_baseline, int& natural_baseline) const override {
    minimum_baseline = natural_baseline = -1;
    if (orientation == Gtk::Orientation::VERTICAL) {
      minimum = natural = static_cast<int>(std::ceil(firstRowTop() + slots_.size() * pitch()));
      return;
    }
    // Titles shorten to fit, so the rows ask for no more than their fixed parts.
    minimum = natural = 0;
    int childMinimum = 0, childNatural = 0, b1 = -1, b2 = -1;
    newTab_.measure(Gtk::Orientation::HORIZONTAL, -1, childMinimum, childNatural, b1, b2);
    minimum = std::max(minimum, childMinimum);
    for (const auto& slot : slots_) {
      slot->row->measure(Gtk::Orientation::HORIZONTAL, -1, childMinimum, childNatural, b1, b2);
      minimum = std::max(minimum, childMinimum);
    }
    natural = minimum;
  }

  void size_allocate_vfunc(int width, int, int) override {
    const double rowHeight = densityMetrics(density_).rowHeight;
    allocateRow(newTab_, width, 1, rowHeight);
    for (const auto& slot : slots_) allocateRow(*slot->row, width, slot->top.value(), rowHeight);
    list_.revealPending();
  }

  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override {
    snapshot_child(newTab_, snapshot);
    for (const auto& slot : slots_) snapshot_child(*slot->row, snapshot);
    if (!marker_) return;
    // Where the dragged row will land.
    const double y = firstRowTop() + *marker_ * pitch() - 1;
    const GdkRGBA color = paint::foreground(*this);
    const graphene_rect_t line = paint::rect(6, y, std::max(0, get_width() - 12), 2);
    const GskRoundedRect rounded = paint::roundedRect(line, 1);
    paint::appendRoundedFill(snapshot->gobj(), rounded, color);
  }

 private:
  bool sameRows(const Space::TabList& tabs) const {
    return std::ranges::equal(tabs, slots_, [](const auto& tab, const auto& slot) {
      return tab.get() == slot->row->tab().get();
    });
  }

  std::vector<Gtk::Widget*> focusItems() {
    std::vector<Gtk::Widget*> items{&newTab_};
    for (const auto& slot : slots_) items.push_back(slot->row.get());
    return items;
  }

  void dragMoved(double y) {
    setMarker(insertionIndexAt(y));
    // Near an edge of the visible part, the list scrolls towards it.
    const auto adjustment = list_.scroller().get_vadjustment();
    const double visibleTop = adjustment->get_value();
    const double visibleBottom = visibleTop + adjustment->get_page_size();
    if (y < visibleTop + kAutoScrollMargin) {
      adjustment->set_value(visibleTop - pitch() / 2);
    } else if (y > visibleBottom - kAutoScrollMargin) {
      adjustment->set_value(visibleTop + pitch() / 2);
    }
  }

  TabListView& list_;
  NewTabRow newTab_;
  std::vector<std::unique_ptr<Slot>> slots_;
  TabDensity density_ = TabDensity::regular;
  std::optional<size_t> marker_;
  AnimatedValue fade_;
  // One stop for Tab, at the selected tab's row; the arrows walk the rows from the new-tab row.
  KeyboardGroup keyboard_{*this, [this] { return focusItems(); }, [] { return size_t(1); }};
};

TabListView::TabListView(const SidebarContext& context)
    : context_(context), column_(std::make_unique<Column>(*this, context)) {
  set_name("TabListView");
  groupForScreenReaders(*this);
  set_layout_manager(Gtk::BinLayout::create());
  set_vexpand(true);
  scroller_.set_policy(Gtk::PolicyType::NEVER, Gtk::PolicyType::EXTERNAL);
  scroller_.set_has_frame(false);
  scroller_.set_vexpand(true);
  scroller_.set_child(*column_);
  nameScrollbars(scroller_, localized("Dikey kaydırma çubuğu"), localized("Yatay kaydırma çubuğu"));
  scroller_.set_parent(*this);
  observer_ = std::make_unique<Observer>([this] { sync(); });
}

TabListView::~TabListView() {
  revealing_.disconnect();
  observer_.reset();
  scroller_.unset_child();
  scroller_.unparent();
}

void TabListView::sync() {
  const auto space = context_.tabs.currentSpace();
  const Space::TabList& tabs = space->tabs.get();
  const std::optional<Uuid> selected = space->selectedTabID.get();
  const TabDensity density = context_.preferences.prefs().tabDensity;
  const bool replaced = shownSpace_ && *shownSpace_ != space->id;
  shownSpace_ = space->id;
  const std::optional<size_t> focused = column_->keyboard().holdingFocus();
  column_->reconcile(context_, tabs, selected, density, replaced);
  const auto selectedAt =
      std::ranges::find_if(tabs, [&](const auto& tab) { return selected && tab->id == *selected; });
  column_->keyboard().settle(selectedAt == tabs.end() ? 0 : size_t(selectedAt - tabs.begin()) + 1,
                             focused);
  // The list is announced as the space's tabs.
  setAccessibleName(scroller_, space->name.get());
  if (replaced) scroller_.get_vadjustment()->set_value(0);
  if (selected && selected != revealedSelection_) {
    revealedSelection_ = selected;
    const auto at =
        std::ranges::find_if(tabs, [&](const auto& tab) { return tab->id == *selected; });
    if (at != tabs.end()) revealAfterLayout(size_t(at - tabs.begin()));
  }
}

void TabListView::revealAfterLayout(size_t index) {
  pendingReveal_ = index;
  column_->queue_allocate();
}

void TabListView::revealPending() {
  if (!pendingReveal_ || revealing_.connected()) return;
  // The viewport has given the adjustment the column's new height by now, but setting its value
  // during the allocation would lay the list out a second time in the same frame.
  revealing_ = Glib::signal_idle().connect(
      [this] {
        if (!pendingReveal_) return false;
        const double top = column_->rowTop(*pendingReveal_);
        const double bottom = column_->rowBottom(*pendingReveal_);
        pendingReveal_.reset();
        const auto adjustment = scroller_.get_vadjustment();
        const double shownTop = adjustment->get_value();
        const double page = adjustment->get_page_size();
        if (top < shownTop) {
          adjustment->set_value(top);
        } else if (bottom > shownTop + page) {
          adjustment->set_value(bottom - page);
        }
        return false;
      },
      Glib::PRIORITY_HIGH_IDLE);
}

size_t TabListView::insertionIndexAt(double y) const { return column_->insertionIndexAt(y); }

bool TabListView::openDropped(const Glib::ValueBase& value, double y) {
  std::optional<Url> address = addressFromDroppedUris(droppedUris(value));
  if (const auto text = droppedText(value); !address && text) {
    address = addressForDroppedText(*text, context_.preferences.searchEngine.peek());
  }
  if (!address) return false;
  const auto space = context_.tabs.currentSpace();
  if (!shownSpace_ || *shownSpace_ != space->id) return false;
  const Space::TabList& tabs = space->tabs.peek();
  const size_t at = tabInsertionIndex(tabs.size(), column_->firstRowTop(), column_->pitch(), y);
  const std::shared_ptr<BrowserTab> above = at == 0 ? nullptr : tabs[at - 1];
  context_.tabs.openTab(*address, /*inBackground=*/false, above);
  return true;
}

bool TabListView::takeFromOtherWindow(const Uuid& id, Space& space) {
  for (WindowModel* other : context_.windows.othersLike(context_.tabs)) {
    if (const auto tab = other->tabWithID(id)) {
      other->moveTabToWindow(*tab, context_.tabs, &space);
      return true;
    }
  }
  return false;
}

bool TabListView::dropPayload(const std::string& payload, double y) {
  const auto id = tabIdFromDragPayload(payload);
  if (!id) return false;
  const auto space = context_.tabs.currentSpace();
  // The list may have changed while the row was dragged: the tab's place is looked up now, and
  // the insertion point is measured against the rows shown now.
  if (!shownSpace_ || *shownSpace_ != space->id) return false;
  const Space::TabList& tabs = space->tabs.peek();
  const bool held = std::ranges::any_of(tabs, [&](const auto& tab) { return tab->id == *id; });
  // A row dragged out of another window's list: its tab comes to this window, then to its place.
  if (!held && !takeFromOtherWindow(*id, *space)) return false;
  const auto move = tabDropMove(
      tabs, *id, tabInsertionIndex(tabs.size(), column_->firstRowTop(), column_->pitch(), y));
  if (move) context_.tabs.moveTabs(move->fromOffsets, move->toOffset);
  return true;
}

}  // namespace zemblo
