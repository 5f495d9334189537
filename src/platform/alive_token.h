#pragma once

#include <memory>

namespace zemblo {

// Lets work that may finish after its owner is gone (a reply of the engine, the keyring or the
// desktop, an idle call, a thread's result handed back to the main loop) find out whether the
// owner still exists before it touches it. The owner keeps a token; each callback keeps a watch
// taken from it. A watch may be copied on any thread, but it must be read on the thread that
// destroys the owner, or the owner could go between the reading and the use.
class AliveToken {
 public:
  class Watch {
   public:
    Watch() = default;
    // Whether the owner has gone (or ended its token early).
    bool expired() const { return flag_.expired(); }

   private:
    friend class AliveToken;
    explicit Watch(std::weak_ptr<const bool> flag) : flag_(std::move(flag)) {}
    std::weak_ptr<const bool> flag_;
  };

  AliveToken() = default;
  // A copy would let the watches of one owner outlive it through another.
  AliveToken(const AliveToken&) = delete;
  AliveToken& operator=(const AliveToken&) = delete;

  Watch watch() const { return Watch(flag_); }
  // Ends every watch now, ahead of the owner's other members: for owners whose own teardown
  // could set off the callbacks that watch it.
  void end() { flag_.reset(); }

 private:
  std::shared_ptr<const bool> flag_ = std::make_shared<const bool>(true);
};

}  // namespace zemblo
