#include "model/history_model.h"

#include <utility>

namespace zemblo {

HistoryModel::HistoryModel(std::function<void()> scheduleSave)
    : scheduleSave_(std::move(scheduleSave)) {}

void HistoryModel::recordVisit(const Url& url, const std::string& title) {
  const auto scheme = url.scheme();
  if (scheme != "http" && scheme != "https") return;
  const auto& list = entries.peek();
  if (!list.empty() && list.front().url == url) {
    entries.mutate([&](std::vector<HistoryEntry>& visits) {
      // A reload often finishes before the engine knows the title again.
      if (!title.empty()) visits.front().title = title;
      visits.front().date = Date::now();
    });
    return;
  }
  entries.mutate([&](std::vector<HistoryEntry>& visits) {
    visits.insert(visits.begin(), HistoryEntry(Uuid::random(), url, title, Date::now()));
    if (visits.size() > kLimit) {
      visits.erase(visits.begin() + static_cast<std::ptrdiff_t>(kLimit), visits.end());
    }
  });
}

void HistoryModel::retitleNewestVisit(const Url& url, const std::string& title) {
  const auto& list = entries.peek();
  if (title.empty() || list.empty() || list.front().url != url || list.front().title == title) {
    return;
  }
  entries.mutate([&](std::vector<HistoryEntry>& visits) { visits.front().title = title; });
  scheduleSave_();
}

void HistoryModel::clear() {
  entries.set({});
  scheduleSave_();
}

}  // namespace zemblo
