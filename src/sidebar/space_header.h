#pragma once

#include <memory>

#include <gtkmm.h>

#include "platform/observable.h"
#include "sidebar/sidebar_context.h"
#include "widgets/animated_value.h"
#include "widgets/symbol_paint.h"

namespace zemblo {

// The row above the tab list: the current space's symbol in its gradient and its name, and,
// while the pointer is over the row and the space has tabs, a button that closes them all.
class SpaceHeader : public Gtk::Box {
 public:
  static constexpr int kHeight = 22;

  explicit SpaceHeader(const SidebarContext& context);
  ~SpaceHeader() override;

  void sync();
  void setHovering(bool hovering);

 private:
  void clearPresenceChanged();

  const SidebarContext& context_;
  std::unique_ptr<GradientSymbol> symbol_;
  std::string symbolName_;
  Gtk::Label name_;
  Gtk::Box spacer_;
  Gtk::Button clear_;
  Observable<bool> hovering_{false};
  // The clear button's presence: it fades in and out with the pointer.
  std::unique_ptr<AnimatedValue> clearPresence_;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
