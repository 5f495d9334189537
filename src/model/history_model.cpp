#include "model/history_model.h"

#include <algorithm>
#include <utility>

namespace zemblo {

HistoryModel::HistoryModel(std::function<void()> scheduleSave)
    : scheduleSave_(std::move(scheduleSave)) {}

std::optional<Uuid> HistoryModel::recordVisit(const Url& url, const std::string& title) {
  const auto scheme = url.scheme();
  if (scheme != "http" && scheme != "https") return std::nullopt;
  const auto& list = entries.peek();
  if (!list.empty() && list.front().url == url) {
    const Uuid repeated = list.front().id;
    entries.mutate([&](std::vector<HistoryEntry>& visits) {
      // A reload often finishes before the engine knows the title again.
      if (!title.empty()) visits.front().title = title;
      visits.front().date = Date::now();
    });
    return repeated;
  }
  const Uuid id = Uuid::random();
  entries.mutate([&](std::vector<HistoryEntry>& visits) {
    visits.insert(visits.begin(), HistoryEntry(id, url, title, Date::now()));
    if (visits.size() > kLimit) {
      visits.erase(visits.begin() + static_cast<std::ptrdiff_t>(kLimit), visits.end());
    }
  });
  return id;
}

void HistoryModel::retitleVisit(const Uuid& visit, const std::string& title) {
  const auto& list = entries.peek();
  const auto found = std::find_if(list.begin(), list.end(),
                                  [&](const HistoryEntry& entry) { return entry.id == visit; });
  if (title.empty() || found == list.end() || found->title == title) return;
  const auto index = found - list.begin();
  entries.mutate([&](std::vector<HistoryEntry>& visits) { visits[size_t(index)].title = title; });
  scheduleSave_();
}

void HistoryModel::clear() {
  entries.set({});
  scheduleSave_();
}

}  // namespace zemblo
