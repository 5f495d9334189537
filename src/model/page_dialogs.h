#pragma once

#include <functional>
#include <optional>

#include "model/page_dialog.h"
#include "model/page_dialog_guard.h"
#include "platform/observable.h"

namespace zemblo {

// The dialog one tab's page is waiting on, if any, and the guard that decides whether its pages
// may ask. The dialog is shown only while its tab is: in a tab out of sight it waits, and it is
// cancelled when the tab closes or moves on.
class PageDialogs {
 public:
  using Answer = std::function<void(const PageDialogAnswer&)>;

  PageDialogs() = default;
  ~PageDialogs() { cancel(); }
  PageDialogs(const PageDialogs&) = delete;
  PageDialogs& operator=(const PageDialogs&) = delete;

  // What a dialog shows at most of a page's texts: enough to read in its scrolled pane, little
  // enough to lay out at once.
  static constexpr size_t kShownCharacters = 1000;
  static constexpr size_t kShownLines = 20;
  // Two host names of the longest kind and the words around them fit whole.
  static constexpr size_t kShownHeadingCharacters = 600;

  Observable<std::optional<PageDialog>> pending;
  PageDialogGuard guard;

  // A dialog still pending is cancelled first. Its texts are cut to what it shows. `answer` is
  // called once, with the user's answer or with a cancel.
  void open(PageDialog dialog, Answer answer);
  void answer(const PageDialogAnswer& answer);
  void cancel() {
    if (pending.peek()) answer({});
  }

 private:
  Answer answer_;
  std::uint64_t serial_ = 0;
};

}  // namespace zemblo
