#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "model/records.h"
#include "platform/uuid.h"

namespace zemblo {

// One tab's back and forward list as the engine gave it: bytes the model never looks into.
struct TabState {
  Uuid tabID;
  std::string bytes;
};

// The tabs' back and forward lists in a folder beside the session, one file per tab named by the
// tab's id, so that "session.json" stays as it was. Writing blocks on the disk: the store calls it
// from its writing thread.
class TabStateFiles {
 public:
  static constexpr const char* kFolderName = "tab-states";
  // Larger files are not the engine's and are never read.
  static constexpr size_t kMaxStateBytes = size_t{4} << 20;

  // `dataFolder` is the folder of "session.json".
  explicit TabStateFiles(const std::filesystem::path& dataFolder);

  // Nothing when the tab has no file or its file can't be read; one that can't (a directory, a
  // file too large) is kept aside and listed in `setAside`. What a file holds is checked only by
  // the engine.
  std::optional<std::string> read(const Uuid& tabID,
                                  std::vector<SetAsideFile>* setAside = nullptr) const;
  // Keeps the tab's file aside if it still holds `bytes`, which the engine refused; nothing when
  // it holds something else by now or could not be moved.
  std::optional<SetAsideFile> keepAside(const Uuid& tabID, const std::string& bytes) const;
  // Writes the files whose bytes changed, each atomically, and removes those of tabs not listed.
  bool write(const std::vector<TabState>& states) const;

 private:
  void removeAllBut(const std::vector<TabState>& states) const;

  std::filesystem::path folder_;
};

}  // namespace zemblo
