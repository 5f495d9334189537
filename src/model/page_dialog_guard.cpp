#include "model/page_dialog_guard.h"

#include "platform/public_suffix.h"
#include "platform/text.h"

namespace zemblo {

std::string PageDialogGuard::siteOf(const std::optional<Url>& address) {
  if (!address) return {};
  if (auto host = address->host()) {
    const std::string lowered = asciiLowercased(*host);
    if (auto domain = registrableDomain(lowered)) return domain->name;
    return lowered;
  }
  return asciiLowercased(address->scheme().value_or("")) + ":";
}

void PageDialogGuard::pageCommitted(const std::optional<Url>& address, bool byUser) {
  std::string site = siteOf(address);
  if (byUser && site != site_) stopped_.clear();
  site_ = std::move(site);
}

bool PageDialogGuard::allowsDialog() const { return !stopped_.contains(site_); }

bool PageDialogGuard::offersToStop(TimePoint now) const {
  return lastEnded_ && lastSite_ == site_ && now - *lastEnded_ < kRepeatWindow;
}

void PageDialogGuard::dialogEnded(TimePoint now, bool stopAsked) {
  lastSite_ = site_;
  lastEnded_ = now;
  if (stopAsked) stopped_.insert(site_);
}

}  // namespace zemblo
