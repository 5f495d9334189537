#pragma once

#include <memory>
#include <optional>

#include <gtkmm.h>

#include "model/tab_permissions.h"
#include "platform/observable.h"

namespace zemblo {

class BrowserTab;
class PreferencesModel;
class SitePermissions;

// The browser's own question over the top of the page when a site asks for a permission:
// "<host> wants to …", with "Block" and "Allow". It asks the oldest question of the tab on
// screen; a tab in the background keeps its questions until it is shown. Nothing of it is in the
// page, so a page can neither draw it nor press it.
class PermissionBar : public Gtk::Box {
 public:
  PermissionBar(SitePermissions& permissions, const PreferencesModel& preferences);
  ~PermissionBar() override;

  void setTab(std::shared_ptr<BrowserTab> tab);
  void sync();

 private:
  void answer(PermissionDecision decision);

  SitePermissions& permissions_;
  const PreferencesModel& preferences_;
  std::shared_ptr<BrowserTab> tab_;
  // The question on screen, which the buttons answer.
  std::optional<PermissionRequest> shown_;
  Gtk::Image icon_;
  Gtk::Label question_;
  Gtk::Button block_;
  Gtk::Button allow_;
  Glib::RefPtr<Gtk::CssProvider> style_;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
