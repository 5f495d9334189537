#pragma once

#include <chrono>
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
  using Clock = std::function<PageDialogGuard::TimePoint()>;

  // The guard's repeat window is measured on `now`; tests give a clock of their own.
  explicit PageDialogs(Clock now = [] { return std::chrono::steady_clock::now(); })
      : now_(std::move(now)) {}
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

  // A dialog still pending is cancelled first. Its texts are cut to what it shows, and it offers
  // to stop the site's dialogs when the guard says so. `answer` is called once, with the user's
  // answer or with a cancel.
  void open(PageDialog dialog, Answer answer);
  void answer(const PageDialogAnswer& answer);
  void cancel() {
    if (pending.peek()) answer({});
  }

  // See PageDialogGuard: a page committed in the tab, `byUser` when the user asked for it.
  void pageCommitted(const std::optional<Url>& address, bool byUser) {
    guard_.pageCommitted(address, byUser);
  }
  bool allowsDialog() const { return guard_.allowsDialog(); }
  // For a dialog of the page's that is not shown through `pending` (a print): whether it offers
  // to stop the site's dialogs, and its end, which counts with the alerts' ends.
  bool offersToStop() const { return guard_.offersToStop(now_()); }
  void dialogEnded(bool stopAsked) { guard_.dialogEnded(now_(), stopAsked); }

 private:
  Clock now_;
  PageDialogGuard guard_;
  Answer answer_;
  std::uint64_t serial_ = 0;
};

}  // namespace zemblo
