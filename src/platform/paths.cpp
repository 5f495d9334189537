#include "platform/paths.h"

#include <fcntl.h>
#include <glib.h>
#include <glib/gstdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

namespace zemblo::paths {
namespace {

// Taken as the program is loaded, before main runs: every file this process writes is newer.
const std::filesystem::file_time_type kProgramStarted =
    std::filesystem::file_time_type::clock::now();

std::filesystem::path home() {
  if (const char* value = std::getenv("HOME"); value && *value) return value;
  return g_get_home_dir();
}

// Like g_get_user_*_dir, but read anew on every call: GLib caches the first answer.
std::filesystem::path xdgFolder(const char* variable, const char* fallbackBelowHome) {
  if (const char* value = std::getenv(variable); value && *value && value[0] == '/') return value;
  return home() / fallbackBelowHome;
}

std::filesystem::path ensured(std::filesystem::path folder) {
  g_mkdir_with_parents(folder.c_str(), 0700);
  return folder;
}

// GLib keeps the folders of user-dirs.dirs from its first reading; the user may have changed
// them since, so the cache is dropped first.
std::optional<std::filesystem::path> configuredDownloadFolder() {
  g_reload_user_special_dirs_cache();
  const char* folder = g_get_user_special_dir(G_USER_DIRECTORY_DOWNLOAD);
  if (!folder || folder[0] != '/') return std::nullopt;
  return folder;
}

bool sameFolder(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code error;
  if (std::filesystem::equivalent(a, b, error)) return true;
  return a.lexically_normal() / "" == b.lexically_normal() / "";
}

}  // namespace

std::optional<std::filesystem::path> runningProgramFolder() {
  std::error_code error;
  const auto program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return std::nullopt;
  return program.parent_path();
}

std::optional<std::filesystem::path> bundledDataFile(std::string_view name) {
  const auto programFolder = runningProgramFolder();
  if (!programFolder) return std::nullopt;
  const std::filesystem::path& folder = *programFolder;
  std::error_code error;
  std::vector<std::filesystem::path> candidates;
#ifdef ZEMBLO_DATA_DIR_FROM_PROGRAM
  candidates.push_back(folder / ZEMBLO_DATA_DIR_FROM_PROGRAM / name);
#endif
  candidates.push_back(folder.parent_path() / "resources" / name);
#ifdef ZEMBLO_DATA_DIR
  candidates.push_back(std::filesystem::path(ZEMBLO_DATA_DIR) / name);
#endif
  for (auto& candidate : candidates) {
    if (std::filesystem::is_regular_file(candidate, error)) return candidate.lexically_normal();
  }
  return std::nullopt;
}

std::filesystem::path downloadsDirectory() {
  std::filesystem::path folder = configuredDownloadFolder().value_or(home() / "Downloads");
  // Disabled XDG folders point at the home folder, which must not fill up with downloads.
  if (sameFolder(folder, home())) folder = home() / "Downloads";
  g_mkdir_with_parents(folder.c_str(), 0755);
  return folder;
}

bool createNewFile(const std::filesystem::path& file) {
  const int fd = g_open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  g_close(fd, nullptr);
  return true;
}

MoveResult moveWithoutReplacing(const std::filesystem::path& from,
                                const std::filesystem::path& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
    return MoveResult::moved;
  }
  if (errno == EEXIST) return MoveResult::destinationTaken;
  if (errno != EINVAL && errno != ENOSYS) return MoveResult::failed;
  // File systems without the no-replace rename: a hard link is just as exclusive.
  if (link(from.c_str(), to.c_str()) == 0) {
    unlink(from.c_str());
    return MoveResult::moved;
  }
  if (errno == EEXIST) return MoveResult::destinationTaken;
  if (errno != EPERM && errno != ENOTSUP) return MoveResult::failed;
  // Neither (FAT and the like): check first, leaving a window of a moment.
  struct stat existing;
  if (lstat(to.c_str(), &existing) == 0) return MoveResult::destinationTaken;
  return rename(from.c_str(), to.c_str()) == 0 ? MoveResult::moved : MoveResult::failed;
}

