#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

#include <gtkmm.h>

// The sidebar's keyboard: its rows, tiles and space buttons are drawn by the sidebar itself, so
// the keys the toolkit gives its own lists and buttons are given to them here.
namespace zemblo {

// Where the arrow keys move the focus in a group of `count` controls laid out in rows of
// `columns`, in reading order, from the control at `focused`: they walk the group and stop at its
// edges, except across a group of one row, which up and down leave (none).
std::optional<size_t> focusTargetInGroup(size_t count, size_t columns, size_t focused,
                                         Gtk::DirectionType direction);

// A group of controls inside `container` that the keyboard enters as one stop, as the toolkit's
// lists and grids: only one of them at a time takes part in Tab's round (the one last focused, or
// the one `settle` names), the arrows move the focus among them as above, and Home and End to the
// first and the last.
class KeyboardGroup {
 public:
  using Items = std::function<std::vector<Gtk::Widget*>()>;
  // `items` gives the controls in reading order, `columns` how many make a row; `reveal` runs
  // before a control takes the focus, to bring it into view.
  KeyboardGroup(Gtk::Widget& container, Items items, std::function<size_t()> columns,
                std::function<void(size_t)> reveal = nullptr);
  ~KeyboardGroup();
  KeyboardGroup(const KeyboardGroup&) = delete;
  KeyboardGroup& operator=(const KeyboardGroup&) = delete;

  // The control that has the focus, if one of the group's has it.
  std::optional<size_t> focused() const;
  // The control that has the focus or holds it in a menu of its own.
  std::optional<size_t> holdingFocus() const;
  // After the controls changed: Tab comes in at `entry` unless the focus is in the group. A
  // focused control that went (`lostFocusAt`, from `focused()` before the change) leaves the
  // focus to the one that took its place, so that the keyboard stays in the group.
  void settle(size_t entry, std::optional<size_t> lostFocusAt = std::nullopt);

 private:
  bool arrow(Gtk::DirectionType direction);
  bool moveTo(size_t target);
  void makeStop(const std::vector<Gtk::Widget*>& items, size_t stop);

  Gtk::Widget& container_;
  Items items_;
  std::function<size_t()> columns_;
  std::function<void(size_t)> reveal_;
  Glib::RefPtr<Gtk::EventControllerKey> keys_;
};

// Return, Enter and Space use the focused control as a click does.
void activateWithKeys(Gtk::Widget& control, std::function<void()> activate);

// Shift+F10 and the Menu key open the focused control's menu, the one a secondary click opens;
// `open` shows it at a point of the control. The keyboard goes into the menu.
void openMenuWithKeys(Gtk::Widget& control, std::function<Gtk::Popover*(double x, double y)> open);

// Delete takes the focused control away, as its close button does.
void removeWithKeys(Gtk::Widget& control, std::function<void()> remove);

}  // namespace zemblo
