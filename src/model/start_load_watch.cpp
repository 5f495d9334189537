#include "model/start_load_watch.h"

#include <utility>

#include "model/browser_tab.h"

namespace zemblo {

StartLoadWatch::StartLoadWatch(const std::vector<std::shared_ptr<BrowserTab>>& tabs,
                               Scheduler& scheduler, std::chrono::milliseconds longest,
                               std::function<void()> work)
    : scheduler_(scheduler), work_(std::move(work)) {
  for (const auto& tab : tabs) {
    // A start page asks the engine for nothing.
    if (tab && tab->url.peek() && tab->storedWebView()) tabs_.push_back({tab, false});
  }
  longest_ = scheduler_.after(longest, [this] { finish(); });
  observer_ = std::make_unique<Observer>([this] { check(); }, scheduler_);
}

StartLoadWatch::~StartLoadWatch() = default;

void StartLoadWatch::check() {
  bool waiting = false;
  for (Watched& watched : tabs_) waiting = waitsFor(watched) || waiting;
  if (!waiting && !finishing_) finishing_ = scheduler_.after({}, [this] { finish(); });
}

bool StartLoadWatch::waitsFor(Watched& watched) {
  const auto tab = watched.tab.lock();
  if (!tab) return false;
  // Read on every check, so that a change of either brings the next one.
  const bool loading = tab->isLoading.get();
  const bool failed = tab->loadError.get().has_value();
  watched.seenLoading = watched.seenLoading || loading;
  return !failed && (loading || !watched.seenLoading);
}

void StartLoadWatch::finish() {
  if (!work_) return;
  const auto work = std::exchange(work_, nullptr);
  finishing_.reset();
  longest_.reset();
  observer_.reset();
  work();
}

}  // namespace zemblo
