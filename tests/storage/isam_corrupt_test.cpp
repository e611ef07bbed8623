// Damaged files: every byte read is hostile. Each case breaks one thing in a
// sound file and expects the engine's error number, at opening or at the
// first operation that meets the damage.

#include <gtest/gtest.h>

#include <functional>

#include "isam_fixture.h"

namespace kandelo::test {
namespace {

using namespace isam;

constexpr int kLen = 4;
constexpr int kRow = 62 * (kLen + 9) + 6;  // one key: the row is one page
constexpr int kRec = 32;

std::string Num(int i) {
  char b[16];
  std::snprintf(b, sizeof b, "%04d", i);
  return b;
}

unsigned char* At(std::string& s, std::size_t o) { return reinterpret_cast<unsigned char*>(s.data()) + o; }

struct Damage {
  const char* name;
  std::function<void(std::string& dat, std::string& idx)> apply;
  int openError;  // 0: opens, then the operations give opError
  int opError;
};

class CorruptTest : public EngineTest {
 protected:
  // 300 records, 180 keys deleted again (a root over leaves remains), 10 records
  // deleted: free records and free pages exist.
  void SetUp() override {
    EngineTest::SetUp();
    ASSERT_EQ(CreateIndexedFile(base(), kRec, {{kLen, false}}), 0);
    IndexedFile* f = nullptr;
    ASSERT_EQ(OpenIndexedFile(base(), false, false, f), 0);
    unsigned char rec[kRec] = {};
    for (int i = 1; i <= 300; ++i) {
      std::int32_t n = 0;
      ASSERT_EQ(AddRecord(f, rec, n), 0);
      ASSERT_EQ(AddKey(f, 1, n, Num(i)), 0);
    }
    for (int i = 60; i < 240; ++i) ASSERT_EQ(DeleteKey(f, 1, i, Num(i)), 0);
    for (int i = 100; i < 110; ++i) ASSERT_EQ(DeleteRecord(f, i), 0);
    ASSERT_EQ(CloseIndexedFile(f), 0);
    dat_ = readFile(DataFilePath(base()));
    idx_ = readFile(IndexFilePath(base()));
    root_ = GetI32(At(idx_, 16));
    ASSERT_GT(GetI32(At(idx_, 4)), 0) << "the fixture has free pages";
  }

  // Opens, walks both ways, searches, adds and deletes; the first error.
  int Exercise() {
    IndexedFile* f = nullptr;
    if (int err = OpenIndexedFile(base(), false, false, f)) return err;
    int first = 0;
    auto note = [&](int err, std::initializer_list<int> normal = {}) {
      for (int ok : normal)
        if (err == ok) return;
      if (err && !first) first = err;
    };
    std::int32_t rec = 0;
    std::string key;
    for (int i = 0; i < 400; ++i) note(NextKey(f, 1, rec, key), {kErrEndOfIndex});
    note(ClearKey(f, 1));
    for (int i = 0; i < 400; ++i) note(PrevKey(f, 1, rec, key), {kErrBeginOfIndex});
    key = "0200";
    note(SearchKey(f, 1, key, rec), {kErrSearchEnd});
    note(FindKey(f, 1, "0250", rec), {kErrKeyNotFound});
    unsigned char r[kRec] = {};
    for (int i = 0; i < 80; ++i) {
      std::int32_t n = 0;
      note(AddRecord(f, r, n));
      note(AddKey(f, 1, 5000 + i, "X" + Num(i).substr(1)), {kErrDuplicateKey});
    }
    for (int i = 1; i <= 300; i += 3) note(DeleteKey(f, 1, i, Num(i)), {kErrDeleteKeyNotFound});
    CloseIndexedFile(f);
    return first;
  }

