#pragma once

#include <memory>
#include <optional>

#include <gtkmm.h>

#include "platform/observable.h"
#include "widgets/animated_value.h"

namespace zemblo {

class PreferencesModel;
class SystemColorScheme;
class WindowModel;

// The thin grip on the sidebar's edge towards the page. Dragging it sideways sets the sidebar
// width live, within 200 to 400 points; under the pointer it shows the left-right resize cursor
// and a faint line, which stays while a drag lasts.
class SidebarResizeHandle : public Gtk::Widget {
 public:
  static constexpr double kWidth = 6;
  static constexpr double kLineWidth = 2;
  // The grip stops this short of the column's top and bottom.
  static constexpr double kEndInset = 40;
  static constexpr double kLineOpacity = 0.12;
  static constexpr double kFadeSeconds = 0.15;

  SidebarResizeHandle(const WindowModel& tabs, PreferencesModel& preferences,
                      const SystemColorScheme& scheme);
  ~SidebarResizeHandle() override;

  // True for a sidebar on the left, whose edge is its right-hand one.
  void setLeading(bool leading) { leading_ = leading; }

  // The width a drag gives that has moved `dx` points to the right since it started at
  // `startWidth`. A stored width out of range snaps into it.
  static double widthFor(double startWidth, double dx, bool leading);

 protected:
  void measure_vfunc(Gtk::Orientation orientation, int for_size, int& minimum, int& natural,
                     int& minimum_baseline, int& natural_baseline) const override;
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;
  void on_map() override;
  void on_unmap() override;

 private:
  bool dragging() const { return startWidth_.has_value(); }
  void sync();
  void setHovering(bool hovering);
  void dragBegan();
  void dragMoved();
  void dragEnded();
  void showLine();
  std::optional<double> pointerX() const;

  const WindowModel& tabs_;
  PreferencesModel& preferences_;
  const SystemColorScheme& scheme_;
  bool leading_ = true;
  bool hovering_ = false;
  bool dark_ = false;
  // Where the pointer was pressed, in the window's own coordinates: the handle moves with the
  // width it sets, so the drag is never measured against the handle itself.
  std::optional<double> pressX_;
  std::optional<double> startWidth_;
  Glib::RefPtr<Gtk::GestureDrag> drag_;
  AnimatedValue line_;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
