#pragma once

#include <memory>

#include <gtkmm.h>

#include "platform/observable.h"

namespace zemblo {

class PreferencesModel;

// The block at the top of the start page: the date in capitals, the time in large thin digits
// and a greeting for the time of day. Each line follows its preference; the block refreshes at
// the start of every minute.
class ClockGreeting : public Gtk::Box {
 public:
  static constexpr int kTimePoints = 96;
  static constexpr int kCompactTimePoints = 56;

  explicit ClockGreeting(const PreferencesModel& preferences);
  ~ClockGreeting() override;

  void sync();
  // A smaller time for a card too low for the whole start page.
  void setCompact(bool compact);

 private:
  void scheduleNextMinute();

  const PreferencesModel& preferences_;
  Gtk::Label date_;
  Gtk::Label time_;
  Gtk::Label greeting_;
  sigc::connection tick_;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
