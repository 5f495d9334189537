#pragma once

#include <functional>
#include <optional>

#include "model/autofill_menu.h"
#include "platform/observable.h"
#include "platform/uuid.h"

namespace zemblo {

// The menu of saved logins one tab's page asked for after the user's press in a login field,
// while it is open, and the answer the page waits for.
class PendingAutofillMenu {
 public:
  using Answer = std::function<void(std::optional<Uuid> chosen)>;

  // `allowedCertificate`: the tab's page came over a certificate the user let through.
  explicit PendingAutofillMenu(const Observable<bool>& allowedCertificate)
      : allowedCertificate_(allowedCertificate) {}
  PendingAutofillMenu(const PendingAutofillMenu&) = delete;
  PendingAutofillMenu& operator=(const PendingAutofillMenu&) = delete;

  // None while the menu is closed.
  Observable<std::optional<AutofillMenu>> shown;

  // Opens the menu; one still open is closed first. `answer` is called once, with the login the
  // user chose or with none when the menu closes without a choice.
  void open(AutofillMenu menu, Answer answer);
  // The field moved: the menu follows it.
  void move(const AutofillMenu::Box& field);
  // Closes the menu, with the user's choice or without one; nothing when it is closed.
  void end(std::optional<Uuid> chosen = std::nullopt);

 private:
  const Observable<bool>& allowedCertificate_;
  Answer answer_;
};

}  // namespace zemblo
