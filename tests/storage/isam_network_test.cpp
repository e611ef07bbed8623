// Several stations on one indexed file within one process: every open is a
// station of its own (open-file-description locks tell two opens apart as
// they tell processes apart).

#include <gtest/gtest.h>

#include <chrono>

#include "isam_stations.h"

namespace kandelo::test {
namespace {

using namespace isam;
namespace pf = kandelo::platform;

std::string SixKey(const unsigned char* rec, int key) { return std::string(1, char('A' + key)) + IdKey(GetI32(rec + 4)); }

std::string Dia(const std::string& base) { return readFile(CoordinationFilePath(base)); }
unsigned char SlotOf(const std::string& base, const IndexedFile* f) {
  return static_cast<unsigned char>(Dia(base).at(3 + StationNumberOf(f)));
}

TEST(NetworkModeSetting, EnvironmentForcesOrSwitchesOff) {
  TempDir dir;
  {
    ScopedEnv on("KANDELO_NETWORK_MODE", "force");
    EXPECT_TRUE(pf::networkModeFor(dir.path()));
    EXPECT_TRUE(SharedByStations(dir.file("LumDb")));
  }
  {
    ScopedEnv off("KANDELO_NETWORK_MODE", "off");
    EXPECT_FALSE(pf::networkModeFor(dir.path()));
  }
  ScopedEnv other("KANDELO_NETWORK_MODE", "maybe");
  EXPECT_EQ(pf::networkModeFor(dir.path()), pf::fs().isRemote(dir.path()));
}

TEST_F(StationsTest, CatalogueShapedFileCoordinatesThroughATwentyNineByteFile) {
  // Six keys, as the catalogue has: one slot byte per station.
  auto open = [&](unsigned char* buf, std::unique_ptr<IndexedTable>& t) {
    t = std::make_unique<IndexedTable>(base(), true, buf, true, SixKey, kRecLen);
    for (int k = 1; k <= 6; ++k) t->DefineKey(k, 9, false);
    ASSERT_TRUE(t->NetworkMode());
    ASSERT_EQ(t->Open(), 0);
  };
  unsigned char a[kRecLen] = {}, b[kRecLen] = {};
  std::unique_ptr<IndexedTable> ta, tb;
  open(a, ta);
  open(b, tb);
  const std::string dia = Dia(base());
  ASSERT_EQ(dia.size(), 29u);
  EXPECT_EQ(GetU16(reinterpret_cast<const unsigned char*>(dia.data()) + 1), 2000);
  const int na = StationNumberOf(ta->File()), nb = StationNumberOf(tb->File());
  EXPECT_TRUE(na >= 1 && na <= 25 && nb >= 1 && nb <= 25 && na != nb);
  EXPECT_EQ(SlotOf(base(), ta->File()), 0);
  EXPECT_EQ(SlotOf(base(), tb->File()), 0);

  ASSERT_EQ(tb->RecordCount(), 0);  // B reads: its pages of key 1 are cached now
  PutI32(a + 4, 7);
  ASSERT_EQ(ta->Add(), 0);
  EXPECT_EQ(SlotOf(base(), ta->File()), 0) << "the own slot stays clear";
  EXPECT_EQ(SlotOf(base(), tb->File()), 255) << "data header, six keys and the change bit";
  EXPECT_EQ(static_cast<unsigned char>(Dia(base())[0]), 0) << "no change in progress";

  const auto seenBefore = ForeignChanges(tb->File());
  std::string key = "B" + IdKey(7);
  ASSERT_EQ(tb->FindKey(key), 0) << "B finds A's record after its refresh";
  EXPECT_EQ(tb->RecordCount(), 1);
  EXPECT_EQ(SlotOf(base(), tb->File()), 0);
  EXPECT_EQ(ForeignChanges(tb->File()), seenBefore + 1);
  EXPECT_EQ(ForeignChanges(ta->File()), 0u) << "A's own change is no news to A";
}

TEST_F(StationsTest, UpdateMarksOnlyTheChangedKeys) {
  Station a, b;
  ASSERT_EQ(a.open(base()), 0);
  ASSERT_EQ(b.open(base()), 0);
  ASSERT_EQ(a.add(1, "ONE"), 0);
  ASSERT_EQ(b.find(1), 0);
  ASSERT_EQ(a.find(1), 0);
  FillRecord(a.buf, 1, "UNO");
  ASSERT_EQ(a.table->Update(), 0);
  // Key 1 (the name) and the change bit; the id key and the data header stay.
  EXPECT_EQ(SlotOf(base(), b.file()), (1u << 1) | (1u << 3));
  EXPECT_EQ(b.contents(), (std::map<std::int32_t, std::string>{{1, "UNO"}}));
}

TEST_F(StationsTest, TwentySixthStationFindsNoNumber) {
  std::vector<std::unique_ptr<Station>> stations;
  std::set<int> numbers;
  for (int i = 0; i < 25; ++i) {
    stations.push_back(std::make_unique<Station>());
    ASSERT_EQ(stations.back()->open(base()), 0) << "station " << i + 1;
    numbers.insert(StationNumberOf(stations.back()->file()));
  }
  EXPECT_EQ(numbers.size(), 25u);
  Station extra;
  EXPECT_EQ(extra.open(base()), kErrNoStationNumber);
  stations.back().reset();  // a number comes free
  EXPECT_EQ(extra.open(base()), 0);
}

TEST_F(StationsTest, ReadOnlyStationTakesNoNumberAndNeverRefreshes) {
  Station a;
  // Without a coordination file a reader cannot join.
  ASSERT_EQ(CreateIndexedFile(base(), kRecLen, TestKeys()), 0);
  IndexedFile* reader = nullptr;
  EXPECT_EQ(OpenIndexedFile(base(), true, true, reader), kErrCoordinationFile);
  ASSERT_EQ(a.open(base()), 0);
  ASSERT_EQ(a.add(1, "ONE"), 0);

  ASSERT_EQ(OpenIndexedFile(base(), true, true, reader), 0);
  EXPECT_EQ(StationNumberOf(reader), 0);
  ASSERT_EQ(LockFile(a.file()), 0);  // a writer holds every slot
  std::int32_t rec = 0;
  EXPECT_EQ(FindKey(reader, 2, IdKey(1), rec), 0) << "a reader takes no slot lock";
  ASSERT_EQ(UnlockFile(a.file()), 0);
  std::int32_t n = 0;
  unsigned char buf[kRecLen] = {};
  EXPECT_EQ(AddRecord(reader, buf, n), kErrNetIO);
  EXPECT_EQ(LockFile(reader), 0) << "no effect for a reader";
  EXPECT_EQ(CloseIndexedFile(reader), 0);
}

TEST_F(StationsTest, WriterExcludesReadersAndOtherWriters) {
  Station a, b;
  ASSERT_EQ(a.open(base()), 0);
  ASSERT_EQ(b.open(base()), 0);
  ASSERT_EQ(a.add(1, "ONE"), 0);
  ASSERT_EQ(LockFile(a.file()), 0);
  std::int32_t rec = 0;
  EXPECT_EQ(FindKey(b.file(), 2, IdKey(1), rec), kErrRefresh);
  EXPECT_EQ(LockFile(b.file()), kErrWriteLock);
  unsigned char buf[kRecLen] = {};
  std::int32_t n = 0;
  EXPECT_EQ(AddRecord(b.file(), buf, n), kErrNoWriteLock);
  ASSERT_EQ(UnlockFile(a.file()), 0);
  EXPECT_EQ(FindKey(b.file(), 2, IdKey(1), rec), 0);
}

TEST_F(StationsTest, ChangeBlockedPastTenTriesFailsAndLeavesTheFilesAlone) {
  Station a, b;
  ASSERT_EQ(a.open(base()), 0);
  ASSERT_EQ(b.open(base()), 0);
  ASSERT_EQ(a.add(1, "ONE"), 0);
  ASSERT_EQ(b.find(1), 0);
  const std::string dat = readFile(DataFilePath(base())), idx = readFile(IndexFilePath(base()));
  ASSERT_EQ(LockFile(a.file()), 0);

  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(b.add(2, "TWO"), kErrNoWriteLock);
  EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(9 * 250))
      << "nine waits of 250 ms between ten tries";
  EXPECT_EQ(readFile(DataFilePath(base())), dat);
  EXPECT_EQ(readFile(IndexFilePath(base())), idx);

