// LUM32 (".L32"): the program's own binary format. A 25-byte header, the
// table of singles row by row (row 0 the γ angles, column 0 the planes),
// then the persistent blocks 1, 2 and 3 as BlockFlags says.
#include <algorithm>
#include <cstring>

#include "frame/strutil.h"
#include "photometry/format_io.h"
#include "photometry/textfile.h"
#include "platform/fileio.h"

namespace kandelo {
namespace {

constexpr std::size_t kHeader = 25;

ReadResult Damaged(Diagnostics& diag, const std::string& why) {
  diag.error("LUM32 file damaged : " + why);
  return ReadFailed();
}

std::uint16_t BlockSizeFor(std::uint16_t flags) {
  return static_cast<std::uint16_t>(kBlock1Size + ((flags & 2) ? kBlock2Size : 0) +
                                    ((flags & 4) ? kBlock3Size : 0));
}

}  // namespace

ReadResult ReadL32(TLUM32& lum, Diagnostics& diag) {
  std::string data;
  if (!ReadFileLimited(lum.FileName, data, kMaxBinaryFileSize)) return NotMine();
  if (data.size() < kHeader) return NotMine();
  auto* p = reinterpret_cast<const unsigned char*>(data.data());
  if (p[18] != 6 || std::memcmp(p + 19, "QVMLUM", 6) != 0) return NotMine();

  std::uint32_t cols = std::uint32_t(GetU16(p + 4)) + 1, rows = std::uint32_t(GetU16(p + 6)) + 1;
  std::uint16_t blockSize = GetU16(p + 12);
  std::uint64_t tableBytes = std::uint64_t(rows) * cols * 4;
  if (blockSize < kBlock1Size) return Damaged(diag, "block size " + std::to_string(blockSize));
  if (data.size() != kHeader + tableBytes + blockSize)
    return Damaged(diag, "the file holds " + std::to_string(data.size()) + " bytes, its header announces " +
                   std::to_string(kHeader + tableBytes + blockSize));
  // Block 1 tells which further blocks follow; they must fit the announced size.
  const unsigned char* blocks = p + kHeader + tableBytes;
  std::uint16_t flags = GetU16(blocks + 2);
  if (BlockSizeFor(flags) > blockSize) return Damaged(diag, "block flags " + std::to_string(flags));

  if (!lum.CreateTable(int(rows) - 1, int(cols) - 1)) {
    if (rows < 2 || cols < 2) return Damaged(diag, "empty table");
    return Damaged(diag, "out of memory !");
  }
  TSglArray& t = *lum.Table;
  const unsigned char* q = p + kHeader;
  for (std::uint32_t i = 0; i < rows; ++i)
    for (std::uint32_t j = 0; j < cols; ++j, q += 4) t.At(i, j) = GetF32(q);

  lum.ReadBlock1(blocks);
  lum.SavedBlockFlags = lum.BlockFlags;
  std::size_t off = kBlock1Size;
  if (lum.BlockFlags & 2) {
    lum.ReadBlock2(blocks + off);
    off += kBlock2Size;
  }
  if (lum.BlockFlags & 4) lum.ReadBlock3(blocks + off);

  if (lum.CPlaneCount != rows - 1 || lum.GammaCount != cols - 1)
    return Damaged(diag, "table of " + std::to_string(rows - 1) + " x " + std::to_string(cols - 1) +
                   " values, block 1 announces " + std::to_string(lum.CPlaneCount) + " x " +
                   std::to_string(lum.GammaCount));
  if (lum.Symmetry > symQuadrant || lum.PlaneSystem > psAAlpha)
    return Damaged(diag, "symmetry " + std::to_string(lum.Symmetry) + ", plane system " +
                   std::to_string(lum.PlaneSystem));
  if (!lum.AnglesAscending()) return Damaged(diag, "the angles do not ascend");
  if (!lum.ValuesFinite()) return Damaged(diag, "values that are no numbers");

  lum.SelectIntensityFunctions(lum.Symmetry);
  lum.MinGammaStep = lum.CheckGammaGrid();
  lum.MinCStep = lum.CheckCGrid();
  return ReadOk(fmtLum32);
}

bool WriteL32(TLUM32& lum, std::uint8_t) {
  if (!lum.TableUsable()) return false;
  if (lum.BlockSize == 0) {
    lum.BlockSize = 1664;
    lum.BlockFlags = 3;
  }
  // A block that holds data is written even when the flags leave it out (an
  // EULUMDAT file brings its report number and measurer in block 3).
  unsigned char b2[kBlock2Size], b3[kBlock3Size];
  lum.WriteBlock2(b2);
  lum.WriteBlock3(b3);
  auto holdsData = [](const unsigned char* p, std::size_t n) {
    return std::any_of(p, p + n, [](unsigned char c) { return c != 0; });
  };
  if (holdsData(b2, kBlock2Size)) lum.BlockFlags |= 2;
  if (holdsData(b3, kBlock3Size)) lum.BlockFlags |= 4;
  // Block 1 is always there, and the size must match the blocks written, or
  // the file would not read back.
  lum.BlockFlags |= 1;
  if (lum.BlockSize != BlockSizeFor(lum.BlockFlags)) lum.BlockSize = BlockSizeFor(lum.BlockFlags);

  const std::uint32_t rows = lum.CPlaneCount + 1u, cols = lum.GammaCount + 1u;
  const std::uint64_t tableBytes = std::uint64_t(rows) * cols * 4;
  std::string out(kHeader + tableBytes + lum.BlockSize, '\0');
  auto* p = reinterpret_cast<unsigned char*>(out.data());
  p[0] = 3;
  std::memcpy(p + 1, "100", 3);
  PutU16(p + 4, static_cast<std::uint16_t>(cols - 1));
  PutU16(p + 6, static_cast<std::uint16_t>(rows - 1));
  PutU32(p + 8, static_cast<std::uint32_t>(kHeader + tableBytes));
  PutU16(p + 12, lum.BlockSize);
  PutU32(p + 14, 0);
  p[18] = 6;
  std::memcpy(p + 19, "QVMLUM", 6);
  unsigned char* q = p + kHeader;
  const TSglArray& t = *lum.Table;
  for (std::uint32_t i = 0; i < rows; ++i)
    for (std::uint32_t j = 0; j < cols; ++j, q += 4) PutF32(q, t.At(i, j));
  lum.WriteBlock1(q);
  q += kBlock1Size;
  if (lum.BlockFlags & 2) {
    std::memcpy(q, b2, kBlock2Size);
    q += kBlock2Size;
  }
  if (lum.BlockFlags & 4) std::memcpy(q, b3, kBlock3Size);
  lum.SavedBlockFlags = lum.BlockFlags;
  return platform::writeFileAtomic(lum.FileName, out);
}

}  // namespace kandelo
