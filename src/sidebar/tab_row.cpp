#include "sidebar/tab_row.h"

#include <algorithm>
#include <cmath>

#include "model/browser_tab.h"
#include "model/browser_windows.h"
#include "model/favorites_model.h"
#include "model/localization.h"
#include "model/preferences_model.h"
#include "model/theme_colors.h"
#include "model/window_model.h"
#include "sidebar/sidebar_context.h"
#include "sidebar/tab_drag_value.h"
#include "sidebar/tab_row_keys.h"
#include "widgets/accessibility.h"
#include "widgets/hover.h"
#include "widgets/paint.h"
#include "widgets/symbol_icons.h"
#include "widgets/tooltip_guard.h"

namespace zemblo {
namespace {

constexpr double kHoverSeconds = 0.15;
constexpr double kHoverFill = 0.06;
constexpr double kLeadingPadding = 10;
constexpr double kTrailingPadding = 7;
constexpr double kSpacing = 10;
constexpr double kSpacerMinimum = 4;
constexpr double kUnselectedTitleOpacity = 0.8;
constexpr double kSparklesPointSize = 11;
constexpr double kClosePointSize = 10;
constexpr double kWaitingPointSize = 11;
constexpr double kSpeakerPointSize = 11;

void allocateCentred(Gtk::Widget& child, double x, double width, int rowHeight,
                     GskTransform* transform = nullptr) {
  int minimum = 0, natural = 0, b1 = -1, b2 = -1;
  const int w = static_cast<int>(std::lround(width));
  child.measure(Gtk::Orientation::VERTICAL, w, minimum, natural, b1, b2);
  const int height = std::min(std::max(minimum, natural), rowHeight);
  const graphene_point_t origin =
      GRAPHENE_POINT_INIT(static_cast<float>(x), (rowHeight - height) / 2.0f);
  GskTransform* placed = gsk_transform_translate(nullptr, &origin);
  if (transform) placed = gsk_transform_transform(placed, transform);
  gtk_widget_allocate(child.gobj(), w, height, -1, placed);
}

}  // namespace

TabRow::TabRow(const SidebarContext& context, std::shared_ptr<BrowserTab> tab)
    : context_(context),
      tab_(std::move(tab)),
      sparkles_("sparkles", symbolPixelSize(kSparklesPointSize)),
      favicon_(context.favicons, kIconSize),
      capture_(tab_),
      hover_(*this, 0, [this] { hoverChanged(); }) {
  set_name("TabRow");
  setAccessibleRole(*this, Gtk::Accessible::Role::TAB);
  set_overflow(Gtk::Overflow::VISIBLE);
  spinner_.set_size_request(static_cast<int>(kIconSize), static_cast<int>(kIconSize));
  // The engine fetches the page's icon and reports it, a private page's icon address is looked
  // up once it has loaded: a guess at the site's conventional address would ask the site again.
  favicon_.setGuessesSiteIcon(false);
  title_.set_name("TabRowTitle");
  title_.set_ellipsize(Pango::EllipsizeMode::END);
  title_.set_single_line_mode(true);
  title_.set_xalign(0);
  closeImage_.set_from_icon_name(symbolIconName("xmark"));
  closeImage_.set_pixel_size(symbolPixelSize(kClosePointSize));
  close_.set_child(closeImage_);
  close_.add_css_class("tab-close");
  close_.set_focus_on_click(false);
  // Delete and Ctrl+W close the focused row: the button that comes under the pointer is no stop
  // of its own for Tab.
  close_.set_focusable(false);
  close_.set_size_request(kCloseSize, kCloseSize);
  close_.set_visible(false);
  close_.signal_clicked().connect([this] { closeClicked(); });
  waiting_.set_from_icon_name(symbolIconName("exclamationmark.bubble"));
  waiting_.set_pixel_size(symbolPixelSize(kWaitingPointSize));
  waiting_.set_visible(false);
  setAccessibleName(waiting_, localized("Sayfa bir yanıt bekliyor"));
  speakerImage_.set_pixel_size(symbolPixelSize(kSpeakerPointSize));
  speaker_.set_child(speakerImage_);
  speaker_.add_css_class("tab-speaker");
  speaker_.set_focus_on_click(false);
  speaker_.set_focusable(false);  // the row's menu mutes and unmutes from the keyboard
  speaker_.set_size_request(kSpeakerSize, kSpeakerSize);
  speaker_.set_visible(false);
  speaker_.signal_clicked().connect([this] { tab_->setMuted(!tab_->isMuted.peek()); });
  for (Gtk::Widget* child : std::initializer_list<Gtk::Widget*>{
           &sparkles_, &spinner_, &favicon_, &title_, &waiting_, &capture_, &speaker_, &close_}) {
    child->set_parent(*this);
  }

  auto secondary = Gtk::GestureClick::create();
  secondary->set_button(GDK_BUTTON_SECONDARY);
  secondary->signal_pressed().connect([this](int, double x, double y) { popupContextMenu(x, y); });
  add_controller(secondary);
  auto middle = Gtk::GestureClick::create();
  middle->set_button(GDK_BUTTON_MIDDLE);
  middle->signal_released().connect([this](int, double x, double y) {
    if (contains(x, y)) closeClicked();
  });
  add_controller(middle);
  addTapAndHover(
      *this, [this] { tap(); }, [this](bool hovering) { setHovering(hovering); });

  drag_ = Gtk::DragSource::create();
  drag_->set_actions(Gdk::DragAction::MOVE);
  drag_->signal_prepare().connect([this](double x, double y) { return prepareDrag(x, y); }, false);
  drag_->signal_drag_begin().connect([this](const Glib::RefPtr<Gdk::Drag>&) {
    drag_->set_icon(Gtk::WidgetPaintable::create(*this), static_cast<int>(dragX_),
                    static_cast<int>(dragY_));
  });
  add_controller(drag_);
  addTabRowKeys(*this);

  observer_ = std::make_unique<Observer>([this] { sync(); });
}

TabRow::~TabRow() {
  observer_.reset();
  if (menu_) menu_->unparent();
  for (Gtk::Widget* child : std::initializer_list<Gtk::Widget*>{
           &sparkles_, &spinner_, &favicon_, &title_, &waiting_, &capture_, &speaker_, &close_}) {
    child->unparent();
  }
}

void TabRow::setSelected(bool selected) { selected_.set(selected); }

void TabRow::sync() {
  look_ = tabRowLook(*tab_);
  const bool selected = selected_.get();
  const AppPreferences& prefs = context_.preferences.prefs();
  const DensityMetrics metrics = densityMetrics(prefs.tabDensity);
  scheme_ = context_.scheme();
  const Palette palette = themeColors(context_.preferences, context_.tabs);
  const TranslucentColor fill = selectedTabFill(context_.preferences, context_.tabs, scheme_);
  selectedFill_ = paint::rgba(fill.color, fill.opacity);

  sparkles_.setGradient(gradient(palette.direction, palette.primary, palette.secondary));
  sparkles_.set_visible(look_.icon == TabRowIcon::startPageSymbol);
  spinner_.set_visible(look_.icon == TabRowIcon::spinner);
  spinner_.setSpinning(look_.icon == TabRowIcon::spinner);
  favicon_.set_visible(look_.icon == TabRowIcon::favicon);
  if (look_.icon == TabRowIcon::favicon)
    favicon_.set(look_.faviconURL, look_.faviconHost, kIconSize);

  title_.set_text(look_.title);
  const bool waiting = tab_->dialogs.pending.get().has_value();
  if (waiting != waiting_.get_visible()) {
    waiting_.set_visible(waiting);
    queue_resize();
  }
  const std::pair<int, bool> style{static_cast<int>(std::lround(metrics.labelSize * PANGO_SCALE)),
                                   selected};
  if (style != titleStyle_) {
    titleStyle_ = style;
    Pango::AttrList attributes;
    auto size = Pango::Attribute::create_attr_size_absolute(style.first);
    auto weight = Pango::Attribute::create_attr_weight(selected ? Pango::Weight::MEDIUM
                                                                : Pango::Weight::NORMAL);
    attributes.insert(size);
    attributes.insert(weight);
    title_.set_attributes(attributes);
  }
  title_.set_opacity(selected ? 1 : kUnselectedTitleOpacity);
  setHelpText(close_, localized("Sekmeyi kapat (Ctrl+W)"));
  // Every row has one: the name says which tab each closes.
  setAccessibleName(close_, withArgument(localized("%@ sekmesini kapat"), look_.title));
  setAccessibleName(*this, look_.title);
  setAccessibleSelected(*this, selected);
  syncSpeaker();

  if (metrics.rowHeight != rowHeight_) {
    rowHeight_ = metrics.rowHeight;
    queue_resize();
  }
  queue_draw();
}

void TabRow::syncSpeaker() {
  const bool muted = tab_->isMuted.get();
  const bool shown = muted || tab_->isPlayingAudio.get();
  if (shown != speaker_.get_visible()) {
    speaker_.set_visible(shown);
    queue_resize();
  }
  // Set anew, even the same symbol is looked up and the row laid out again.
  const Glib::ustring symbol = symbolIconName(muted ? "speaker.slash.fill" : "speaker.wave.2.fill");
  if (speakerImage_.get_icon_name() != symbol) speakerImage_.set_from_icon_name(symbol);
  // Named by what a click does, like the tab menu's item.
  setHelpText(speaker_, muteTitle(*tab_));
}

void TabRow::tap() { context_.tabs.select(*tab_); }

void TabRow::setHovering(bool hovering) {
  if (hovering == hovering_) return;
  hovering_ = hovering;
  if (hovering_) close_.set_visible(true);
  hover_.easeTo(hovering_ ? 1 : 0, kHoverSeconds, Ease::out);
  hoverChanged();
}

void TabRow::hoverChanged() {
  const double presence = std::clamp(hover_.value(), 0.0, 1.0);
  close_.set_opacity(presence);
  // The close button leaves once it has faded out.
  if (!hovering_ && presence <= 0) close_.set_visible(false);
  queue_allocate();
  queue_draw();
}

void TabRow::closeClicked() { context_.tabs.closeTab(*tab_); }

Glib::RefPtr<Gio::SimpleActionGroup> TabRow::makeActions(const TabMenuLook& look) {
  // Every action acts on the objects the menu was opened for, held until the menu goes.
  auto group = Gio::SimpleActionGroup::create();
  WindowModel* tabs = &context_.tabs;
  const BrowserWindows* every = &context_.windows;
  FavoritesModel* favorites = &context_.favorites;
  const std::shared_ptr<BrowserTab> tab = tab_;
  const Glib::RefPtr<Gdk::Display> display = get_display();
  // Each item finds its work by its action's name, so reordering the menu can't swap them.
  const std::map<std::string, std::function<void()>> work{
      {"copy-link",
       [tab, display] {
         if (const auto& url = tab->url.peek()) display->get_clipboard()->set_text(url->str());
       }},
      {"favorite", [favorites, tab] { favorites->toggle(*tab); }},
      {"reload", [tab] { tab->reload(); }},
      {"toggle-mute", [tab] { tab->setMuted(!tab->isMuted.peek()); }},
      {"close-others", [tabs, tab] { tabs->closeOtherTabs(*tab); }},
      {"close", [tabs, tab] { tabs->closeTab(*tab); }},
  };
  for (const auto* items : {&look.top, &look.bottom}) {
    for (const TabMenuItem& item : *items) {
      const auto found = work.find(item.action);
      if (found == work.end()) {
        g_warning("The tab menu has no work for its item \"%s\"", item.action.c_str());
        continue;
      }
      group->add_action(item.action, found->second)->set_enabled(item.enabled);
    }
  }

  std::map<std::string, std::shared_ptr<Space>> targets;
  for (const auto& space : tabs->spaces.peek()) {
    for (const auto& target : look.moveTargets) {
      if (space->id == target.spaceID) targets[space->id.str()] = space;
    }
  }
  group->add_action_with_parameter(
      "move-to-window", Glib::VARIANT_TYPE_INT32,
      [tabs, every, tab, windows = every->othersLike(*tabs)](const Glib::VariantBase& parameter) {
        const int index = Glib::VariantBase::cast_dynamic<Glib::Variant<int>>(parameter).get();
        // The window may have closed while the menu was open.
        const auto open = every->othersLike(*tabs);
        if (index < 0 || static_cast<size_t>(index) >= windows.size()) return;
        WindowModel* target = windows[static_cast<size_t>(index)];
        if (std::ranges::find(open, target) != open.end()) tabs->moveTabToWindow(*tab, *target);
      });
  group->add_action_with_parameter(
      "move", Glib::VARIANT_TYPE_STRING,
      [tabs, tab, targets = std::move(targets)](const Glib::VariantBase& parameter) {
        const auto id =
            Glib::VariantBase::cast_dynamic<Glib::Variant<Glib::ustring>>(parameter).get();
        const auto found = targets.find(id);
        if (found != targets.end()) tabs->moveTab(*tab, *found->second);
      });
  return group;
}

void TabRow::popupContextMenu(double x, double y) {
  const auto holding = context_.tabs.spaceContaining(*tab_);
  const TabMenuLook look =
      tabMenuLook(*tab_, context_.favorites.isFavorite(*tab_), context_.tabs.spaces.peek(),
                  holding ? std::optional<Uuid>(holding->id) : std::nullopt);

  const auto actions = makeActions(look);
  insert_action_group("tab", actions);

  const auto menuModel = Gio::Menu::create();
  auto top = Gio::Menu::create();
  for (const auto& item : look.top) top->append(item.label, "tab." + item.action);
  auto spaces = Gio::Menu::create();
  for (const auto& target : look.moveTargets) {
    auto entry = Gio::MenuItem::create(literalMenuLabel(target.name), "");
    entry->set_action_and_target("tab.move",
                                 Glib::Variant<Glib::ustring>::create(target.spaceID.str()));
    spaces->append_item(entry);
  }
  top->append_submenu(look.moveLabel, spaces);
  const auto windows = context_.windows.othersLike(context_.tabs);
  if (!windows.empty()) {
    auto list = Gio::Menu::create();
    for (size_t i = 0; i < windows.size(); ++i) {
      auto entry = Gio::MenuItem::create(literalMenuLabel(windows[i]->windowName()), "");
      entry->set_action_and_target("tab.move-to-window",
                                   Glib::Variant<int>::create(static_cast<int>(i)));
      list->append_item(entry);
    }
    top->append_submenu(localized("Pencereye Taşı"), list);
  }
  menuModel->append_section(top);
  auto bottom = Gio::Menu::create();
  for (const auto& item : look.bottom) bottom->append(item.label, "tab." + item.action);
  menuModel->append_section(bottom);

  if (menu_) menu_->unparent();
  menu_ = std::make_unique<Gtk::PopoverMenu>(menuModel);
  focusItemsOnly(*menu_);
  setAccessibleName(*menu_, look_.title);
  titleToolkitPages(*menu_, look_.title);
  menu_->set_parent(*this);
  menu_->set_has_arrow(false);
  menu_->set_pointing_to(Gdk::Rectangle(static_cast<int>(x), static_cast<int>(y), 1, 1));
  hideTooltipWhileOpen(close_, *menu_);
  pointerReturn_.watch(*menu_);
  menu_->popup();
}

Glib::RefPtr<Gdk::ContentProvider> TabRow::prepareDrag(double x, double y) {
  dragX_ = x;
  dragY_ = y;
  return tabDragContent(tabDragPayload(tab_->id));
}

GdkRGBA TabRow::fill() const {
  if (selected_.peek()) return selectedFill_;
  return SidebarContext::primary(scheme_, kHoverFill * std::clamp(hover_.value(), 0.0, 1.0));
}

Gtk::Widget& TabRow::shownIcon() {
  if (look_.icon == TabRowIcon::startPageSymbol) return sparkles_;
  if (look_.icon == TabRowIcon::spinner) return spinner_;
  return favicon_;
}

Gtk::SizeRequestMode TabRow::get_request_mode_vfunc() const {
  return Gtk::SizeRequestMode::CONSTANT_SIZE;
}

void TabRow::measure_vfunc(Gtk::Orientation orientation, int, int& minimum, int& natural,
                           int& minimum_baseline, int& natural_baseline) const {
  minimum_baseline = natural_baseline = -1;
  if (orientation == Gtk::Orientation::VERTICAL) {
    minimum = natural = static_cast<int>(std::lround(rowHeight_));
    return;
  }
  int labelMinimum = 0, labelNatural = 0, b1 = -1, b2 = -1;
  title_.measure(Gtk::Orientation::HORIZONTAL, -1, labelMinimum, labelNatural, b1, b2);
  const double fixed =
      kLeadingPadding + kIconSize + kSpacing + kSpacing + kSpacerMinimum + kTrailingPadding +
      (close_.get_visible() || speaker_.get_visible() ? kSpacing + kCloseSize : 0) +
      (speaker_.get_visible() ? kSpacing + kSpeakerSize : 0) +
      (waiting_.get_visible() ? kSpacing + kIconSize : 0) +
      (capture_.get_visible() ? kSpacing + CaptureIndicator::kSize : 0);
  minimum = static_cast<int>(std::ceil(fixed + labelMinimum));
  natural = static_cast<int>(std::ceil(fixed + labelNatural));
}

void TabRow::size_allocate_vfunc(int width, int height, int) {
  const int rowHeight = height;
  for (Gtk::Widget* icon : std::initializer_list<Gtk::Widget*>{&sparkles_, &spinner_, &favicon_}) {
    if (icon->get_visible()) allocateCentred(*icon, kLeadingPadding, kIconSize, rowHeight);
  }
  double end = width - kTrailingPadding;
  // The speaker keeps its place whether the close button is in or not: moving aside as the
  // pointer came near, it would leave the close button under a click meant for it.
  const double speakerX = end - kCloseSize - kSpacing - kSpeakerSize;
  if (close_.get_visible()) {
    // Grows from 0.8 of its size about its centre as it fades in.
    const double scale = 0.8 + 0.2 * std::clamp(hover_.value(), 0.0, 1.0);
    const graphene_point_t centre = GRAPHENE_POINT_INIT(kCloseSize / 2.0f, kCloseSize / 2.0f);
    const graphene_point_t back = GRAPHENE_POINT_INIT(-centre.x, -centre.y);
    GskTransform* grow = gsk_transform_translate(nullptr, &centre);
    grow = gsk_transform_scale(grow, static_cast<float>(scale), static_cast<float>(scale));
    grow = gsk_transform_translate(grow, &back);
    allocateCentred(close_, end - kCloseSize, kCloseSize, rowHeight, grow);
    gsk_transform_unref(grow);
    end -= kCloseSize + kSpacing;
  }
  if (speaker_.get_visible()) {
    allocateCentred(speaker_, speakerX, kSpeakerSize, rowHeight);
    end = speakerX - kSpacing;
  }
  if (capture_.get_visible()) {
    allocateCentred(capture_, end - CaptureIndicator::kSize, CaptureIndicator::kSize, rowHeight);
    end -= CaptureIndicator::kSize + kSpacing;
  }
  if (waiting_.get_visible()) {
    allocateCentred(waiting_, end - kIconSize, kIconSize, rowHeight);
    end -= kIconSize + kSpacing;
  }
  end -= kSpacerMinimum + kSpacing;
  const double start = kLeadingPadding + kIconSize + kSpacing;
  int labelMinimum = 0, labelNatural = 0, b1 = -1, b2 = -1;
  title_.measure(Gtk::Orientation::HORIZONTAL, -1, labelMinimum, labelNatural, b1, b2);
  const double labelWidth =
      std::max<double>(labelMinimum, std::min<double>(labelNatural, std::max(0.0, end - start)));
  allocateCentred(title_, start, labelWidth, rowHeight);
  // An open menu is sized again with the row: the first size is taken before its items have
  // their final style, and a menu that is never presented again stays cut at the bottom.
  if (menu_ && menu_->get_visible()) menu_->present();
}

void TabRow::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
  GtkSnapshot* s = snapshot->gobj();
  const graphene_rect_t bounds = paint::rect(0, 0, get_width(), get_height());
  const GskRoundedRect shape = paint::roundedRect(bounds, kCornerRadius);
  if (selected_.peek()) {
    const GdkRGBA shadow = paint::grey(0, 0.08);
    gtk_snapshot_append_outset_shadow(s, &shape, &shadow, 0, 1, 0, 6);
  }
  const GdkRGBA color = fill();
  if (color.alpha > 0) {
    paint::appendRoundedFill(s, shape, color);
  }
  snapshot_child(shownIcon(), snapshot);
  snapshot_child(title_, snapshot);
  if (waiting_.get_visible()) snapshot_child(waiting_, snapshot);
  if (capture_.get_visible()) snapshot_child(capture_, snapshot);
  if (speaker_.get_visible()) snapshot_child(speaker_, snapshot);
  if (close_.get_visible()) snapshot_child(close_, snapshot);
}

}  // namespace zemblo
