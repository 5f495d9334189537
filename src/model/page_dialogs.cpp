#include "model/page_dialogs.h"

#include <utility>

namespace zemblo {

void PageDialogs::open(PageDialog dialog, Answer answer) {
  cancel();
  dialog.heading = shownPageText(dialog.heading, kShownHeadingCharacters, 2);
  dialog.message = shownPageText(dialog.message, kShownCharacters, kShownLines);
  // A field shows its text on one line, whatever breaks it holds: only its length is bounded.
  dialog.defaultText = shownPageText(dialog.defaultText, kShownCharacters, kShownCharacters);
  dialog.offersToStop = offersToStop();
  dialog.serial = ++serial_;
  answer_ = std::move(answer);
  pending.set(std::move(dialog));
}

void PageDialogs::answer(const PageDialogAnswer& answer) {
  if (!pending.peek()) return;
  pending.set(std::nullopt);
  // Counted and taken out first: the answer lets the page run on, and it may ask again at once.
  dialogEnded(answer.stopAsking);
  if (auto done = std::exchange(answer_, {})) done(answer);
}

}  // namespace zemblo
