// The check sum of a block of bytes: whether a block read back is the block
// that was written whole (a redo-journal entry, a slot of a cache file). The
// same sum on every station, whatever its byte order.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kandelo::isam {

// `seed` tells blocks of the same bytes apart (the journal's change number).
std::uint32_t BlockChecksum(std::uint64_t seed, const unsigned char* p, std::size_t n);

}  // namespace kandelo::isam
