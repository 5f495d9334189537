#include "window/command_bar.h"

#include <algorithm>
#include <cmath>

#include "model/browser_tab.h"
#include "model/history_model.h"
#include "model/localization.h"
#include "model/preferences_model.h"
#include "model/search_engine.h"
#include "model/theme_colors.h"
#include "model/window_model.h"
#include "widgets/accessibility.h"
#include "widgets/child_layout.h"
#include "widgets/paint.h"
#include "widgets/symbol_icons.h"
#include "widgets/system_color_scheme.h"

namespace zemblo {
namespace {

constexpr double kFieldPoints = 20;
constexpr double kSearchSymbolPoints = 18;
constexpr double kClearSymbolPoints = 14;
constexpr double kTertiaryOpacity = 0.3;
constexpr double kDividerOpacity = 0.5;
constexpr int kListPadding = 8;
constexpr int kFieldRowPadding = 20;

// The card's shadow: black, blurred over 40 points, falling 20 points down.
constexpr double kShadowOpacity = 0.22;
constexpr double kShadowBlur = 40;
constexpr double kShadowOffset = 20;

const char* searchSymbol(CommandBarMode mode) {
  return mode == CommandBarMode::newTab ? "plus.magnifyingglass" : "magnifyingglass";
}

const char* placeholder(CommandBarMode mode) {
  return mode == CommandBarMode::newTab ? "Yeni sekmede ara veya adres gir…"
                                        : "Ara veya adres gir…";
}

void setTextFont(Gtk::Text& text, double points) {
  Pango::AttrList attributes;
  auto size = Pango::Attribute::create_attr_size_absolute(static_cast<int>(points * PANGO_SCALE));
  attributes.insert(size);
  text.set_attributes(attributes);
}

}  // namespace

CommandBar::CommandBar(const Models& models, const SystemColorScheme& scheme, CommandBarMode mode)
    : mode_(mode),
      models_(models),
      scheme_(scheme),
      searchIcon_(searchSymbol(mode), symbolPixelSize(kSearchSymbolPoints)),
      clearSymbol_("xmark", symbolPixelSize(kClearSymbolPoints) * 2 / 3),
      appeared_(*this, 0, [this] { queue_draw(); }) {
  set_name("CommandBar");
  groupForScreenReaders(*this);

  dim_.set_name("CommandBarDim");
  auto dismiss = Gtk::GestureClick::create();
  dismiss->set_button(GDK_BUTTON_PRIMARY);
  dismiss->signal_released().connect([this](int presses, double, double) {
    if (presses == 1) close();
  });
  dim_.add_controller(dismiss);
  dim_.set_parent(*this);

  searchIcon_.set_valign(Gtk::Align::CENTER);

  setTextFont(field_, kFieldPoints);
  presentAsTextField(field_);
  setPlaceholder(field_, localized(placeholder(mode)));
  field_.set_hexpand(true);
  field_.set_valign(Gtk::Align::CENTER);
  // Return in the field; gtkmm does not wrap the text's "activate" signal.
  g_signal_connect(
      field_.gobj(), "activate",
      G_CALLBACK(+[](GtkText*, gpointer bar) { static_cast<CommandBar*>(bar)->submit(); }), this);

  // A filled disc with the cross cut out of it, in the faintest text colour.
  const double disc = symbolPixelSize(kClearSymbolPoints);
  clearSymbol_.setBackdrop(SymbolGlyph::Backdrop{disc, disc / 2, {std::nullopt, kTertiaryOpacity}});
  clearSymbol_.setInk({std::nullopt, 1, "window_bg_color"});
  clearButton_.set_child(clearSymbol_);
  clearButton_.set_has_frame(false);
  clearButton_.set_focus_on_click(false);
  clearButton_.set_can_focus(false);
  clearButton_.set_valign(Gtk::Align::CENTER);
  clearButton_.signal_clicked().connect([this] { setQuery(""); });
  setAccessibleName(clearButton_, localized("Temizle"));

  fieldRow_.set_size_request(-1, kFieldRowHeight);
  fieldRow_.set_margin_start(kFieldRowPadding);
  fieldRow_.set_margin_end(kFieldRowPadding);
  fieldRow_.append(searchIcon_);
  fieldRow_.append(field_);
  fieldRow_.append(clearButton_);

  divider_.set_opacity(kDividerOpacity);
  list_.set_margin_start(kListPadding);
  list_.set_margin_end(kListPadding);
  list_.set_margin_top(kListPadding);
  list_.set_margin_bottom(kListPadding);

  // Only a pointer that moves picks a row: one resting where a row appears (the bar opening
  // under it, or the list changing) leaves the highlight where the keyboard expects it.
  auto pointer = Gtk::EventControllerMotion::create();
  pointer->signal_motion().connect([this](double x, double y) { pointerMoved(x, y); });
  add_controller(pointer);

  card_.set_name("CommandBarCard");
  card_.append(fieldRow_);
  card_.append(divider_);
  card_.append(list_);
  card_.set_parent(*this);

  // The bar opens on the page it is about: the current tab's full address, ready to be replaced.
  if (mode_ == CommandBarMode::currentTab) {
    if (const auto tab = currentTab()) {
      // What the pill shows: after a failed load, the address that failed.
      const auto& error = tab->loadError.peek();
      const auto& url = error && error->url ? error->url : tab->url.peek();
      if (url) field_.set_text(url->str());
    }
  }
  field_.signal_changed().connect([this] { queryChanged(); });

  observer_ = std::make_unique<Observer>([this] { sync(); });
}

CommandBar::~CommandBar() {
  observer_.reset();
  focusTask_.reset();
  removeKeyMonitor();
  rows_.clear();
  dim_.unparent();
  card_.unparent();
}

std::string CommandBar::query() const { return field_.get_text(); }

void CommandBar::setQuery(const std::string& text) { field_.set_text(text); }

std::optional<size_t> CommandBar::highlightedIndex() const {
  if (suggestions_.empty()) return std::nullopt;
  return std::min(static_cast<size_t>(selection_), suggestions_.size() - 1);
}

std::shared_ptr<BrowserTab> CommandBar::currentTab() const {
  const auto space = models_.tabs.currentSpace();
  return space ? space->selectedTab() : nullptr;
}

void CommandBar::sync() {
  const AppPreferences& prefs = models_.preferences.prefs();
  if (prefs.commandBarPosition != position_) queue_allocate();
  position_ = prefs.commandBarPosition;
  dimBehind_ = prefs.dimBehindCommandBar;
  accent_ = themeColors(models_.preferences, models_.tabs).primary;
  searchIcon_.setInk({paint::rgba(accent_)});
  const std::string text = query();
  suggestions_ = zemblo::suggestions(models_.tabs, models_.history, text);
  clearButton_.set_visible(!text.empty());
  updateRows();
  queue_draw();
}

void CommandBar::updateRows() {
  const SearchEngine engine = models_.preferences.searchEngine.get();
  const auto highlighted = highlightedIndex();
  while (rows_.size() > suggestions_.size()) {
    list_.remove(*rows_.back());
    rows_.pop_back();
  }
  for (size_t i = 0; i < suggestions_.size(); ++i) {
    const bool selected = highlighted == i;
    if (i < rows_.size()) {
      rows_[i]->update(suggestions_[i], selected, accent_, engine);
      continue;
    }
    auto row = std::make_unique<SuggestionRow>(models_.favicons, suggestions_[i], selected, accent_,
                                               engine);
    // A click picks the row it lands on, whichever row is highlighted.
    auto click = Gtk::GestureClick::create();
    click->set_button(GDK_BUTTON_PRIMARY);
    click->signal_released().connect([this, i](int presses, double, double) {
      if (presses == 1 && i < suggestions_.size()) activate(Suggestion(suggestions_[i]));
    });
    row->add_controller(click);
    list_.append(*row);
    rows_.push_back(std::move(row));
  }
  divider_.set_visible(!suggestions_.empty());
  list_.set_visible(!suggestions_.empty());
}

void CommandBar::queryChanged() {
  selection_ = 0;
  // Evaluated at once, so that a Return typed right after the text acts on this text's list.
  observer_->syncNow();
}

void CommandBar::setSelection(int selection) {
  if (selection == selection_) return;
  selection_ = selection;
  observer_->syncNow();
}

void CommandBar::rowEntered(size_t index) { setSelection(static_cast<int>(index)); }

std::optional<std::pair<double, double>> CommandBar::restingPointer() {
  auto* native = get_native();
  const auto display = get_display();
  GdkSurface* surface = native ? gtk_native_get_surface(native->gobj()) : nullptr;
  GdkSeat* seat = display ? gdk_display_get_default_seat(display->gobj()) : nullptr;
  GdkDevice* device = seat ? gdk_seat_get_pointer(seat) : nullptr;
  double x = 0, y = 0;
  if (!surface || !device || !gdk_surface_get_device_position(surface, device, &x, &y, nullptr)) {
    return std::nullopt;
  }
  double offsetX = 0, offsetY = 0;
  gtk_native_get_surface_transform(native->gobj(), &offsetX, &offsetY);
  const graphene_point_t inNative = GRAPHENE_POINT_INIT(float(x - offsetX), float(y - offsetY));
  graphene_point_t inBar;
  if (!gtk_widget_compute_point(GTK_WIDGET(native->gobj()), GTK_WIDGET(gobj()), &inNative,
                                &inBar)) {
    return std::nullopt;
  }
  return std::pair<double, double>(inBar.x, inBar.y);
}

void CommandBar::pointerMoved(double x, double y) {
  // Events the toolkit makes up where the pointer rests are no move.
  const bool moved =
      !pointer_ || std::abs(pointer_->first - x) >= 1 || std::abs(pointer_->second - y) >= 1;
  pointer_ = {x, y};
  if (!moved) return;
  for (size_t i = 0; i < rows_.size(); ++i) {
    graphene_point_t at;
    const graphene_point_t point = GRAPHENE_POINT_INIT(float(x), float(y));
    if (gtk_widget_compute_point(GTK_WIDGET(gobj()), GTK_WIDGET(rows_[i]->gobj()), &point, &at) &&
        rows_[i]->contains(at.x, at.y)) {
      rowEntered(i);
      return;
    }
  }
}

void CommandBar::onAppearSetup() {
  if (setUp_) return;
  setUp_ = true;
  pointer_ = restingPointer();
  appeared_.springTo(1, kAppearSpring);
  // After the current update, once the field can take the focus.
  focusTask_ = models_.scheduler.after(std::chrono::milliseconds(0), [this] {
    if (get_mapped()) field_.grab_focus();
  });
  installKeyMonitor();
}

void CommandBar::on_map() {
  Gtk::Widget::on_map();
  onAppearSetup();
}

void CommandBar::installKeyMonitor() {
  if (monitor_) return;
  auto* window = dynamic_cast<Gtk::Widget*>(get_root());
  if (!window) return;
  monitor_ = Gtk::EventControllerKey::create();
  monitor_->set_name("CommandBarKeyMonitor");
  // Ahead of every widget of the window, the focused page and text field included.
  monitor_->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
  monitor_->signal_key_pressed().connect(
      [this](guint keyval, guint, Gdk::ModifierType) { return handleKey(keyval); }, false);
  window->add_controller(monitor_);
}

void CommandBar::removeKeyMonitor() {
  if (!monitor_) return;
  if (auto* window = monitor_->get_widget()) window->remove_controller(monitor_);
  removedMonitor_ = std::move(monitor_);
  monitor_.reset();
}

bool CommandBar::handleKey(guint keyval) {
  const auto count =
      static_cast<long>(zemblo::suggestions(models_.tabs, models_.history, query()).size());
  switch (keyval) {
    case GDK_KEY_Escape:
      close();
      return true;
    case GDK_KEY_Down:
    case GDK_KEY_KP_Down:
      if (count > 0) setSelection(static_cast<int>((selection_ + 1) % count));
      return true;
    case GDK_KEY_Up:
    case GDK_KEY_KP_Up:
      if (count > 0) setSelection(static_cast<int>((selection_ - 1 + count) % count));
      return true;
    default:
      return false;
  }
}

void CommandBar::submit() {
  const auto index = highlightedIndex();
  if (!index) {
    close();
    return;
  }
  activate(Suggestion(suggestions_[*index]));
}

void CommandBar::activate(const Suggestion& suggestion) {
  switch (suggestion.kind()) {
    case Suggestion::Kind::open:
      navigate(*suggestion.openURL());
      break;
    case Suggestion::Kind::search:
      navigate(models_.preferences.searchEngine.peek().searchURL(*suggestion.query()));
      break;
    case Suggestion::Kind::tab: {
      const auto tab = suggestion.browserTab();
      // Suggested tabs come from the current space; one that has moved on is followed there.
      const auto space = models_.tabs.spaceContaining(*tab);
      if (space && space != models_.tabs.currentSpace()) models_.tabs.select(*space);
      models_.tabs.select(*tab);
      break;
    }
    case Suggestion::Kind::history:
      navigate(suggestion.historyEntry()->url);
      break;
  }
  close();
  focusPage();
}

void CommandBar::navigate(const std::optional<Url>& url) {
  if (!url) return;
  const auto tab = mode_ == CommandBarMode::currentTab ? currentTab() : nullptr;
  if (!tab) {
    models_.tabs.openTab(*url, false);
    return;
  }
  tab->load(*url);
}

void CommandBar::close() {
  removeKeyMonitor();
  models_.tabs.commandBar.set(std::nullopt);
}

void CommandBar::focusPage() {
  const auto tab = currentTab();
  if (!tab) return;
  // Only a page already on screen takes the focus; none is created or shown for it.
  if (WebViewPort* page = tab->storedWebView()) page->focusIfShown();
}

double CommandBar::cardTop(CommandBarPosition position, double areaHeight) {
  if (position == CommandBarPosition::top) return kTopInset;
  return std::max(kCenteredFraction * areaHeight, kTopInset);
}

double CommandBar::dimOpacity(bool dimBehind, double appeared) {
  if (!dimBehind) return kUndimmedOpacity;
  return std::clamp(kUndimmedOpacity + (kDimOpacity - kUndimmedOpacity) * appeared,
                    kUndimmedOpacity, kDimOpacity);
}

void CommandBar::measure_vfunc(Gtk::Orientation, int, int& minimum, int& natural,
                               int& minimum_baseline, int& natural_baseline) const {
  // The bar takes whatever area the window gives it.
  minimum = natural = 0;
  minimum_baseline = natural_baseline = -1;
}

void CommandBar::size_allocate_vfunc(int width, int height, int) {
  allocateChild(dim_, 0, 0, width, height);
  int minimum = 0, natural = 0, b1 = -1, b2 = -1;
  card_.measure(Gtk::Orientation::HORIZONTAL, -1, minimum, natural, b1, b2);
  const int cardWidth = std::max(minimum, static_cast<int>(kCardWidth));
  card_.measure(Gtk::Orientation::VERTICAL, cardWidth, minimum, natural, b1, b2);
  const int x = static_cast<int>(std::lround((width - cardWidth) / 2.0));
  const int y = static_cast<int>(std::lround(cardTop(position_, height)));
  card_.size_allocate(Gtk::Allocation(x, y, cardWidth, natural), -1);
}

void CommandBar::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
  GtkSnapshot* s = snapshot->gobj();
  const double shown = appeared_.value();
  const GdkRGBA dim = paint::grey(0, dimOpacity(dimBehind_, shown));
  const graphene_rect_t area = paint::rect(0, 0, get_width(), get_height());
  gtk_snapshot_append_color(s, &dim, &area);

