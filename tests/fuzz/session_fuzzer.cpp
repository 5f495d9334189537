#include "fuzz_check.h"
#include "model/records.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zemblo::fuzz::checkRoundTrip(
      zemblo::fuzz::text(data, size),
      [](std::string_view bytes) { return zemblo::decodeSession(bytes); },
      [](const zemblo::SessionSnapshot& session) { return zemblo::encodeSession(session); });
  return 0;
}
