#include "window/browser_window.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <vector>

#include "model/browser_tab.h"
#include "model/download_manager.h"
#include "model/favorites_model.h"
#include "model/history_model.h"
#include "model/localization.h"
#include "model/page_services_model.h"
#include "model/preference_sizes.h"
#include "model/preferences_model.h"
#include "model/window_frame.h"
#include "model/window_model.h"
#include "sidebar/sidebar_view.h"
#include "widgets/accessibility.h"
#include "widgets/child_layout.h"
#include "widgets/heap_release.h"
#include "widgets/keyboard_regions.h"
#include "widgets/monitor_areas.h"
#include "widgets/paint.h"
#include "widgets/system_color_scheme.h"
#include "window/app_style.h"
#include "window/command_bar.h"
#include "window/content_area.h"
#include "window/full_screen_hint.h"
#include "window/notice_overlay.h"
#include "window/sidebar_resize_handle.h"
#include "window/space_background.h"
#include "window/window_accessor.h"
#include "window/window_frame_recorder.h"

namespace zemblo {
namespace {

// What the window's parts are built from; each part takes only the models it shows.
struct WindowSources {
  const BrowserWindow::Models& models;
  WindowModel& tabs;
  FaviconLoader& favicons;
  Scheduler& scheduler;
  const SystemColorScheme& scheme;

  SidebarModels sidebar() const {
    return {tabs,
            models.windows,
            models.preferences,
            models.favorites,
            models.pageServices,
            models.downloads,
            favicons,
            scheduler};
  }
  CommandBar::Models commandBar() const {
    return {tabs, models.preferences, models.history, favicons, scheduler};
  }
};

constexpr double kWindowButtonsX = 14;
constexpr double kWindowButtonsY = 12;

const char* fontClass(InterfaceFont font) {
  switch (font) {
    case InterfaceFont::rounded:
      return "font-rounded";
    case InterfaceFont::serif:
      return "font-serif";
    case InterfaceFont::mono:
      return "font-mono";
    case InterfaceFont::system:
      break;
  }
  return "font-system";
}

void allocate(Gtk::Widget& child, const BrowserWindow::Frame& frame) {
  allocateChild(child, static_cast<int>(std::lround(frame.x)),
                static_cast<int>(std::lround(frame.y)), static_cast<int>(std::lround(frame.width)),
                static_cast<int>(std::lround(frame.height)));
}

// A container laid out by the window, which asks it for no size: the window's own minimum size
// bounds the layout, and nothing inside may raise it.
class SizelessWidget : public Gtk::Widget {
 protected:
  void measure_vfunc(Gtk::Orientation, int, int& minimum, int& natural, int& minimum_baseline,
                     int& natural_baseline) const override {
    minimum = natural = 0;
    minimum_baseline = natural_baseline = -1;
  }
};

// The floating sidebar shown while the docked one is hidden: a rounded panel with the space
// background, a faint edge and a shadow falling onto the page. Its margin belongs to it, so the
// pointer leaves it only when it is well away from the panel.
class PeekSidebar : public SizelessWidget {
 public:
  explicit PeekSidebar(const WindowSources& sources)
      : background_(sources.tabs, sources.models.preferences, sources.scheme,
                    VisualEffectView::BlendingMode::withinWindow),
        content_(sources.sidebar(), sources.scheme) {
    set_name("PeekSidebar");
    groupForScreenReaders(*this);
    background_.set_parent(*this);
    content_.set_parent(*this);
  }
  ~PeekSidebar() override {
    background_.unparent();
    content_.unparent();
  }

  SidebarView& content() { return content_; }

  void setLeading(bool leading) {
    if (leading == leading_) return;
    leading_ = leading;
    queue_draw();
  }

