#include "model/browser_windows.h"

#include <algorithm>

#include <glib.h>

#include "model/window_model.h"

namespace zemblo {

BrowserWindows::BrowserWindows() = default;

BrowserWindows::~BrowserWindows() = default;

std::vector<WindowModel*> BrowserWindows::open() const {
  std::vector<WindowModel*> list;
  for (const auto& window : open_) list.push_back(window.get());
  return list;
}

std::vector<WindowModel*> BrowserWindows::all() const {
  auto list = open();
  if (kept_) list.push_back(kept_.get());
  return list;
}

WindowModel& BrowserWindows::first() const {
  for (const auto& window : open_) {
    if (!window->isPrivate()) return *window;
  }
  g_assert(kept_);
  return *kept_;
}

WindowModel& BrowserWindows::holding(const BrowserTab& tab) const {
  for (WindowModel* window : all()) {
    if (window->spaceContaining(tab)) return *window;
  }
  return first();
}

std::vector<WindowModel*> BrowserWindows::othersLike(const WindowModel& window) const {
  std::vector<WindowModel*> others;
  for (const auto& other : open_) {
    if (other.get() != &window && other->isPrivate() == window.isPrivate()) {
      others.push_back(other.get());
    }
  }
  return others;
}

size_t BrowserWindows::tabCountIn(const Uuid& spaceID) const {
  size_t count = 0;
  for (const WindowModel* window : all()) {
    if (window->isPrivate()) continue;
    for (const auto& space : window->spaces.peek()) {
      if (space->id == spaceID) count += space->tabs.get().size();
    }
  }
  return count;
}

WindowModel& BrowserWindows::add(std::unique_ptr<WindowModel> window) {
  open_.push_back(std::move(window));
  return *open_.back();
}

void BrowserWindows::remove(const WindowModel& window) {
  if (kept_.get() == &window) kept_.reset();
  std::erase_if(open_, [&](const auto& owned) { return owned.get() == &window; });
}

void BrowserWindows::keep(const WindowModel& window) {
  const auto found =
      std::ranges::find_if(open_, [&](const auto& owned) { return owned.get() == &window; });
  if (found == open_.end()) return;
  kept_ = std::move(*found);
  open_.erase(found);
}

WindowModel* BrowserWindows::reopenKept() {
  if (!kept_) return nullptr;
  open_.push_back(std::move(kept_));
  return open_.back().get();
}

}  // namespace zemblo
