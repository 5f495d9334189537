#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/public_suffix.h"

// The one definition of "which site is this" for every per-site feature: saved passwords, the
// content blocker's allow list and the sites where page dark mode is off.
namespace zemblo {

// The host without one leading "www.", the form a site is shown and compared in.
std::string_view withoutLeadingWww(std::string_view host);

// The canonical host of a URL or of a typed site ("Example.com/login"): trimmed, parsed (with
// "https://" in front when the text alone has no host), lower-cased, one leading "www." removed.
// None when the text yields no host, "www." alone included: a canonical host is never empty.
std::optional<std::string> normalizedHost(std::string_view text);

// Whether two canonical hosts name the same site, or a site and one of its subdomains at any
// depth. A host without a dot matches only itself. The order of the arguments does not matter.
// Saved passwords do not go by it: see siteRelation.
bool hostsMatch(std::string_view a, std::string_view b);

// How a saved login's host stands to a page's host, both canonical.
enum class SiteRelation {
  sameHost,
  // Another host of the same registrable domain, by the public-suffix list. Never for an IP
  // address or a name of one label, nor under a suffix that is a private entry of the list,
  // whose names belong to different customers of one platform.
  sameSite,
  unrelated,
};
SiteRelation siteRelation(std::string_view loginHost, std::string_view pageHost);
// The same with the page's registrable domain (registrableDomain) looked up once for many logins.
SiteRelation siteRelation(std::string_view loginHost, std::string_view pageHost,
                          const std::optional<RegistrableDomain>& pageSite);

}  // namespace zemblo