 protected:
  void size_allocate_vfunc(int width, int height, int) override {
    const auto panel = panelFrame(width, height);
    allocate(background_, panel);
    allocate(content_, panel);
  }

  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override {
    GtkSnapshot* s = snapshot->gobj();
    const auto frame = panelFrame(get_width(), get_height());
    const graphene_rect_t bounds = paint::rect(frame.x, frame.y, frame.width, frame.height);
    const GskRoundedRect panel = paint::roundedRect(bounds, BrowserWindow::kPeekCornerRadius);
    const GdkRGBA shadow = paint::grey(0, 0.25);
    gtk_snapshot_append_outset_shadow(s, &panel, &shadow, leading_ ? 6 : -6, 0, 0, 48);
    gtk_snapshot_push_rounded_clip(s, &panel);
    snapshot_child(background_, snapshot);
    snapshot_child(content_, snapshot);
    gtk_snapshot_pop(s);
    paint::appendInsideBorder(s, panel, 0.5, paint::grey(1, 0.12));
  }

 private:
  static BrowserWindow::Frame panelFrame(double width, double height) {
    const double m = BrowserWindow::kPeekMargin;
    return {m, m, std::max(0.0, width - 2 * m), std::max(0.0, height - 2 * m)};
  }

  SpaceBackground background_;
  SidebarView content_;
  bool leading_ = true;
};

// The largest monitor, where the window has the most room; none before the display knows one.
std::optional<BrowserWindow::Size> largestScreen(const Glib::RefPtr<Gdk::Display>& display) {
  std::optional<BrowserWindow::Size> largest;
  for (const MonitorArea& area : monitorAreas(display)) {
    if (!largest || area.width * area.height > largest->width * largest->height) {
      largest = BrowserWindow::Size{area.width, area.height};
    }
  }
  return largest;
}

}  // namespace

BrowserWindow::LayoutFrames BrowserWindow::layoutFrames(const LayoutInput& in) {
  LayoutFrames frames;
  const double w = in.sidebarWidth;
  const double l = in.leadingColumn;
  const double t = in.trailingColumn;
  // Each docked column takes its width from the card's side; without it that side is padded
  // by the inset. On the right, the window buttons need room above the card.
  const double left = l * w + (1 - l) * in.inset;
  const double right = t * w + (1 - t) * in.inset;
  const double top = in.inset + t * (std::max(kTrailingTopInset, in.inset) - in.inset);
  frames.card = {left, top, std::max(0.0, in.width - left - right),
                 std::max(0.0, in.height - top - in.inset)};

  // The column slides in from its own edge as it fades in; moving sides, it is drawn where more
  // of it shows.
  frames.columnLeading = l > t || (l == t && in.leading);
  if (frames.columnLeading) {
    frames.column = {(l - 1) * w, 0, w, in.height};
    frames.columnOpacity = std::clamp(l, 0.0, 1.0);
  } else {
    frames.column = {in.width - t * w, 0, w, in.height};
    frames.columnOpacity = std::clamp(t, 0.0, 1.0);
  }
  const double handleWidth = SidebarResizeHandle::kWidth;
  const double handleInset = SidebarResizeHandle::kEndInset;
  frames.resizeHandle = {frames.columnLeading ? frames.column.x + w - handleWidth : frames.column.x,
                         handleInset, handleWidth, std::max(0.0, in.height - 2 * handleInset)};

  frames.hoverStrip = {in.leading ? 0 : in.width - kHoverStripWidth, 0, kHoverStripWidth,
                       in.height};

  const double area = w + 2 * kPeekMargin;
  const double hiddenBy = (1 - in.peek) * area;
  frames.peek = {in.leading ? -hiddenBy : in.width - area + hiddenBy, 0, area, in.height};
  frames.peekOpacity = std::clamp(in.peek, 0.0, 1.0);
  return frames;
}

// The window's content: everything the window shows, with the view state of the layout.
class BrowserWindow::Layout : public SizelessWidget {
 public:
  Layout(const WindowSources& sources, bool windowFullScreen)
      : background_(sources.tabs, sources.models.preferences, sources.scheme,
                    VisualEffectView::BlendingMode::behindWindow),
        column_(sources.sidebar(), sources.scheme),
        resizeHandle_(sources.tabs, sources.models.preferences, sources.scheme),
        content_(sources.tabs, sources.models.preferences, sources.models.favorites,
                 sources.models.offers, sources.models.sitePermissions,
                 sources.models.memoryPressure, sources.favicons, sources.scheduler,
                 sources.scheme),
        peek_(sources),
        hint_(sources.scheduler),
        commandBar_(sources.commandBar(), sources.scheme),
        preferences_(sources.models.preferences),
        tabs_(sources.tabs),
        windowFullScreen_(windowFullScreen),
        leadingColumn_(*this, 0, [this] { layoutChanged(); }),
        trailingColumn_(*this, 0, [this] { layoutChanged(); }),
        peekShown_(*this, 0, [this] { layoutChanged(); }) {
    set_name("BrowserWindowContent");
    groupForScreenReaders(*this);
    hoverStrip_.set_name("HoverStrip");
    presentAsDecoration(hoverStrip_);
    // Back to front.
    for (Gtk::Widget* child : children()) child->set_parent(*this);

    auto enter = Gtk::EventControllerMotion::create();
    enter->signal_enter().connect([this](double, double) { hoverStripEntered(); });
    hoverStrip_.add_controller(enter);
    peekPointer_ = Gtk::EventControllerMotion::create();
    peekPointer_->signal_leave().connect([this] { peekPointerLeft(); });
    peek_.add_controller(peekPointer_);
    peek_.set_visible(false);
    // The peek may come out while the pointer is already on its way elsewhere, never entering
    // it and so never leaving it: wherever the pointer moves, outside the peek and the strip the
    // peek closes.
    auto pointer = Gtk::EventControllerMotion::create();
    pointer->signal_motion().connect([this](double x, double y) { pointerMoved(x, y); });
    pointer->signal_leave().connect([this] {
      if (peekSidebar_.peek()) peekPointerLeft();
    });
    add_controller(pointer);

    observer_ = std::make_unique<Observer>([this] { sync(); });
  }

