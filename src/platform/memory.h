// Large buffers that the processor should reach through few address
// translations: caches that are read at random all over.
#pragma once

#include <cstddef>

namespace kandelo::platform {

// Size and alignment of a huge page where the system has them (2 MiB).
inline constexpr std::size_t kHugePageSize = std::size_t{2} * 1024 * 1024;

// `bytes` (a multiple of kHugePageSize) aligned to kHugePageSize, with the
// system asked to back it by huge pages; nullptr when out of memory. Free it
// with std::free.
void* AllocateLargeBuffer(std::size_t bytes);

}  // namespace kandelo::platform
