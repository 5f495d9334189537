#pragma once

#include <memory>

#include <gtkmm.h>

#include "model/color.h"
#include "platform/observable.h"
#include "sidebar/sidebar_rules.h"
#include "widgets/pointer_return.h"

namespace zemblo {

class SidebarContext;

// The moon in the sidebar's bottom bar. A click switches page dark mode between off and always;
// its context menu picks any mode and, while the mode is not off, excludes the selected tab's
// site or takes it back. Lit with the theme gradient while the mode is on.
class DarkModeSidebarButton : public Gtk::Button {
 public:
  static constexpr int kWidth = 28;
  static constexpr int kHeight = 26;
  static constexpr double kCornerRadius = 7;
  static constexpr double kSymbolPointSize = 13;

  explicit DarkModeSidebarButton(const SidebarContext& context);
  ~DarkModeSidebarButton() override;

  void setHovering(bool hovering);

  // Opens the context menu, built from the models as they are now.
  void popupContextMenu();

 protected:
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;

 private:
  void sync();

  const SidebarContext& context_;
  PointerReturn pointerReturn_;
  DarkModeButtonLook look_;
  LinearGradient gradient_;
  ColorScheme scheme_ = ColorScheme::light;
  bool hovering_ = false;
  std::unique_ptr<Gtk::PopoverMenu> menu_;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
