#pragma once

#include <atomic>
#include <filesystem>
#include <memory>

namespace zemblo {

// A file the browser could not use as it was and has not moved out of the way yet: it is kept
// aside before anything is written in its place, and while that fails nothing is written there,
// so the next save can never destroy it. Copies share what they know, so the reading thread may
// mark it and the writing thread clear it.
class FileToKeepAside {
 public:
  explicit FileToKeepAside(std::filesystem::path file);

  // The file on disk must be kept before it is replaced.
  void mark() const { pending_->store(true); }
  // Keeps a marked file aside (paths::setAside) and unmarks it; true when the way is clear for a
  // write, which it always is for an unmarked file. Blocks on the disk.
  bool clearTheWay() const;

 private:
  std::filesystem::path file_;
  std::shared_ptr<std::atomic<bool>> pending_ = std::make_shared<std::atomic<bool>>(false);
};

}  // namespace zemblo
