#include "sidebar/space_switcher.h"

#include <algorithm>
#include <functional>

#include "model/color.h"
#include "model/window_model.h"
#include "sidebar/keyboard_focus.h"
#include "widgets/accessibility.h"
#include "widgets/paint.h"
#include "widgets/symbol_icons.h"
#include "widgets/symbol_paint.h"

namespace zemblo {

SpaceSwitcherWindow spaceSwitcherWindow(size_t count, int width, size_t first) {
  constexpr int pitch = SpaceSwitcher::kPitch, spacing = SpaceSwitcher::kSpacing;
  const auto runWidth = [](size_t buttons) { return int(buttons) * pitch - spacing; };
  SpaceSwitcherWindow window;
  if (count == 0 || runWidth(count) <= width) {
    window.shown = count;
    window.left = (width - std::max(0, runWidth(count))) / 2;
    return window;
  }
  // As many whole buttons as leave room for an arrow at either end; one however narrow the
  // switcher is. Both arrows keep their places at the ends, the one that leads nowhere disabled:
  // were it to go, a button would slide under a pointer still clicking through the row.
  const int room = width - 2 * SpaceSwitcher::kEdgeMinimumWidth + spacing;
  const size_t shown = std::clamp<size_t>(room > 0 ? size_t(room / pitch) : 0, 1, count - 1);
  window.first = std::min(first, count - shown);
  window.shown = shown;
  window.backEnabled = window.first > 0;
  window.forwardEnabled = window.first + shown < count;
  const int arrow =
      std::clamp((width - runWidth(shown)) / 2, 0, int(SpaceSwitcher::kEdgeMaximumWidth));
  window.backWidth = window.forwardWidth = arrow;
  window.left = (width - runWidth(shown) - 2 * arrow) / 2;
  return window;
}

std::vector<SpaceSwitcherEntry> spaceSwitcherEntries(const std::vector<Uuid>& spaceIDs,
                                                     const Uuid& currentID) {
  std::vector<SpaceSwitcherEntry> entries;
  entries.reserve(spaceIDs.size());
  for (const Uuid& id : spaceIDs) entries.push_back({id, id == currentID});
  return entries;
}

SpaceSwitcherButton::SpaceSwitcherButton(const SidebarContext& context,
                                         std::shared_ptr<Space> space)
    : context_(context), space_(std::move(space)) {
  set_name("SpaceSwitcherButton");
  setAccessibleRole(*this, Gtk::Accessible::Role::BUTTON);
  set_cursor(Gdk::Cursor::create("pointer"));
  auto click = Gtk::GestureClick::create();
  click->set_button(GDK_BUTTON_PRIMARY);
  click->signal_released().connect([this](int, double x, double y) {
    // Only the circle takes clicks.
    const double dx = x - kSide / 2.0, dy = y - kSide / 2.0;
    if (dx * dx + dy * dy <= kSide * kSide / 4.0) selectSpace();
  });
  add_controller(click);
  activateWithKeys(*this, [this] { selectSpace(); });
}

void SpaceSwitcherButton::selectSpace() const { context_.tabs.select(*space_); }

void SpaceSwitcherButton::setSelected(bool selected) {
  selected_ = selected;
  setHelpText(*this, space_->name.get());  // as typed, never translated
  setAccessibleSelected(*this, selected);
  queue_draw();
}

void SpaceSwitcherButton::measure_vfunc(Gtk::Orientation, int, int& minimum, int& natural,
                                        int& minimum_baseline, int& natural_baseline) const {
  minimum = natural = kSide;
  minimum_baseline = natural_baseline = -1;
}

void SpaceSwitcherButton::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
  GtkSnapshot* s = snapshot->gobj();
  const graphene_rect_t frame = paint::rect(0, 0, kSide, kSide);
  const int pixels = symbolPixelSize(selected_ ? 12 : 11);
  const graphene_rect_t box =
      paint::rect((kSide - pixels) / 2.0, (kSide - pixels) / 2.0, pixels, pixels);
  const std::string symbol = space_->symbol.get();
  if (selected_) {
    const GskRoundedRect circle = paint::roundedRect(frame, kSide / 2.0);
    const GdkRGBA glow = paint::rgba(Color::fromHex(space_->colorA.get()), 0.45);
    gtk_snapshot_append_outset_shadow(s, &circle, &glow, 0, 2, 0, 5);
    gtk_snapshot_push_rounded_clip(s, &circle);
    paint::appendLinearGradient(s, frame, space_->gradient());
    gtk_snapshot_pop(s);
    appendSymbol(s, *this, symbol, pixels, box, paint::grey(1));
  } else {
    appendSymbol(s, *this, symbol, pixels, box, SidebarContext::primary(context_.scheme(), 0.45));
  }
}

