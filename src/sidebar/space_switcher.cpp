#include "sidebar/space_switcher.h"

#include <algorithm>

#include "model/browser_store.h"
#include "model/color.h"
#include "widgets/accessibility.h"
#include "widgets/paint.h"
#include "widgets/symbol_icons.h"
#include "widgets/symbol_paint.h"

namespace zemblo {

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
    if (dx * dx + dy * dy <= kSide * kSide / 4.0) activate();
  });
  add_controller(click);
}

void SpaceSwitcherButton::activate() const { context_.store().select(*space_); }

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

SpaceSwitcher::SpaceSwitcher(const SidebarContext& context) : context_(context) {
  set_name("SpaceSwitcher");
  row_.set_valign(Gtk::Align::CENTER);
  // Scrolls sideways without showing a scroll bar.
  scroller_.set_policy(Gtk::PolicyType::EXTERNAL, Gtk::PolicyType::NEVER);
  // The buttons are reached with the pointer and the space commands, not by moving the focus.
  scroller_.set_focusable(false);
  scroller_.set_child(row_);
  scroller_.set_parent(*this);
  // An ordinary wheel only turns up and down; here it moves the row sideways.
  auto wheel = Gtk::EventControllerScroll::create();
  wheel->set_flags(Gtk::EventControllerScroll::Flags::BOTH_AXES);
  wheel->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
  wheel->signal_scroll().connect([this](double dx, double dy) { return wheelTurned(dx, dy); },
                                 false);
  add_controller(wheel);
  observer_ = std::make_unique<Observer>([this] { sync(); });
}

SpaceSwitcher::~SpaceSwitcher() {
  observer_.reset();
  scroller_.unparent();
}

std::vector<SpaceSwitcherButton*> SpaceSwitcher::buttons() const {
  std::vector<SpaceSwitcherButton*> result;
  auto& row = const_cast<Gtk::Box&>(row_);
  for (Gtk::Widget* child = row.get_first_child(); child; child = child->get_next_sibling()) {
    result.push_back(static_cast<SpaceSwitcherButton*>(child));
  }
  return result;
}

void SpaceSwitcher::sync() {
  BrowserStore& store = context_.store();
  const auto& spaces = store.spaces.get();
  const Uuid current = store.currentSpaceID.get();
  context_.scheme();
  if (spaces != shown_) {
    while (auto* child = row_.get_first_child()) row_.remove(*child);
    for (const auto& space : spaces) {
      row_.append(*Gtk::make_managed<SpaceSwitcherButton>(context_, space));
    }
    shown_ = spaces;
    scrolledTo_.reset();
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
  const auto shownButtons = buttons();
  for (size_t i = 0; i < entries.size() && i < shownButtons.size(); ++i) {
    shownButtons[i]->setSelected(entries[i].selected);
  }
  // A new current space, or a new row, brings the current button into view at the next layout.
  queue_allocate();
}

bool SpaceSwitcher::scrollToCurrent() {
  const Uuid current = context_.store().currentSpaceID.peek();
  if (scrolledTo_ == current) return false;
  for (SpaceSwitcherButton* button : buttons()) {
    if (button->space()->id != current) continue;
    graphene_rect_t frame;
    if (!gtk_widget_compute_bounds(GTK_WIDGET(button->gobj()), GTK_WIDGET(row_.gobj()), &frame))
      return false;
    const auto adjustment = scroller_.get_hadjustment();
    const double page = adjustment->get_page_size();
    const double left = frame.origin.x, right = left + frame.size.width;
    if (left < adjustment->get_value()) adjustment->set_value(left);
    if (right > adjustment->get_value() + page) adjustment->set_value(right - page);
    scrolledTo_ = current;
    return true;
  }
  return false;
}

bool SpaceSwitcher::wheelTurned(double dx, double dy) {
  if (dx != 0 || dy == 0) return false;  // sideways scrolling is the scroller's own
  const auto adjustment = scroller_.get_hadjustment();
  adjustment->set_value(adjustment->get_value() + dy * (SpaceSwitcherButton::kSide + kSpacing));
  return true;
}

void SpaceSwitcher::measure_vfunc(Gtk::Orientation orientation, int for_size, int& minimum,
                                  int& natural, int& minimum_baseline,
                                  int& natural_baseline) const {
  row_.measure(orientation, for_size, minimum, natural, minimum_baseline, natural_baseline);
  // Never widens the sidebar: a row that does not fit scrolls.
  if (orientation == Gtk::Orientation::HORIZONTAL) minimum = 0;
  minimum_baseline = natural_baseline = -1;
}

void SpaceSwitcher::size_allocate_vfunc(int width, int height, int) {
  int minimum = 0, natural = 0, b1 = -1, b2 = -1;
  row_.measure(Gtk::Orientation::HORIZONTAL, -1, minimum, natural, b1, b2);
  // Centred while it fits, else the whole width, scrolling.
  const int shown = std::min(width, natural);
  const Gtk::Allocation frame((width - shown) / 2, 0, shown, height);
  scroller_.size_allocate(frame, -1);
  if (shown >= natural) {
    scrolledTo_.reset();
    return;
  }
  // The row moves within this layout pass, not a frame later.
  if (scrollToCurrent()) scroller_.size_allocate(frame, -1);
}

}  // namespace zemblo
