#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtkmm.h>

#include "model/space.h"
#include "platform/observable.h"
#include "platform/uuid.h"
#include "sidebar/keyboard_focus.h"
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

// Which buttons a switcher `width` points wide shows of `count`, whole ones only. While they all
// fit they are centred; otherwise an arrow stands at each end past which more buttons lie, and
// the buttons between are a run of `shown` from `first`.
struct SpaceSwitcherWindow {
  size_t first = 0;
  size_t shown = 0;
  int backWidth = 0;     // the arrow before the run; 0 when none
  int forwardWidth = 0;  // the arrow after it
  int left = 0;          // where the first arrow, or the first button, starts
  // Whether buttons lie past each end; the arrows keep their room either way.
  bool backEnabled = false;
  bool forwardEnabled = false;
  friend bool operator==(const SpaceSwitcherWindow&, const SpaceSwitcherWindow&) = default;
};
// `first` is the wanted first button: the run starts there, or as near as a full run allows.
SpaceSwitcherWindow spaceSwitcherWindow(size_t count, int width, size_t first);

// A round symbol button for one space: filled with the space's gradient while it is current.
class SpaceSwitcherButton : public Gtk::Widget {
 public:
  static constexpr int kSide = 26;

  SpaceSwitcherButton(const SidebarContext& context, std::shared_ptr<Space> space);

  const std::shared_ptr<Space>& space() const { return space_; }
  void setSelected(bool selected);

 protected:
  void measure_vfunc(Gtk::Orientation orientation, int for_size, int& minimum, int& natural,
                     int& minimum_baseline, int& natural_baseline) const override;
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;

 private:
  // What a click or Enter on the button does.
  void selectSpace() const;

  const SidebarContext& context_;
  std::shared_ptr<Space> space_;
  bool selected_ = false;
};

// One button per space in the bottom bar; a click makes that space current. However many spaces
// there are, the row stays on one line, never widens the sidebar and never shows part of a
// button: a row that does not fit shows the buttons that do, with an arrow at each end where more
// lie that the pointer clicks (or the wheel turns) to bring them in. The current space's button
// is brought into view whenever the current space changes. One stop for Tab, at the current
// space's button; the arrows walk the row.
class SpaceSwitcher : public Gtk::Widget {
 public:
  static constexpr int kSpacing = 4;
  static constexpr int kPitch = SpaceSwitcherButton::kSide + kSpacing;
  static constexpr int kEdgeMinimumWidth = 9;
  static constexpr int kEdgeMaximumWidth = 18;

  class Edge;

  explicit SpaceSwitcher(const SidebarContext& context);
  ~SpaceSwitcher() override;

  void sync();

 protected:
  void measure_vfunc(Gtk::Orientation orientation, int for_size, int& minimum, int& natural,
                     int& minimum_baseline, int& natural_baseline) const override;
  void size_allocate_vfunc(int width, int height, int baseline) override;

 private:
  // Starts the run of shown buttons at `first`, or as near as a full run allows.
  void scrollTo(size_t first);
  bool wheelTurned(double dx, double dy);
  // Moves the run so that it shows the current space's button; not before the first layout.
  void bringCurrentIntoView(int width);
  void bringIntoView(size_t index, int width);
  std::optional<size_t> currentIndex() const;

  const SidebarContext& context_;
  std::vector<std::unique_ptr<SpaceSwitcherButton>> buttons_;
  // The arrows at the start and at the end of the row; each is shown while buttons lie past it.
  std::unique_ptr<Edge> back_;
  std::unique_ptr<Edge> forward_;
  std::vector<std::shared_ptr<Space>> shown_;
  SpaceSwitcherWindow window_;
  // The current space whose button was last brought into view.
  std::optional<Uuid> currentInView_;
  KeyboardGroup keyboard_;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