  graphene_rect_t bounds;
  if (!gtk_widget_compute_bounds(GTK_WIDGET(card_.gobj()), GTK_WIDGET(gobj()), &bounds)) return;
  // The card grows from 96 % about its top centre while it fades in.
  const double scale = kHiddenScale + (1 - kHiddenScale) * shown;
  const graphene_point_t anchor{bounds.origin.x + bounds.size.width / 2, bounds.origin.y};
  const graphene_point_t back{-anchor.x, -anchor.y};
  gtk_snapshot_save(s);
  gtk_snapshot_translate(s, &anchor);
  gtk_snapshot_scale(s, static_cast<float>(scale), static_cast<float>(scale));
  gtk_snapshot_translate(s, &back);
  gtk_snapshot_push_opacity(s, std::clamp(shown, 0.0, 1.0));

  // Lifted off the page by a deep, soft shadow.
  static const paint::Glass kGlass{.shadowOpacity = kShadowOpacity,
                                   .shadowOffset = kShadowOffset,
                                   .shadowBlur = kShadowBlur,
                                   .lightFillOpacity = 0.92f,
                                   .darkFillOpacity = 0.9f,
                                   .edgeWidth = 1,
                                   .lightEdge = paint::grey(1, 0.5),
                                   .darkEdge = paint::grey(1, 0.12)};
  paint::appendGlass(s, *this, paint::roundedRect(bounds, kCornerRadius), kGlass, scheme_.get());
  snapshot_child(card_, snapshot);

