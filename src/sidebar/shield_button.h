#pragma once

#include <memory>

#include <gtkmm.h>

#include "model/color.h"
#include "platform/observable.h"
#include "sidebar/sidebar_rules.h"
#include "widgets/pointer_return.h"

namespace zemblo {

class AdBlockPopover;
class BrowserTab;
class SidebarContext;

// The content-blocker shield in the address pill: filled with the theme gradient while ads are
// blocked on its tab's page, crossed out otherwise. A click opens the blocker's popover below it.
class ShieldButton : public Gtk::Button {
 public:
  static constexpr int kSize = 22;

  explicit ShieldButton(const SidebarContext& context);
  ~ShieldButton() override;

  void setTab(std::shared_ptr<BrowserTab> tab);

  // Opens the popover, or closes it when it is open.
  void toggle();
  Gtk::Popover& popover() { return popover_; }

 protected:
  void measure_vfunc(Gtk::Orientation orientation, int for_size, int& minimum, int& natural,
                     int& minimum_baseline, int& natural_baseline) const override;
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;

 private:
  void sync();

  const SidebarContext& context_;
  std::shared_ptr<BrowserTab> tab_;
  PointerReturn pointerReturn_{*this};
  ShieldLook look_;
  LinearGradient gradient_;
  ColorScheme scheme_ = ColorScheme::light;
  bool showing_ = false;
  Gtk::Popover popover_;
  // Built the first time the popover opens.
  std::unique_ptr<AdBlockPopover> content_;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