  ~Layout() override {
    observer_.reset();
    popoverClosed_.disconnect();
    for (Gtk::Widget* child : children()) child->unparent();
  }

  void sync() {
    const AppPreferences& prefs = preferences_.prefs();
    const auto space = tabs_.currentSpace();
    const auto tab = space ? space->selectedTab() : nullptr;
    // A page's element full screen shows the page alone; the window's own full screen keeps the
    // sidebar a peek away. Neither touches the sidebar setting, which comes back afterwards.
    const bool pageFullScreen = tab && tab->showsPageFullScreen.get();
    const bool fullScreen = pageFullScreen || windowFullScreen_.get();
    const bool visible = tabs_.sidebarVisible.get() && !fullScreen;
    leading_ = prefs.sidebarSide == SidebarSide::leading;
    sidebarWidth_ = sizes::sidebarWidth(prefs);
    inset_ = fullScreen ? 0 : sizes::contentInset(prefs);
    content_.setFillsScreen(fullScreen);
    setFontClass(fontClass(prefs.interfaceFont));
    if (fullScreen != hintShownFor_) {
      hintShownFor_ = fullScreen;
      fullScreen ? hint_.show() : hint_.dismiss();
    }

    const bool first = !lastVisible_.has_value();
    const bool sidebarToggled = !first && *lastVisible_ != visible;
    lastVisible_ = visible;
    if (sidebarToggled || pageFullScreen) {
      // Showing or hiding the sidebar always ends a peek, without an animation of its own.
      peekSidebar_.set(false);
      peekShown_.jumpTo(0);
    }
    const bool peek = !visible && peekSidebar_.get();

    const double leadingTarget = visible && leading_ ? 1 : 0;
    const double trailingTarget = visible && !leading_ ? 1 : 0;
    if (first) {
      leadingColumn_.jumpTo(leadingTarget);
      trailingColumn_.jumpTo(trailingTarget);
    } else {
      leadingColumn_.springTo(leadingTarget, kSidebarSpring);
      trailingColumn_.springTo(trailingTarget, kSidebarSpring);
    }

    hoverStrip_.set_visible(!visible && !pageFullScreen);
    peek_.setLeading(leading_);
    if (peek) peek_.set_visible(true);
    peekShown_.springTo(peek ? 1 : 0, kPeekSpring);

    // The buttons stay while any sidebar is shown, the docked one or the peek.
    std::optional<Spring> fade;
    if (!first) fade = sidebarToggled ? kSidebarSpring : kPeekSpring;
    buttons_.setTrafficLightsHidden(!visible && !peek, fade);
    layoutChanged();
  }

