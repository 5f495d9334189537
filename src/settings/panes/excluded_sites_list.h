#pragma once

#include <memory>
#include <string>
#include <vector>

#include <gtkmm.h>

#include "platform/observable.h"

namespace zemblo {

class FaviconLoader;
class PreferencesModel;

// The sites where page dark mode is switched off, in character-code order (the stored order is
// left alone), each with its icon and a button that takes it off the list. Sites are added
// elsewhere, from the page itself.
class ExcludedSitesList : public Gtk::Box {
 public:
  ExcludedSitesList(PreferencesModel& preferences, FaviconLoader& favicons);
  ~ExcludedSitesList() override;

 private:
  // Takes every entry equal to `host` off the list, the others keeping their order; saved and
  // applied to every open page like any change of page dark mode.
  static void remove(PreferencesModel& preferences, const std::string& host);
  void sync();

  PreferencesModel& preferences_;
  FaviconLoader& favicons_;
  Gtk::Label heading_;
  Gtk::Box rows_{Gtk::Orientation::VERTICAL, 8};
  // The hosts as listed, top to bottom.
  std::vector<std::string> shown_;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
