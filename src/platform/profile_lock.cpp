#include "platform/profile_lock.h"

#include <fcntl.h>
#include <glib.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace zemblo {

namespace {

// What a holder writes is short; anything longer was never ours.
constexpr size_t kHolderLimit = 4096;

std::string readHolder(int descriptor) {
  std::string text(kHolderLimit, '\0');
  const ssize_t read = pread(descriptor, text.data(), text.size(), 0);
  text.resize(read > 0 ? size_t(read) : 0);
  return text;
}

}  // namespace

ProfileLock::ProfileLock(const std::filesystem::path& folder, const std::string& holder) {
  const std::filesystem::path file = folder / kFileName;
  descriptor_ = open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (descriptor_ < 0) {
    g_warning("%s: %s; the profile is used without a claim on it", file.c_str(),
              std::strerror(errno));
    return;
  }
  int result;
  do {
    result = flock(descriptor_, LOCK_EX | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  if (result == 0) {
    state_ = State::held;
    if (readHolder(descriptor_) != holder &&
        (ftruncate(descriptor_, 0) != 0 ||
         pwrite(descriptor_, holder.data(), holder.size(), 0) != ssize_t(holder.size()))) {
      g_warning("%s: cannot write: %s", file.c_str(), std::strerror(errno));
    }
    return;
  }
  const int error = errno;
  close(descriptor_);
  descriptor_ = -1;
  if (error == EWOULDBLOCK) {
    state_ = State::inUse;
    return;
  }
  g_warning("%s: cannot lock: %s; the profile is used without a claim on it", file.c_str(),
            std::strerror(error));
}

bool ProfileLock::heldByAnother(const std::filesystem::path& folder, const std::string& holder) {
  const std::filesystem::path file = folder / kFileName;
  const int descriptor = open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (descriptor < 0) return false;
  const std::string written = readHolder(descriptor);
  bool held = false;
  // A shared lock conflicts with the holder's only; it is let go at once. Only tried when
  // another holder wrote its name, so two starts of one session never meet here.
  if (!written.empty() && written != holder) {
    held = flock(descriptor, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  }
  close(descriptor);
  return held;
}

ProfileLock::~ProfileLock() {
  // Closing the only descriptor of the open file releases the lock; the file stays, since
  // removing it would let a copy starting now lock a new file while another still holds the old.
  if (descriptor_ >= 0) close(descriptor_);
}

}  // namespace zemblo
