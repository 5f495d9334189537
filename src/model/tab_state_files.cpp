#include "model/tab_state_files.h"

#include <glib.h>

#include <algorithm>
#include <system_error>

#include "platform/paths.h"

namespace zemblo {

TabStateFiles::TabStateFiles(const std::filesystem::path& dataFolder)
    : folder_(dataFolder / kFolderName) {}

std::optional<std::string> TabStateFiles::read(const Uuid& tabID) const {
  auto contents = paths::readRegularFile(folder_ / tabID.str(), kMaxStateBytes);
  switch (contents.state) {
    case paths::FileContents::State::read:
      return std::move(contents.bytes);
    case paths::FileContents::State::missing:
      return std::nullopt;
    case paths::FileContents::State::unreadable:
      g_warning("The back and forward list of tab %s could not be read", tabID.str().c_str());
      return std::nullopt;
  }
  return std::nullopt;
}

bool TabStateFiles::write(const std::vector<TabState>& states) const {
  std::error_code error;
  std::filesystem::create_directories(folder_, error);
  if (error) {
    g_warning("Could not create %s: %s", folder_.c_str(), error.message().c_str());
    return false;
  }
  bool written = true;
  for (const TabState& state : states) {
    const auto file = folder_ / state.tabID.str();
    // Most saves change one tab at most; the others keep their files untouched.
    if (paths::readFile(file) == state.bytes) continue;
    written = paths::writeFileAtomically(file, state.bytes) && written;
  }
  removeAllBut(states);
  return written;
}

void TabStateFiles::removeAllBut(const std::vector<TabState>& states) const {
  std::vector<std::filesystem::path> stale;
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder_, error), end; !error && it != end;
       it.increment(error)) {
    const auto name = it->path().filename().string();
    const bool kept = std::ranges::any_of(
        states, [&](const TabState& state) { return state.tabID.str() == name; });
    std::error_code typeError;
    if (!kept && it->is_regular_file(typeError)) stale.push_back(it->path());
  }
  if (error) g_warning("Could not list %s: %s", folder_.c_str(), error.message().c_str());
  for (const auto& file : stale) {
    std::error_code removeError;
    if (!std::filesystem::remove(file, removeError) && removeError) {
      g_warning("Could not remove %s: %s", file.c_str(), removeError.message().c_str());
    }
  }
}

}  // namespace zemblo
