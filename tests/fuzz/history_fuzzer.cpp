#include "fuzz_check.h"
#include "model/records.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zemblo::fuzz::checkRoundTrip(
      zemblo::fuzz::text(data, size),
      [](std::string_view bytes) { return zemblo::decodeHistory(bytes); },
      [](const std::vector<zemblo::HistoryEntry>& history) {
        return zemblo::encodeHistory(history);
      });
  return 0;
}
