#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <vector>

#include <gtkmm.h>

#include "platform/observable.h"
#include "platform/scheduler.h"
#include "platform/url.h"
#include "sidebar/reload_button.h"
#include "sidebar/shield_button.h"
#include "sidebar/sidebar_rules.h"
#include "widgets/animated_value.h"

namespace zemblo {

class BrowserTab;
class SidebarContext;

// The rounded field under the top bar that stands for the address bar: whether the current page
// is secure, its host (or a search prompt), the page's zoom while it is not the default, and for a
// page the reload button and, under the pointer, a copy-link button. A click anywhere else on it
// opens the command bar on the current tab.
class AddressPill : public Gtk::Widget {
 public:
  static constexpr int kHeight = 36;
  static constexpr double kCornerRadius = 10;
  static constexpr std::chrono::milliseconds kCopiedDuration{1400};

  explicit AddressPill(const SidebarContext& context);
  ~AddressPill() override;

  // The pointer entered or left the pill.
  void setHovering(bool hovering);
  // A click on the pill outside its buttons.
  void tap();

 protected:
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;

 private:
  void sync();
  // The copy-link button's action.
  void copyLink();
  // The picture at the front: the connection's mark when it has one to tell, else a plain icon.
  Gtk::Image& leadingIcon() { return mark_.get_visible() ? markIcon_ : icon_; }
  void setCopied(bool copied);
  void showCopyButton(bool shown);
  void copyPresenceChanged();
  void setUpSecurityMark();
  void setUpZoomButton();
  void syncZoom(BrowserTab* tab);
  void showSecurityMark();
  void showCertificate(const SecurityMarkLook& security);

  const SidebarContext& context_;
  Gtk::Box row_{Gtk::Orientation::HORIZONTAL, 8};
  Gtk::Image icon_;
  // The connection's mark; a click opens what it stands for.
  Gtk::Button mark_;
  Gtk::Image markIcon_;
  Gtk::Popover securityPopover_;
  Gtk::Box securityColumn_{Gtk::Orientation::VERTICAL, 6};
  Gtk::Label securityHeading_;
  Gtk::Label securityDetail_;
  Gtk::Label securityFaults_;
  Gtk::Grid securityCertificate_;
  std::vector<std::pair<std::string, std::string>> certificateShown_;
  Gtk::Label label_;
  // The page's zoom; a click gives the page its host's default zoom back.
  Gtk::Button zoomButton_;
  // The content-blocker shield; shown only for web pages.
  ShieldButton shield_;
  Gtk::Button copyButton_;
  Gtk::Image copyImage_;
  ReloadButton reload_;
  AddressPillLook look_;
  std::optional<Url> copyURL_;
  ColorScheme scheme_ = ColorScheme::light;
  bool hovering_ = false;
  bool copied_ = false;
  AnimatedValue fill_;
  AnimatedValue copyPresence_;
  std::vector<std::unique_ptr<ScheduledTask>> copyResets_;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