std::filesystem::path appSupportDirectory() {
  return ensured(xdgFolder("XDG_DATA_HOME", ".local/share") / kAppFolderName);
}

std::filesystem::path configDirectory() {
  return ensured(xdgFolder("XDG_CONFIG_HOME", ".config") / kAppFolderName);
}

std::filesystem::path cacheDirectory() {
  return ensured(xdgFolder("XDG_CACHE_HOME", ".cache") / kAppFolderName);
}

namespace {

constexpr std::string_view kTemporaryTag = ".zemblo-save-";

// The one form our temporaries take: "." + the file's name + the tag + six characters.
std::string temporaryPrefix(const std::filesystem::path& file) {
  std::string prefix(1, '.');
  prefix += file.filename().string();
  prefix += kTemporaryTag;
  return prefix;
}

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t count = ::write(fd, bytes.data(), bytes.size());
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(count));
  }
  return true;
}

// Makes the rename itself durable: until the folder's entry is on disk, a power cut may bring
// back the old file, or no file at all.
void flushFolder(const std::filesystem::path& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0 || ::fsync(fd) != 0) {
    g_warning("Could not flush the folder %s: %s", folder.c_str(), std::strerror(errno));
  }
  if (fd >= 0) ::close(fd);
}

}  // namespace

bool writeFileAtomically(const std::filesystem::path& file, std::string_view bytes) {
  const std::filesystem::path folder =
      file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
  std::string temporary = (folder / (temporaryPrefix(file) + "XXXXXX")).string();
  const int fd = g_mkstemp_full(temporary.data(), O_WRONLY | O_CLOEXEC, 0600);
  if (fd < 0) {
    g_warning("Could not write %s: %s", file.c_str(), std::strerror(errno));
    return false;
  }
  // The data reaches the disk before the name does, so the name never points at an empty file.
  bool written = writeAll(fd, bytes) && ::fsync(fd) == 0;
  const int writeError = errno;
  written = ::close(fd) == 0 && written;
  if (!written || ::rename(temporary.c_str(), file.c_str()) != 0) {
    g_warning("Could not write %s: %s", file.c_str(), std::strerror(written ? errno : writeError));
    ::unlink(temporary.c_str());
    return false;
  }
  flushFolder(folder);
  return true;
}

void removeLeftoverTemporaries(const std::filesystem::path& file) {
  // A temporary made since this process started may be one of its own writes in flight (another
  // reader of the same file opened meanwhile): only what an earlier run left is removed.
  const std::string prefix = temporaryPrefix(file);
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(file.parent_path(), error)) {
    const std::string name = entry.path().filename().string();
    if (name.size() != prefix.size() + 6 || !name.starts_with(prefix)) continue;
    const bool temporaryName = std::all_of(name.begin() + static_cast<long>(prefix.size()),
                                           name.end(), [](char c) { return g_ascii_isalnum(c); });
    std::error_code typeError;
    if (!temporaryName || !entry.is_regular_file(typeError) || entry.is_symlink(typeError) ||
        entry.last_write_time(typeError) >= kProgramStarted) {
      continue;
    }
    std::error_code removeError;
    std::filesystem::remove(entry.path(), removeError);
    if (removeError) {
      g_warning("Could not remove %s: %s", entry.path().c_str(), removeError.message().c_str());
    }
  }
}