// An arrow at one end of a row that goes on past it: a click brings in the buttons that lie that
// way. Dimmed and insensitive while none lie there.
class SpaceSwitcher::Edge : public Gtk::Widget {
 public:
  Edge(const SidebarContext& context, const char* name, const char* symbol,
       std::function<void()> action)
      : context_(context), symbol_(symbol) {
    set_name(name);
    // The spaces it leads to are each in the accessibility tree; the arrow itself only moves the
    // row for the pointer.
    setAccessibleRole(*this, Gtk::Accessible::Role::PRESENTATION);
    set_cursor(Gdk::Cursor::create("pointer"));
    auto click = Gtk::GestureClick::create();
    click->set_button(GDK_BUTTON_PRIMARY);
    click->signal_released().connect([this, action = std::move(action)](int, double x, double y) {
      if (contains(x, y)) action();
    });
    add_controller(click);
  }

 protected:
  // Lit while the pointer is over it.
  void on_state_flags_changed(Gtk::StateFlags previous) override {
    Gtk::Widget::on_state_flags_changed(previous);
    queue_draw();
  }

  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override {
    GtkSnapshot* s = snapshot->gobj();
    const double width = get_width(), height = get_height();
    const ColorScheme scheme = context_.scheme();
    if ((get_state_flags() & Gtk::StateFlags::PRELIGHT) == Gtk::StateFlags::PRELIGHT) {
      paint::appendRoundedFill(s, paint::roundedRect(paint::rect(0, 0, width, height), width / 2),
                               SidebarContext::primary(scheme, kHoverFill));
    }
    const int pixels = symbolPixelSize(kSymbolPointSize);
    const graphene_rect_t box =
        paint::rect((width - pixels) / 2.0, (height - pixels) / 2.0, pixels, pixels);
    const double opacity = get_sensitive() ? kOpacity : kDisabledOpacity;
    appendSymbol(s, *this, symbol_, pixels, box, SidebarContext::primary(scheme, opacity));
  }

 private:
  static constexpr double kSymbolPointSize = 8;
  static constexpr double kOpacity = 0.45;
  static constexpr double kDisabledOpacity = 0.15;
  static constexpr double kHoverFill = 0.08;

  const SidebarContext& context_;
  const char* symbol_;
};

SpaceSwitcher::SpaceSwitcher(const SidebarContext& context)
    : context_(context),
      back_(std::make_unique<Edge>(context, "SpaceSwitcherBack", "chevron.left",
                                   [this] {
                                     const auto& at = window_;
                                     scrollTo(at.first > at.shown ? at.first - at.shown : 0);
                                   })),
      forward_(std::make_unique<Edge>(context, "SpaceSwitcherForward", "chevron.right",
                                      [this] { scrollTo(window_.first + window_.shown); })),
      keyboard_(
          *this,
          [this] {
            std::vector<Gtk::Widget*> items;
            for (const auto& button : buttons_) items.push_back(button.get());
            return items;
          },
          [this] { return buttons_.size(); },
          // A button the arrows reach past an end of the row comes into view first.
          [this](size_t index) {
            bringIntoView(index, get_width());
            buttons_[index]->set_child_visible(true);
            queue_allocate();
          }) {
  set_name("SpaceSwitcher");
  groupForScreenReaders(*this);
  set_overflow(Gtk::Overflow::HIDDEN);
  back_->set_parent(*this);
  forward_->set_parent(*this);
  // An ordinary wheel only turns up and down; here it moves the row sideways.
  auto wheel = Gtk::EventControllerScroll::create();
  wheel->set_flags(Gtk::EventControllerScroll::Flags::BOTH_AXES |
                   Gtk::EventControllerScroll::Flags::DISCRETE);
  wheel->signal_scroll().connect([this](double dx, double dy) { return wheelTurned(dx, dy); },
                                 false);
  add_controller(wheel);
  observer_ = std::make_unique<Observer>([this] { sync(); });
}

SpaceSwitcher::~SpaceSwitcher() {
  observer_.reset();
  for (auto& button : buttons_) button->unparent();
  back_->unparent();
  forward_->unparent();
}