  void setWindowFullScreen(bool fullScreen) { windowFullScreen_.set(fullScreen); }
  void hoverStripEntered() { peekSidebar_.set(true); }
  void peekSidebarLeft() { peekSidebar_.set(false); }

  // A menu or popover opened from the peek lies outside its area and takes the pointer with it.
  // The peek stays while one is open, and afterwards closes only if the pointer is not back on it.
  void peekPointerLeft() {
    GtkWidget* popover = openPopoverIn(peek_.gobj());
    if (!popover) {
      peekSidebarLeft();
      return;
    }
    popoverClosed_.disconnect();
    popoverClosed_ = Glib::wrap(GTK_POPOVER(popover))->signal_closed().connect([this] {
      popoverClosed_.disconnect();
      Glib::signal_idle().connect_once(sigc::mem_fun(*this, &Layout::recheckPeekPointer));
    });
  }

  void pointerMoved(double x, double y) {
    if (!peekSidebar_.peek()) return;
    LayoutInput shown = currentInput(get_width(), get_height());
    shown.peek = 1;
    const LayoutFrames frames = layoutFrames(shown);
    const auto inside = [x, y](const Frame& frame) {
      return x >= frame.x && x < frame.x + frame.width && y >= frame.y &&
             y < frame.y + frame.height;
    };
    if (!inside(frames.peek) && !inside(frames.hoverStrip)) peekPointerLeft();
  }

  void recheckPeekPointer() {
    if (!peekPointer_->contains_pointer()) peekPointerLeft();
  }

  static GtkWidget* openPopoverIn(GtkWidget* widget) {
    for (GtkWidget* child = gtk_widget_get_first_child(widget); child;
         child = gtk_widget_get_next_sibling(child)) {
      if (GTK_IS_POPOVER(child) && gtk_widget_get_visible(child)) return child;
      if (GtkWidget* found = openPopoverIn(child)) return found;
    }
    return nullptr;
  }
  bool peekSidebarShown() const { return peekSidebar_.peek(); }

  SpaceBackground background_;
  SidebarView column_;
  SidebarResizeHandle resizeHandle_;
  ContentArea content_;
  Gtk::Box hoverStrip_;
  PeekSidebar peek_;
  WindowAccessor buttons_;
  FullScreenHint hint_;
  CommandBarLayer commandBar_;

 protected:
  void size_allocate_vfunc(int width, int height, int) override {
    const LayoutFrames frames = currentFrames(width, height);
    allocate(background_, {0, 0, double(width), double(height)});
    if (column_.get_visible()) allocate(column_, frames.column);
    if (resizeHandle_.get_visible()) allocate(resizeHandle_, frames.resizeHandle);
    allocate(content_, frames.card);
    if (hoverStrip_.get_visible()) allocate(hoverStrip_, frames.hoverStrip);
    if (peek_.get_visible()) allocate(peek_, frames.peek);
    int minimum = 0, naturalWidth = 0, naturalHeight = 0, b1 = -1, b2 = -1;
    buttons_.measure(Gtk::Orientation::HORIZONTAL, -1, minimum, naturalWidth, b1, b2);
    buttons_.measure(Gtk::Orientation::VERTICAL, naturalWidth, minimum, naturalHeight, b1, b2);
    allocate(buttons_,
             {kWindowButtonsX, kWindowButtonsY, double(naturalWidth), double(naturalHeight)});
    if (hint_.get_visible()) {
      int hintWidth = 0, hintHeight = 0;
      hint_.measure(Gtk::Orientation::HORIZONTAL, -1, minimum, hintWidth, b1, b2);
      hint_.measure(Gtk::Orientation::VERTICAL, hintWidth, minimum, hintHeight, b1, b2);
      allocate(hint_, {(width - hintWidth) / 2.0, FullScreenHint::kTopMargin, double(hintWidth),
                       double(hintHeight)});
    }
    if (commandBar_.get_visible()) allocate(commandBar_, {0, 0, double(width), double(height)});
  }

  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override {
    const auto covered = cardCover();
    for (Gtk::Widget* child = get_first_child(); child; child = child->get_next_sibling()) {
      // Each repaint of a page fills the card; without the hole the window's tint beneath the
      // card would be painted again with it.
      if (child == &background_ && covered) {
        snapshotChildAround(*this, background_, *covered, snapshot);
      } else {
        snapshot_child(*child, snapshot);
      }
    }
  }

