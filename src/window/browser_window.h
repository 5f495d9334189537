#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtkmm.h>

#include "model/window_frame.h"
#include "platform/observable.h"
#include "widgets/animated_value.h"

namespace zemblo {

class NoticeOverlay;

class AppStyle;
class DownloadManager;
class FaviconLoader;
class FavoritesModel;
class HeapRelease;
class HistoryModel;
class MemoryPressure;
class PageServicesModel;
class PasswordOffers;
class PreferencesModel;
class Scheduler;
class CommandBarLayer;
class ContentArea;
class SidebarResizeHandle;
class SidebarView;
class SitePermissions;
class SpaceBackground;
class SystemColorScheme;
class BrowserWindows;
class WindowModel;
class WindowAccessor;
class WindowFrameRecorder;

// The main browser window: the space background over the whole window, the sidebar column on
// the side the settings choose, the content card beside it, and while the sidebar is hidden a
// strip at the window's edge that brings out a floating "peek" sidebar. Full screen, the card
// fills the screen: the sidebar peeks as when it is hidden, and a page's element full screen
// shows the page alone. The title bar is hidden;
// the window buttons sit over the sidebar and fade out while no sidebar is shown. Its content is
// rebuilt from scratch, with fresh view state, whenever the interface language changes.
class BrowserWindow : public Gtk::ApplicationWindow {
 public:
  static constexpr int kMinimumWidth = 880;
  static constexpr int kMinimumHeight = 560;
  static constexpr int kDefaultWidth = 1440;
  static constexpr int kDefaultHeight = 920;

  static constexpr double kHoverStripWidth = 10;
  static constexpr double kPeekMargin = 8;
  static constexpr double kPeekCornerRadius = 14;
  static constexpr double kTrailingTopInset = 30;
  static constexpr Spring kSidebarSpring{0.38, 0.86};
  static constexpr Spring kPeekSpring{0.25, 0.85};

  using Size = WindowSize;
  // The size a first window opens at on a screen of `screen` (none known: the default size).
  static Size defaultSizeOn(std::optional<Size> screen);

  struct Frame {
    double x = 0, y = 0, width = 0, height = 0;
    friend bool operator==(const Frame&, const Frame&) = default;
  };

  // Where the layout puts things for a window size, the settings and how far each animated
  // element is in (0 out … 1 in; springs may pass beyond either end for a moment).
  struct LayoutInput {
    double width = 0, height = 0;
    bool leading = true;
    double sidebarWidth = 264;
    double inset = 8;
    double leadingColumn = 1;   // the docked column on the left
    double trailingColumn = 0;  // the docked column on the right
    double peek = 0;
  };
  struct LayoutFrames {
    Frame card;
    Frame column;
    bool columnLeading = true;  // the column drawn is the one on the left
    double columnOpacity = 0;
    Frame resizeHandle;  // over the column's edge towards the page
    Frame hoverStrip;
    Frame peek;  // includes the margin around the panel, which belongs to its hover area
    double peekOpacity = 0;
  };
  static LayoutFrames layoutFrames(const LayoutInput& input);

  // What the window and its parts show and change; all of it outlives the window.
  struct Models {
    // This window's tabs. Over a private set the window is dark whatever the theme, and its
    // title says it is private.
    WindowModel& tabs;
    // Every browser window, where this one's tabs may move.
    BrowserWindows& windows;
    PreferencesModel& preferences;
    FavoritesModel& favorites;
    HistoryModel& history;
    PageServicesModel& pageServices;
    DownloadManager& downloads;
    PasswordOffers& offers;
    SitePermissions& sitePermissions;
    // The frames the window keeps of its tabs' pages go on a warning.
    MemoryPressure& memoryPressure;
    // What the user is told once (files set aside, failed saves); the window takes them out as
    // it shows them.
    Observable<std::vector<std::string>, NeverEqual>& notices;
    // The window opens at the size the user left the last one at, and leaves its own there.
    WindowFrameMemory& windowFrames;
  };

  // Site icons come through `favicons`, and the views do their later work on `scheduler`; both
  // outlive the window.
  BrowserWindow(const Models& models, FaviconLoader& favicons, Scheduler& scheduler,
                const SystemColorScheme& scheme);
  ~BrowserWindow() override;

  // Discards the content and builds it again in the current language.
  void rebuildContent();
  // The "win.new-tab" action: shows the start page in the current space and gives its search
  // field the keyboard.
  void openNewTab();
  // The "win.toggle-full-screen" action: ends the page's element full screen if it shows one,
  // else takes the window into full screen or out of it.
  void toggleFullScreen();

  // The tabs this window shows.
  WindowModel& tabs() const { return tabs_; }

  // The sidebar docked in the window's column.
  SidebarView& sidebarView();

  // The pointer entered the hover strip / left the peek sidebar.
  void hoverStripEntered();
  void peekSidebarLeft();

 private:
  class Layout;

  ContentArea& contentArea();

  void openAtRememberedFrame();
  void followTitle();

  Models models_;
  WindowModel& tabs_;
  FaviconLoader& favicons_;
  Scheduler& scheduler_;
  // A private window's own, always dark; declared before the scheme the views take.
  std::unique_ptr<SystemColorScheme> privateScheme_;
  const SystemColorScheme& scheme_;
  std::unique_ptr<Observer> titleObserver_;
  std::unique_ptr<AppStyle> style_;
  std::unique_ptr<NoticeOverlay> notices_;
  std::unique_ptr<Layout> layout_;
  std::unique_ptr<HeapRelease> heapRelease_;
  std::unique_ptr<WindowFrameRecorder> frameRecorder_;
};

}  // namespace zemblo
