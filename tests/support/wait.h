#pragma once

#include <glib.h>

#include <chrono>
#include <functional>

namespace zemblo::testing {

// Runs the main loop until `condition` holds or the time is up; true when it holds.
inline bool waitUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    if (!g_main_context_iteration(nullptr, FALSE)) g_usleep(2000);
  }
  return true;
}

}  // namespace zemblo::testing
