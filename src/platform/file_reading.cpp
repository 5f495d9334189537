#include "platform/file_reading.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/main_loop.h"

namespace zemblo {
namespace {

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

std::optional<std::string> readRegularFile(const std::filesystem::path& path, size_t limit) {
  const FileDescriptor file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (file.get() < 0) return std::nullopt;
  struct stat info {};
  if (fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode) || size_t(info.st_size) > limit) {
    return std::nullopt;
  }
  std::string content;
  content.reserve(size_t(info.st_size));
  char buffer[64 * 1024];
  for (;;) {
    const ssize_t count = read(file.get(), buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return std::nullopt;
    if (count == 0) break;
    content.append(buffer, size_t(count));
    if (content.size() > limit) return std::nullopt;
  }
  return content;
}

void readRegularFileInBackground(std::filesystem::path path, size_t limit,
                                 std::function<void(std::optional<std::string>)> done) {
  runInBackground<std::optional<std::string>>(
      [path = std::move(path), limit] { return readRegularFile(path, limit); }, std::move(done));
}

}  // namespace zemblo
