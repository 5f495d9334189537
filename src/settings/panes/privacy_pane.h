#pragma once

#include <memory>
#include <set>
#include <string>
#include <vector>

#include <gtkmm.h>

#include "model/site_permissions.h"
#include "platform/alive_token.h"
#include "platform/observable.h"
#include "settings/kit/pane_body.h"
#include "settings/settings_context.h"

namespace zemblo {

class ConfirmationDialog;
class SettingsRow;
class SettingsSection;
class ToggleRow;

// The privacy controls: the content blocker's switch, its rule count and the sites allowed to
// show ads; the way into the passwords window, for managing or importing; and clearing the
// history and all website data, each after a question.
class PrivacyPane : public PaneBody {
 public:
  explicit PrivacyPane(const SettingsContext& context);
  ~PrivacyPane() override;

 private:
  // The switch: stores it and reloads the page the current space shows, so it shows the change.
  void setAdBlockEnabled(bool enabled);
  void removeAllowedSite(const std::string& host);
  void openPasswordsWindow();
  void importPasswords();
  // The two buttons: each asks first.
  void askToClearHistory();
  void askToClearSiteData();
  // The confirmed actions.
  void clearHistory();
  void clearSiteData();
  void buildBlocker();
  void buildPasswords();
  void buildData();
  void sync();
  void showAllowedSites(const std::set<std::string>& hosts);
  void showSitePermissions(const SitePermissions::Decisions& decisions);
  void siteDataCleared(bool cleared);

  const SettingsContext& context_;
  SettingsSection* blockerSection_ = nullptr;
  ToggleRow* blocker_ = nullptr;
  SettingsRow* rules_ = nullptr;
  Gtk::Label ruleCount_;
  SettingsSection* allowedSection_ = nullptr;
  std::vector<std::string> shownHosts_;
  SettingsSection* dataSection_ = nullptr;
  // The answers to sites' permission questions, while there are any.
  SettingsSection* permissionsSection_ = nullptr;
  SitePermissions::Decisions shownPermissions_;
  SettingsRow* passwords_ = nullptr;
  Gtk::Button manage_;
  Gtk::Button import_;
  SettingsRow* history_ = nullptr;
  Gtk::Button clearHistory_;
  SettingsRow* siteData_ = nullptr;
  Gtk::Button clearSiteData_;
  std::unique_ptr<ConfirmationDialog> confirmation_;
  Observable<bool> dataCleared_{false};
  Observable<bool> clearFailed_{false};
  // Lets a removal that finishes after the pane is gone find that out.
  AliveToken alive_;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