  ASSERT_EQ(UnlockFile(a.file()), 0);
  EXPECT_EQ(b.contents(), (std::map<std::int32_t, std::string>{{1, "ONE"}}));
}

// While a change waits for another station's lock the hook runs (the window
// lets its events run there). What it does with the waiting table's buffer
// and key does not leak into the change.
TEST_F(StationsTest, WaitingChangeCallsTheHookAndGoesOnFromItsOwnRecord) {
  Station a, b;
  ASSERT_EQ(a.open(base()), 0);
  ASSERT_EQ(b.open(base()), 0);
  ASSERT_EQ(a.add(1, "ONE"), 0);
  ASSERT_EQ(LockFile(a.file()), 0);
  int calls = 0;
  bool inChange = true;
  SetLockWaitHook([&] {
    ++calls;
    inChange = inChange && b.table->InChange();
    FillRecord(b.buf, 99, "OTHER");  // as a read through the table would
    b.table->SelectKey(1);
    if (calls == 3) {
      ASSERT_EQ(UnlockFile(a.file()), 0);
    }
  });
  struct Unhook {
    ~Unhook() { SetLockWaitHook({}); }
  } unhook;
  b.table->SelectKey(2);
  EXPECT_EQ(b.add(2, "TWO"), 0);
  EXPECT_GE(calls, 3);
  EXPECT_TRUE(inChange);
  EXPECT_FALSE(b.table->InChange());
  EXPECT_EQ(b.table->CurrentKeyNumber(), 2);
  EXPECT_EQ(b.contents(), (std::map<std::int32_t, std::string>{{1, "ONE"}, {2, "TWO"}}));
  EXPECT_EQ(CheckKeyedFile(base()), "");
}

// A damaged coordination file is made anew; every station reads everything once.
TEST_F(StationsTest, DamagedCoordinationFileIsReinitialized) {
  const std::vector<std::string> damages = {std::string(1, '\0'), std::string(), std::string(29, 'x'),
                                            std::string(40, '\0')};
  for (const std::string& damage : damages) {
    SCOPED_TRACE(damage.size());
    Station a, b;
    ASSERT_EQ(a.open(base()), 0);
    ASSERT_EQ(b.open(base()), 0);
    ASSERT_EQ(a.add(static_cast<std::int32_t>(damage.size()) + 1, "X"), 0);
    ASSERT_EQ(b.contents().size(), 1u);
    const auto seenA = ForeignChanges(a.file()), seenB = ForeignChanges(b.file());
    writeFile(CoordinationFilePath(base()), damage);

    EXPECT_EQ(b.contents().size(), 1u) << "the next reading operation repairs it";
    const std::string dia = Dia(base());
    ASSERT_EQ(dia.size(), 29u);
    EXPECT_EQ(GetU16(reinterpret_cast<const unsigned char*>(dia.data()) + 1), 2000);
    EXPECT_EQ(SlotOf(base(), a.file()), 0xFF);
    EXPECT_EQ(a.contents().size(), 1u);
    EXPECT_EQ(ForeignChanges(a.file()), seenA + 1);
    EXPECT_EQ(ForeignChanges(b.file()), seenB + 1);
    a.table.reset();
    b.table.reset();

    // Damaged while nobody has the file open: the next opener makes it anew.
    writeFile(CoordinationFilePath(base()), damage);
    Station c;
    ASSERT_EQ(c.open(base()), 0);
    EXPECT_EQ(Dia(base()).size(), 29u);
    EXPECT_EQ(c.contents().size(), 1u);
    c.table.reset();
    ASSERT_EQ(CheckKeyedFile(base()), "");
    ASSERT_EQ(CreateIndexedFile(base(), kRecLen, TestKeys()), 0);
  }
}

TEST_F(StationsTest, LocalOpenerAndStationsExcludeEachOther) {
  Station a;
  ASSERT_EQ(a.open(base()), 0);
  {
    ScopedEnv off("KANDELO_NETWORK_MODE", "off");
    unsigned char buf[kRecLen] = {};
    IndexedTable local(base(), true, buf, false, TestKey, kRecLen);
    local.DefineKey(1, 30, true);
    local.DefineKey(2, 8, false);
    EXPECT_FALSE(local.NetworkMode());
    EXPECT_EQ(local.Open(), kErrAccessDenied);
    EXPECT_EQ(local.Rebuild(), kErrAccessDenied) << "a rebuild would pull the files away from the station";
  }
  EXPECT_EQ(CreateIndexedFile(base(), kRecLen, TestKeys()), kErrAccessDenied);
  EXPECT_EQ(a.contents().size(), 0u);
  a.table.reset();
  auto local = OpenTable(a.buf);  // local mode: the network option off
  Station b;
  EXPECT_EQ(b.open(base()), kErrAccessDenied);
}

}  // namespace
}  // namespace kandelo::test
