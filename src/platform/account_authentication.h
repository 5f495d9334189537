#pragma once

#include <functional>
#include <memory>
#include <string>

namespace zemblo {

// One attempt to confirm that the person at the keyboard is the user running the browser, with
// the account's own authentication (a PAM conversation, as a screen locker holds it). PAM runs on
// a worker thread: a module may take seconds (a wrong password is answered after a delay, a
// fingerprint reader waits for a finger). Its questions and its result come back to the main
// loop, and only while the attempt object lives: whatever the thread finishes after the object
// is gone is dropped.
class AccountAuthentication {
 public:
  static constexpr const char* kService = "zemblo-browser";

  enum class Status {
    succeeded,
    failed,           // the answers were wrong
    tooManyAttempts,  // the account's policy refuses further tries for now
    unavailable,      // the system could not check at all; `detail` says why
    cancelled,        // ended by cancel()
  };
  struct Result {
    Status status = Status::unavailable;
    std::string detail;
  };

  // Run on the main loop.
  struct Handlers {
    // The conversation waits for answer() or cancel(). `secret`: the answer is not to be shown.
    std::function<void(const std::string& prompt, bool secret)> question;
    // A note from the system to show the user (`error` for an error message).
    std::function<void(const std::string& text, bool error)> message;
    std::function<void(const Result& result)> finished;
  };

  // Starts at once, for the user running the process.
  explicit AccountAuthentication(Handlers handlers, std::string service = kService);
  // Cancels: the conversation ends and no handler runs any more.
  ~AccountAuthentication();
  AccountAuthentication(const AccountAuthentication&) = delete;
  AccountAuthentication& operator=(const AccountAuthentication&) = delete;

  // Answers the question asked, or the next one when none is waiting.
  void answer(std::string response);
  // Ends the attempt; it finishes as cancelled.
  void cancel();

 private:
  struct Conversation;
  std::shared_ptr<Conversation> conversation_;
  std::shared_ptr<Handlers> handlers_;
};

}  // namespace zemblo
