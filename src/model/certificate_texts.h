#pragma once

#include <string>
#include <utility>
#include <vector>

#include "model/browser_tab.h"

namespace zemblo {

// What is wrong with a certificate, one line per fault, in the interface language.
std::string certificateFaultLines(const BrowserTab::CertificateFault& fault);
// The certificate's subject, issuer and validity, each beside its name; the certificate's own
// words as they come, a dash for one it leaves empty.
std::vector<std::pair<std::string, std::string>> certificateDetails(
    const BrowserTab::CertificateFault& fault);

}  // namespace zemblo
