#include "window/content_area.h"

#include <algorithm>
#include <cmath>

#include "model/browser_tab.h"
#include "model/dropped_address.h"
#include "model/localization.h"
#include "model/preference_sizes.h"
#include "model/preferences_model.h"
#include "model/window_model.h"
#include "widgets/accessibility.h"
#include "widgets/child_layout.h"
#include "widgets/dropped_content.h"
#include "widgets/paint.h"
#include "widgets/system_color_scheme.h"
#include "window/start_page.h"

namespace zemblo {

ContentArea::ContentArea(WindowModel& tabs, const PreferencesModel& preferences,
                         const FavoritesModel& favorites, PasswordOffers& offers,
                         SitePermissions& permissions, MemoryPressure& memoryPressure,
                         FaviconLoader& favicons, Scheduler& scheduler,
                         const SystemColorScheme& scheme)
    : tabs_(tabs),
      preferences_(preferences),
      scheme_(scheme),
      startPage_(
          std::make_unique<StartPage>(tabs, preferences, favorites, favicons, scheduler, scheme)),
      progress_(tabs, preferences),
      findBar_(tabs, scheme),
      permissionBar_(permissions, preferences),
      banner_(offers, tabs, preferences, scheme),
      autofillMenu_(scheme),
      findProgress_(*this, 0, [this] { findBarMoved(); }) {
  set_name("ContentArea");
  groupForScreenReaders(*this);
  set_overflow(Gtk::Overflow::VISIBLE);
  // Back to front: what the card shows, the error page, the loading bar, the find bar, the
  // banner slot, the page's dialog; the menu of saved logins is a surface of its own.
  startPage_->set_parent(*this);
  webView_.set_name("PageViewContainer");
  webView_.dropKeptFramesOn(memoryPressure);
  webView_.namePageMenusWith(
      [](Gtk::PopoverMenu& menu) { nameMenus(menu, localized("Sayfa menüsü")); });
  webView_.set_parent(*this);
  errorView_.set_parent(*this);
  progress_.set_parent(*this);
  findBar_.set_parent(*this);
  findBar_.set_visible(false);
  permissionBar_.set_parent(*this);
  bannerSlot_.set_name("SavePasswordOverlay");
  bannerSlot_.append(banner_);
  bannerSlot_.set_parent(*this);
  pageDialog_.set_parent(*this);
  autofillMenu_.set_parent(*this);
  // The page keeps the keyboard focus while the menu is open; the menu's keys reach it first.
  auto menuKeys = Gtk::EventControllerKey::create();
  menuKeys->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
  menuKeys->signal_key_pressed().connect(
      [this](guint keyval, guint keycode, Gdk::ModifierType) {
        return autofillMenu_.handleKey(keyval, keycode);
      },
      false);
  menuKeys->signal_key_released().connect(
      [this](guint, guint keycode, Gdk::ModifierType) { autofillMenu_.keyReleased(keycode); });
  add_controller(menuKeys);
  // Nor does it outlast the page's keyboard focus: the page sees no focus leave its field when
  // the user goes to the sidebar.
  auto focus = Gtk::EventControllerFocus::create();
  focus->signal_leave().connect([this] {
    autofillMenu_.forgetKeys();
    if (tab_) tab_->autofillMenu.end();
  });
  add_controller(focus);
  // Drops the web view doesn't take itself (those on the start page, outside its search field).
  add_controller(makeContentDropTarget(
      [this](const Glib::ValueBase& value, double, double) { return openDropped(value); }));
  observer_ = std::make_unique<Observer>([this] { sync(); });
}

bool ContentArea::openDropped(const Glib::ValueBase& value) {
  std::optional<Url> address = addressFromDroppedUris(droppedUris(value));
  // A link dragged as text alone: its lines, as a URI list's.
  if (const auto text = droppedText(value); !address && text) {
    address = addressFromDroppedUriList(*text);
  }
  if (!address) return false;
  if (const auto tab = tabs_.currentSpace()->selectedTab()) {
    tab->load(*address);
  } else {
    tabs_.openTab(*address, /*inBackground=*/false);
  }
  return true;
}

ContentArea::~ContentArea() {
  observer_.reset();
  bannerSlot_.remove(banner_);
  for (Gtk::Widget* child : std::initializer_list<Gtk::Widget*>{
           startPage_.get(), &webView_, &errorView_, &progress_, &findBar_, &permissionBar_,
           &bannerSlot_, &pageDialog_, &autofillMenu_}) {
    child->unparent();
  }
}

void ContentArea::sync() {
  const AppPreferences& prefs = preferences_.prefs();
  const bool fills = fillsScreen_.get();
  const double radius = fills ? 0 : sizes::cornerRadius(prefs);
  const bool shadow = !fills && prefs.contentShadow;
  if (radius != cornerRadius_ || shadow != shadow_ || fills != edgeless_) queue_draw();
  cornerRadius_ = radius;
  shadow_ = shadow;
  edgeless_ = fills;

  auto tab = tabs_.currentSpace()->selectedTab();
  content_ = !tab                    ? Content::startPageWithoutTab
             : tab->showsStartPage() ? Content::startPage
                                     : Content::webPage;
  const bool web = content_ == Content::webPage;
  // A menu of saved logins belongs to the page on screen.
  if (tab_ && tab_ != (web ? tab : nullptr)) tab_->autofillMenu.end();
  tab_ = web ? tab : nullptr;

  startPage_->set_visible(!web);
  startPage_->setTab(content_ == Content::startPage ? tab : nullptr);
  webView_.set_visible(web);
  progress_.set_visible(web);
  // A tab passed over while the user steps through the tabs makes no web view, nor puts its view
  // on screen, which the engine would repaint in full first: its row and title show it is
  // selected, over the last frame its page painted, and the page comes once the steps pause.
  if (tab_ && tabs_.steppingThroughTabs.get()) {
    webView_.showKeptFrame(tab_);
  } else {
    webView_.setTab(tab_);
  }
  errorView_.setTab(tab_);
  progress_.setTab(tab_);
  findBar_.setTab(tab_);
  permissionBar_.setTab(tab_);
  autofillMenu_.setTab(tab_);
  showFindBar(web && tabs_.findBarVisible.get());
  // After the find bar: a dialog coming back into sight takes the keyboard from its field.
  pageDialog_.setTab(tab_);
}

std::vector<KeyboardRegion> ContentArea::keyboardRegions() {
  KeyboardRegion page{startPage_.get()};
  if (content_ == Content::webPage) {
    page = errorView_.is_drawable() ? KeyboardRegion{&errorView_} : KeyboardRegion{&webView_};
    // The page itself, not its first link: where the keyboard was before it left.
    if (Gtk::Widget* view = webView_.get_first_child(); view && page.widget == &webView_) {
      page.enter = [view] { view->grab_focus(); };
    }
  }
  return {page, {&findBar_}, {&permissionBar_}, {&banner_}};
}

void ContentArea::showFindBar(bool shown) {
  if (shown == findShown_) return;
  findShown_ = shown;
  if (shown) {
    // Every showing starts afresh, with the focus in the field.
    findBar_.reset();
    findBar_.set_visible(true);
    findBar_.focusField();
  }
  findProgress_.springTo(shown ? 1 : 0, kFindBarSpring);
  queue_allocate();
}

void ContentArea::findBarMoved() {
  // The bar stays in the tree until its exit has finished.
  if (!findShown_ && findProgress_.value() <= 0) findBar_.set_visible(false);
  findBar_.set_opacity(std::clamp(findProgress_.value(), 0.0, 1.0));
  queue_allocate();
}

Gtk::SizeRequestMode ContentArea::get_request_mode_vfunc() const {
  return Gtk::SizeRequestMode::CONSTANT_SIZE;
}

void ContentArea::measure_vfunc(Gtk::Orientation, int, int& minimum, int& natural,
                                int& minimum_baseline, int& natural_baseline) const {
  // The card takes whatever the window gives it; what does not fit is clipped by its corners.
  minimum = natural = 0;
  minimum_baseline = natural_baseline = -1;
}

void ContentArea::size_allocate_vfunc(int width, int height, int) {
  for (Gtk::Widget* child : std::initializer_list<Gtk::Widget*>{startPage_.get(), &webView_,
                                                                &errorView_, &pageDialog_}) {
    if (child->get_visible()) allocateChild(*child, 0, 0, width, height);
  }
  if (progress_.get_visible()) {
    int minimum = 0, natural = 0, b1 = -1, b2 = -1;
    progress_.measure(Gtk::Orientation::VERTICAL, width, minimum, natural, b1, b2);
    allocateChild(progress_, 0, 0, width, natural);
  }
  const double shown = findProgress_.value();
  int barHeight = 0;
  if (findBar_.get_visible()) {
    int minimum = 0, natural = 0, b1 = -1, b2 = -1;
    findBar_.measure(Gtk::Orientation::HORIZONTAL, -1, minimum, natural, b1, b2);
    const int barWidth = std::max(minimum, std::min(natural, width - 2 * int(kFindBarInset)));
    findBar_.measure(Gtk::Orientation::VERTICAL, barWidth, minimum, barHeight, b1, b2);
    // It comes in from above the card's top edge.
    const double y = kFindBarInset - (1 - shown) * (barHeight + kFindBarInset);
    allocateChild(findBar_, std::max(0, width - int(kFindBarInset) - barWidth), int(std::lround(y)),
                  barWidth, barHeight);
  }
  int minimum = 0, natural = 0, b1 = -1, b2 = -1;
  // The permission bar spans the top of the card below the find bar; the banner goes below it.
  double topY = kFindBarInset + std::max(0.0, shown) * kBannerBelowFindBar;
  if (permissionBar_.get_visible()) {
    const int barWidth = std::max(0, std::min(kPermissionBarWidth, width - 2 * int(kFindBarInset)));
    permissionBar_.measure(Gtk::Orientation::VERTICAL, barWidth, minimum, natural, b1, b2);
    allocateChild(permissionBar_, (width - barWidth) / 2, int(std::lround(topY)), barWidth,
                  natural);
    topY += natural + kFindBarInset;
  }
  bannerSlot_.measure(Gtk::Orientation::HORIZONTAL, -1, minimum, natural, b1, b2);
  const int bannerWidth = natural;
  bannerSlot_.measure(Gtk::Orientation::VERTICAL, bannerWidth, minimum, natural, b1, b2);
  const double bannerY = topY;
  allocateChild(bannerSlot_, std::max(0, width - int(kFindBarInset) - bannerWidth),
                int(std::lround(bannerY)), bannerWidth, natural);
  if (autofillMenu_.get_visible()) autofillMenu_.present();
}

GdkRGBA ContentArea::surfaceColor() {
  return paint::styleColor(*this, "window_bg_color", paint::grey(0.98));
}

std::optional<Gdk::Rectangle> ContentArea::opaqueArea() {
  if (surfaceColor().alpha < 1) return std::nullopt;
  const int corner = static_cast<int>(std::ceil(cornerRadius_));
  const int height = get_height() - 2 * corner;
  if (get_width() <= 0 || height <= 0) return std::nullopt;
  return Gdk::Rectangle(0, corner, get_width(), height);
}

void ContentArea::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
  GtkSnapshot* s = snapshot->gobj();
  const graphene_rect_t bounds = paint::rect(0, 0, get_width(), get_height());
  const GskRoundedRect card = paint::roundedRect(bounds, cornerRadius_);
  if (shadow_) {
    const GdkRGBA shadow = paint::grey(0, 0.16);
    gtk_snapshot_append_outset_shadow(s, &card, &shadow, 0, 4, 0, 24);
  }
  // The software renderer clips to a rounded shape through a mask as large as all it draws
  // inside: only the bands that hold the corners are clipped so; the rest, where every repaint
  // of the page lands, by a plain rectangle.
  const double corner = std::min(std::ceil(cornerRadius_), get_height() / 2.0);
  const graphene_rect_t bands[] = {paint::rect(0, 0, get_width(), corner),
                                   paint::rect(0, corner, get_width(), get_height() - 2 * corner),
                                   paint::rect(0, get_height() - corner, get_width(), corner)};
  const GdkRGBA surface = surfaceColor();
  for (size_t i = 0; i < std::size(bands); ++i) {
    const graphene_rect_t& band = bands[i];
    if (band.size.width <= 0 || band.size.height <= 0) continue;
    const bool rounded = i != 1 && cornerRadius_ > 0;
    gtk_snapshot_push_clip(s, &band);
    if (rounded) gtk_snapshot_push_rounded_clip(s, &card);
    gtk_snapshot_append_color(s, &surface, &bounds);
    // Each child renders once; every band appends the same node.
    for (Gtk::Widget* child = get_first_child(); child; child = child->get_next_sibling()) {
      snapshot_child(*child, snapshot);
    }
    if (rounded) gtk_snapshot_pop(s);
    gtk_snapshot_pop(s);
  }
  if (edgeless_) return;
  GdkRGBA border = paint::foreground(*this);
  border.alpha = 0.08f;
  paint::appendInsideBorder(s, card, 0.5, border);
}

}  // namespace zemblo
