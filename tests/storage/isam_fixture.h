// Shared set-up of the engine tests: a started engine in a temporary
// directory and a small record type with two keys.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "storage/indexed_table.h"
#include "storage/isam.h"
#include "platform/fileio.h"
#include "isam_checker.h"
#include "support/test_support.h"

namespace kandelo::test {

// 64-byte record: 0..3 reserved, 4..7 id, 8.. counted name (at most 30).
// Key 1: the name (duplicates allowed). Key 2: the id as 8 hex digits (unique).
constexpr int kRecLen = 64;

inline std::string IdKey(std::int32_t id) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%08X", static_cast<unsigned>(id));
  return buf;
}

inline void FillRecord(unsigned char* rec, std::int32_t id, const std::string& name) {
  std::memset(rec, 0, kRecLen);
  PutI32(rec + 4, id);
  const std::size_t n = std::min<std::size_t>(name.size(), 30);
  rec[8] = static_cast<unsigned char>(n);
  std::memcpy(rec + 9, name.data(), n);
}

inline std::int32_t RecordId(const unsigned char* rec) { return GetI32(rec + 4); }
inline std::string RecordName(const unsigned char* rec) {
  return std::string(reinterpret_cast<const char*>(rec + 9), std::min<int>(rec[8], 30));
}

inline std::string TestKey(const unsigned char* rec, int key) {
  return key == 1 ? RecordName(rec) : IdKey(RecordId(rec));
}

inline isam::KeyTable TestKeys() { return {{30, true}, {8, false}}; }

class EngineTest : public ::testing::Test {
 protected:
  explicit EngineTest(int buffers = isam::kDefaultPageBuffers) : buffers_(buffers) {}
  void SetUp() override { ASSERT_TRUE(engine_.Create(buffers_)) << engine_.TakeError(); }

  std::string base(const std::string& name = "TEST") const { return dir_.file(name); }

  // A IndexedTable over base(name) with the two test keys, opened (created when missing).
  std::unique_ptr<IndexedTable> OpenTable(unsigned char* buffer, const std::string& name = "TEST") {
    auto t = std::make_unique<IndexedTable>(base(name), false, buffer, true, TestKey, kRecLen);
    EXPECT_TRUE(t->IsReady());
    for (int k = 1; k <= 2; ++k) EXPECT_EQ(t->DefineKey(k, TestKeys()[k - 1].length, TestKeys()[k - 1].duplicates), 0);
    EXPECT_EQ(t->Open(), 0);
    return t;
  }

  TempDir dir_;
  StorageEngine engine_;
  int buffers_;
};

}  // namespace kandelo::test
