#pragma once

#include <memory>
#include <vector>

#include <gtkmm.h>

#include "model/color.h"
#include "model/preference_enums.h"
#include "platform/observable.h"
#include "widgets/animated_value.h"

namespace zemblo {

class BrowserTab;
class PreferencesModel;
class WindowModel;

// The thin bar at the top of the content card that shows how far the selected tab's page has
// loaded. It lies over the page and never takes a click.
class ProgressLine : public Gtk::Widget {
 public:
  // What the bar shows; the content card's tab and the theme give it.
  struct Values {
    double progress = 0;
    bool isLoading = false;
    std::vector<Color> colors;
    ProgressStyle style = ProgressStyle::gradient;
  };

  static constexpr double kMinimumFraction = 0.06;

  // Height of the bar in each style.
  static double barHeight(ProgressStyle style);
  // The share of the width the capsule covers.
  static double visibleFraction(double progress);
  // Whether the bar is seen at all.
  static bool isShown(bool isLoading, ProgressStyle style);

  ProgressLine(const WindowModel& tabs, const PreferencesModel& preferences);
  ~ProgressLine() override;

  void setTab(std::shared_ptr<BrowserTab> tab);
  void sync();

 protected:
  Gtk::SizeRequestMode get_request_mode_vfunc() const override;
  void measure_vfunc(Gtk::Orientation orientation, int for_size, int& minimum, int& natural,
                     int& minimum_baseline, int& natural_baseline) const override;
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;

 private:
  static constexpr float kGlowRadius = 8;
  // The capsule's current width, as drawn (animations included).
  double capsuleWidth() const;

  const WindowModel& tabs_;
  const PreferencesModel& preferences_;
  std::shared_ptr<BrowserTab> tab_;
  Values values_;
  AnimatedValue fraction_;
  AnimatedValue opacity_;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
