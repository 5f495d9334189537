#pragma once

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
#include "platform/url.h"

namespace zemblo {

class BrowserStore;
class BrowserTab;

// The spaces with their tabs, the closed tabs for reopening and the transient state of the
// browser window around them (sidebar, command bar, find bar). A tab is found by identity, never
// by id or address; a tab that no space holds makes these operations do nothing.
class TabsModel {
 public:
  using SpaceList = std::vector<std::shared_ptr<Space>>;
  static constexpr size_t kClosedTabLimit = 30;

  // Tabs placed here belong to `owner`; `scheduleSave` asks for the session to be written soon.
  TabsModel(std::weak_ptr<BrowserStore> owner, std::function<void()> scheduleSave);

  Observable<SpaceList, NeverEqual> spaces;
  Observable<Uuid> currentSpaceID{Uuid::random()};
  Observable<bool> sidebarVisible{true};
  Observable<std::optional<CommandBarMode>> commandBar;
  Observable<bool> findBarVisible{false};
  // Closed tabs for reopening, newest last; not observed.
  std::vector<ClosedTab> closedTabs;

  // The saved spaces (the default ones when there are none); without `withTabs` every space
  // starts empty.
  void restore(const std::optional<SessionSnapshot>& session, bool withTabs);
  // The first space whose id is `currentSpaceID`, else the first space.
  std::shared_ptr<Space> currentSpace() const;
  std::shared_ptr<Space> spaceContaining(const BrowserTab& tab) const;
  // Gives the default spaces their names in the interface language of the moment.
  void relabelDefaultSpaces();

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
  // The next or previous tab of the current space, wrapping around at either end.
  void selectAdjacentTab(bool forward);
  // The next or previous space, wrapping around; a single space is selected again.
  void selectAdjacentSpace(bool forward);
  // Tabs 1 to 8 by position; 9 is always the last tab.
  void selectTab(int number);

 private:
  std::shared_ptr<Space> findSpace(const Space& space) const;
  void pushClosedTab(const Space& space, const BrowserTab& tab);
  // Hands the selection of `space` to the tab that took position `removedAt`, or to none.
  std::shared_ptr<BrowserTab> selectNeighbour(Space& space, size_t removedAt);

  std::weak_ptr<BrowserStore> owner_;
  std::function<void()> scheduleSave_;
};

}  // namespace zemblo
