#pragma once

#include <string>
#include <vector>

namespace zemblo {

// One line of the list of the browser's keyboard shortcuts: what it does, and its keys as
// separate caps from left to right ("Ctrl", "Shift", "T"). A list for reading only; the menus
// own the keys themselves.
struct KeyboardShortcut {
  std::string title;
  std::vector<std::string> keys;
  // A second combination that does the same, where a desktop may take the first for itself.
  std::vector<std::string> alternativeKeys = {};

  friend bool operator==(const KeyboardShortcut&, const KeyboardShortcut&) = default;
};

// The ten shortcuts the settings list, titles in the interface language of the moment.
std::vector<KeyboardShortcut> keyboardShortcuts();

}  // namespace zemblo
