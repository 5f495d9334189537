#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

// A failed check aborts, which libFuzzer reports as a crash and saves the input that caused it.
#define FUZZ_CHECK(condition)                                                            \
  do {                                                                                   \
    if (!(condition)) {                                                                  \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                      \
    }                                                                                    \
  } while (false)

namespace zemblo::fuzz {

inline std::string_view text(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// What was decoded is encoded, decoded again and encoded to the same bytes: saving a file the
// browser read never loses or changes what it held.
template <class Decode, class Encode>
void checkRoundTrip(std::string_view bytes, Decode decode, Encode encode) {
  const auto decoded = decode(bytes);
  if (!decoded) return;
  const std::optional<std::string> encoded = encode(*decoded);
  FUZZ_CHECK(encoded);
  const auto again = decode(*encoded);
  FUZZ_CHECK(again);
  FUZZ_CHECK(encode(*again) == encoded);
}

}  // namespace zemblo::fuzz
