#pragma once

#include <string>

#include <gtkmm.h>

#include "platform/observable.h"
#include "sidebar/dark_mode_sidebar_button.h"
#include "sidebar/downloads_button.h"
#include "sidebar/sidebar_context.h"
#include "sidebar/sidebar_icon_button.h"
#include "sidebar/space_switcher.h"

namespace zemblo {

// The settings gear's help text in the interface language.
std::string settingsHelpText();

// The last row of the sidebar: the tool buttons on the left, the space switcher in the middle and
// the settings gear on the right.
class SidebarBottomBar : public Gtk::Box {
 public:
  static constexpr int kHeight = 32;

  explicit SidebarBottomBar(const SidebarContext& context);
  ~SidebarBottomBar() override;

  void sync();
  SidebarIconButton& passwordsButton() { return passwords_; }
  SidebarIconButton& settingsButton() { return settings_; }

 private:
  void activate(const char* action);

  const SidebarContext& context_;
  DownloadsButton downloads_;
  SidebarIconButton passwords_;
  DarkModeSidebarButton darkMode_;
  Gtk::Box leadingSpacer_;
  SpaceSwitcher switcher_;
  Gtk::Box trailingSpacer_;
  SidebarIconButton settings_;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
