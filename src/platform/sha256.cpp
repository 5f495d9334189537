#include "platform/sha256.h"

#include <nettle/sha2.h>

#include <algorithm>

namespace zemblo {

Sha256Digest sha256(std::string_view bytes) {
  sha256_ctx context;
  sha256_init(&context);
  sha256_update(&context, bytes.size(), reinterpret_cast<const uint8_t*>(bytes.data()));
  Sha256Digest digest;
  sha256_digest(&context, digest.size(), digest.data());
  return digest;
}

std::string lowercaseHex(const Sha256Digest& digest, size_t byteCount) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (size_t i = 0; i < std::min(byteCount, digest.size()); ++i) {
    hex += kDigits[digest[i] >> 4];
    hex += kDigits[digest[i] & 0xF];
  }
  return hex;
}

}  // namespace zemblo
