#pragma once

#include <gio/gio.h>

#include "model/browser_tab.h"

namespace zemblo {

// What the engine found wrong with `certificate` (its `faults`) and what the certificate says of
// itself, as the plain text the tab's error page shows.
BrowserTab::CertificateFault readCertificateFault(GTlsCertificate* certificate,
                                                  GTlsCertificateFlags faults);

}  // namespace zemblo
