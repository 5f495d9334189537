#pragma once

#include <memory>
#include <optional>
#include <utility>

#include <gtkmm.h>

#include "model/color.h"
#include "platform/observable.h"
#include "sidebar/capture_indicator.h"
#include "sidebar/sidebar_rules.h"
#include "widgets/activity_spinner.h"
#include "widgets/animated_value.h"
#include "widgets/favicon_view.h"
#include "widgets/pointer_return.h"
#include "widgets/symbol_paint.h"

namespace zemblo {

class BrowserTab;
class SidebarContext;

// One row of the tab list: the tab's icon, its title, a mark while its page waits on a dialog, a
// speaker while the page plays sound or the tab is muted (a click on it mutes or unmutes the tab)
// and, under the pointer, a close button. A click selects the tab; a secondary click opens the
// tab's menu, a middle click closes the tab. Rows are dragged to reorder the list.
class TabRow : public Gtk::Widget {
 public:
  static constexpr double kCornerRadius = 10;
  static constexpr double kIconSize = 16;
  static constexpr int kCloseSize = 20;
  static constexpr int kSpeakerSize = 20;

  TabRow(const SidebarContext& context, std::shared_ptr<BrowserTab> tab);
  ~TabRow() override;

  const std::shared_ptr<BrowserTab>& tab() const { return tab_; }
  void setSelected(bool selected);

  // The row's own input.
  void tap();
  void setHovering(bool hovering);
  void closeClicked();
  void popupContextMenu(double x, double y);

  // The menu of the last secondary click, with the actions it names ("tab.close", …).
  Gtk::PopoverMenu* contextMenu() const { return menu_.get(); }

 protected:
  Gtk::SizeRequestMode get_request_mode_vfunc() const override;
  void measure_vfunc(Gtk::Orientation orientation, int for_size, int& minimum, int& natural,
                     int& minimum_baseline, int& natural_baseline) const override;
  void size_allocate_vfunc(int width, int height, int baseline) override;
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;

 private:
  // What the row is filled with now (opacity 0 when it shows nothing).
  GdkRGBA fill() const;
  void sync();
  void syncSpeaker();
  void hoverChanged();
  Glib::RefPtr<Gdk::ContentProvider> prepareDrag(double x, double y);
  Glib::RefPtr<Gio::SimpleActionGroup> makeActions(const TabMenuLook& look);
  Gtk::Widget& shownIcon();

  const SidebarContext& context_;
  std::shared_ptr<BrowserTab> tab_;
  PointerReturn pointerReturn_{*this};
  Observable<bool> selected_{false};
  GradientSymbol sparkles_;
  ActivitySpinner spinner_{static_cast<int>(kIconSize)};
  FaviconView favicon_;
  Gtk::Label title_;
  Gtk::Button close_;
  Gtk::Image closeImage_;
  // Shown while the tab's page waits on a dialog that the tab will show once selected.
  Gtk::Image waiting_;
  Gtk::Button speaker_;
  Gtk::Image speakerImage_;
  CaptureIndicator capture_;
  TabRowLook look_;
  // The title's size and weight as last given: new attributes, even equal ones, lay it out again.
  std::optional<std::pair<int, bool>> titleStyle_;
  double rowHeight_ = 34;
  ColorScheme scheme_ = ColorScheme::light;
  GdkRGBA selectedFill_{};
  bool hovering_ = false;
  AnimatedValue hover_;
  std::unique_ptr<Gtk::PopoverMenu> menu_;
  Glib::RefPtr<Gtk::DragSource> drag_;
  double dragX_ = 0, dragY_ = 0;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
