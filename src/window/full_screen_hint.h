#pragma once

#include <memory>

#include <gtkmm.h>

#include "platform/scheduler.h"

namespace zemblo {

// The short note at the top of a full-screen window that says how to leave it. It shows for a
// few seconds each time the window goes full screen, and goes at once when the window leaves.
class FullScreenHint : public Gtk::Label {
 public:
  static constexpr std::chrono::milliseconds kShownFor{3000};
  static constexpr double kTopMargin = 24;

  explicit FullScreenHint(Scheduler& scheduler);

  void show();
  void dismiss();

 private:
  Scheduler& scheduler_;
  std::unique_ptr<ScheduledTask> hide_;
};

}  // namespace zemblo
