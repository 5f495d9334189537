#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtkmm.h>

#include "model/color.h"
#include "model/preference_enums.h"
#include "platform/observable.h"
#include "platform/uuid.h"
#include "widgets/animated_value.h"

namespace zemblo {

class SidebarContext;
class Space;
class TabRow;

// The first row of the tab list: a plus and "Yeni Sekme". A click anywhere on it opens a new tab
// (or shows the space's blank tab).
class NewTabRow : public Gtk::Widget {
 public:
  static constexpr double kCornerRadius = 10;
  // The window's command for a new tab, which also puts the keyboard in the start page's field.
  static constexpr const char* kNewTabAction = "win.new-tab";

  explicit NewTabRow(const SidebarContext& context);
  ~NewTabRow() override;

  void tap();
  void setHovering(bool hovering);

 protected:
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;

 private:
  void sync();

  const SidebarContext& context_;
  Gtk::Box row_{Gtk::Orientation::HORIZONTAL, 10};
  Gtk::Image plus_;
  Gtk::Label label_;
  ColorScheme scheme_ = ColorScheme::light;
  bool hovering_ = false;
  std::unique_ptr<Observer> observer_;
};

// The scrolling middle of the sidebar: the new-tab row, then one row per tab of the current
// space in the space's order. Rows are kept by tab id, so opening, closing and reordering move
// single rows, which slide to their new places. Dragging a row reorders the space's tabs; a link
// or text dropped between rows opens there.
class TabListView : public Gtk::Widget {
 public:
  static constexpr Spring kRowSpring{0.25, 0.85};
  static constexpr Spring kSpaceFade{0.35, 1.0};

  explicit TabListView(const SidebarContext& context);
  ~TabListView() override;

  Gtk::ScrolledWindow& scroller() { return scroller_; }

  // Where a drop at height `y` of the list's content would land, 0 … the number of tabs.
  size_t insertionIndexAt(double y) const;
  // A row's payload dropped at height `y`: the tab it names moves there, found by its id among the
  // shown space's tabs as they are now, or in another window of the same kind, which hands it
  // over. False for anything else (left alone).
  bool dropPayload(const std::string& payload, double y);

 private:
  class Column;
  void sync();
  // A link, file or text from a page or another program dropped at height `y`: a new tab for it
  // there, selected. False when it names nothing to open.
  bool openDropped(const Glib::ValueBase& value, double y);

  // Scrolls the row at `index` into view once the column has its new layout.
  void revealAfterLayout(size_t index);
  void revealPending();
  bool takeFromOtherWindow(const Uuid& id, Space& space);

  const SidebarContext& context_;
  Gtk::ScrolledWindow scroller_;
  std::unique_ptr<Column> column_;
  std::optional<Uuid> shownSpace_;
  // The selection last scrolled into view: the list follows the selection, not the user's wheel.
  std::optional<Uuid> revealedSelection_;
  std::optional<size_t> pendingReveal_;
  sigc::connection revealing_;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
