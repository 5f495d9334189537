#pragma once

#include <glib.h>

#include <filesystem>
#include <optional>
#include <string_view>

namespace zemblo {

// A file's bytes mapped read-only into memory. A large file read this way never passes through
// the heap: a freed block of that size would teach the allocator to serve later large blocks from
// the heap, which keeps their memory after they are freed. The pages go when this goes.
class MappedFile {
 public:
  // None when the file is missing or cannot be read.
  static std::optional<MappedFile> open(const std::filesystem::path& file);

  ~MappedFile();
  MappedFile(MappedFile&& other) noexcept;
  MappedFile& operator=(MappedFile&& other) noexcept;
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  std::string_view bytes() const;

 private:
  explicit MappedFile(GMappedFile* file) : file_(file) {}

  GMappedFile* file_ = nullptr;
};

}  // namespace zemblo
