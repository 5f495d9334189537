#include "sidebar/sidebar_view.h"

#include "model/browser_tab.h"
#include "model/localization.h"
#include "model/preferences_model.h"
#include "model/window_model.h"
#include "sidebar/sidebar_rules.h"
#include "widgets/symbol_icons.h"

namespace zemblo {
namespace {

constexpr int kSectionSpacing = 12;

}  // namespace

SidebarTopBar::SidebarTopBar(const SidebarContext& context)
    : context_(context),
      toggle_("sidebar.left", "", true, [this] { toggleSidebar(); }),
      back_("chevron.left", "", false, [this] { goBack(); }),
      forward_("chevron.right", "", false, [this] { goForward(); }) {
  set_name("SidebarTopBar");
  set_size_request(-1, kHeight);
  row_.set_name("SidebarTopBarRow");
  row_.set_size_request(-1, kHeight);
  spacer_.set_hexpand(true);
  row_.append(spacer_);
  row_.append(toggle_);
  row_.append(back_);
  row_.append(forward_);
  set_child(row_);
  observer_ = std::make_unique<Observer>([this] { sync(); });
}

SidebarTopBar::~SidebarTopBar() { observer_.reset(); }

void SidebarTopBar::sync() {
  row_.set_margin_start(
      static_cast<int>(topBarLeadingPadding(context_.preferences.prefs().sidebarSide)));
  current_ = context_.tabs.currentSpace()->selectedTab();
  toggle_.update(localized("Kenar çubuğu (Ctrl+S)"), true);
  back_.update(localized("Geri (Ctrl+[)"), current_ && current_->canGoBack.get());
  forward_.update(localized("İleri (Ctrl+])"), current_ && current_->canGoForward.get());
}

void SidebarTopBar::toggleSidebar() { context_.tabs.toggleSidebar(); }

void SidebarTopBar::goBack() {
  if (!current_) return;
  if (auto* view = current_->storedWebView()) view->goBack();
}

void SidebarTopBar::goForward() {
  if (!current_) return;
  if (auto* view = current_->storedWebView()) view->goForward();
}

SidebarView::SidebarView(const SidebarModels& models, const SystemColorScheme& windowScheme)
    : Gtk::Box(Gtk::Orientation::VERTICAL, kSectionSpacing),
      context_(models, windowScheme),
      style_(get_display()),
      topBar_(context_),
      pill_(context_),
      favorites_(context_),
      spaceHeader_(context_),
      tabList_(context_),
      bottomBar_(context_) {
  set_name("SidebarView");
  add_css_class("zemblo-sidebar");
  registerSymbolIcons(get_display());
  for (Gtk::Box* slot : {&favoritesSlot_, &spaceHeaderSlot_, &bottomBarSlot_}) {
    slot->set_visible(false);
  }
  append(topBar_);
  append(pill_);
  favoritesSlot_.set_name("FavoritesSlot");
  append(favoritesSlot_);
  favoritesSlot_.append(favorites_);
  favoritesSlot_.set_visible(favorites_.get_visible());
  append(spaceHeaderSlot_);
  spaceHeaderSlot_.append(spaceHeader_);
  spaceHeader_.set_hexpand(true);
  spaceHeaderSlot_.set_visible(true);
  append(tabList_);
  append(bottomBarSlot_);
  bottomBarSlot_.append(bottomBar_);
  bottomBar_.set_hexpand(true);
  bottomBarSlot_.set_visible(true);
  observer_ = std::make_unique<Observer>([this] { sync(); });
}

SidebarView::~SidebarView() { observer_.reset(); }

void SidebarView::sync() {
  const bool dark = context_.scheme() == ColorScheme::dark;
  add_css_class(dark ? "sidebar-dark" : "sidebar-light");
  remove_css_class(dark ? "sidebar-light" : "sidebar-dark");
}

}  // namespace zemblo
