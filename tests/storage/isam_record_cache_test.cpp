// The data file is read through a cache of 64 KiB blocks: what a read gives
// must always be what the file holds, also for records that straddle blocks,
// after the file grew, and after records were rewritten or freed; and the
// same for the record read in place.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <vector>

#include "isam_fixture.h"

namespace kandelo::test {
namespace {

using namespace isam;

class RecordCacheTest : public EngineTest {};

TEST_F(RecordCacheTest, ReadsFollowEveryWriteAcrossBlocks) {
  constexpr int kLen = 1000;  // does not divide the block size: records straddle blocks
  ASSERT_EQ(CreateIndexedFile(base(), kLen, {}), 0);
  IndexedFile* f = nullptr;
  ASSERT_EQ(OpenIndexedFile(base(), false, false, f), 0);
  std::map<std::int32_t, std::vector<unsigned char>> model;
  std::mt19937 rng(7);
  auto record = [&](int seed) {
    std::vector<unsigned char> r(kLen);
    for (int i = 4; i < kLen; ++i) r[static_cast<std::size_t>(i)] = static_cast<unsigned char>(seed * 31 + i);
    return r;
  };
  std::vector<unsigned char> got(kLen);
  for (int round = 0; round < 600; ++round) {
    const int op = static_cast<int>(rng() % 4);
    if (op <= 1 || model.empty()) {
      std::int32_t n = 0;
      auto r = record(round);
      ASSERT_EQ(AddRecord(f, r.data(), n), 0);
      model[n] = r;
    } else {
      auto it = std::next(model.begin(), static_cast<long>(rng() % model.size()));
      if (op == 2) {
        auto r = record(round + 1000);
        ASSERT_EQ(PutRecord(f, it->first, r.data()), 0);
        it->second = r;
      } else {
        ASSERT_EQ(DeleteRecord(f, it->first), 0);
        model.erase(it);
      }
    }
    // Read back a few records, the newest among them.
    if (!model.empty()) {
      for (auto n : {model.begin()->first, model.rbegin()->first,
                     std::next(model.begin(), static_cast<long>(rng() % model.size()))->first}) {
        ASSERT_EQ(GetRecord(f, n, got.data()), 0);
        ASSERT_EQ(got, model[n]) << "record " << n << " in round " << round;
        // In place, or through a copy for a record across two blocks.
        const unsigned char* view = nullptr;
        ASSERT_EQ(ViewRecord(f, n, view), 0);
        ASSERT_TRUE(std::equal(got.begin(), got.end(), view)) << "view of record " << n << " in round " << round;
      }
    }
  }
  const unsigned char* none = nullptr;
  EXPECT_EQ(ViewRecord(f, model.rbegin()->first + 1000, none), kErrShortRead);
  EXPECT_EQ(none, nullptr);
  ASSERT_EQ(CloseIndexedFile(f), 0);

  // The file itself holds what the reads gave.
  const std::string bytes = readFile(base() + ".DAT");
  for (const auto& [n, r] : model)
    EXPECT_EQ(bytes.substr(static_cast<std::size_t>(n) * kLen, kLen), std::string(r.begin(), r.end())) << n;
}

}  // namespace
}  // namespace kandelo::test