void SpaceSwitcher::sync() {
  const auto& spaces = context_.tabs.spaces.get();
  const Uuid current = context_.tabs.currentSpaceID.get();
  context_.scheme();
  if (spaces != shown_) {
    for (auto& button : buttons_) button->unparent();
    buttons_.clear();
    for (const auto& space : spaces) {
      buttons_.push_back(std::make_unique<SpaceSwitcherButton>(context_, space));
      buttons_.back()->insert_before(*this, *forward_);
    }
    shown_ = spaces;
    currentInView_.reset();
  }
  std::vector<Uuid> ids;
  for (const auto& space : spaces) {
    ids.push_back(space->id);
    space->name.get();  // a renamed or recoloured space redraws its button
    space->symbol.get();
    space->colorA.get();
    space->colorB.get();
  }
  const auto entries = spaceSwitcherEntries(ids, current);
  for (size_t i = 0; i < entries.size() && i < buttons_.size(); ++i) {
    buttons_[i]->setSelected(entries[i].selected);
  }
  keyboard_.settle(currentIndex().value_or(0));
  back_->queue_draw();
  forward_->queue_draw();
  if (currentInView_ != current) bringCurrentIntoView(get_width());
  queue_resize();
}

std::optional<size_t> SpaceSwitcher::currentIndex() const {
  const Uuid current = context_.tabs.currentSpaceID.peek();
  for (size_t i = 0; i < buttons_.size(); ++i) {
    if (buttons_[i]->space()->id == current) return i;
  }
  return std::nullopt;
}

void SpaceSwitcher::scrollTo(size_t first) {
  window_ = spaceSwitcherWindow(buttons_.size(), get_width(), first);
  queue_allocate();
}

bool SpaceSwitcher::wheelTurned(double dx, double dy) {
  const double turn = dx != 0 ? dx : dy;
  if (turn == 0 || window_.shown == buttons_.size()) return false;
  if (turn > 0) {
    scrollTo(window_.first + 1);
  } else if (window_.first > 0) {
    scrollTo(window_.first - 1);
  }
  return true;
}

void SpaceSwitcher::measure_vfunc(Gtk::Orientation orientation, int, int& minimum, int& natural,
                                  int& minimum_baseline, int& natural_baseline) const {
  const int count = int(buttons_.size());
  if (orientation == Gtk::Orientation::HORIZONTAL) {
    // Never widens the sidebar: a row that does not fit shows fewer buttons.
    minimum = 0;
    natural = count == 0 ? 0 : count * kPitch - kSpacing;
  } else {
    minimum = natural = SpaceSwitcherButton::kSide;
  }
  minimum_baseline = natural_baseline = -1;
}

void SpaceSwitcher::bringCurrentIntoView(int width) {
  const auto current = currentIndex();
  if (!current || width <= 0) return;
  bringIntoView(*current, width);
  currentInView_ = buttons_[*current]->space()->id;
}

void SpaceSwitcher::bringIntoView(size_t index, int width) {
  const size_t count = buttons_.size();
  // With as little movement of the row as it takes.
  const auto holds = [&](const SpaceSwitcherWindow& at) {
    return index >= at.first && index < at.first + at.shown;
  };
  window_ = spaceSwitcherWindow(count, width, std::min(window_.first, index));
  for (size_t first = window_.first + 1; !holds(window_) && first < count; ++first) {
    window_ = spaceSwitcherWindow(count, width, first);
  }
}

void SpaceSwitcher::size_allocate_vfunc(int width, int height, int) {
  const size_t count = buttons_.size();
  window_ = spaceSwitcherWindow(count, width, window_.first);
  // The first layout of a row shows its current button.
  if (!currentInView_) bringCurrentIntoView(width);
  const int top = (height - SpaceSwitcherButton::kSide) / 2;
  const int start = window_.left + window_.backWidth;
  for (size_t i = 0; i < count; ++i) {
    const bool shown = i >= window_.first && i < window_.first + window_.shown;
    buttons_[i]->set_child_visible(shown);
    if (!shown) continue;
    const int x = start + int(i - window_.first) * kPitch;
    buttons_[i]->size_allocate(
        Gtk::Allocation(x, top, SpaceSwitcherButton::kSide, SpaceSwitcherButton::kSide), -1);
  }
  const int end = start + int(window_.shown) * kPitch - kSpacing;
  back_->set_child_visible(window_.backWidth > 0);
  forward_->set_child_visible(window_.forwardWidth > 0);
  back_->set_sensitive(window_.backEnabled);
  forward_->set_sensitive(window_.forwardEnabled);
  back_->size_allocate(
      Gtk::Allocation(window_.left, top, window_.backWidth, SpaceSwitcherButton::kSide), -1);
  forward_->size_allocate(
      Gtk::Allocation(end, top, window_.forwardWidth, SpaceSwitcherButton::kSide), -1);
}

}  // namespace zemblo
