#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "model/records.h"
#include "platform/observable.h"
#include "platform/url.h"

namespace zemblo {

// The pages the user visited, newest first. Only web pages are recorded, and at most kLimit.
class HistoryModel {
 public:
  static constexpr size_t kLimit = 2000;

  // `scheduleSave` asks for the history to be written soon.
  explicit HistoryModel(std::function<void()> scheduleSave);

  Observable<std::vector<HistoryEntry>> entries;

  // A repeat visit of the newest entry refreshes its date, and its title when one is known. The
  // caller saves afterwards.
  void recordVisit(const Url& url, const std::string& title);
  // A page's title that arrived after its load finished: the newest entry takes it when it is
  // that page's visit.
  void retitleNewestVisit(const Url& url, const std::string& title);
  void clear();

 private:
  std::function<void()> scheduleSave_;
};

}  // namespace zemblo
