#include "settings/panes/spaces_pane.h"

#include <algorithm>

#include "model/localization.h"
#include "model/window_model.h"
#include "settings/space_editor/space_chip.h"
#include "settings/space_editor/space_editor.h"
#include "widgets/accessibility.h"
#include "widgets/wheel.h"

namespace zemblo {

SpacesPane::SpacesPane(const SettingsContext& context)
    : PaneBody(SettingsPane::spaces), context_(context) {
  row_.set_valign(Gtk::Align::CENTER);
  row_.set_halign(Gtk::Align::START);
  row_.set_margin_top(6);
  row_.set_margin_bottom(6);
  row_.set_margin_start(4);
  row_.set_margin_end(4);
  newSpace_.signal_clicked().connect([this] { addSpace(); });
  row_.append(newSpace_);
  // Scrolls sideways with the touchpad or a sideways wheel, never showing a bar; the wheel
  // turned up or down scrolls the pane.
  scroller_.set_policy(Gtk::PolicyType::EXTERNAL, Gtk::PolicyType::NEVER);
  leaveVerticalWheelToPane(scroller_);
  scroller_.set_propagate_natural_height(true);
  scroller_.set_child(row_);
  nameScrollbars(scroller_, localized("Dikey kaydırma çubuğu"), localized("Yatay kaydırma çubuğu"));
  setAccessibleName(scroller_, localized("Alanlar"));
  append(scroller_);
  observer_ = std::make_unique<Observer>([this] { sync(); });
}

SpacesPane::~SpacesPane() {
  observer_.reset();
  reveal_.disconnect();
}

std::shared_ptr<Space> SpacesPane::editedSpace(const WindowModel::SpaceList& spaces,
                                               const std::optional<Uuid>& picked,
                                               const Uuid& current) {
  const auto withID = [&spaces](const Uuid& id) -> std::shared_ptr<Space> {
    for (const auto& space : spaces) {
      if (space->id == id) return space;
    }
    return nullptr;
  };
  if (picked) {
    if (auto space = withID(*picked)) return space;
  }
  if (auto space = withID(current)) return space;
  return spaces.empty() ? nullptr : spaces.front();
}

void SpacesPane::pick(const Space& space) {
  animatePick_ = true;
  picked_.set(space.id);
}

void SpacesPane::addSpace() {
  const auto space = context_.tabs().addSpace();
  pick(*space);
}

void SpacesPane::sync() {
  const auto& spaces = context_.tabs().spaces.get();
  // The space the user sees is the one shown in the browser window used last; every window's
  // spaces follow the first window's, so the edits still go to those.
  const WindowModel* shown = context_.lastUsedTabs();
  const WindowModel& current = shown ? *shown : context_.tabs();
  const auto edited = editedSpace(spaces, picked_.get(), current.currentSpaceID.get());
  showChips(spaces);
  for (SpaceChip* chip : chips_) chip->setSelected(chip->space() == edited, animatePick_);
  if (animatePick_) {
    reveal_.disconnect();
    reveal_ = Glib::signal_idle().connect([this] {
      revealEditedChip();
      return false;
    });
  }
  animatePick_ = false;
  if (!edited || (editor_ && editor_->space() == edited)) return;
  // Each space gets an editor of its own, so an open question never carries over to another.
  if (editor_) remove(*editor_);
  editor_ = Gtk::make_managed<SpaceEditor>(context_, edited, [this] {
    animatePick_ = false;
    picked_.set(std::nullopt);
  });
  append(*editor_);
}

void SpacesPane::revealEditedChip() {
  const auto chip = std::ranges::find_if(chips_, [](SpaceChip* c) { return c->isSelected(); });
  if (chip == chips_.end()) return;
  graphene_rect_t bounds;
  if (!gtk_widget_compute_bounds(GTK_WIDGET((*chip)->gobj()), GTK_WIDGET(row_.gobj()), &bounds)) {
    return;
  }
  const auto adjustment = scroller_.get_hadjustment();
  const double page = adjustment->get_page_size();
  const double left = bounds.origin.x;
  // The last chip brings the add button along.
  const double right =
      *chip == chips_.back() ? row_.get_width() : double(bounds.origin.x + bounds.size.width);
  double value = adjustment->get_value();
  if (right > value + page) value = right - page;
  if (left < value) value = left;
  adjustment->set_value(value);
}

void SpacesPane::showChips(const WindowModel::SpaceList& spaces) {
  bool same = spaces.size() == chips_.size();
  for (size_t i = 0; same && i < spaces.size(); ++i) same = chips_[i]->space() == spaces[i];
  if (same) return;
  for (SpaceChip* chip : chips_) row_.remove(*chip);
  chips_.clear();
  for (const auto& space : spaces) {
    auto* chip = Gtk::make_managed<SpaceChip>(space);
    chip->signal_clicked().connect([this, chip] { pick(*chip->space()); });
    // In front of the new-space button, which stays last.
    if (chips_.empty()) {
      row_.prepend(*chip);
    } else {
      row_.insert_child_after(*chip, *chips_.back());
    }
    chips_.push_back(chip);
  }
}

}  // namespace zemblo
