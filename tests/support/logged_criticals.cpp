#include "support/logged_criticals.h"

#include <glib.h>

#include <mutex>

namespace zemblo::testing {
namespace {

struct Criticals {
  std::mutex lock;
  std::vector<std::string> texts;
};

Criticals& criticals() {
  static Criticals recorded;
  return recorded;
}

}  // namespace

std::vector<std::string> loggedCriticals() {
  std::scoped_lock hold(criticals().lock);
  return criticals().texts;
}

void recordCriticals() {
  // The default handler, not the writer: a test may set a writer of its own, and the default
  // handler still passes every message on to it.
  g_log_set_default_handler(
      [](const char* domain, GLogLevelFlags level, const char* message, gpointer) {
        if (level & G_LOG_LEVEL_CRITICAL) {
          std::scoped_lock hold(criticals().lock);
          criticals().texts.push_back(std::string(domain ? domain : "") + ": " + message);
        }
        g_log_default_handler(domain, level, message, nullptr);
      },
      nullptr);
}

}  // namespace zemblo::testing