  gtk_snapshot_pop(s);
  gtk_snapshot_restore(s);
}

CommandBarLayer::CommandBarLayer(const CommandBar::Models& models, const SystemColorScheme& scheme)
    : models_(models), scheme_(scheme), opacity_(*this, 0, [this] {
        if (bar_) bar_->set_opacity(std::clamp(opacity_.value(), 0.0, 1.0));
        faded();
      }) {
  set_name("CommandBarLayer");
  groupForScreenReaders(*this);
  set_visible(false);
  observer_ = std::make_unique<Observer>([this] { sync(); });
}

CommandBarLayer::~CommandBarLayer() {
  observer_.reset();
  dropBar();
}

void CommandBarLayer::sync() {
  if (const auto mode = models_.tabs.commandBar.get()) {
    open(*mode);
  } else {
    leave();
  }
}

void CommandBarLayer::open(CommandBarMode mode) {
  if (bar_ && !leaving_ && bar_->mode() == mode) return;
  dropBar();
  bar_ = std::make_unique<CommandBar>(models_, scheme_, mode);
  bar_->set_opacity(0);
  bar_->set_parent(*this);
  set_visible(true);
  opacity_.jumpTo(0);
  opacity_.easeTo(1, kFadeSeconds, Ease::out);
}

void CommandBarLayer::leave() {
  if (!bar_ || leaving_) return;
  leaving_ = true;
  bar_->removeKeyMonitor();
  bar_->set_can_target(false);
  // Keys typed while the bar fades out must not land in its field.
  if (Gtk::Root* root = get_root()) {
    GtkWidget* focus = gtk_root_get_focus(root->gobj());
    if (focus && gtk_widget_is_ancestor(focus, GTK_WIDGET(bar_->gobj()))) {
      gtk_root_set_focus(root->gobj(), nullptr);
    }
  }
  opacity_.easeTo(0, kFadeSeconds, Ease::out);
}

void CommandBarLayer::faded() {
  if (leaving_ && opacity_.value() <= 0 && opacity_.target() <= 0) dropBar();
}

void CommandBarLayer::dropBar() {
  if (!bar_) return;
  bar_->unparent();
  bar_.reset();
  leaving_ = false;
  set_visible(false);
}

void CommandBarLayer::measure_vfunc(Gtk::Orientation, int, int& minimum, int& natural,
                                    int& minimum_baseline, int& natural_baseline) const {
  minimum = natural = 0;
  minimum_baseline = natural_baseline = -1;
}

void CommandBarLayer::size_allocate_vfunc(int width, int height, int) {
  if (bar_) allocateChild(*bar_, 0, 0, width, height);
}

}  // namespace zemblo
