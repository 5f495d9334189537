#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include "platform/observable.h"
#include "platform/scheduler.h"

namespace zemblo {

class BrowserTab;

// Holds back some start-up work until the pages the start asked for have loaded, failed or
// gone, and for no longer than `longest`. The engine answers a page's first steps on the main
// thread: work that keeps that thread busy for long (reading dictionaries) would keep the first
// page waiting.
class StartLoadWatch {
 public:
  StartLoadWatch(const std::vector<std::shared_ptr<BrowserTab>>& tabs, Scheduler& scheduler,
                 std::chrono::milliseconds longest, std::function<void()> work);
  ~StartLoadWatch();
  StartLoadWatch(const StartLoadWatch&) = delete;
  StartLoadWatch& operator=(const StartLoadWatch&) = delete;

 private:
  struct Watched {
    std::weak_ptr<BrowserTab> tab;
    bool seenLoading = false;
  };

  void check();
  bool waitsFor(Watched& watched);
  void finish();

  std::vector<Watched> tabs_;
  Scheduler& scheduler_;
  std::function<void()> work_;
  std::unique_ptr<ScheduledTask> longest_;
  std::unique_ptr<ScheduledTask> finishing_;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