FileContents readRegularFile(const std::filesystem::path& file, size_t maxBytes) {
  FileContents contents;
  // Non-blocking, so opening a FIFO returns at once; the type is checked on what was opened.
  const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    contents.state =
        errno == ENOENT ? FileContents::State::missing : FileContents::State::unreadable;
    if (errno != ENOENT) g_warning("Could not open %s: %s", file.c_str(), std::strerror(errno));
    return contents;
  }
  contents.state = FileContents::State::unreadable;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
      static_cast<size_t>(info.st_size) > maxBytes) {
    g_warning("%s is not a readable file of at most %zu bytes", file.c_str(), maxBytes);
    ::close(fd);
    return contents;
  }
  std::string bytes(static_cast<size_t>(info.st_size), '\0');
  size_t done = 0;
  while (true) {
    if (done == bytes.size()) bytes.resize(std::min(maxBytes + 1, bytes.size() * 2 + 4096));
    const ssize_t count = ::read(fd, bytes.data() + done, bytes.size() - done);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0 || done + static_cast<size_t>(std::max<ssize_t>(count, 0)) > maxBytes) {
      g_warning("Could not read %s", file.c_str());
      ::close(fd);
      return contents;
    }
    if (count == 0) break;
    done += static_cast<size_t>(count);
  }
  ::close(fd);
  bytes.resize(done);
  contents.state = FileContents::State::read;
  contents.bytes = std::move(bytes);
  return contents;
}

namespace {

// Beyond the numbered names, how many names stamped with the same second are tried.
constexpr int kMaxStampedNames = 1000;

std::string timeStamp() {
  g_autoptr(GDateTime) now = g_date_time_new_now_utc();
  g_autofree gchar* text = g_date_time_format(now, "%Y%m%d-%H%M%S");
  return text ? text : "0";
}

std::filesystem::path keptName(const std::filesystem::path& file, int attempt,
                               const std::string& stamp) {
  std::string suffix = ".bad";
  if (attempt >= kMaxSetAsideNumber) {
    suffix.append("-").append(stamp);
    const int extra = attempt - kMaxSetAsideNumber;
    if (extra > 0) suffix.append("-").append(std::to_string(extra));
  } else if (attempt > 0) {
    suffix.append(".").append(std::to_string(attempt));
  }
  std::filesystem::path kept = file;
  kept += suffix;
  return kept;
}

// Gives `from` the first free name of those a kept copy of `file` may have.
std::optional<std::filesystem::path> moveUnderFreeName(const std::filesystem::path& file,
                                                       const std::filesystem::path& from) {
  const std::string stamp = timeStamp();
  for (int attempt = 0; attempt < kMaxSetAsideNumber + kMaxStampedNames; ++attempt) {
    const std::filesystem::path kept = keptName(file, attempt, stamp);
    switch (moveWithoutReplacing(from, kept)) {
      case MoveResult::moved:
        return kept;
      case MoveResult::destinationTaken:
        continue;
      case MoveResult::failed:
        if (errno != ENOENT) {
          g_warning("Could not keep %s aside: %s", file.c_str(), std::strerror(errno));
        }
        return std::nullopt;
    }
  }
  g_warning("Could not keep %s aside: every name tried is taken", file.c_str());
  return std::nullopt;
}

}  // namespace

std::optional<std::filesystem::path> setAside(const std::filesystem::path& file) {
  return moveUnderFreeName(file, file);
}

std::optional<std::filesystem::path> copyAside(const std::filesystem::path& file,
                                               std::string_view bytes) {
  const std::filesystem::path folder =
      file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
  std::string temporary = (folder / (temporaryPrefix(file) + "XXXXXX")).string();
  const int fd = g_mkstemp_full(temporary.data(), O_WRONLY | O_CLOEXEC, 0600);
  if (fd < 0) {
    g_warning("Could not copy %s aside: %s", file.c_str(), std::strerror(errno));
    return std::nullopt;
  }
  bool written = writeAll(fd, bytes) && ::fsync(fd) == 0;
  written = ::close(fd) == 0 && written;
  std::optional<std::filesystem::path> kept;
  if (written) kept = moveUnderFreeName(file, temporary);
  if (!kept) {
    if (!written) g_warning("Could not copy %s aside: %s", file.c_str(), std::strerror(errno));
    ::unlink(temporary.c_str());
    return std::nullopt;
  }
  flushFolder(folder);
  return kept;
}

std::optional<std::string> readFile(const std::filesystem::path& file) {
  FileContents contents = readRegularFile(file);
  if (contents.state != FileContents::State::read) return std::nullopt;
  return std::move(contents.bytes);
}

}  // namespace zemblo::paths
