#pragma once

#include <gtk/gtk.h>

#include <string>

// Real X input through xdotool, aimed at a window of this process by its X id. Searching for the
// window instead makes xdotool read every window of the display, and it stops with an error
// whenever one of them goes away meanwhile: a tooltip or a popover that closes is enough.
namespace zemblo::testing {

// This process's window titled `title` once it is mapped, or null when none is within the wait.
GtkWindow* shownWindowTitled(const std::string& title);

// The xdotool command that does `actions` with "%1" naming `window` (e.g. "windowfocus %1 key
// ctrl+t"). Without a window the command names none, so that it fails.
std::string xdotoolOn(GtkWindow* window, std::string actions);
std::string xdotoolOn(const std::string& title, const std::string& actions);

// Starts `command` (a shell command line) beside the main loop, once the one started before it
// this way has finished: two xdotool runs at once interleave their events, so that a key's release
// may come after the next press of that key, which the server then drops.
void runBesideMainLoop(const std::string& command);

}  // namespace zemblo::testing
