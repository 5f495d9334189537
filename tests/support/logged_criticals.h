#pragma once

#include <glib.h>

#include <mutex>
#include <string>
#include <vector>

namespace zemblo::testing {

// Every critical logged in this process so far, as "domain: message". A critical means a
// toolkit's rule was broken even where the program went on, so the walks fail on any. Recorded
// from the start of every test program, through the default handler: a test may set a log writer
// of its own, and the default handler still passes each message on to it.
inline std::vector<std::string> loggedCriticals(const char* domain = nullptr,
                                                const char* message = nullptr) {
  static std::mutex lock;
  static std::vector<std::string> texts;
  std::scoped_lock hold(lock);
  if (message) texts.push_back(std::string(domain ? domain : "") + ": " + message);
  return texts;
}

inline void recordCriticals() {
  g_log_set_default_handler(
      [](const char* domain, GLogLevelFlags level, const char* message, gpointer) {
        if (level & G_LOG_LEVEL_CRITICAL) loggedCriticals(domain, message);
        g_log_default_handler(domain, level, message, nullptr);
      },
      nullptr);
}

}  // namespace zemblo::testing
