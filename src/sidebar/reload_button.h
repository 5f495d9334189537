#pragma once

#include <memory>

#include <gtkmm.h>

#include "model/app_preferences.h"
#include "platform/observable.h"
#include "widgets/animated_value.h"

namespace zemblo {

class BrowserTab;
class SidebarContext;

// The address pill's round reload button: a disc that takes the theme gradient under the
// pointer, a ring showing the load's progress, and an arrow that turns once per reload; while the
// page loads, the arrow becomes a cross that stops it.
class ReloadButton : public Gtk::Button {
 public:
  static constexpr int kSize = 26;
  static constexpr Spring kSpinSpring{0.45, 0.7};

  ReloadButton(const SidebarContext& context, std::shared_ptr<BrowserTab> tab);
  ~ReloadButton() override;

  void setTab(std::shared_ptr<BrowserTab> tab);

  void setHovering(bool hovering);

 protected:
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;

 private:
  void sync();
  void pressed();
  const char* glyph() const;

  const SidebarContext& context_;
  std::shared_ptr<BrowserTab> tab_;
  bool loading_ = false;
  bool hovering_ = false;
  // The arrow's turn in degrees: 360 more for each reload, never reset.
  double spinTarget_ = 0;
  LinearGradient gradient_;
  ColorScheme scheme_ = ColorScheme::light;
  AnimatedValue hover_;
  AnimatedValue ring_;
  AnimatedValue spin_;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
