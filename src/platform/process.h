#pragma once

#include <functional>

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

}  // namespace zemblo::process