 private:
  std::vector<Gtk::Widget*> children() {
    return {&background_, &column_,  &resizeHandle_, &content_,   &hoverStrip_,
            &peek_,       &buttons_, &hint_,         &commandBar_};
  }

  // Where the card hides what lies behind it, in the layout's coordinates.
  std::optional<Gdk::Rectangle> cardCover() {
    if (!content_.get_visible() || content_.get_opacity() < 1) return std::nullopt;
    const auto area = content_.opaqueArea();
    if (!area) return std::nullopt;
    const Gtk::Allocation card = content_.get_allocation();
    return Gdk::Rectangle(card.get_x() + area->get_x(), card.get_y() + area->get_y(),
                          area->get_width(), area->get_height());
  }

  LayoutInput currentInput(double width, double height) const {
    return {width,
            height,
            leading_,
            sidebarWidth_,
            inset_,
            leadingColumn_.value(),
            trailingColumn_.value(),
            peekShown_.value()};
  }
  LayoutFrames currentFrames(double width, double height) const {
    return layoutFrames(currentInput(width, height));
  }

  void layoutChanged() {
    const LayoutFrames frames = currentFrames(get_width(), get_height());
    column_.set_opacity(frames.columnOpacity);
    column_.set_visible(frames.columnOpacity > 0);
    resizeHandle_.set_opacity(frames.columnOpacity);
    resizeHandle_.set_visible(frames.columnOpacity > 0);
    resizeHandle_.setLeading(frames.columnLeading);
    peek_.set_opacity(frames.peekOpacity);
    // The peek leaves the tree only once it has slid out.
    if (peekShown_.value() <= 0 && peekShown_.target() <= 0) peek_.set_visible(false);
    queue_allocate();
  }

  void setFontClass(const char* name) {
    if (fontClass_ == name) return;
    if (!fontClass_.empty()) remove_css_class(fontClass_);
    fontClass_ = name;
    add_css_class(fontClass_);
  }

