#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "model/command_bar_mode.h"
#include "model/records.h"
#include "model/space.h"
#include "platform/observable.h"
#include "platform/scheduler.h"
#include "platform/url.h"

namespace zemblo {

class BrowserTab;
class SpacesModel;
struct TabServices;

// One browser window's model: its own tabs in each of the spaces (whose names, symbols, colours
// and order the spaces model holds for every window), its current space and selections, and the
// transient state of the window around them (sidebar, command bar, find bar). A tab is found by
// identity, never by id or address; a tab that no space holds makes these operations do nothing.
class WindowModel {
 public:
  using SpaceList = std::vector<std::shared_ptr<Space>>;
  static constexpr size_t kClosedTabLimit = 30;

  // A window over `spaces`, which outlives it. Tabs placed here work with `services`, whose
  // scheduler also paces quick steps through the tabs; `scheduleSave` asks for the session to be
  // written soon.
  WindowModel(std::weak_ptr<const TabServices> services, std::function<void()> scheduleSave,
              SpacesModel& spaces);
  ~WindowModel();
  WindowModel(const WindowModel&) = delete;
  WindowModel& operator=(const WindowModel&) = delete;

  // A new window over the same spaces as `other`, starting on its current space with the sidebar
  // as it has it; the tabs, selections and sidebar are then the new window's own.
  static std::unique_ptr<WindowModel> alongside(const WindowModel& other);
  // The tabs of a private window: one space of its own, nothing saved, and closed tabs kept only
  // while the window lives.
  static std::unique_ptr<WindowModel> makePrivate(std::weak_ptr<const TabServices> services);
  bool isPrivate() const { return isPrivate_; }

  // This window's spaces, in the spaces model's order; each holds this window's tabs.
  Observable<SpaceList, NeverEqual> spaces;
  Observable<Uuid> currentSpaceID{Uuid::random()};
  Observable<bool> sidebarVisible{true};
  Observable<std::optional<CommandBarMode>> commandBar;
  Observable<bool> findBarVisible{false};
  // Steps through the tabs closer together than this (a held Ctrl+Tab) leave the tabs passed
  // over as they were: making a web view and starting its page holds the main thread for tens of
  // milliseconds, more than the time between two key repeats.
  static constexpr std::chrono::milliseconds kStepPause{150};
  // True from the second of such quick steps until they pause; meanwhile the selected tab shows
  // its row and title but makes no web view. The tab selected when the steps pause loads then.
  Observable<bool> steppingThroughTabs{false};
  // How the window stood when last left, kept in the session; not observed.
  std::optional<WindowFrame> frame;
  // Closed tabs for reopening, newest last, shared by every window over the same spaces; not
  // observed.
  std::vector<ClosedTab>& closedTabs;

  // The first space whose id is `currentSpaceID`, else the first space.
  std::shared_ptr<Space> currentSpace() const;
  std::shared_ptr<Space> spaceContaining(const BrowserTab& tab) const;

  // Selects the tab in the space that holds it; the current space does not change, and the tab
  // loads only when its space is the one shown.
  void select(const BrowserTab& tab);
  // A new tab at the top of the current space, or right after `after` in that tab's space.
  std::shared_ptr<BrowserTab> openTab(const Url& url, bool inBackground,
                                      const std::shared_ptr<BrowserTab>& after = nullptr);
  // Places a new tab without selecting it or saving; the callers do both.
  void insertTab(std::shared_ptr<BrowserTab> tab,
                 const std::shared_ptr<BrowserTab>& after = nullptr);
  // Keeps a record for reopening (tabs with an address), hands the selection to the neighbour
  // and releases the tab's web view.
  void closeTab(const BrowserTab& tab);
  void closeOtherTabs(const BrowserTab& except);
  void closeAllTabsInCurrentSpace();
  // Reorders the current space's tabs: the tabs at `fromOffsets` keep their order and land just
  // before the tab that stood at `toOffset` (at the end when it equals the count).
  void moveTabs(const std::set<size_t>& fromOffsets, size_t toOffset);
  // To the top of `toSpace`, keeping the tab's page and web view.
  void moveTab(const BrowserTab& tab, Space& toSpace);

