#pragma once

#include <memory>

#include <gtkmm.h>

#include "model/color.h"
#include "platform/observable.h"
#include "sidebar/sidebar_icon_button.h"
#include "widgets/opacity_pulse.h"
#include "widgets/pointer_return.h"

namespace zemblo {

class DownloadsPopover;
class SidebarContext;

// The bottom bar's downloads button. While anything downloads its arrow is filled and pulses and
// a dot in the theme colours sits at its corner; a click opens the list of this run's downloads
// above it.
class DownloadsButton : public Gtk::Overlay {
 public:
  static constexpr int kDotSize = 7;
  // The dot's distance from the button's top and trailing edges.
  static constexpr int kDotInset = 3;

  explicit DownloadsButton(const SidebarContext& context);
  ~DownloadsButton() override;

  // Opens the popover, or closes it when it is open.
  void toggle();

 protected:
  // Places the popover again, so that it grows and shrinks with its list while open.
  void size_allocate_vfunc(int width, int height, int baseline) override;

 private:
  class Dot;

  void sync();

  const SidebarContext& context_;
  SidebarIconButton face_;
  OpacityPulse pulse_;
  PointerReturn pointerReturn_{*this};
  std::unique_ptr<Dot> dot_;
  bool showing_ = false;
  Gtk::Popover popover_;
  // Built the first time the popover opens.
  std::unique_ptr<DownloadsPopover> content_;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
