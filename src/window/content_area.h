#pragma once

#include <memory>
#include <optional>
#include <vector>

#include <gtkmm.h>

#include "platform/observable.h"
#include "web/web_view_container.h"
#include "widgets/animated_value.h"
#include "widgets/keyboard_regions.h"
#include "window/autofill_menu_popover.h"
#include "window/find_bar.h"
#include "window/load_error_view.h"
#include "window/page_dialog_view.h"
#include "window/permission_bar.h"
#include "window/progress_line.h"
#include "window/save_password_banner.h"
#include "window/start_page.h"

namespace zemblo {

class BrowserTab;
class FaviconLoader;
class FavoritesModel;
class PasswordOffers;
class PreferencesModel;
class SitePermissions;
class SystemColorScheme;
class WindowModel;

// The rounded card beside the sidebar in which the page is seen: the start page for a tab
// without an address (or when the space has no selected tab), otherwise the selected tab's live
// web view with its load-error page, loading bar and find bar over it, and over all of them the
// dialog the page waits on. A slot in the top trailing corner is kept for the save-password
// banner, and the top edge for the bar that asks the user about a site's permission request; the
// menu of saved logins opens over the
// page at a login field.
class ContentArea : public Gtk::Widget {
 public:
  static constexpr double kFindBarInset = 12;
  static constexpr double kBannerBelowFindBar = 52;
  static constexpr int kPermissionBarWidth = 620;
  static constexpr Spring kFindBarSpring{0.25, 0.85};

  ContentArea(WindowModel& tabs, const PreferencesModel& preferences,
              const FavoritesModel& favorites, PasswordOffers& offers, SitePermissions& permissions,
              MemoryPressure& memoryPressure, FaviconLoader& favicons, Scheduler& scheduler,
              const SystemColorScheme& scheme);
  ~ContentArea() override;

  void sync();
  // Full screen, the card fills the screen: no corners, shadow or edge.
  void setFillsScreen(bool fills) { fillsScreen_.set(fills); }

  // The part of the card its surface covers fully, in the card's coordinates: all but the rows
  // of the rounded corners. None while the surface lets anything behind it show through.
  std::optional<Gdk::Rectangle> opaqueArea();

  StartPage& startPage() { return *startPage_; }

  // What F6 moves the keyboard between here, in order: the page (or the start page, or the
  // page's error), the find bar, the bar asking about a permission, the save-password banner.
  std::vector<KeyboardRegion> keyboardRegions();

 protected:
  Gtk::SizeRequestMode get_request_mode_vfunc() const override;
  void measure_vfunc(Gtk::Orientation orientation, int for_size, int& minimum, int& natural,
                     int& minimum_baseline, int& natural_baseline) const override;
  void size_allocate_vfunc(int width, int height, int baseline) override;
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;

 private:
  enum class Content { startPage, webPage, startPageWithoutTab };

  GdkRGBA surfaceColor();
  void showFindBar(bool shown);
  // A link or file dropped on the card opens in the shown tab (a new one when there is none).
  bool openDropped(const Glib::ValueBase& value);
  void findBarMoved();

  WindowModel& tabs_;
  const PreferencesModel& preferences_;
  const SystemColorScheme& scheme_;
  std::unique_ptr<StartPage> startPage_;
  WebViewContainer webView_;
  LoadErrorView errorView_;
  ProgressLine progress_;
  FindBar findBar_;
  PermissionBar permissionBar_;
  Gtk::Box bannerSlot_;
  SavePasswordBanner banner_;
  AutofillMenuPopover autofillMenu_;
  PageDialogView pageDialog_;
  std::shared_ptr<BrowserTab> tab_;
  Content content_ = Content::startPageWithoutTab;
  double cornerRadius_ = 12;
  bool shadow_ = true;
  bool findShown_ = false;
  Observable<bool> fillsScreen_{false};
  bool edgeless_ = false;
  AnimatedValue findProgress_;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
