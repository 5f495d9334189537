// The store's answers to password offers.
#include "model/browser_store.h"
#include "model/password_store.h"

namespace zemblo {
namespace {

// What a login saved from a page keeps as its address: the scheme and host of the page.
std::string savedAddress(const PendingCredential& offer) {
  if (!offer.url) return "https://" + offer.host;
  return offer.url->scheme().value_or("https") + "://" + offer.url->host().value_or(offer.host);
}

}  // namespace

void BrowserStore::offerCredential(PendingCredential offer) {
  if (pendingSave.peek() != offer) pendingSaveStatus.set(PendingSaveStatus::offered);
  pendingSave.set(std::move(offer));
}

void BrowserStore::endOffer(const PendingCredential& shown) {
  if (pendingSave.peek() != shown) return;
  pendingSave.set(std::nullopt);
  pendingSaveStatus.set(PendingSaveStatus::offered);
}

void BrowserStore::savePendingCredential(const PendingCredential& shown) {
  PasswordStore& vault = *passwords_;
  const SaveDecision decision = vault.upsert({.host = shown.host,
                                              .url = savedAddress(shown),
                                              .username = shown.username,
                                              .password = shown.password,
                                              .persist = false});
  if (decision == SaveDecision::alreadySaved && !vault.hasUnsavedChanges()) {
    endOffer(shown);
    return;
  }
  if (pendingSave.peek() == shown) pendingSaveStatus.set(PendingSaveStatus::saving);
  // The login stays in memory even when the keyring refuses it; the next write carries it.
  vault.persist([weakSelf = weak_from_this(), shown](bool written) {
    const auto self = weakSelf.lock();
    if (!self) return;
    if (written) {
      self->endOffer(shown);
    } else if (self->pendingSave.peek() == shown) {
      self->pendingSaveStatus.set(PendingSaveStatus::failed);
    }
  });
}

void BrowserStore::savePendingCredential() {
  if (const auto offer = pendingSave.peek()) savePendingCredential(*offer);
}

void BrowserStore::neverSavePendingCredential(const PendingCredential& shown) {
  passwords_->neverSave(shown.host);
  endOffer(shown);
}

void BrowserStore::neverSavePendingCredential() {
  if (const auto offer = pendingSave.peek()) neverSavePendingCredential(*offer);
}

void BrowserStore::dismissPendingCredential(const PendingCredential& shown) { endOffer(shown); }

}  // namespace zemblo
