#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "platform/scheduler.h"
#include "platform/url.h"

namespace zemblo {

class BrowserTab;
class WindowModel;

// Addresses that arrive by the hundred (another program's links, a window opened with
// addresses) become tabs a batch per turn of the main loop, so that the windows keep answering
// while they come. Each tab loads only when it is first shown, as a restored tab does: the
// engine starts a web process per loading page, and a few hundred at once exhaust the display's
// clients. Only the last address of a request is selected, and loads at once.
class TabOpeningQueue {
 public:
  // The tabs a request goes to, asked before each batch (the window may have closed meanwhile);
  // none drops what is left of the request.
  using Target = std::function<WindowModel*()>;
  // Tabs placed in one turn: a batch, with the sidebar's rows it makes, stays well under 100 ms
  // even with thousands of rows there, each new row costing the toolkit a walk over the rows
  // before it to tell screen readers where it went.
  static constexpr size_t kBatch = 20;

  explicit TabOpeningQueue(Scheduler& scheduler);
  ~TabOpeningQueue();
  TabOpeningQueue(const TabOpeningQueue&) = delete;
  TabOpeningQueue& operator=(const TabOpeningQueue&) = delete;

  // The addresses in order, each right after the one before, the first at the top of the
  // target's current space; after the requests already waiting.
  void open(std::vector<Url> addresses, Target target);
  // Places everything still waiting at once, none of it loading (the browser is quitting).
  void finish();
  bool empty() const { return requests_.empty(); }

 private:
  struct Request {
    std::deque<Url> addresses;
    Target target;
    std::weak_ptr<BrowserTab> previous;
  };
  void runBatch();
  // Places up to `count` tabs of the first request; true when the request is done.
  bool place(Request& request, size_t count, bool selectLast);

  Scheduler& scheduler_;
  std::deque<Request> requests_;
  std::unique_ptr<ScheduledTask> next_;
};

}  // namespace zemblo
