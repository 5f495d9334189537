#pragma once

#include <webkit/webkit.h>

#include <string>

namespace zemblo {

// The certificates the user let through despite their faults, for the life of the network
// session. The engine lets such a certificate through for every port of its host; the browser
// holds it to the scheme, host and port the user saw, so another server on that host is asked
// about again.

// Lets `certificate` through for the origin of `uri`; false when the address has no host.
bool allowCertificateFor(WebKitNetworkSession* session, GTlsCertificate* certificate,
                         const std::string& uri);
// Whether the user let a certificate through for the origin of `uri`.
bool certificateAllowedFor(WebKitNetworkSession* session, const std::string& uri);

}  // namespace zemblo
