#include "storage/checksum.h"

#include <bit>
#include <cstring>

namespace kandelo::isam {

// Four independent multiply-xor lanes over 8-byte words: a change carries
// several pages, and a byte-wise hash over them cost more than their writes.
std::uint32_t BlockChecksum(std::uint64_t seed, const unsigned char* p, std::size_t n) {
  constexpr std::uint64_t kPrime = 0x100000001B3ull;
  std::uint64_t lane[4] = {0xCBF29CE484222325ull ^ seed, 0x9E3779B97F4A7C15ull, 0xC2B2AE3D27D4EB4Full ^ n,
                           0x165667B19E3779F9ull};
  std::size_t i = 0;
  for (; i + 32 <= n; i += 32)
    for (int l = 0; l < 4; ++l) {
      std::uint64_t w;
      std::memcpy(&w, p + i + 8 * l, 8);
      if constexpr (std::endian::native == std::endian::big) w = __builtin_bswap64(w);  // same sum on every station
      lane[l] = (lane[l] ^ w) * kPrime;
      lane[l] ^= lane[l] >> 31;
    }
  std::uint64_t h = lane[0] ^ (lane[1] * 3) ^ (lane[2] * 5) ^ (lane[3] * 7);
  for (; i < n; ++i) h = (h ^ p[i]) * kPrime;
  h ^= h >> 29;
  h *= 0xBF58476D1CE4E5B9ull;
  h ^= h >> 32;
  return static_cast<std::uint32_t>(h);
}

}  // namespace kandelo::isam
