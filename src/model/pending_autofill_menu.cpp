#include "model/pending_autofill_menu.h"

#include <utility>

namespace zemblo {

void PendingAutofillMenu::open(AutofillMenu menu, Answer answer) {
  end();
  // Saved logins are never offered to a page whose certificate the engine could not vouch for.
  if (allowedCertificate_.peek()) {
    answer(std::nullopt);
    return;
  }
  answer_ = std::move(answer);
  shown.set(std::move(menu));
}

void PendingAutofillMenu::move(const AutofillMenu::Box& field) {
  if (!shown.peek() || shown.peek()->field == field) return;
  shown.mutate([&](std::optional<AutofillMenu>& menu) { menu->field = field; });
}

void PendingAutofillMenu::end(std::optional<Uuid> chosen) {
  if (!shown.peek()) return;
  shown.set(std::nullopt);
  // Taken out first: the answer may open the next menu.
  if (auto answer = std::exchange(answer_, {})) answer(chosen);
}

}  // namespace zemblo
