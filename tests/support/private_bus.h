#pragma once

#include <cstdlib>
#include <string>
#include <vector>

namespace zemblo::testing {

// The command that runs a program on a D-Bus session of its own, which ends with it. Inside the
// test session the bus is built like the session's own, so that it starts only the services the
// tests use and never a desktop portal.
inline std::vector<std::string> onPrivateBus() {
  std::vector<std::string> command{"dbus-run-session"};
  if (const char* config = std::getenv("ZEMBLO_TEST_BUS_CONFIG")) {
    command.push_back(std::string("--config-file=") + config);
  }
  command.push_back("--");
  return command;
}

}  // namespace zemblo::testing
