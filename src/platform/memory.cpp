#include "platform/memory.h"

#include <cstdlib>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace kandelo::platform {

void* AllocateLargeBuffer(std::size_t bytes) {
  if (bytes == 0 || bytes % kHugePageSize != 0) return nullptr;
  void* p = std::aligned_alloc(kHugePageSize, bytes);
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  // Only advice: without huge pages the buffer works the same, only slower.
  if (p) ::madvise(p, bytes, MADV_HUGEPAGE);
#endif
  return p;
}

}  // namespace kandelo::platform
