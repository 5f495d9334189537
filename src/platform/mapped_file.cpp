#include "platform/mapped_file.h"

#include <utility>

namespace zemblo {

std::optional<MappedFile> MappedFile::open(const std::filesystem::path& file) {
  GMappedFile* mapped = g_mapped_file_new(file.c_str(), FALSE, nullptr);
  if (!mapped) return std::nullopt;
  return MappedFile(mapped);
}

MappedFile::~MappedFile() {
  if (file_) g_mapped_file_unref(file_);
}

MappedFile::MappedFile(MappedFile&& other) noexcept : file_(std::exchange(other.file_, nullptr)) {}

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept {
  if (this != &other) {
    if (file_) g_mapped_file_unref(file_);
    file_ = std::exchange(other.file_, nullptr);
  }
  return *this;
}

std::string_view MappedFile::bytes() const {
  if (!file_) return {};
  const char* contents = g_mapped_file_get_contents(file_);
  return contents ? std::string_view(contents, g_mapped_file_get_length(file_))
                  : std::string_view();
}

}  // namespace zemblo
