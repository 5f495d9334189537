#pragma once

#include <filesystem>
#include <optional>

namespace zemblo {

// The per-user runtime folder ($XDG_RUNTIME_DIR) the web engine's sandbox puts its sockets in.
// Without one, GLib names a folder in the user's cache, in the home: on a full disk the sandbox
// then fails to start a page's process and aborts the browser. Where the environment names none,
// this gives the process a private one of its own in the temporary folder (mode 0700), removed
// again when the object goes. Made first thing in main(), before GLib caches the folder's name.
class RuntimeFolder {
 public:
  RuntimeFolder();
  ~RuntimeFolder();
  RuntimeFolder(const RuntimeFolder&) = delete;
  RuntimeFolder& operator=(const RuntimeFolder&) = delete;

  // The folder made for this process; nothing when the environment had one (or none could be
  // made, logged).
  const std::optional<std::filesystem::path>& made() const { return made_; }

 private:
  std::optional<std::filesystem::path> made_;
};

}  // namespace zemblo
