#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "platform/user_defaults.h"

// Process-level services: quitting cleanly on signals, restarting in place, and the language
// the process starts in.
namespace zemblo::process {

// SIGTERM, SIGINT and SIGHUP call `quit` from the main loop, so a logout or a kill still saves.
// The handlers stay installed for the life of the process.
void handleTerminationSignals(std::function<void()> quit);

// Replaces this process by a fresh start of the same executable with the same arguments.
// Returns only if that failed.
void restartInPlace(char** argv);

// A one-element "AppleLanguages" list in the user defaults ("tr" or "en") becomes the process's
// LANGUAGE before the toolkit starts, so the toolkit's own texts follow the app language.
void applyPreferredLanguages(const UserDefaults& defaults);

// The running processes this one started whose program is named `name`, as the kernel keeps the
// name (at most its first 15 characters).
std::vector<int> childrenNamed(const std::string& name);

// Turns the main loop until every one of `pids` has ended, for at most `limit`: the way out of a
// process whose helpers still finish their work after it let them go. Whether they all ended.
bool awaitEnd(const std::vector<int>& pids, std::chrono::milliseconds limit);

}  // namespace zemblo::process
