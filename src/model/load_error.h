#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/url.h"

namespace zemblo {

// What the engine found wrong with a certificate it refused, and what the certificate says of
// itself, as plain text for the error page.
struct CertificateFault {
  enum class Kind { untrusted, expired, notYetValid, wrongHost, revoked, other };
  std::vector<Kind> kinds;
  std::string subject;
  std::string issuer;
  std::string validFrom;
  std::string validUntil;
  friend bool operator==(const CertificateFault&, const CertificateFault&) = default;
};

// What a failed load ran into, where the browser can say it in its own words.
enum class FailureCause {
  unknown,
  nameNotResolved,
  connectionRefused,
  timedOut,
  connectionReset,
  tooManyRedirects,
  secureConnectionFailed,
  pageKeptCrashing,
};

// What a tab shows in place of its page when a load went wrong, or when showing the page would
// send a form again.
struct LoadError {
  // The engine's own words, shown only when the user asks for the details.
  std::string message;
  std::optional<Url> url;
  // Set when the page was refused for its certificate: the user may let it through.
  std::optional<CertificateFault> certificate;
  // Set when the page at `url` was made from a form the user sent, and showing it again would
  // send that form again: only the user's answer does (resendForm).
  bool resendsForm = false;
  FailureCause cause = FailureCause::unknown;
  friend bool operator==(const LoadError&, const LoadError&) = default;
};

}  // namespace zemblo
