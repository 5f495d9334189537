#include "model/tab_state_files.h"

#include <glib.h>

#include <algorithm>
#include <system_error>

#include "platform/paths.h"

namespace zemblo {

TabStateFiles::TabStateFiles(const std::filesystem::path& dataFolder)
    : folder_(dataFolder / kFolderName) {}

std::optional<std::string> TabStateFiles::read(const Uuid& tabID,
                                               std::vector<SetAsideFile>* setAside) const {
  const auto file = folder_ / tabID.str();
  auto contents = paths::readRegularFile(file, kMaxStateBytes);
  switch (contents.state) {
    case paths::FileContents::State::read:
      return std::move(contents.bytes);
    case paths::FileContents::State::missing:
      return std::nullopt;
    case paths::FileContents::State::unreadable: {
      g_warning("The back and forward list of tab %s could not be read", tabID.str().c_str());
      // Kept, so that the next save neither fails on it nor writes over it.
      auto keptAs = paths::setAside(file);
      if (setAside) setAside->push_back({file, std::move(keptAs), false});
      return std::nullopt;
    }
  }
  return std::nullopt;
}

std::optional<SetAsideFile> TabStateFiles::keepAside(const Uuid& tabID,
                                                     const std::string& bytes) const {
  const auto file = folder_ / tabID.str();
  if (paths::readFile(file) != bytes) return std::nullopt;
  auto keptAs = paths::setAside(file);
  if (!keptAs) return std::nullopt;
  return SetAsideFile{file, std::move(keptAs), false};
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
    // Something that is no file of ours (a directory, say) would fail every save.
    std::error_code typeError;
    const auto type = std::filesystem::symlink_status(file, typeError).type();
    if (type != std::filesystem::file_type::not_found &&
        type != std::filesystem::file_type::regular) {
      paths::setAside(file);
    }
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
    // Only a tab's own file: copies kept aside stay for the user.
    if (!Uuid::parse(name)) continue;
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
