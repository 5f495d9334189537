#include "platform/public_suffix.h"

#include <glib.h>
#include <libpsl.h>

#include "platform/url.h"

namespace zemblo {
namespace {

// The newer of the system's list and the copy built into the library, so that updates of the
// list's package count without a new library.
const psl_ctx_t* suffixList() {
  static const psl_ctx_t* const list = [] {
    const psl_ctx_t* loaded = psl_latest(nullptr);
    if (!loaded) {
      g_warning(
          "The public-suffix list cannot be read; saved passwords fill on their own host only");
    }
    return loaded;
  }();
  return list;
}

bool isIpAddress(const std::string& host) {
  // Also the scoped IPv6 literals, which the address parser does not take.
  return host.find(':') != std::string::npos || g_hostname_is_ip_address(host.c_str());
}

bool hasEmptyLabel(std::string_view host) {
  return host.empty() || host.front() == '.' || host.back() == '.' ||
         host.find("..") != std::string_view::npos;
}

}  // namespace

std::optional<RegistrableDomain> registrableDomain(std::string_view host) {
  const std::optional<std::string> name = percentDecoded(host);
  if (!name || hasEmptyLabel(*name) || name->find('.') == std::string::npos || isIpAddress(*name)) {
    return std::nullopt;
  }
  const psl_ctx_t* list = suffixList();
  if (!list) return std::nullopt;
  const char* registered = psl_registrable_domain(list, name->c_str());
  const char* suffix = psl_unregistrable_domain(list, name->c_str());
  if (!registered || !suffix) return std::nullopt;
  // The implicit rule that makes any unknown top-level label a suffix is no private entry.
  const bool underPrivate =
      psl_is_public_suffix2(list, suffix, PSL_TYPE_PRIVATE | PSL_TYPE_NO_STAR_RULE) != 0;
  return RegistrableDomain{registered, underPrivate};
}

}  // namespace zemblo
