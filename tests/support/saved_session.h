#pragma once

#include <functional>
#include <optional>
#include <string>

#include "model/records.h"
#include "support/wait.h"

namespace zemblo::testing {

// A saved space whose tabs are titled "<name><i>" and show "https://<name><i>.example/".
inline SpaceSnapshot savedSpace(const std::string& name, int tabCount,
                                std::optional<int> selected = std::nullopt) {
  SpaceSnapshot space{Uuid::random(), name, "star", "#112233", "#445566", {}, std::nullopt};
  for (int i = 0; i < tabCount; ++i) {
    const std::string title = name + std::to_string(i);
    space.tabs.push_back(TabSnapshot{Uuid::random(), *Url::parse("https://" + title + ".example/"),
                                     title, std::nullopt});
  }
  if (selected) space.selectedTabID = space.tabs[*selected].id;
  return space;
}

// Waits until the session file on disk holds what `holds` looks for: the change reached what
// the user keeps.
inline bool sessionOnDiskHolds(const std::function<bool(const SessionSnapshot&)>& holds) {
  return waitUntil([&] {
    const auto session = SessionFiles().readSession();
    return session && holds(*session);
  });
}

}  // namespace zemblo::testing