  void select(const Space& space);
  // A new space after the others, coloured and iconed by how many spaces there are; it does not
  // become current.
  std::shared_ptr<Space> addSpace();
  // Closes the space's tabs, keeping those with an address for reopening (in the current space,
  // since theirs is gone); the last space stays.
  void deleteSpace(const Space& space);
  void moveSpaces(const std::set<size_t>& fromOffsets, size_t toOffset);

  // Shows the start page in the current space: its first blank tab that is not a pop-up, else a
  // new one at the top, and closes the command bar. Focusing the start page's search field is
  // left to the window that asked.
  void newTab();
  // Opens the newest closed tab at the top of its space, which becomes current; at the top of
  // the current space when its space is gone.
  void reopenClosedTab();
  void toggleFindBar();
  void toggleSidebar();
  // The next or previous tab of the current space, wrapping around at either end. A single step
  // loads the tab at once; see `steppingThroughTabs` for steps in quick succession.
  void selectAdjacentTab(bool forward);
  // The next or previous space, wrapping around; a single space is selected again.
  void selectAdjacentSpace(bool forward);
  // Tabs 1 to 8 by position; 9 is always the last tab.
  void selectTab(int number);

  // Windows ------------------------------------------------------------------------------------

  // What the other windows call this one: the title of its selected tab.
  std::string windowName() const;

  size_t tabCount() const;
  // The selected tab of the current space, if any.
  std::shared_ptr<BrowserTab> selectedTab() const;
  // Closes every tab as the window goes, keeping those with an address for reopening (none in a
  // private window).
  void closeAllTabs();
  // Lets go of every web view while the tabs stay, each keeping its back and forward list for
  // when it is shown again.
  void releaseWebViews();
  // Hands the tab, with its page and web view, to `target` (a window of the same kind): to the
  // top of `into` (one of the target's spaces), else of the space with the same id there, else of
  // its current space; selected. The space here selects the neighbour, as after a close.
  void moveTabToWindow(const BrowserTab& tab, WindowModel& target, Space* into = nullptr);
  std::shared_ptr<BrowserTab> tabWithID(const Uuid& id) const;
  // What this window restores from a saved window: its current space and sidebar and, with
  // `withTabs`, each space's tabs and selection, for the spaces that still exist; the others'
  // tabs go to the current space.
  void restore(const SessionSnapshot& window, bool withTabs = true);

 private:
  WindowModel(std::weak_ptr<const TabServices> services, std::function<void()> scheduleSave,
              SpacesModel& spaces, std::unique_ptr<SpacesModel> ownSpaces, bool isPrivate);
  std::shared_ptr<Space> findSpace(const Space& space) const;
  // Removes `tab` from `source`, which must hold it; a neighbour takes its selection.
  std::shared_ptr<BrowserTab> takeOut(Space& source, const BrowserTab& tab);
  // Selects the tab in the space that holds it; it loads only with `load`, and only when its
  // space is the one shown.
  void selectInItsSpace(const BrowserTab& tab, bool load);
  // Any selection other than a step ends the stepping: the tab it chose loads at once.
  void endStepping();
  void stepsPaused();
  void pushClosedTab(const Space& space, const BrowserTab& tab);
  // Hands the selection of `space` to the tab that took position `removedAt`, or to none.
  std::shared_ptr<BrowserTab> selectNeighbour(Space& space, size_t removedAt);

  std::shared_ptr<Space> spaceWithID(const Uuid& id) const;
  // The spaces model changed: this window's spaces take its order, a new space starts empty and
  // a deleted one closes its tabs here.
  void matchSpaces();

  std::weak_ptr<const TabServices> services_;
  std::function<void()> scheduleSave_;
  // A private window's own spaces; none for a normal window.
  std::unique_ptr<SpacesModel> ownSpaces_;
  SpacesModel& spacesModel_;
  const bool isPrivate_ = false;
  sigc::connection spacesWatch_;
  // Pending while the last step is less than `kStepPause` old.
  std::unique_ptr<ScheduledTask> stepPause_;
};

}  // namespace zemblo