  std::string dat_, idx_;
  std::int32_t root_ = 0;
};

TEST_F(CorruptTest, DamageGivesErrorNumbersNeverACrash) {
  const Damage cases[] = {
      {"index truncated inside the pages", [](std::string&, std::string& i) { i.resize(i.size() / 2); },
       kErrBadPageSize, 0},
      {"index shorter than its header row", [](std::string&, std::string& i) { i.resize(20); }, kErrBadPageSize, 0},
      {"index file missing", [](std::string&, std::string& i) { i.clear(); }, kErrBadPageSize, 0},
      {"page size not of the form 62 (L + 9) + 6", [](std::string&, std::string& i) { PutI32(At(i, 12), kRow + 1); },
       kErrBadPageSize, 0},
      {"key length above 150", [](std::string&, std::string& i) { PutI32(At(i, 12), 62 * 160 + 6); },
       kErrBadKeyLength, 0},
      {"more than 12 keys in the data header", [](std::string& d, std::string&) { d[16] = 13; },
       kErrTooManyKeysInFile, 0},
      {"root page beyond the highest page", [](std::string&, std::string& i) { PutI32(At(i, 16), 9999); },
       kErrBadPageSize, 0},
      {"highest page beyond the file", [](std::string&, std::string& i) { PutI32(At(i, 8), 9999); },
       kErrBadPageSize, 0},
      {"cyclic page free chain",
       [](std::string&, std::string& i) {
         const std::int32_t first = GetI32(At(i, 0));
         PutI32(At(i, static_cast<std::size_t>(first) * kRow), first);
       },
       kErrFreeChain, 0},
      {"page free count larger than the chain", [](std::string&, std::string& i) { PutI32(At(i, 4), GetI32(At(i, 4)) + 1); },
       kErrFreeChain, 0},
      {"cyclic record free chain",
       [](std::string& d, std::string&) {
         const std::int32_t first = GetI32(At(d, 0));
         PutI32(At(d, static_cast<std::size_t>(first) * kRec), first);
       },
       kErrFreeChain, 0},
      {"record free chain into a used record", [](std::string& d, std::string&) { PutI32(At(d, 0), 5); },
       kErrFreeChain, 0},
      {"data file truncated", [](std::string& d, std::string&) { d.resize(d.size() / 2); }, kErrShortRead, 0},
      {"record length below 21", [](std::string& d, std::string&) { PutI32(At(d, 12), 8); }, kErrRecordLength, 0},
      {"child page out of range",
       [this](std::string&, std::string& i) { PutI32(At(i, static_cast<std::size_t>(root_) * kRow + 2), 7777); },
       0, kErrIO},
      {"child page pointing back at the root",
       [this](std::string&, std::string& i) { PutI32(At(i, static_cast<std::size_t>(root_) * kRow + 2), root_); },
       0, kErrIO},
      {"item count above 62",
       [this](std::string&, std::string& i) { PutU16(At(i, static_cast<std::size_t>(root_) * kRow), 63); }, 0,
       kErrIO},
      {"item count 0",
       [this](std::string&, std::string& i) {
         PutU16(At(i, static_cast<std::size_t>(GetI32(At(i, static_cast<std::size_t>(root_) * kRow + 2))) * kRow), 0);
       },
       0, kErrIO},
      {"string longer than the key",
       [this](std::string&, std::string& i) { *At(i, static_cast<std::size_t>(root_) * kRow + 6 + 8) = 200; }, 0,
       kErrIO},
      {"leaf with a child",
       [this](std::string&, std::string& i) {
         const std::int32_t leaf = GetI32(At(i, static_cast<std::size_t>(root_) * kRow + 2));
         PutI32(At(i, static_cast<std::size_t>(leaf) * kRow + 6 + 4), root_);
       },
       0, kErrIO},
  };
  for (const Damage& c : cases) {
    SCOPED_TRACE(c.name);
    std::string d = dat_, i = idx_;
    c.apply(d, i);
    writeFile(DataFilePath(base()), d);
    platform::fs().removeFile(IndexFilePath(base()));
    if (!i.empty()) writeFile(IndexFilePath(base()), i);
    const int err = Exercise();
    EXPECT_EQ(err, c.openError ? c.openError : c.opError);
  }
  // The undamaged file is sound, so the errors above come from the damage.
  writeFile(DataFilePath(base()), dat_);
  writeFile(IndexFilePath(base()), idx_);
  EXPECT_EQ(Exercise(), 0);
}

TEST_F(CorruptTest, RandomByteDamageNeverCrashes) {
  std::uint32_t seed = 99;
  auto next = [&] { return seed = seed * 1664525u + 1013904223u; };
  for (int round = 0; round < 150; ++round) {
    std::string d = dat_, i = idx_;
    for (int k = 0; k < 6; ++k) {
      std::string& target = next() % 4 == 0 ? d : i;
      target[next() % target.size()] = static_cast<char>(next() >> 24);
    }
    writeFile(DataFilePath(base()), d);
    writeFile(IndexFilePath(base()), i);
    Exercise();  // any result but a crash or a sanitizer report
  }
}

}  // namespace
}  // namespace kandelo::test
