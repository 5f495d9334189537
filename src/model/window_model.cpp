#include "model/window_model.h"

#include <algorithm>

#include "model/browser_tab.h"
#include "model/list_moves.h"
#include "model/localization.h"
#include "model/spaces_model.h"
#include "model/tab_services.h"

namespace zemblo {
namespace {

std::shared_ptr<BrowserTab> restoredTab(const TabSnapshot& snapshot) {
  return std::make_shared<BrowserTab>(snapshot.id, snapshot.url, snapshot.title,
                                      snapshot.faviconURL);
}

// Position of the tab, found by identity.
std::optional<size_t> positionOf(const Space& space, const BrowserTab& tab) {
  const auto& tabs = space.tabs.peek();
  for (size_t i = 0; i < tabs.size(); ++i) {
    if (tabs[i].get() == &tab) return i;
  }
  return std::nullopt;
}

// The space's own reference to the tab, which keeps it alive while the space lets go of it.
std::shared_ptr<BrowserTab> heldTab(const Space& space, const BrowserTab& tab) {
  const auto position = positionOf(space, tab);
  return position ? space.tabs.peek()[*position] : nullptr;
}

// The index one step away from `from` in a list of `count`, wrapping around at either end.
size_t wrappedStep(size_t from, size_t count, bool forward) {
  return forward ? (from + 1) % count : (from + count - 1) % count;
}

}  // namespace

WindowModel::WindowModel(std::weak_ptr<const TabServices> services,
                         std::function<void()> scheduleSave, SpacesModel& spaces)
    : WindowModel(std::move(services), std::move(scheduleSave), spaces, nullptr, false) {}

WindowModel::WindowModel(std::weak_ptr<const TabServices> services,
                         std::function<void()> scheduleSave, SpacesModel& spaces,
                         std::unique_ptr<SpacesModel> ownSpaces, bool isPrivate)
    : closedTabs(spaces.closedTabs),
      services_(std::move(services)),
      scheduleSave_(std::move(scheduleSave)),
      ownSpaces_(std::move(ownSpaces)),
      spacesModel_(spaces),
      isPrivate_(isPrivate) {
  matchSpaces();
  spacesWatch_ = spacesModel_.list.signalChanged().connect([this] { matchSpaces(); });
}

WindowModel::~WindowModel() { spacesWatch_.disconnect(); }

std::unique_ptr<WindowModel> WindowModel::alongside(const WindowModel& other) {
  auto window =
      std::make_unique<WindowModel>(other.services_, other.scheduleSave_, other.spacesModel_);
  window->sidebarVisible.set(other.sidebarVisible.peek());
  window->currentSpaceID.set(other.currentSpaceID.peek());
  return window;
}

std::unique_ptr<WindowModel> WindowModel::makePrivate(std::weak_ptr<const TabServices> services) {
  // Nothing of a private window is written, so it never asks for a save.
  auto ownSpaces = std::make_unique<SpacesModel>([] {});
  // A dark space of its own, so the window reads as private at a glance.
  ownSpaces->list.set({std::make_shared<SpaceIdentity>(localized("Özel"), "theatermasks.fill",
                                                       "#6E5FA8", "#17141F")});
  SpacesModel& spaces = *ownSpaces;
  return std::unique_ptr<WindowModel>(new WindowModel(
      std::move(services), [] {}, spaces, std::move(ownSpaces), true));
}

void WindowModel::matchSpaces() {
  SpaceList next;
  for (const auto& identity : spacesModel_.list.peek()) {
    auto mine = spaceWithID(identity->id);
    if (!mine) mine = std::make_shared<Space>(identity);
    next.push_back(std::move(mine));
  }
  // A deleted space takes this window's tabs in it along, for reopening like the others; top to
  // bottom, so that reopening them one after another puts them back in their order.
  for (const auto& old : spaces.peek()) {
    if (std::ranges::find(next, old) != next.end()) continue;
    for (const auto& tab : old->tabs.peek()) {
      pushClosedTab(*old, *tab);
      tab->tearDown();
    }
  }
  const bool currentKept = std::ranges::any_of(
      next, [&](const auto& space) { return space->id == currentSpaceID.peek(); });
  spaces.set(std::move(next));
  if (!currentKept && !spaces.peek().empty()) {
    const auto& first = spaces.peek().front();
    currentSpaceID.set(first->id);
    if (auto tab = first->selectedTab()) tab->loadIfNeeded();
  }
}

std::shared_ptr<Space> WindowModel::spaceWithID(const Uuid& id) const {
  for (const auto& space : spaces.peek()) {
    if (space->id == id) return space;
  }
  return nullptr;
}

std::shared_ptr<Space> WindowModel::currentSpace() const {
  const auto& list = spaces.get();
  const auto& current = currentSpaceID.get();
  for (const auto& space : list) {
    if (space->id == current) return space;
  }
  return list.empty() ? nullptr : list.front();
}

std::shared_ptr<Space> WindowModel::spaceContaining(const BrowserTab& tab) const {
  for (const auto& space : spaces.peek()) {
    if (positionOf(*space, tab)) return space;
  }
  return nullptr;
}

std::shared_ptr<Space> WindowModel::findSpace(const Space& space) const {
  for (const auto& candidate : spaces.peek()) {
    if (candidate.get() == &space) return candidate;
  }
  return nullptr;
}

void WindowModel::select(const BrowserTab& tab) {
  endStepping();
  selectInItsSpace(tab, /*load=*/true);
}

void WindowModel::selectInItsSpace(const BrowserTab& tab, bool load) {
  // The selection belongs to the space that holds the tab: a pop-up or an anchored tab opened in
  // a background space must not take over the selection of the space on screen.
  const auto space = spaceContaining(tab);
  if (!space) return;
  space->selectedTabID.set(tab.id);
  if (load && space == currentSpace()) {
    heldTab(*space, tab)->loadIfNeeded();
  }
  findBarVisible.set(false);
  scheduleSave_();
}

void WindowModel::endStepping() {
  stepPause_.reset();
  steppingThroughTabs.set(false);
}

void WindowModel::stepsPaused() {
  steppingThroughTabs.set(false);
  if (auto tab = selectedTab()) tab->loadIfNeeded();
}

std::shared_ptr<BrowserTab> WindowModel::openTab(const Url& url, bool inBackground,
                                                 const std::shared_ptr<BrowserTab>& after) {
  auto tab = std::make_shared<BrowserTab>(Uuid::random(), url);
  insertTab(tab, after);
  tab->load(url);
  if (!inBackground) select(*tab);
  scheduleSave_();
  return tab;
}

void WindowModel::insertTab(std::shared_ptr<BrowserTab> tab,
                            const std::shared_ptr<BrowserTab>& after) {
  tab->joinWindow(services_, isPrivate_);
  tab->permissions.remembersAnswers = !isPrivate_;
  std::shared_ptr<Space> space = after ? spaceContaining(*after) : nullptr;
  size_t position = 0;
  if (space) {
    position = *positionOf(*space, *after) + 1;
  } else {
    space = currentSpace();
  }
  space->tabs.mutate([&](Space::TabList& tabs) {
    tabs.insert(tabs.begin() + static_cast<std::ptrdiff_t>(position), std::move(tab));
  });
}

void WindowModel::pushClosedTab(const Space& space, const BrowserTab& tab) {
  const auto address = tab.addressToKeep();
  if (!address) return;  // the start page is not worth reopening
  auto& stack = closedTabs;
  if (stack.size() >= kClosedTabLimit) {
    stack.erase(stack.begin(), stack.end() - (kClosedTabLimit - 1));
  }
  stack.push_back(ClosedTab{space.id, *address, tab.titleToKeep(), tab.page.sessionState()});
}

std::shared_ptr<BrowserTab> WindowModel::selectNeighbour(Space& space, size_t removedAt) {
  const auto& tabs = space.tabs.peek();
  if (tabs.empty()) {
    space.selectedTabID.set(std::nullopt);
    return nullptr;
  }
  auto neighbour = tabs[std::min(removedAt, tabs.size() - 1)];
  space.selectedTabID.set(neighbour->id);
  return neighbour;
}

void WindowModel::closeTab(const BrowserTab& tab) {
  const auto space = spaceContaining(tab);
  if (!space) return;
  const size_t position = *positionOf(*space, tab);
  // Keeps the tab alive through its removal: the caller's reference may be the list's only one.
  const auto closing = space->tabs.peek()[position];
  pushClosedTab(*space, *closing);
  const bool wasSelected = space->selectedTabID.peek() == closing->id;
  space->tabs.mutate([&](Space::TabList& tabs) {
    tabs.erase(tabs.begin() + static_cast<std::ptrdiff_t>(position));
  });
  closing->tearDown();
  if (wasSelected) {
    auto neighbour = selectNeighbour(*space, position);
    if (neighbour && space == currentSpace()) neighbour->loadIfNeeded();
  }
  findBarVisible.set(false);
  scheduleSave_();
}

void WindowModel::closeOtherTabs(const BrowserTab& except) {
  // The kept tab's own space, so that a tab outside the current space never empties the space on
  // screen.
  const auto space = spaceContaining(except);
  if (!space) return;
  const auto keep = heldTab(*space, except);
  const Space::TabList copy = space->tabs.peek();
  for (const auto& tab : copy) {
    if (tab != keep) closeTab(*tab);
  }
  select(*keep);
}

void WindowModel::closeAllTabsInCurrentSpace() {
  const Space::TabList copy = currentSpace()->tabs.peek();
  for (const auto& tab : copy) closeTab(*tab);
}

void WindowModel::moveTabs(const std::set<size_t>& fromOffsets, size_t toOffset) {
  currentSpace()->tabs.mutate(
      [&](Space::TabList& tabs) { moveElements(tabs, fromOffsets, toOffset); });
  scheduleSave_();
}

std::shared_ptr<BrowserTab> WindowModel::takeOut(Space& source, const BrowserTab& tab) {
  const size_t position = *positionOf(source, tab);
  const auto moving = source.tabs.peek()[position];
  source.tabs.mutate([&](Space::TabList& tabs) {
    tabs.erase(tabs.begin() + static_cast<std::ptrdiff_t>(position));
  });
  if (source.selectedTabID.peek() == moving->id) {
    // The neighbour takes the moved tab's place on screen when the source is shown, so it must
    // load as it would after a close.
    auto neighbour = selectNeighbour(source, position);
    if (neighbour && &source == currentSpace().get()) neighbour->loadIfNeeded();
  }
  return moving;
}

void WindowModel::moveTab(const BrowserTab& tab, Space& toSpace) {
  const auto source = spaceContaining(tab);
  if (!source || source.get() == &toSpace || !findSpace(toSpace)) return;
  const auto moving = takeOut(*source, tab);
  toSpace.tabs.mutate([&](Space::TabList& tabs) { tabs.insert(tabs.begin(), moving); });
  scheduleSave_();
}

// Spaces ----------------------------------------------------------------------------------------

void WindowModel::select(const Space& space) {
  if (!findSpace(space)) return;
  endStepping();
  currentSpaceID.set(space.id);
  if (auto tab = space.selectedTab()) tab->loadIfNeeded();
  findBarVisible.set(false);
  scheduleSave_();
}

std::shared_ptr<Space> WindowModel::addSpace() { return spaceWithID(spacesModel_.add()->id); }

void WindowModel::deleteSpace(const Space& space) {
  if (findSpace(space)) spacesModel_.remove(space.id);
}

void WindowModel::moveSpaces(const std::set<size_t>& fromOffsets, size_t toOffset) {
  spacesModel_.move(fromOffsets, toOffset);
}

void WindowModel::newTab() {
  if (commandBar.peek()) commandBar.set(std::nullopt);
  const auto space = currentSpace();
  const auto& tabs = space->tabs.peek();
  const auto blank = std::ranges::find_if(
      tabs, [](const auto& tab) { return !tab->url.peek() && !tab->isPopup(); });
  std::shared_ptr<BrowserTab> tab;
  if (blank != tabs.end()) {
    tab = *blank;
  } else {
    tab = std::make_shared<BrowserTab>(Uuid::random());
    insertTab(tab);
  }
  select(*tab);
}

void WindowModel::reopenClosedTab() {
  auto& stack = closedTabs;
  if (stack.empty()) return;
  const ClosedTab record = std::move(stack.back());
  stack.pop_back();
  const auto& list = spaces.peek();
  const bool spaceExists =
      std::ranges::any_of(list, [&](const auto& space) { return space->id == record.spaceID; });
  if (spaceExists) currentSpaceID.set(record.spaceID);
  auto tab = std::make_shared<BrowserTab>(Uuid::random(), record.url);
  tab->page.keepSessionState(record.sessionState);
  insertTab(tab);
  select(*tab);
  scheduleSave_();
}

void WindowModel::toggleFindBar() {
  if (!currentSpace()->selectedTab()) return;
  findBarVisible.mutate([](bool& visible) { visible = !visible; });
}

void WindowModel::toggleSidebar() {
  sidebarVisible.mutate([](bool& visible) { visible = !visible; });
  // The sidebar's state is part of the saved session.
  scheduleSave_();
}

void WindowModel::selectAdjacentTab(bool forward) {
  const auto space = currentSpace();
  const auto& tabs = space->tabs.peek();
  if (tabs.empty()) return;
  const auto& selected = space->selectedTabID.peek();
  const auto found =
      std::ranges::find_if(tabs, [&](const auto& tab) { return selected && tab->id == *selected; });
  const size_t from = found == tabs.end() ? 0 : static_cast<size_t>(found - tabs.begin());
  const auto target = tabs[wrappedStep(from, tabs.size(), forward)];
  const auto owner = services_.lock();
  if (!owner) {
    select(*target);
    return;
  }
  // The first step can't know whether more follow, so it loads at once: a single switch costs
  // no wait.
  const bool quick = stepPause_ && !stepPause_->finished();
  steppingThroughTabs.set(quick);
  selectInItsSpace(*target, /*load=*/!quick);
  stepPause_ = owner->scheduler.after(kStepPause, [this] { stepsPaused(); });
}

void WindowModel::selectAdjacentSpace(bool forward) {
  const auto& list = spaces.peek();
  // Unlike the other commands there is no fall-back to the first space: stepping from a space
  // that is not really current would jump somewhere unrelated.
  const auto found = std::ranges::find_if(
      list, [&](const auto& space) { return space->id == currentSpaceID.peek(); });
  if (found == list.end()) return;
  const auto from = static_cast<size_t>(found - list.begin());
  const auto target = list[wrappedStep(from, list.size(), forward)];
  select(*target);
}

void WindowModel::selectTab(int number) {
  const auto space = currentSpace();
  const auto& tabs = space->tabs.peek();
  if (tabs.empty()) return;
  const auto count = static_cast<long long>(tabs.size());
  const long long index = number == 9 ? count - 1 : number - 1;
  if (index < 0 || index >= count) return;
  const auto target = tabs[static_cast<size_t>(index)];
  select(*target);
}

// Windows ---------------------------------------------------------------------------------------

std::string WindowModel::windowName() const {
  const auto tab = selectedTab();
  return tab ? tab->displayTitle() : localized("Yeni Sekme");
}

size_t WindowModel::tabCount() const {
  size_t count = 0;
  for (const auto& space : spaces.peek()) count += space->tabs.peek().size();
  return count;
}

std::shared_ptr<BrowserTab> WindowModel::selectedTab() const {
  const auto space = currentSpace();
  return space ? space->selectedTab() : nullptr;
}

void WindowModel::closeAllTabs() {
  for (const auto& space : spaces.peek()) {
    const Space::TabList closing = space->tabs.peek();
    space->tabs.set({});
    space->selectedTabID.set(std::nullopt);
    for (const auto& tab : closing) {
      if (!isPrivate_) pushClosedTab(*space, *tab);
      tab->tearDown();
    }
  }
  findBarVisible.set(false);
  commandBar.set(std::nullopt);
  scheduleSave_();
}

void WindowModel::releaseWebViews() {
  // A pause after the window has gone would start the page of the tab the steps ended on.
  endStepping();
  for (const auto& space : spaces.peek()) {
    for (const auto& tab : space->tabs.peek()) {
      tab->page.sleep(TabWebView::WithoutList::releaseAnyway);
    }
  }
}

std::shared_ptr<BrowserTab> WindowModel::tabWithID(const Uuid& id) const {
  for (const auto& space : spaces.peek()) {
    for (const auto& tab : space->tabs.peek()) {
      if (tab->id == id) return tab;
    }
  }
  return nullptr;
}

void WindowModel::moveTabToWindow(const BrowserTab& tab, WindowModel& target, Space* into) {
  const auto source = spaceContaining(tab);
  if (!source || &target == this || target.isPrivate_ != isPrivate_) return;
  const auto moving = takeOut(*source, tab);
  findBarVisible.set(false);
  auto destination = into ? target.findSpace(*into) : nullptr;
  if (!destination) destination = target.spaceWithID(source->id);
  if (!destination) destination = target.currentSpace();
  destination->tabs.mutate([&](Space::TabList& tabs) { tabs.insert(tabs.begin(), moving); });
  if (destination != target.currentSpace()) target.currentSpaceID.set(destination->id);
  target.select(*moving);
  scheduleSave_();
}

void WindowModel::restore(const SessionSnapshot& window, bool withTabs) {
  for (const auto& saved : withTabs ? window.spaces : std::vector<SpaceSnapshot>{}) {
    auto space = spaceWithID(saved.id);
    const bool own = static_cast<bool>(space);
    if (!space) space = currentSpace();
    Space::TabList tabs;
    for (const auto& tab : saved.tabs) {
      tabs.push_back(restoredTab(tab));
      tabs.back()->joinWindow(services_, isPrivate_);
    }
    space->tabs.mutate(
        [&](Space::TabList& list) { list.insert(list.end(), tabs.begin(), tabs.end()); });
    if (own) space->selectedTabID.set(saved.selectedTabID);
  }
  if (spaceWithID(window.currentSpaceID)) currentSpaceID.set(window.currentSpaceID);
  sidebarVisible.set(window.sidebarVisible);
  frame = window.frame;
}

}  // namespace zemblo
