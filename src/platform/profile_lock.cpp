#include "platform/profile_lock.h"

#include <fcntl.h>
#include <glib.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace zemblo {

ProfileLock::ProfileLock(const std::filesystem::path& folder) {
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

ProfileLock::~ProfileLock() {
  // Closing the only descriptor of the open file releases the lock; the file stays, since
  // removing it would let a copy starting now lock a new file while another still holds the old.
  if (descriptor_ >= 0) close(descriptor_);
}

}  // namespace zemblo
