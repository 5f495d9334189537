#include "fuzz_check.h"
#include "model/credential.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using zemblo::Credential;
  zemblo::fuzz::checkRoundTrip(
      zemblo::fuzz::text(data, size),
      [](std::string_view bytes) { return zemblo::decodeCredentials(bytes); },
      [](const std::vector<Credential>& credentials) {
        return zemblo::encodeCredentials(credentials);
      });
  return 0;
}
