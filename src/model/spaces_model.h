#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <set>
#include <vector>

#include "model/records.h"
#include "model/space_identity.h"
#include "platform/observable.h"

namespace zemblo {

// The spaces the windows show, each once: its identity, name, symbol and colours, and their
// order. Every normal window shows these (a private window has a set of its own), keeping its own
// tabs in each; the tabs closed in any of them wait here, so any of them reopens them.
class SpacesModel {
 public:
  using List = std::vector<std::shared_ptr<SpaceIdentity>>;

  // `scheduleSave` asks for the session to be written soon.
  explicit SpacesModel(std::function<void()> scheduleSave);
  SpacesModel(const SpacesModel&) = delete;
  SpacesModel& operator=(const SpacesModel&) = delete;

  Observable<List, NeverEqual> list;
  // Closed tabs for reopening, newest last; not observed.
  std::vector<ClosedTab> closedTabs;

  // The saved spaces; the default ones when there are none.
  void restore(const std::vector<SpaceSnapshot>& saved);
  std::shared_ptr<SpaceIdentity> find(const Uuid& id) const;
  // A new space after the others, coloured and iconed by how many spaces there are.
  std::shared_ptr<SpaceIdentity> add();
  // Every window closes its tabs in it; the last space stays.
  void remove(const Uuid& id);
  // The spaces at `fromOffsets` keep their order and land just before the one that stood at
  // `toOffset` (at the end when it equals the count).
  void move(const std::set<size_t>& fromOffsets, size_t toOffset);
  // Gives the default spaces their names in the interface language of the moment.
  void relabelDefaults();

 private:
  std::function<void()> scheduleSave_;
};

}  // namespace zemblo
