#include "platform/account_authentication.h"

#include <pwd.h>
#include <security/pam_appl.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/main_loop.h"

namespace zemblo {

struct AccountAuthentication::Conversation {
  std::mutex mutex;
  std::condition_variable changed;
  std::optional<std::string> answer;
  bool cancelled = false;
  std::weak_ptr<Handlers> handlers;

  ~Conversation() { wipe(); }

  void wipe() {
    if (answer) explicit_bzero(answer->data(), answer->size());
    answer.reset();
  }

  // On the PAM thread: the answer to one question, or none once the attempt is cancelled.
  std::optional<std::string> ask(const std::string& prompt, bool secret) {
    std::unique_lock lock(mutex);
    if (!answer && !cancelled) {
      runOnMainLoop([handlers = handlers, prompt, secret] {
        if (const auto alive = handlers.lock(); alive && alive->question) {
          alive->question(prompt, secret);
        }
      });
    }
    changed.wait(lock, [this] { return answer || cancelled; });
    if (cancelled) return std::nullopt;
    std::optional<std::string> given = std::move(answer);
    answer.reset();
    return given;
  }

  void tell(const std::string& text, bool error) {
    runOnMainLoop([handlers = handlers, text, error] {
      if (const auto alive = handlers.lock(); alive && alive->message) alive->message(text, error);
    });
  }

  static int converse(int count, const pam_message** messages, pam_response** responses,
                      void* data) {
    auto* self = static_cast<Conversation*>(data);
    if (count <= 0) return PAM_CONV_ERR;
    auto* replies = static_cast<pam_response*>(calloc(size_t(count), sizeof(pam_response)));
    if (!replies) return PAM_BUF_ERR;
    for (int i = 0; i < count; ++i) {
      const pam_message* message = messages[i];
      const std::string text = message->msg ? message->msg : "";
      switch (message->msg_style) {
        case PAM_PROMPT_ECHO_OFF:
        case PAM_PROMPT_ECHO_ON: {
          std::optional<std::string> given =
              self->ask(text, message->msg_style == PAM_PROMPT_ECHO_OFF);
          if (!given) {
            freeReplies(replies, i);
            return PAM_CONV_ERR;
          }
          replies[i].resp = strdup(given->c_str());
          explicit_bzero(given->data(), given->size());
          break;
        }
        case PAM_ERROR_MSG:
        case PAM_TEXT_INFO:
          self->tell(text, message->msg_style == PAM_ERROR_MSG);
          break;
        default:
          freeReplies(replies, i);
          return PAM_CONV_ERR;
      }
    }
    *responses = replies;
    return PAM_SUCCESS;
  }

  static void freeReplies(pam_response* replies, int count) {
    for (int i = 0; i < count; ++i) {
      if (replies[i].resp) {
        explicit_bzero(replies[i].resp, strlen(replies[i].resp));
        free(replies[i].resp);
      }
    }
    free(replies);
  }
};

namespace {

std::optional<std::string> currentUserName() {
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found) {
    return std::nullopt;
  }
  return std::string(found->pw_name);
}

AccountAuthentication::Status statusOf(int code) {
  using Status = AccountAuthentication::Status;
  switch (code) {
    case PAM_SUCCESS:
      return Status::succeeded;
    case PAM_AUTH_ERR:
    case PAM_CRED_INSUFFICIENT:
      return Status::failed;
    case PAM_MAXTRIES:
      return Status::tooManyAttempts;
    default:
      return Status::unavailable;
  }
}

}  // namespace

AccountAuthentication::AccountAuthentication(Handlers handlers, std::string service)
    : conversation_(std::make_shared<Conversation>()),
      handlers_(std::make_shared<Handlers>(std::move(handlers))) {
  conversation_->handlers = handlers_;
  runInBackground<Result>(
      [conversation = conversation_, service = std::move(service)] {
        Result result;
        if (const auto user = currentUserName()) {
          const pam_conv callbacks{&Conversation::converse, conversation.get()};
          pam_handle_t* handle = nullptr;
          int code = pam_start(service.c_str(), user->c_str(), &callbacks, &handle);
          if (code == PAM_SUCCESS) code = pam_authenticate(handle, 0);
          result = {statusOf(code), pam_strerror(handle, code)};
          if (handle) pam_end(handle, code);
        } else {
          result.detail = "the user running the browser has no account entry";
        }
        std::unique_lock lock(conversation->mutex);
        if (conversation->cancelled) result.status = Status::cancelled;
        conversation->wipe();
        return result;
      },
      [handlers = std::weak_ptr<Handlers>(handlers_)](Result result) {
        if (const auto alive = handlers.lock(); alive && alive->finished) alive->finished(result);
      });
}

AccountAuthentication::~AccountAuthentication() {
  handlers_.reset();
  cancel();
}

void AccountAuthentication::answer(std::string response) {
  {
    std::lock_guard lock(conversation_->mutex);
    conversation_->wipe();
    conversation_->answer = std::move(response);
  }
  conversation_->changed.notify_all();
}

void AccountAuthentication::cancel() {
  {
    std::lock_guard lock(conversation_->mutex);
    conversation_->cancelled = true;
    conversation_->wipe();
  }
  conversation_->changed.notify_all();
}

}  // namespace zemblo
