#pragma once

#include <memory>

#include <gtkmm.h>

#include "platform/observable.h"
#include "sidebar/address_pill.h"
#include "sidebar/favorites_grid.h"
#include "sidebar/sidebar_bottom_bar.h"
#include "sidebar/sidebar_context.h"
#include "sidebar/sidebar_icon_button.h"
#include "sidebar/space_header.h"
#include "sidebar/tab_list_view.h"

namespace zemblo {

class BrowserTab;
class SystemColorScheme;

// The bar at the top of the sidebar: the sidebar toggle, back and forward at its trailing end,
// clear of the window buttons when the sidebar is on the left. Dragging the bar anywhere outside
// its buttons moves the window.
class SidebarTopBar : public Gtk::WindowHandle {
 public:
  static constexpr int kHeight = 30;

  explicit SidebarTopBar(const SidebarContext& context);
  ~SidebarTopBar() override;

 private:
  void sync();
  void toggleSidebar();
  void goBack();
  void goForward();

  const SidebarContext& context_;
  Gtk::Box row_{Gtk::Orientation::HORIZONTAL, 2};
  Gtk::Box spacer_;
  SidebarIconButton toggle_;
  SidebarIconButton back_;
  SidebarIconButton forward_;
  // The tab that back and forward act on: the one that was current at the last update.
  std::shared_ptr<BrowserTab> current_;
  std::unique_ptr<Observer> observer_;
};

// The sidebar column: top bar, address pill, favourites, space header, tab list and bottom bar,
// stacked in that fixed order. Its content is drawn in the scheme that keeps it readable on the
// space's tint.
class SidebarView : public Gtk::Box {
 public:
  SidebarView(const SidebarModels& models, const SystemColorScheme& windowScheme);
  ~SidebarView() override;

  SidebarBottomBar& bottomBar() { return bottomBar_; }

 private:
  void sync();

  SidebarContext context_;
  SidebarStyle style_;
  SidebarTopBar topBar_;
  AddressPill pill_;
  // Places of the sections built elsewhere; each stays hidden until it has content.
  Gtk::Box favoritesSlot_;
  FavoritesGrid favorites_;
  Gtk::Box spaceHeaderSlot_;
  SpaceHeader spaceHeader_;
  TabListView tabList_;
  Gtk::Box bottomBarSlot_;
  SidebarBottomBar bottomBar_;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
