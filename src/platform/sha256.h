#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace zemblo {

using Sha256Digest = std::array<uint8_t, 32>;

// Uses the processor's SHA instructions where it has them: large files are hashed at start-up.
Sha256Digest sha256(std::string_view bytes);

// The first `byteCount` bytes of the digest as lowercase hexadecimal digits.
std::string lowercaseHex(const Sha256Digest& digest, size_t byteCount = 32);

}  // namespace zemblo
