#pragma once

#include <deque>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/localization.h"

namespace zemblo {

// The pairs of Turkish and English texts the dictionary is built from, as a JSON array of
// ["Turkish", "English"] arrays that may hold comments (resources/model/localization.jsonc).
class LocalizationTable {
 public:
  // The table built into the program, read on first use and kept until the process ends.
  static const LocalizationTable& builtIn();

  // Each entry that can't be read is logged and left out.
  explicit LocalizationTable(std::string_view json);
  // The pairs point into the table's own texts.
  LocalizationTable(const LocalizationTable&) = delete;
  LocalizationTable& operator=(const LocalizationTable&) = delete;

  // In the order they are written.
  std::span<const LocalizationPair> pairs() const { return pairs_; }
  // Each entry that is not two texts, neither empty, as written; or, when the whole is no JSON
  // array, why.
  const std::vector<std::string>& unreadable() const { return unreadable_; }

 private:
  // A deque, so that a text added later moves none of those the pairs already point into.
  std::deque<std::string> texts_;
  std::vector<LocalizationPair> pairs_;
  std::vector<std::string> unreadable_;
};

}  // namespace zemblo
