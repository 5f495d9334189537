#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtkmm.h>

#include "model/space.h"
#include "platform/observable.h"
#include "platform/uuid.h"
#include "sidebar/sidebar_context.h"

namespace zemblo {

// One button of the switcher: a space, and whether it is the current one.
struct SpaceSwitcherEntry {
  Uuid id;
  bool selected = false;
  friend bool operator==(const SpaceSwitcherEntry&, const SpaceSwitcherEntry&) = default;
};

// The switcher's buttons in the order of the spaces; only the space whose id is `currentID` is
// selected, so an id that names no space selects none (although the first space is the one
// shown).
std::vector<SpaceSwitcherEntry> spaceSwitcherEntries(const std::vector<Uuid>& spaceIDs,
                                                     const Uuid& currentID);

// A round symbol button for one space: filled with the space's gradient while it is current.
class SpaceSwitcherButton : public Gtk::Widget {
 public:
  static constexpr int kSide = 26;

  SpaceSwitcherButton(const SidebarContext& context, std::shared_ptr<Space> space);

  const std::shared_ptr<Space>& space() const { return space_; }
  void setSelected(bool selected);
  bool isSelected() const { return selected_; }
  void activate() const;

 protected:
  void measure_vfunc(Gtk::Orientation orientation, int for_size, int& minimum, int& natural,
                     int& minimum_baseline, int& natural_baseline) const override;
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;

 private:
  const SidebarContext& context_;
  std::shared_ptr<Space> space_;
  bool selected_ = false;
};

// One button per space in the bottom bar; a click makes that space current. However many spaces
// there are, the row stays on one line and never widens the sidebar: a row that does not fit
// scrolls sideways (the wheel turns it too) and always brings the current space's button into
// view.
class SpaceSwitcher : public Gtk::Widget {
 public:
  static constexpr int kSpacing = 4;

  explicit SpaceSwitcher(const SidebarContext& context);
  ~SpaceSwitcher() override;

  void sync();
  std::vector<SpaceSwitcherButton*> buttons() const;
  Gtk::ScrolledWindow& scroller() { return scroller_; }

 protected:
  void measure_vfunc(Gtk::Orientation orientation, int for_size, int& minimum, int& natural,
                     int& minimum_baseline, int& natural_baseline) const override;
  void size_allocate_vfunc(int width, int height, int baseline) override;

 private:
  // True when the row moved.
  bool scrollToCurrent();
  bool wheelTurned(double dx, double dy);

  const SidebarContext& context_;
  Gtk::ScrolledWindow scroller_;
  Gtk::Box row_{Gtk::Orientation::HORIZONTAL, kSpacing};
  std::vector<std::shared_ptr<Space>> shown_;
  std::optional<Uuid> scrolledTo_;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
