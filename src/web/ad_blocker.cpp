#include "web/ad_blocker.h"

#include <vector>

#include "passwords/host_rules.h"

namespace zemblo {

AdBlocker::AdBlocker(UserDefaults& defaults)
    : isEnabled(defaults.boolValue(kEnabledKey).value_or(true)), defaults_(defaults) {
  if (auto hosts = defaults.stringArray(kAllowedHostsKey)) {
    allowedHosts.set(std::set<std::string>(hosts->begin(), hosts->end()));
  }
}

bool AdBlocker::isAllowed(std::optional<std::string_view> host) const {
  if (!host) return false;
  const auto normalized = normalizedHost(*host);
  if (!normalized) return false;
  for (const auto& entry : allowedHosts.get()) {
    if (hostsMatch(entry, *normalized)) return true;
  }
  return false;
}

bool AdBlocker::isBlocking(const std::optional<Url>& url) const {
  if (!isEnabled.get() || !std::holds_alternative<Ready>(status.get())) return false;
  const auto host = url ? url->host() : std::nullopt;
  return !isAllowed(host ? std::optional<std::string_view>(*host) : std::nullopt);
}

void AdBlocker::setEnabled(bool enabled) {
  isEnabled.set(enabled);
  defaults_.setBool(kEnabledKey, enabled);
  changed();
}

void AdBlocker::setAllowed(bool allowed, std::string_view host) {
  const auto normalized = normalizedHost(host);
  if (!normalized) return;
  if (allowed) {
    allowedHosts.mutate([&](auto& hosts) { hosts.insert(*normalized); });
  } else {
    auto remaining = allowedHosts.peek();
    std::erase_if(remaining, [&](const auto& entry) { return hostsMatch(entry, *normalized); });
    allowedHosts.set(std::move(remaining));
  }
  const auto& hosts = allowedHosts.peek();
  defaults_.setStringArray(kAllowedHostsKey, std::vector<std::string>(hosts.begin(), hosts.end()));
  changed();
}

void AdBlocker::changed() {
  if (onChange) onChange();
}

}  // namespace zemblo
