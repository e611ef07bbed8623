// Byte layout of data and index files, free chains, the open-for-writing
// flag, B-tree shapes after known insert sequences, and key walking.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include "isam_fixture.h"

namespace kandelo::test {
namespace {

using namespace isam;

const unsigned char* Bytes(const std::string& s, std::size_t offset = 0) {
  return reinterpret_cast<const unsigned char*>(s.data()) + offset;
}

class LayoutTest : public EngineTest {
 protected:
  // A file with one key of the given length and duplicate rule; 32-byte records.
  IndexedFile* OpenSingleKey(int length, bool dup) {
    EXPECT_EQ(CreateIndexedFile(base(), 32, {{length, dup}}), 0);
    IndexedFile* f = nullptr;
    EXPECT_EQ(OpenIndexedFile(base(), false, false, f), 0);
    return f;
  }
  static std::string Num(int i) {
    char b[16];
    std::snprintf(b, sizeof b, "%04d", i);
    return b;
  }
  void Fill(IndexedFile* f, int from, int to) {
    for (int i = from; i <= to; ++i) ASSERT_EQ(AddKey(f, 1, i, Num(i)), 0) << i;
  }
};

TEST_F(LayoutTest, NewCatalogueSizedFileHasHeaderRecordAndOneIndexRow) {
  KeyTable keys(5, KeyDef{85, true});
  keys.push_back({16, false});
  ASSERT_EQ(CreateIndexedFile(base(), 512, keys), 0);
  const std::string dat = readFile(DataFilePath(base()));
  const std::string idx = readFile(IndexFilePath(base()));
  ASSERT_EQ(dat.size(), 512u);
  ASSERT_EQ(idx.size(), 30726u);
  EXPECT_EQ(GetI32(Bytes(dat, 0)), -1);
  EXPECT_EQ(GetI32(Bytes(dat, 4)), 0);
  EXPECT_EQ(GetI32(Bytes(dat, 8)), 0);
  EXPECT_EQ(GetI32(Bytes(dat, 12)), 512);
  EXPECT_EQ(GetI32(Bytes(dat, 16)), 6);
  EXPECT_EQ(dat[20], 0);
  EXPECT_EQ(dat.find_first_not_of('\0', 21), std::string::npos);
  for (int k = 0; k < 6; ++k) {
    const std::size_t o = static_cast<std::size_t>(k) * 5834;
    EXPECT_EQ(GetI32(Bytes(idx, o + 0)), -1);
    EXPECT_EQ(GetI32(Bytes(idx, o + 8)), 0);
    EXPECT_EQ(GetI32(Bytes(idx, o + 12)), k < 5 ? 5834 : 1556);
    EXPECT_EQ(GetI32(Bytes(idx, o + 16)), 0);
    EXPECT_EQ(idx[o + 20], k < 5 ? 1 : 0);
    EXPECT_EQ(GetI32(Bytes(idx, o + 22)), 0);
  }
}

TEST_F(LayoutTest, CreateRefusesImpossibleLayouts) {
  struct Case { int r; KeyTable keys; int error; };
  const Case cases[] = {
      {20, {{10, false}}, kErrRecordLength},
      {21, KeyTable(13, KeyDef{10, false}), kErrTooManyKeys},
      {64, {{0, false}}, kErrKeyLength},
      {64, {{151, true}}, kErrKeyLength},
  };
  for (const Case& c : cases) EXPECT_EQ(CreateIndexedFile(base(), c.r, c.keys), c.error);
  EXPECT_EQ(CreateIndexedFile(base() + std::string(200, 'x'), 64, {}), kErrPathNotFound);
  EXPECT_EQ(CreateIndexedFile(dir_.file("missing/dir/T"), 64, {}), kErrPathNotFound);
}

TEST_F(LayoutTest, DeletedRecordIsReusedAndChainedThroughItsFirstBytes) {
  IndexedFile* f = OpenSingleKey(4, true);
  unsigned char rec[32] = {};
  for (int i = 1; i <= 5; ++i) {
    rec[4] = static_cast<unsigned char>(i);
    std::int32_t n = 0;
    ASSERT_EQ(AddRecord(f, rec, n), 0);
    EXPECT_EQ(n, i);
  }
  ASSERT_EQ(DeleteRecord(f, 3), 0);
  EXPECT_EQ(DeleteRecord(f, 3), kErrDeleteOutOfRange) << "a second delete would knot the chain";
  EXPECT_EQ(DeleteRecord(f, 6), kErrDeleteOutOfRange);
  EXPECT_EQ(DeleteRecord(f, 0), kErrDeleteOutOfRange);
  EXPECT_EQ(PutRecord(f, 3, rec), kErrDeleteOutOfRange) << "a free record stays free";
  EXPECT_EQ(UsedRecords(f), 4);
  ASSERT_EQ(FlushIndexedFile(f), 0);
  std::string dat = readFile(DataFilePath(base()));
  EXPECT_EQ(GetI32(Bytes(dat, 0)), 3);
  EXPECT_EQ(GetI32(Bytes(dat, 4)), 1);
  EXPECT_EQ(GetI32(Bytes(dat, 3 * 32)), -1) << "end of the free chain";
  EXPECT_EQ(dat[3 * 32 + 4], 3) << "other bytes of a free record stay";

  rec[4] = 9;
  std::int32_t n = 0;
  ASSERT_EQ(AddRecord(f, rec, n), 0);
  EXPECT_EQ(n, 3);
  ASSERT_EQ(CloseIndexedFile(f), 0);
  dat = readFile(DataFilePath(base()));
  EXPECT_EQ(GetI32(Bytes(dat, 0)), -1);
  EXPECT_EQ(GetI32(Bytes(dat, 4)), 0);
  EXPECT_EQ(GetI32(Bytes(dat, 8)), 5);
  EXPECT_EQ(dat.size(), 6u * 32);
}

TEST_F(LayoutTest, RecordWritesKeepTheReservedBytesZeroAndRefuseRecordZero) {
  IndexedFile* f = OpenSingleKey(4, true);
  unsigned char rec[32];
  std::memset(rec, 0x5A, sizeof rec);
  std::int32_t n = 0;
  ASSERT_EQ(AddRecord(f, rec, n), 0);
  EXPECT_EQ(PutRecord(f, 0, rec), kErrWriteRecordZero);
  ASSERT_EQ(PutRecord(f, 1, rec), 0);
  unsigned char back[32];
  ASSERT_EQ(GetRecord(f, 1, back), 0);
  EXPECT_EQ(GetI32(back), 0) << "a record in use starts with 0, whatever the owner passed";
  EXPECT_EQ(back[4], 0x5A);
  EXPECT_EQ(GetRecord(f, 2, back), kErrShortRead);
  EXPECT_EQ(CloseIndexedFile(f), 0);
  EXPECT_EQ(CloseIndexedFile(f), kErrCloseNotOpen);
}

TEST_F(LayoutTest, OpenForWritingFlagFollowsChangesFlushesAndCloses) {
  IndexedFile* f = OpenSingleKey(4, true);
  auto flag = [&] { return readFile(DataFilePath(base()))[20]; };
  unsigned char rec[32] = {};
  std::int32_t n = 0;
  std::string key = "AAAA";
  ASSERT_EQ(SearchKey(f, 1, key, n), kErrSearchEnd);
  EXPECT_EQ(flag(), 0) << "reading is no change";
  ASSERT_EQ(AddRecord(f, rec, n), 0);
  EXPECT_EQ(flag(), 1);
  ASSERT_EQ(FlushIndexedFile(f), 0);
  EXPECT_EQ(flag(), 0);
  ASSERT_EQ(AddKey(f, 1, n, "AAAA"), 0);
  EXPECT_EQ(flag(), 1);
  ASSERT_EQ(CloseIndexedFile(f), 0);
  EXPECT_EQ(flag(), 0);

  std::string dat = readFile(DataFilePath(base()));
  dat[20] = 1;
  writeFile(DataFilePath(base()), dat);
  EXPECT_EQ(OpenIndexedFile(base(), false, false, f), kErrNotClosedProperly);
}

TEST_F(LayoutTest, SixtyThirdAscendingEntrySplitsTheRoot) {
  IndexedFile* f = OpenSingleKey(4, false);
  Fill(f, 1, 62);
  ASSERT_EQ(CloseIndexedFile(f), 0);
  CheckedFile c = CheckIndexedFile(base());
  ASSERT_EQ(c.error, "");
  EXPECT_EQ(c.keys[0].depth, 1);

  ASSERT_EQ(OpenIndexedFile(base(), false, false, f), 0);
  Fill(f, 63, 63);
  ASSERT_EQ(CloseIndexedFile(f), 0);
  c = CheckIndexedFile(base());
  ASSERT_EQ(c.error, "");
  EXPECT_EQ(c.keys[0].rootItems, std::vector<int>{32});
  EXPECT_EQ(c.keys[0].leafCounts, (std::vector<int>{31, 31}));
  EXPECT_EQ(c.keys[0].root, 3) << "old root 1, new leaf 2, new root 3";
}

TEST_F(LayoutTest, FullRightLeafShiftsIntoItsLeftSibling) {
  IndexedFile* f = OpenSingleKey(4, false);
  Fill(f, 1, 94);
  ASSERT_EQ(FlushIndexedFile(f), 0);
  CheckedFile c = CheckIndexedFile(base());
  EXPECT_EQ(c.keys[0].leafCounts, (std::vector<int>{31, 62}));
  Fill(f, 95, 95);
  ASSERT_EQ(CloseIndexedFile(f), 0);
  c = CheckIndexedFile(base());
  ASSERT_EQ(c.error, "");
  EXPECT_EQ(c.keys[0].rootItems, std::vector<int>{49});
  EXPECT_EQ(c.keys[0].leafCounts, (std::vector<int>{48, 46}));
  EXPECT_EQ(c.keys[0].entries.front().second, 1);
  EXPECT_EQ(c.keys[0].entries.back().second, 95);
}

TEST_F(LayoutTest, ShiftIntoALeftSiblingOfSixtyOneStopsAtAFullPage) {
  // Root [32], left leaf 1..31, right leaf 33..63; then 30 more at the left
  // end (61 items) and the right leaf filled to 62.
  IndexedFile* f = OpenSingleKey(4, false);
  for (int i = 1001; i <= 1063; ++i) ASSERT_EQ(AddKey(f, 1, i, Num(i)), 0);
  for (int i = 1; i <= 30; ++i) ASSERT_EQ(AddKey(f, 1, i, Num(i)), 0);
  for (int i = 1064; i <= 1094; ++i) ASSERT_EQ(AddKey(f, 1, i, Num(i)), 0);
  ASSERT_EQ(FlushIndexedFile(f), 0);
  CheckedFile c = CheckIndexedFile(base());
  ASSERT_EQ(c.keys[0].leafCounts, (std::vector<int>{61, 62}));
  ASSERT_EQ(AddKey(f, 1, 1095, Num(1095)), 0);
  ASSERT_EQ(CloseIndexedFile(f), 0);
  c = CheckIndexedFile(base());
  ASSERT_EQ(c.error, "");
  EXPECT_EQ(c.keys[0].leafCounts, (std::vector<int>{62, 62}));
  EXPECT_EQ(c.keys[0].entries.size(), 125u);
}

TEST_F(LayoutTest, DeletesRedistributeMergeAndShrinkTheTree) {
  IndexedFile* f = OpenSingleKey(4, false);
  Fill(f, 1, 6000);
  ASSERT_EQ(FlushIndexedFile(f), 0);
  CheckedFile c = CheckIndexedFile(base());
  ASSERT_EQ(c.error, "");
  EXPECT_EQ(c.keys[0].depth, 3);
  for (int i = 1; i <= 6000; ++i) {
    if (i % 7 == 3) continue;
    ASSERT_EQ(DeleteKey(f, 1, i, Num(i)), 0) << i;
    if (i % 500 == 0) {
      ASSERT_EQ(FlushIndexedFile(f), 0);
      ASSERT_EQ(CheckIndexedFile(base()).error, "") << "after deleting " << i;
    }
  }
  EXPECT_EQ(DeleteKey(f, 1, 1, Num(1)), kErrDeleteKeyNotFound);
  ASSERT_EQ(FlushIndexedFile(f), 0);
  c = CheckIndexedFile(base());
  ASSERT_EQ(c.error, "");
  EXPECT_EQ(c.keys[0].entries.size(), 857u);
  EXPECT_EQ(c.keys[0].depth, 2);
  for (int i = 3; i <= 6000; i += 7) ASSERT_EQ(DeleteKey(f, 1, i, Num(i)), 0);
  ASSERT_EQ(CloseIndexedFile(f), 0);
  c = CheckIndexedFile(base());
  ASSERT_EQ(c.error, "");
  EXPECT_EQ(c.keys[0].root, 0);
  EXPECT_EQ(c.keys[0].freePages, c.keys[0].highest) << "every page back on the free chain";

  // Freed pages are used again before the file grows.
  ASSERT_EQ(OpenIndexedFile(base(), false, false, f), 0);
  const auto size = readFile(IndexFilePath(base())).size();
  Fill(f, 1, 500);
  ASSERT_EQ(CloseIndexedFile(f), 0);
  EXPECT_EQ(readFile(IndexFilePath(base())).size(), size);
  EXPECT_EQ(CheckIndexedFile(base()).error, "");
}

TEST_F(LayoutTest, DuplicatesWalkInRecordOrderAndFindGivesTheSmallest) {
  IndexedFile* f = OpenSingleKey(4, true);
  for (int rec : {7, 3, 5}) ASSERT_EQ(AddKey(f, 1, rec, "SAME"), 0);
  ASSERT_EQ(AddKey(f, 1, 5, "SAME"), kErrDuplicateKey) << "(string, record) pairs are unique";
  ASSERT_EQ(AddKey(f, 1, 1, "SAMD"), 0);
  std::int32_t rec = 0;
  std::string key;
  ASSERT_EQ(FindKey(f, 1, "SAME", rec), 0);
  EXPECT_EQ(rec, 3);
  ASSERT_EQ(NextKey(f, 1, rec, key), 0);
  EXPECT_EQ(rec, 5);
  ASSERT_EQ(NextKey(f, 1, rec, key), 0);
  EXPECT_EQ(rec, 7);
  EXPECT_EQ(NextKey(f, 1, rec, key), kErrEndOfIndex);
  ASSERT_EQ(NextKey(f, 1, rec, key), 0) << "the end clears the position";
  EXPECT_EQ(key, "SAMD");
  EXPECT_EQ(FindKeyAndRef(f, 1, "SAME", 5), 0);
  ASSERT_EQ(PrevKey(f, 1, rec, key), 0);
  EXPECT_EQ(rec, 3);
  EXPECT_EQ(FindKeyAndRef(f, 1, "SAME", 4), kErrKeyRefNotFound);
  EXPECT_EQ(FindKey(f, 1, "SAM", rec), kErrKeyNotFound);
  EXPECT_EQ(DeleteKey(f, 1, 4, "SAME"), kErrDeleteKeyNotFound);
  EXPECT_EQ(AddKey(f, 1, 9, "TOOLONG"), kErrKeyTooLong);
  EXPECT_EQ(AddKey(f, 2, 9, "X"), kErrKeyNumber);
  EXPECT_EQ(CloseIndexedFile(f), 0);
}

TEST_F(LayoutTest, UniqueKeyRefusesASecondStringAndOnlyDeletesItsOwnRecord) {
  IndexedFile* f = OpenSingleKey(4, false);
  ASSERT_EQ(AddKey(f, 1, 1, "ABCD"), 0);
  EXPECT_EQ(AddKey(f, 1, 2, "ABCD"), kErrDuplicateKey);
  EXPECT_EQ(DeleteKey(f, 1, 2, "ABCD"), kErrDeleteKeyNotFound);
  EXPECT_EQ(FindKeyAndRef(f, 1, "ABCD", 2), kErrKeyRefNotFound);
  EXPECT_EQ(FindKeyAndRef(f, 1, "ABCD", 1), 0);
  EXPECT_EQ(DeleteKey(f, 1, 1, "ABCD"), 0);
  EXPECT_EQ(UsedKeys(f, 1), 0);
  EXPECT_EQ(CloseIndexedFile(f), 0);
}

TEST_F(LayoutTest, WalkingClearedEmptyAndChangingKeys) {
  IndexedFile* f = OpenSingleKey(4, false);
  std::int32_t rec = 0;
  std::string key;
  ASSERT_EQ(ClearKey(f, 1), 0);
  EXPECT_EQ(NextKey(f, 1, rec, key), kErrEndOfIndex);
  EXPECT_EQ(PrevKey(f, 1, rec, key), kErrBeginOfIndex);
  Fill(f, 1, 300);
  ASSERT_EQ(ClearKey(f, 1), 0);
  ASSERT_EQ(PrevKey(f, 1, rec, key), 0);
  EXPECT_EQ(rec, 300);
  key = "0150";
  ASSERT_EQ(SearchKey(f, 1, key, rec), 0);
  ASSERT_EQ(rec, 150);
  // The entry under the position goes away: stepping continues from its place.
  ASSERT_EQ(DeleteKey(f, 1, 150, "0150"), 0);
  ASSERT_EQ(DeleteKey(f, 1, 151, "0151"), 0);
  ASSERT_EQ(NextKey(f, 1, rec, key), 0);
  EXPECT_EQ(rec, 152);
  ASSERT_EQ(DeleteKey(f, 1, 152, "0152"), 0);
  ASSERT_EQ(PrevKey(f, 1, rec, key), 0);
  EXPECT_EQ(rec, 149);
  key = "01495";
  ASSERT_EQ(SearchKey(f, 1, key, rec), 0);
  EXPECT_EQ(key, "0153");
  key = "9";
  EXPECT_EQ(SearchKey(f, 1, key, rec), kErrSearchEnd);
  ASSERT_EQ(PrevKey(f, 1, rec, key), 0) << "a failed search clears the position";
  EXPECT_EQ(rec, 300);
  // AddKey leaves the key on the new entry.
  ASSERT_EQ(AddKey(f, 1, 150, "0150"), 0);
  ASSERT_EQ(NextKey(f, 1, rec, key), 0);
  EXPECT_EQ(rec, 153);
  EXPECT_EQ(CloseIndexedFile(f), 0);
}

TEST_F(LayoutTest, EngineRefusesCallsWhenStoppedAndDoubleStarts) {
  EXPECT_EQ(StartEngine(), kErrAlreadyStarted);
  IndexedFile* f = OpenSingleKey(4, false);
  IndexedFile* bogus = reinterpret_cast<IndexedFile*>(&f);
  EXPECT_EQ(AddKey(bogus, 1, 1, "A"), kErrNotValidFile);
  ASSERT_EQ(StopEngine(), 0) << "closes the open file";
  EXPECT_EQ(readFile(DataFilePath(base()))[20], 0);
  EXPECT_EQ(OpenIndexedFile(base(), false, false, f), kErrNotStarted);
  EXPECT_EQ(StartEngine(7), kErrTooFewBuffers);
  ASSERT_EQ(StartEngine(8), 0);
}

TEST_F(LayoutTest, LocalFilesAreOpenedExclusively) {
  IndexedFile* f = OpenSingleKey(4, false);
  IndexedFile* g = nullptr;
  EXPECT_EQ(OpenIndexedFile(base(), false, false, g), kErrAccessDenied);
  EXPECT_EQ(CloseIndexedFile(f), 0);
  EXPECT_EQ(OpenIndexedFile(base(), false, false, g), 0);
  EXPECT_EQ(CloseIndexedFile(g), 0);
  EXPECT_EQ(OpenIndexedFile(dir_.file("NONE"), false, false, g), kErrFileNotFound);
  EXPECT_EQ(OpenIndexedFile(dir_.file("no/such/NONE"), false, false, g), kErrPathNotFound);
}

TEST_F(LayoutTest, ReadOnlyFilesRefuseChanges) {
  IndexedFile* f = OpenSingleKey(4, false);
  ASSERT_EQ(AddKey(f, 1, 1, "A"), 0);
  ASSERT_EQ(CloseIndexedFile(f), 0);
  const std::string before = readFile(DataFilePath(base())) + readFile(IndexFilePath(base()));
  ASSERT_EQ(OpenIndexedFile(base(), true, false, f), 0);
  unsigned char rec[32] = {};
  std::int32_t n = 0;
  EXPECT_EQ(AddRecord(f, rec, n), kErrNetIO);
  EXPECT_EQ(AddKey(f, 1, 2, "B"), kErrNetIO);
  EXPECT_EQ(DeleteKey(f, 1, 1, "A"), kErrNetIO);
  ASSERT_EQ(FindKey(f, 1, "A", n), 0);
  EXPECT_EQ(CloseIndexedFile(f), 0);
  EXPECT_EQ(readFile(DataFilePath(base())) + readFile(IndexFilePath(base())), before);
}

TEST_F(LayoutTest, RunningOutOfFileHandlesIsTooManyOpenFiles) {
  IndexedFile* f = OpenSingleKey(4, false);
  ASSERT_EQ(CloseIndexedFile(f), 0);
  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &old), 0);
  rlimit low = old;
  low.rlim_cur = 256;
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low), 0);
  std::vector<int> held;
  for (int fd; (fd = ::dup(0)) >= 0;) held.push_back(fd);
  const int err = OpenIndexedFile(base(), false, false, f);
  for (int fd : held) ::close(fd);
  setrlimit(RLIMIT_NOFILE, &old);
  EXPECT_EQ(err, kErrTooManyOpenFiles);
}

TEST_F(LayoutTest, SeparateIndexBaseAndReplacedExtensions) {
  const std::string both = dir_.file("DATA.XYZ") + ";" + dir_.file("INDEX.ABC");
  ASSERT_EQ(CreateIndexedFile(both, 32, {{4, false}}), 0);
  EXPECT_TRUE(platform::fs().exists(dir_.file("DATA.DAT")));
  EXPECT_TRUE(platform::fs().exists(dir_.file("INDEX.IDX")));
  IndexedFile* f = nullptr;
  ASSERT_EQ(OpenIndexedFile(both, false, false, f), 0);
  EXPECT_EQ(CloseIndexedFile(f), 0);
}

}  // namespace
}  // namespace kandelo::test
