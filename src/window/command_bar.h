#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtkmm.h>

#include "model/color.h"
#include "model/command_bar_mode.h"
#include "model/preference_enums.h"
#include "model/suggestions.h"
#include "platform/observable.h"
#include "platform/scheduler.h"
#include "platform/url.h"
#include "widgets/animated_value.h"
#include "window/suggestion_row.h"

namespace zemblo {

class BrowserTab;
class FaviconLoader;
class HistoryModel;
class PreferencesModel;
class SystemColorScheme;
class WindowModel;

// The overlay in which the user types an address or a search, sees the matching suggestions and
// picks one with the keyboard or the pointer: a card over a dimmed window. A bar lives for one
// opening only; every opening builds a new one from fresh state. While it is open it watches the
// window's keys before anything else does: Escape closes it, Down and Up move the highlight.
class CommandBar : public Gtk::Widget {
 public:
  static constexpr double kCardWidth = 640;
  static constexpr double kCornerRadius = 22;
  static constexpr double kTopInset = 120;
  static constexpr double kCenteredFraction = 0.3;
  static constexpr int kFieldRowHeight = 62;
  static constexpr double kDimOpacity = 0.18;
  // Not zero: the backdrop still takes the clicks that close the bar.
  static constexpr double kUndimmedOpacity = 0.001;
  static constexpr double kHiddenScale = 0.96;
  static constexpr Spring kAppearSpring{0.3, 0.8};

  // What a bar reads and changes; the layer hands the same to every bar it builds.
  struct Models {
    WindowModel& tabs;
    const PreferencesModel& preferences;
    const HistoryModel& history;
    FaviconLoader& favicons;
    Scheduler& scheduler;
  };

  CommandBar(const Models& models, const SystemColorScheme& scheme, CommandBarMode mode);
  ~CommandBar() override;

  CommandBarMode mode() const { return mode_; }
  // The highlighted row: the selection, clamped to the last row of a list that shrank.
  std::optional<size_t> highlightedIndex() const;

  // Re-reads the models and the query: the suggestions, the highlight, the colours and the place.
  void sync();
  // Shown: animates in, focuses the field on the next turn and starts watching the keys.
  void onAppearSetup();
  void installKeyMonitor();
  void removeKeyMonitor();
  // A key pressed anywhere in the window while the bar is open; true when the bar used it.
  bool handleKey(guint keyval);
  // Return in the field: activates the highlighted row, or closes the bar when there is none.
  void submit();
  void activate(const Suggestion& suggestion);
  void navigate(const std::optional<Url>& url);
  void close();
  // The pointer moved onto the row at `index`.
  void rowEntered(size_t index);
  // The pointer is at (x, y) in the bar; a row under it is picked only when it moved there.
  void pointerMoved(double x, double y);

  // Where the card's top edge sits in an area of the given height.
  static double cardTop(CommandBarPosition position, double areaHeight);
  // The backdrop's opacity for the dimming setting and how far the bar has appeared (0…1).
  static double dimOpacity(bool dimBehind, double appeared);

 protected:
  void measure_vfunc(Gtk::Orientation orientation, int for_size, int& minimum, int& natural,
                     int& minimum_baseline, int& natural_baseline) const override;
  void size_allocate_vfunc(int width, int height, int baseline) override;
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;
  void on_map() override;

 private:
  std::string query() const;
  void setQuery(const std::string& text);
  std::shared_ptr<BrowserTab> currentTab() const;
  void queryChanged();
  void setSelection(int selection);
  void updateRows();
  void focusPage();
  // Where the pointer is in the bar now, when the display tells.
  std::optional<std::pair<double, double>> restingPointer();

  const CommandBarMode mode_;
  const Models models_;
  const SystemColorScheme& scheme_;
  Gtk::Box dim_;
  Gtk::Box card_{Gtk::Orientation::VERTICAL, 0};
  Gtk::Box fieldRow_{Gtk::Orientation::HORIZONTAL, 14};
  SymbolGlyph searchIcon_;
  Gtk::Text field_;
  Gtk::Button clearButton_;
  SymbolGlyph clearSymbol_;
  Gtk::Separator divider_;
  Gtk::Box list_{Gtk::Orientation::VERTICAL, 2};
  std::vector<std::unique_ptr<SuggestionRow>> rows_;

  std::vector<Suggestion> suggestions_;
  int selection_ = 0;
  Color accent_;
  CommandBarPosition position_ = CommandBarPosition::top;
  bool dimBehind_ = true;
  Glib::RefPtr<Gtk::EventControllerKey> monitor_;
  // A monitor removed while it was handling a key lives until then.
  Glib::RefPtr<Gtk::EventControllerKey> removedMonitor_;
  bool setUp_ = false;
  std::optional<std::pair<double, double>> pointer_;
  AnimatedValue appeared_;
  std::unique_ptr<ScheduledTask> focusTask_;
  std::unique_ptr<Observer> observer_;
};

// The window's topmost layer: while the window model holds a command-bar mode it shows a bar built
// for that mode over the whole window, fading it in; once the mode is cleared it fades the bar out
// and drops it. Hidden, and so out of the way of the pointer, while no bar is shown.
class CommandBarLayer : public Gtk::Widget {
 public:
  static constexpr double kFadeSeconds = 0.18;

  CommandBarLayer(const CommandBar::Models& models, const SystemColorScheme& scheme);
  ~CommandBarLayer() override;

  void sync();

 protected:
  void measure_vfunc(Gtk::Orientation orientation, int for_size, int& minimum, int& natural,
                     int& minimum_baseline, int& natural_baseline) const override;
  void size_allocate_vfunc(int width, int height, int baseline) override;

 private:
  void open(CommandBarMode mode);
  void leave();
  void faded();
  void dropBar();

  const CommandBar::Models models_;
  const SystemColorScheme& scheme_;
  std::unique_ptr<CommandBar> bar_;
  bool leaving_ = false;
  AnimatedValue opacity_;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
