#include "model/tab_opening_queue.h"

#include <utility>

#include "model/browser_tab.h"
#include "model/window_model.h"
#include "platform/uuid.h"

namespace zemblo {

TabOpeningQueue::TabOpeningQueue(Scheduler& scheduler) : scheduler_(scheduler) {}

TabOpeningQueue::~TabOpeningQueue() = default;

void TabOpeningQueue::open(std::vector<Url> addresses, Target target) {
  if (addresses.empty()) return;
  requests_.push_back(
      {{std::make_move_iterator(addresses.begin()), std::make_move_iterator(addresses.end())},
       std::move(target),
       {}});
  // The first batch goes at once: a single link shows without waiting for a turn.
  if (!next_ || next_->finished()) runBatch();
}

void TabOpeningQueue::runBatch() {
  next_.reset();
  if (requests_.empty()) return;
  if (place(requests_.front(), kBatch, /*selectLast=*/true)) requests_.pop_front();
  // Each batch is drawn before the next: the windows would otherwise lay out and draw the
  // thousands of rows in one frame once the last is in.
  if (!requests_.empty()) next_ = scheduler_.afterRedraw([this] { runBatch(); });
}

void TabOpeningQueue::finish() {
  next_.reset();
  for (; !requests_.empty(); requests_.pop_front()) {
    place(requests_.front(), requests_.front().addresses.size(), /*selectLast=*/false);
  }
}

bool TabOpeningQueue::place(Request& request, size_t count, bool selectLast) {
  WindowModel* tabs = request.target ? request.target() : nullptr;
  if (!tabs) return true;
  std::shared_ptr<BrowserTab> previous = request.previous.lock();
  // A tab the user closed or moved meanwhile: the rest starts at the top of the space shown.
  if (previous && !tabs->spaceContaining(*previous)) previous.reset();
  for (; count > 0 && !request.addresses.empty(); --count) {
    auto tab = std::make_shared<BrowserTab>(Uuid::random(), std::move(request.addresses.front()));
    request.addresses.pop_front();
    tabs->insertTab(tab, previous);
    previous = std::move(tab);
  }
  request.previous = previous;
  if (!request.addresses.empty()) return false;
  if (previous && selectLast) tabs->select(*previous);
  return true;
}

}  // namespace zemblo