  PreferencesModel& preferences_;
  WindowModel& tabs_;
  bool leading_ = true;
  double sidebarWidth_ = 264;
  double inset_ = 8;
  std::string fontClass_;
  std::optional<bool> lastVisible_;
  Observable<bool> windowFullScreen_;
  bool hintShownFor_ = false;
  Observable<bool> peekSidebar_{false};
  AnimatedValue leadingColumn_;
  AnimatedValue trailingColumn_;
  AnimatedValue peekShown_;
  Glib::RefPtr<Gtk::EventControllerMotion> peekPointer_;
  sigc::connection popoverClosed_;
  std::unique_ptr<Observer> observer_;
};

// Where no window manager keeps windows on screen, a first window larger than the screen would
// have its bottom edge out of reach; it never becomes smaller than the minimum size.
BrowserWindow::Size BrowserWindow::defaultSizeOn(std::optional<Size> screen) {
  Size size{kDefaultWidth, kDefaultHeight};
  if (!screen || screen->width <= 0 || screen->height <= 0) return size;
  size.width = std::max(kMinimumWidth, std::min(size.width, screen->width));
  size.height = std::max(kMinimumHeight, std::min(size.height, screen->height));
  return size;
}

BrowserWindow::BrowserWindow(const Models& models, FaviconLoader& favicons, Scheduler& scheduler,
                             const SystemColorScheme& scheme)
    : models_(models),
      tabs_(models.tabs),
      favicons_(favicons),
      scheduler_(scheduler),
      privateScheme_(tabs_.isPrivate() ? std::make_unique<SystemColorScheme>(ColorScheme::dark)
                                       : nullptr),
      scheme_(privateScheme_ ? *privateScheme_ : scheme) {
  // Said by each window itself: left to its class, a window opened at run time was at times
  // announced as a plain widget, neither showing nor active, and screen readers passed it over.
  setAccessibleRole(*this, Gtk::Accessible::Role::WINDOW);
  set_title("Zemblo");
  if (tabs_.isPrivate()) {
    add_css_class("private-window");
    followTitle();
  }
  openAtRememberedFrame();
  set_size_request(kMinimumWidth, kMinimumHeight);
  // A private window leaves nothing behind, its size included.
  if (!tabs_.isPrivate()) {
    frameRecorder_ =
        std::make_unique<WindowFrameRecorder>(*this, models_.windowFrames, tabs_.frame);
  }
  add_css_class("zemblo-browser-window");
  style_ = std::make_unique<AppStyle>(get_display());
  // The title bar is hidden; the content draws its own window buttons and drag areas.
  auto* titlebar = Gtk::make_managed<Gtk::WindowHandle>();
  titlebar->set_visible(false);
  set_titlebar(*titlebar);
  notices_ = std::make_unique<NoticeOverlay>(models_.notices);
  set_child(*notices_);
  rebuildContent();
  add_action("new-tab", [this] { openNewTab(); });
  add_action("toggle-full-screen", [this] { toggleFullScreen(); });
  // Whoever makes the window full screen (the user, the page through the engine, the desktop),
  // the layout follows the window's own state.
  property_fullscreened().signal_changed().connect(
      [this] { layout_->setWindowFullScreen(is_fullscreen()); });
  heapRelease_ = std::make_unique<HeapRelease>(*this);
  cycleRegionsWithF6(*this, [this] {
    std::vector<KeyboardRegion> regions{{&sidebarView()}};
    std::ranges::copy(contentArea().keyboardRegions(), std::back_inserter(regions));
    return regions;
  });
}

BrowserWindow::~BrowserWindow() {
  titleObserver_.reset();
  heapRelease_.reset();
  // The content refers to the colour scheme and the style, so it goes first.
  unset_child();
  notices_.reset();
  layout_.reset();
}

void BrowserWindow::rebuildContent() {
  // The new content takes the shown web view over from the old one before that is destroyed.
  auto next = std::make_unique<Layout>(
      WindowSources{models_, tabs_, favicons_, scheduler_, scheme_}, is_fullscreen());
  notices_->setContent(*next);
  layout_ = std::move(next);
}

void BrowserWindow::openAtRememberedFrame() {
  const auto screen = largestScreen(get_display());
  const WindowSize minimum{kMinimumWidth, kMinimumHeight};
  // A window of the session stands as it was left; a new one as the last one closed was.
  const auto frame = tabs_.frame ? std::optional(tabs_.frame->fittedBetween(minimum, screen))
                                 : models_.windowFrames.remembered(minimum, screen);
  const Size size = frame ? Size{frame->width, frame->height} : defaultSizeOn(screen);
  set_default_size(size.width, size.height);
  if (frame && frame->maximized) maximize();
  if (frame && frame->fullScreen) fullscreen();
}

void BrowserWindow::followTitle() {
  titleObserver_ = std::make_unique<Observer>(
      [this] {
        const auto space = tabs_.currentSpace();
        const auto tab = space ? space->selectedTab() : nullptr;
        const std::string page = tab && !tab->showsStartPage() ? tab->displayTitle() : "Zemblo";
        set_title(withArgument(localized("%@ — Özel Gezinti"), page));
      },
      scheduler_);
}

void BrowserWindow::openNewTab() {
  tabs_.newTab();
  // Also when the start page is already on screen: the user asked to type somewhere new.
  contentArea().startPage().focusFieldSoon();
}

void BrowserWindow::toggleFullScreen() {
  const auto space = tabs_.currentSpace();
  const auto tab = space ? space->selectedTab() : nullptr;
  // The key that the hint names leaves a page's full screen too; the engine then gives the
  // window its size back.
  if (tab && tab->showsPageFullScreen.peek()) {
    tab->leavePageFullScreen();
  } else if (is_fullscreen()) {
    unfullscreen();
  } else {
    fullscreen();
  }
}

ContentArea& BrowserWindow::contentArea() { return layout_->content_; }
SidebarView& BrowserWindow::sidebarView() { return layout_->column_; }
void BrowserWindow::hoverStripEntered() { layout_->hoverStripEntered(); }
void BrowserWindow::peekSidebarLeft() { layout_->peekSidebarLeft(); }

}  // namespace zemblo
