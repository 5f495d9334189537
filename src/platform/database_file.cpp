#include "platform/database_file.h"

#include <fcntl.h>
#include <glib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <string_view>

#include "platform/paths.h"

namespace zemblo::database_file {
namespace {

constexpr size_t kHeaderSize = 100;
constexpr std::string_view kMagic{"SQLite format 3\0", 16};

unsigned bigEndian(const unsigned char* bytes, size_t count) {
  unsigned value = 0;
  for (size_t i = 0; i < count; ++i) value = (value << 8) | bytes[i];
  return value;
}

bool headerFits(const std::array<unsigned char, kHeaderSize>& header, off_t size) {
  if (std::string_view(reinterpret_cast<const char*>(header.data()), kMagic.size()) != kMagic) {
    return false;
  }
  unsigned pageSize = bigEndian(&header[16], 2);
  if (pageSize == 1) pageSize = 65536;
  if (pageSize < 512 || pageSize > 65536 || (pageSize & (pageSize - 1)) != 0) return false;
  const auto versionKnown = [](unsigned char version) { return version == 1 || version == 2; };
  if (!versionKnown(header[18]) || !versionKnown(header[19])) return false;
  // Fixed by the format since its first version.
  if (header[21] != 64 || header[22] != 32 || header[23] != 32) return false;
  if (size % pageSize != 0) return false;
  // The page count in the header holds only when the change counter beside it says so.
  const unsigned pages = bigEndian(&header[28], 4);
  const bool countValid = pages != 0 && bigEndian(&header[24], 4) == bigEndian(&header[92], 4);
  return !countValid || static_cast<off_t>(pages) * pageSize <= size;
}

}  // namespace

State check(const std::filesystem::path& file) {
  struct stat link {};
  if (::lstat(file.c_str(), &link) != 0) {
    return errno == ENOENT ? State::missing : State::unusable;
  }
  if (!S_ISREG(link.st_mode)) return State::unusable;
  const int fd = ::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    g_warning("Could not open %s: %s", file.c_str(), std::strerror(errno));
    return State::unusable;
  }
  struct stat opened {};
  std::array<unsigned char, kHeaderSize> header{};
  bool usable = ::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode);
  if (usable && opened.st_size > 0) {
    usable = ::pread(fd, header.data(), header.size(), 0) == static_cast<ssize_t>(header.size()) &&
             headerFits(header, opened.st_size);
  }
  ::close(fd);
  return usable ? State::usable : State::unusable;
}

std::optional<std::filesystem::path> setAside(const std::filesystem::path& file) {
  auto keptAs = paths::setAside(file);
  if (!keptAs) return std::nullopt;
  for (const char* suffix : {"-journal", "-wal", "-shm"}) {
    std::filesystem::path companion = file;
    companion += suffix;
    std::error_code error;
    if (std::filesystem::symlink_status(companion, error).type() !=
        std::filesystem::file_type::not_found) {
      paths::setAside(companion);
    }
  }
  return keptAs;
}

}  // namespace zemblo::database_file
