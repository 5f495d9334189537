#pragma once

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <set>
#include <vector>

namespace zemblo {

// The list move of the tab list and the spaces settings: the elements at `offsets` keep their
// order and go just before the element that stood at `destination` (the end for the count).
// Positions past the end are ignored.
template <class T>
void moveElements(std::vector<T>& list, const std::set<size_t>& offsets, size_t destination) {
  destination = std::min(destination, list.size());
  std::vector<T> moved;
  std::vector<T> kept;
  size_t insertAt = destination;
  for (size_t i = 0; i < list.size(); ++i) {
    if (offsets.contains(i)) {
      moved.push_back(std::move(list[i]));
      if (i < destination) --insertAt;
    } else {
      kept.push_back(std::move(list[i]));
    }
  }
  kept.insert(kept.begin() + static_cast<std::ptrdiff_t>(insertAt),
              std::make_move_iterator(moved.begin()), std::make_move_iterator(moved.end()));
  list = std::move(kept);
}

}  // namespace zemblo
