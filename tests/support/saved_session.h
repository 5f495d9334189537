#pragma once

#include <functional>

#include "model/records.h"
#include "support/wait.h"

namespace zemblo::testing {

// Waits until the session file on disk holds what `holds` looks for: the change reached what
// the user keeps.
inline bool sessionOnDiskHolds(const std::function<bool(const SessionSnapshot&)>& holds) {
  return waitUntil([&] {
    const auto session = SessionFiles().readSession();
    return session && holds(*session);
  });
}

}  // namespace zemblo::testing
