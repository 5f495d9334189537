#include "model/password_offers.h"

#include "model/login_origin.h"
#include "model/password_store.h"

namespace zemblo {
namespace {

// What a login saved from a page keeps as its address: the scheme, host and port of the page,
// the port only when it is not the scheme's default one.
std::string savedAddress(const PendingCredential& offer) {
  const std::optional<LoginOrigin> origin =
      offer.url ? LoginOrigin::ofPage(*offer.url) : std::nullopt;
  if (!origin) return "https://" + offer.host;
  return *origin->scheme + "://" + withPort(offer.url->host().value_or(offer.host), origin->port);
}

}  // namespace

PasswordOffers::PasswordOffers(PasswordStore& vault) : vault_(vault) {}

void PasswordOffers::offer(PendingCredential credential) {
  if (pending.peek() != credential) status.set(PendingSaveStatus::offered);
  pending.set(std::move(credential));
}

void PasswordOffers::end(const PendingCredential& shown) {
  if (pending.peek() != shown) return;
  pending.set(std::nullopt);
  status.set(PendingSaveStatus::offered);
}

void PasswordOffers::save(const PendingCredential& shown) {
  const SaveDecision decision = vault_.upsert({.host = shown.host,
                                               .url = savedAddress(shown),
                                               .username = shown.username,
                                               .password = shown.password,
                                               .persist = false});
  if (decision == SaveDecision::alreadySaved && !vault_.hasUnsavedChanges()) {
    end(shown);
    return;
  }
  if (pending.peek() == shown) status.set(PendingSaveStatus::saving);
  // The login stays in memory even when the keyring refuses it; the next write carries it.
  vault_.persist([weakSelf = weak_from_this(), shown](bool written) {
    const auto self = weakSelf.lock();
    if (!self) return;
    if (written) {
      self->end(shown);
    } else if (self->pending.peek() == shown) {
      self->status.set(PendingSaveStatus::failed);
    }
  });
}

void PasswordOffers::save() {
  if (const auto shown = pending.peek()) save(*shown);
}

void PasswordOffers::neverSave(const PendingCredential& shown) {
  vault_.neverSave(shown.host);
  end(shown);
}

void PasswordOffers::neverSave() {
  if (const auto shown = pending.peek()) neverSave(*shown);
}

void PasswordOffers::dismiss(const PendingCredential& shown) { end(shown); }

}  // namespace zemblo
