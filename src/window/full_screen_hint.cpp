#include "window/full_screen_hint.h"

#include "model/localization.h"

namespace zemblo {

FullScreenHint::FullScreenHint(Scheduler& scheduler) : scheduler_(scheduler) {
  set_name("FullScreenHint");
  set_text(localized("Tam ekrandan çıkmak için F11'e bas"));
  set_can_target(false);
  set_visible(false);
}

void FullScreenHint::show() {
  set_visible(true);
  // Owned here: a later show starts the time again, and the hint never outlives its window.
  hide_ = scheduler_.after(kShownFor, [this] { set_visible(false); });
}

void FullScreenHint::dismiss() {
  hide_.reset();
  set_visible(false);
}

}  // namespace zemblo
