#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/records.h"
#include "platform/observable.h"
#include "platform/url.h"
#include "platform/uuid.h"

namespace zemblo {

// The pages the user visited, newest first. Only web pages are recorded, and at most kLimit.
class HistoryModel {
 public:
  static constexpr size_t kLimit = 2000;

  // `scheduleSave` asks for the history to be written soon.
  explicit HistoryModel(std::function<void()> scheduleSave);

  Observable<std::vector<HistoryEntry>> entries;

  // A repeat visit of the newest entry refreshes its date, and its title when one is known. The
  // caller saves afterwards. The entry's id, for the page's later title; none for a page that is
  // not recorded.
  std::optional<Uuid> recordVisit(const Url& url, const std::string& title);
  // A page's title that arrived after its load finished goes to that page's own visit, however
  // many visits other tabs recorded since; nothing once the visit is gone.
  void retitleVisit(const Uuid& visit, const std::string& title);
  void clear();

 private:
  std::function<void()> scheduleSave_;
};

}  // namespace zemblo
