#pragma once

#include <memory>

#include <gtkmm.h>

#include "platform/observable.h"
#include "sidebar/sidebar_rules.h"

namespace zemblo {

class BrowserTab;
class PageServicesModel;
class PreferencesModel;
class WindowModel;

// What the content blocker does on one tab's page: its state, a switch for the page's site, the
// switch for every site and the size of the rule list. Holds no state of the blocker's own; every
// change goes through the page services or the blocker.
class AdBlockPopover : public Gtk::Box {
 public:
  static constexpr int kWidth = 300;
  static constexpr int kPadding = 16;
  static constexpr int kBadgeSize = 38;

  AdBlockPopover(PageServicesModel& pageServices, const WindowModel& tabs,
                 const PreferencesModel& preferences, std::shared_ptr<BrowserTab> tab);
  ~AdBlockPopover() override;

  void setTab(std::shared_ptr<BrowserTab> tab);

  // What the user's flick of a switch does.
  void setBlockingOnSite(bool blocking);
  void setEnabledEverywhere(bool enabled);

 private:
  class Badge;

  void sync();
  Gtk::Box& switchRow(Gtk::Box& row, Gtk::Widget& label, Gtk::Switch& toggle);

  PageServicesModel& pageServices_;
  const WindowModel& tabs_;
  const PreferencesModel& preferences_;
  std::shared_ptr<BrowserTab> tab_;
  // Set while sync() moves the switches, so that only the user's changes reach the blocker.
  bool syncing_ = false;

  Gtk::Box header_{Gtk::Orientation::HORIZONTAL, 12};
  std::unique_ptr<Badge> badge_;
  Gtk::Box titles_{Gtk::Orientation::VERTICAL, 2};
  Gtk::Label title_;
  Gtk::Label status_;
  Gtk::Box siteRow_{Gtk::Orientation::HORIZONTAL, 12};
  Gtk::Box siteTexts_{Gtk::Orientation::VERTICAL, 2};
  Gtk::Label siteLabel_;
  Gtk::Label siteHint_;
  Gtk::Switch siteSwitch_;
  Gtk::Separator divider_;
  Gtk::Box globalRow_{Gtk::Orientation::HORIZONTAL, 12};
  Gtk::Label globalLabel_;
  Gtk::Switch globalSwitch_;
  Gtk::Label ruleCount_;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
