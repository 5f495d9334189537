#pragma once

#include <filesystem>
#include <string>

namespace zemblo {

// The claim of one process on a profile's folder: an exclusive `flock` on a file in it, held for
// the life of the object. The bus lets one copy of the browser through per login session only;
// copies started from other sessions on the same home find the lock taken and must not write.
// The descriptor is closed on exec, so that no web process or helper keeps the profile claimed
// after the browser is gone.
class ProfileLock {
 public:
  static constexpr const char* kFileName = "profile.lock";

  enum class State {
    held,
    // Another process holds it.
    inUse,
    // The file could not be opened or locked (a read-only folder, a file system without locks):
    // nothing says another copy runs, so the caller goes on without the claim (logged).
    unavailable,
  };

  // The holder writes `holder` into the file: what its login session is known by (its bus).
  explicit ProfileLock(const std::filesystem::path& folder, const std::string& holder = {});
  ~ProfileLock();
  ProfileLock(const ProfileLock&) = delete;
  ProfileLock& operator=(const ProfileLock&) = delete;

  State state() const { return state_; }

  // Whether a process that wrote something other than `holder` holds the claim now: told without
  // taking it, and false whenever the file says nothing (none, empty, or `holder` itself).
  static bool heldByAnother(const std::filesystem::path& folder, const std::string& holder);

 private:
  int descriptor_ = -1;
  State state_ = State::unavailable;
};

}  // namespace zemblo
