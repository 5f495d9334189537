#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "platform/uuid.h"

namespace zemblo {

class BrowserTab;
class WindowModel;

// Every browser window's model, normal and private, in the order the windows opened: the one
// way to reach them all, handed to whatever acts across windows. The windows are alike: any of
// them closes the same way, and the last normal one to close leaves its model kept, off screen,
// for the session and the next normal window.
class BrowserWindows {
 public:
  BrowserWindows();
  ~BrowserWindows();
  BrowserWindows(const BrowserWindows&) = delete;
  BrowserWindows& operator=(const BrowserWindows&) = delete;

  // The windows on screen, those of a restored session from the start.
  std::vector<WindowModel*> open() const;
  // Those and the kept one: every window whose tabs live.
  std::vector<WindowModel*> all() const;
  // The first normal window open, else the kept one; there is always one.
  WindowModel& first() const;
  WindowModel* kept() const { return kept_.get(); }
  // The window whose tabs hold `tab`, where the tabs it opens go; the first when none does.
  WindowModel& holding(const BrowserTab& tab) const;
  // The other open windows of the same kind (normal or private) that a tab of `window` may move
  // to.
  std::vector<WindowModel*> othersLike(const WindowModel& window) const;
  // How many tabs the space holds in every normal window together.
  size_t tabCountIn(const Uuid& spaceID) const;

  WindowModel& add(std::unique_ptr<WindowModel> window);
  // The window's model goes, with whatever its tabs still hold.
  void remove(const WindowModel& window);
  // Takes an open window off screen, keeping its model until `reopenKept`.
  void keep(const WindowModel& window);
  // The kept window back on screen, after the others; none when there is none.
  WindowModel* reopenKept();

 private:
  std::vector<std::unique_ptr<WindowModel>> open_;
  std::unique_ptr<WindowModel> kept_;
};

}  // namespace zemblo
