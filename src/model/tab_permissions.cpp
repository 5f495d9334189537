#include "model/tab_permissions.h"

#include <algorithm>

namespace zemblo {
namespace {

void answerAll(std::vector<TabPermissions::Answer>& answers, bool allowed) {
  for (auto& answer : answers) {
    if (answer) answer(allowed);
  }
}

}  // namespace

TabPermissions::~TabPermissions() {
  // Not refuseAll(): nothing observes a tab that is going.
  auto queue = std::move(queue_);
  for (Waiting& waiting : queue) answerAll(waiting.answers, false);
}

void TabPermissions::add(PermissionRequest request, Answer answer) {
  auto same = std::find_if(queue_.begin(), queue_.end(),
                           [&](const Waiting& waiting) { return waiting.request == request; });
  if (same != queue_.end()) {
    same->answers.push_back(std::move(answer));
    return;
  }
  queue_.push_back(Waiting{std::move(request), {}});
  queue_.back().answers.push_back(std::move(answer));
  showFront();
}

void TabPermissions::answerShown(bool allowed) {
  if (queue_.empty()) return;
  // Out of the queue before anyone is answered: an answer may ask again.
  Waiting front = std::move(queue_.front());
  queue_.pop_front();
  showFront();
  answerAll(front.answers, allowed);
}

void TabPermissions::settle(
    const std::function<std::optional<bool>(const PermissionRequest&)>& decide) {
  std::vector<std::pair<std::vector<Answer>, bool>> settled;
  for (auto it = queue_.begin(); it != queue_.end();) {
    if (const auto allowed = decide(it->request)) {
      settled.emplace_back(std::move(it->answers), *allowed);
      it = queue_.erase(it);
    } else {
      ++it;
    }
  }
  showFront();
  for (auto& [answers, allowed] : settled) answerAll(answers, allowed);
}

void TabPermissions::refuseAll() {
  settle([](const PermissionRequest&) { return std::optional<bool>(false); });
}

void TabPermissions::showFront() {
  shown.set(queue_.empty() ? std::nullopt : std::optional(queue_.front().request));
}

}  // namespace zemblo
