// An independent reader of flushed indexed files for the engine tests: parses
// the data and index files byte by byte and checks every invariant of the
// format (headers, free chains, B-tree shape, fill, order, page accounting).
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/bytes.h"
#include "storage/indexed_table.h"
#include "storage/isam.h"
#include "support/test_support.h"

namespace kandelo::test {

using platform::GetI32;
using platform::GetU16;
using platform::PutI32;
using platform::PutU16;

struct CheckedKey {
  std::vector<std::pair<std::string, std::int32_t>> entries;  // in key order
  int depth = 0;
  std::int32_t highest = 0, root = 0, freePages = 0;
  std::vector<int> leafCounts;  // item counts of the leaves, left to right
  std::vector<int> rootItems;   // record numbers of the root's items
};

struct CheckedFile {
  std::string error;  // empty when sound
  std::int32_t highest = 0, freeRecords = 0;
  std::vector<std::int32_t> usedRecords;
  std::vector<CheckedKey> keys;
};

inline CheckedFile CheckIndexedFile(const std::string& base) {
  CheckedFile out;
  auto fail = [&](const std::string& e) {
    if (out.error.empty()) out.error = e;
    return out;
  };
  const std::string dat = readFile(isam::DataFilePath(base));
  if (dat.size() < 21) return fail("data file too short");
  auto u8 = [](const std::string& s, std::size_t o) { return reinterpret_cast<const unsigned char*>(s.data()) + o; };
  const std::int32_t firstFree = GetI32(u8(dat, 0)), freeCount = GetI32(u8(dat, 4));
  const std::int32_t highest = GetI32(u8(dat, 8)), r = GetI32(u8(dat, 12));
  const int keyCount = *u8(dat, 16);
  if (*u8(dat, 20) != 0) return fail("open-for-writing flag set");
  if (r < 21 || dat.size() < static_cast<std::size_t>(highest + 1) * static_cast<std::size_t>(r))
    return fail("data file shorter than its header says");
  out.highest = highest;
  out.freeRecords = freeCount;
  std::set<std::int32_t> freeSet;
  for (std::int32_t n = firstFree, i = 0; n != -1; ++i) {
    if (i >= freeCount || n < 1 || n > highest || !freeSet.insert(n).second) return fail("record free chain broken");
    n = GetI32(u8(dat, static_cast<std::size_t>(n) * r));
  }
  if (static_cast<std::int32_t>(freeSet.size()) != freeCount) return fail("record free count wrong");
  for (std::int32_t n = 1; n <= highest; ++n) {
    const bool used = GetI32(u8(dat, static_cast<std::size_t>(n) * r)) == 0;
    if (used == static_cast<bool>(freeSet.count(n))) return fail("record " + std::to_string(n) + " neither used nor free");
    if (used) out.usedRecords.push_back(n);
  }
  if (keyCount == 0) return out;

  const std::string idx = readFile(isam::IndexFilePath(base));
  std::size_t offset = 0;
  std::vector<std::size_t> offsets;
  std::vector<int> sizes;
  for (int k = 0; k < keyCount; ++k) {
    if (idx.size() < offset + 26) return fail("index too short for the key headers");
    offsets.push_back(offset);
    sizes.push_back(GetI32(u8(idx, offset + 12)));
    offset += static_cast<std::size_t>(sizes.back());
  }
  const std::size_t row = offset;
  for (int k = 0; k < keyCount; ++k) {
    const unsigned char* h = u8(idx, offsets[static_cast<std::size_t>(k)]);
    CheckedKey ck;
    const int pk = sizes[static_cast<std::size_t>(k)];
    const int len = (pk - 6) / 62 - 9, isz = len + 9;
    const bool dup = h[20] != 0;
    ck.highest = GetI32(h + 8);
    ck.root = GetI32(h + 16);
    ck.freePages = GetI32(h + 4);
    const std::int32_t entries = GetI32(h + 22);
    if (idx.size() < (static_cast<std::size_t>(ck.highest) + 1) * row) return fail("index shorter than its pages");
    auto page = [&](std::int32_t n) { return u8(idx, static_cast<std::size_t>(n) * row + offsets[static_cast<std::size_t>(k)]); };
    std::set<std::int32_t> seen;
    for (std::int32_t n = GetI32(h + 0), i = 0; n != -1; ++i) {
      if (i >= ck.freePages || n < 1 || n > ck.highest || !seen.insert(n).second) return fail("page free chain broken");
      n = GetI32(page(n));
    }
    if (static_cast<std::int32_t>(seen.size()) != ck.freePages) return fail("page free count wrong");
    int leafDepth = -1;
    std::function<bool(std::int32_t, int)> walk = [&](std::int32_t pg, int depth) -> bool {
      if (pg < 1 || pg > ck.highest || !seen.insert(pg).second || depth > 9) return false;
      const unsigned char* p = page(pg);
      const int c = GetU16(p);
      if (c < (depth == 1 ? 1 : 31) || c > 62) return false;
      const bool leaf = GetI32(p + 2) == 0;
      if (depth == 1)
        for (int i = 0; i < c; ++i) ck.rootItems.push_back(GetI32(p + 6 + i * isz));
      if (leaf) {
        if (leafDepth == -1) leafDepth = depth;
        if (leafDepth != depth) return false;
        ck.leafCounts.push_back(c);
      } else if (!walk(GetI32(p + 2), depth + 1)) {
        return false;
      }
      for (int i = 0; i < c; ++i) {
        const unsigned char* it = p + 6 + i * isz;
        if (it[8] > len) return false;
        ck.entries.emplace_back(std::string(reinterpret_cast<const char*>(it + 9), it[8]), GetI32(it));
        const std::int32_t child = GetI32(it + 4);
        if (leaf != (child == 0)) return false;
        if (!leaf && !walk(child, depth + 1)) return false;
      }
      return true;
    };
    if (ck.root != 0 && !walk(ck.root, 1)) return fail("key " + std::to_string(k + 1) + ": bad tree");
    if (static_cast<std::int32_t>(seen.size()) != ck.highest) return fail("key " + std::to_string(k + 1) + ": pages leaked");
    if (static_cast<std::int32_t>(ck.entries.size()) != entries) return fail("key " + std::to_string(k + 1) + ": entry count");
    for (std::size_t i = 1; i < ck.entries.size(); ++i) {
      const auto& a = ck.entries[i - 1];
      const auto& b = ck.entries[i];
      const bool ordered = dup ? a < b : a.first < b.first;
      if (!ordered) return fail("key " + std::to_string(k + 1) + ": order");
    }
    ck.depth = leafDepth < 0 ? 0 : leafDepth;
    out.keys.push_back(std::move(ck));
  }
  return out;
}

}  // namespace kandelo::test
