#pragma once

#include <memory>

#include <gtkmm.h>

#include "model/color.h"
#include "platform/observable.h"
#include "sidebar/sidebar_icon_button.h"
#include "widgets/animated_value.h"
#include "widgets/opacity_pulse.h"
#include "widgets/pointer_return.h"

namespace zemblo {

class DownloadsPopover;
class SidebarContext;

// The bottom bar's downloads button. While anything downloads its arrow is filled and pulses and
// a dot in the theme colours sits at its corner; a download that starts makes the arrow swell
// once (unless motion is reduced), and the dot stays until the user opens the list of this run's
// downloads above it, so that a download over before anyone looked is still told.
class DownloadsButton : public Gtk::Overlay {
 public:
  static constexpr int kDotSize = 7;
  // The dot's distance from the button's top and trailing edges.
  static constexpr int kDotInset = 3;

  explicit DownloadsButton(const SidebarContext& context);
  ~DownloadsButton() override;

  // Opens the popover, or closes it when it is open.
  void toggle();

  // How much larger than at rest the arrow grows at the height of its swell.
  static constexpr double kSwell = 0.45;

 protected:
  // Places the popover again, so that it grows and shrinks with its list while open.
  void size_allocate_vfunc(int width, int height, int baseline) override;
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;

 private:
  class Dot;

  void sync();
  // Pulses the arrow while downloads run and the list is closed.
  void pulse();
  // Tells of downloads started since the last sync.
  void announce(size_t unseen);

  const SidebarContext& context_;
  SidebarIconButton face_;
  OpacityPulse pulse_;
  PointerReturn pointerReturn_{*this};
  std::unique_ptr<Dot> dot_;
  // 0 → 1 over one swell of the arrow.
  AnimatedValue swell_;
  size_t announced_ = 0;
  bool showing_ = false;
  Gtk::Popover popover_;
  // Built the first time the popover opens.
  std::unique_ptr<DownloadsPopover> content_;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
