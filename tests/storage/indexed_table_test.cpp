// Object layer: IndexedTable record operations with their keys, positions,
// layout checks, rebuild, repair on opening; StorageEngine start and stop
// with their error numbers.

#include <gtest/gtest.h>

#include "storage/indexed_repair.h"
#include "isam_fixture.h"

namespace kandelo::test {
namespace {

using namespace isam;
namespace pf = kandelo::platform;

class IndexedTableTest : public EngineTest {
 protected:
  std::int32_t AddOne(IndexedTable& t, std::int32_t id, const std::string& name) {
    FillRecord(buf_, id, name);
    EXPECT_EQ(t.Add(), 0) << id;
    return t.CurrentRecordNumber();
  }
  std::vector<std::string> Walk(IndexedTable& t, int key) {
    std::vector<std::string> out;
    t.SelectKey(key);
    t.ResetKey();
    std::string s;
    while (t.NextKey(s) == 0) out.push_back(s);
    return out;
  }
  unsigned char buf_[kRecLen];
};

TEST_F(IndexedTableTest, AddUpdateDeleteKeepEveryKeyInStep) {
  auto t = OpenTable(buf_);
  AddOne(*t, 1, "BETA");
  const std::int32_t alpha = AddOne(*t, 2, "ALPHA");
  AddOne(*t, 3, "GAMMA");
  EXPECT_EQ(t->CurrentRecordNumber(), 3);
  EXPECT_EQ(t->CurrentKeyString(), "GAMMA") << "key 1 is current";
  EXPECT_EQ(Walk(*t, 1), (std::vector<std::string>{"ALPHA", "BETA", "GAMMA"}));

  // Update re-keys only what changed: a new name, the same id.
  ASSERT_EQ(t->ReadRecord(alpha), 0);
  FillRecord(buf_, 2, "OMEGA");
  ASSERT_EQ(t->Update(), 0);
  EXPECT_EQ(Walk(*t, 1), (std::vector<std::string>{"BETA", "GAMMA", "OMEGA"}));
  EXPECT_EQ(Walk(*t, 2), (std::vector<std::string>{IdKey(1), IdKey(2), IdKey(3)}));

  t->SelectKey(2);
  std::string key = IdKey(2);
  ASSERT_EQ(t->FindKey(key), 0);
  FillRecord(buf_, 9, "UNTOUCHED");
  const unsigned char* peeked = nullptr;
  ASSERT_EQ(t->PeekRecord(peeked), 0);
  EXPECT_EQ(RecordName(peeked), "OMEGA") << "the found record, read in place";
  EXPECT_EQ(RecordName(buf_), "UNTOUCHED") << "peeking leaves the record buffer alone";
  ASSERT_EQ(t->RereadRecord(), 0);
  EXPECT_EQ(RecordName(buf_), "OMEGA");
  ASSERT_EQ(t->Delete(), 0);
  EXPECT_EQ(Walk(*t, 1), (std::vector<std::string>{"BETA", "GAMMA"}));
  EXPECT_EQ(t->RecordCount(), 2);
  t->SelectKey(1);
  EXPECT_EQ(t->EntryCount(), 2);
  EXPECT_EQ(t->KeyCount(), 2);
  EXPECT_EQ(AddOne(*t, 4, "DELTA"), alpha) << "the deleted record number is used again";
}

TEST_F(IndexedTableTest, RefusedUniqueKeyChangesNothing) {
  auto t = OpenTable(buf_);
  AddOne(*t, 1, "ONE");
  const std::int32_t two = AddOne(*t, 2, "TWO");
  FillRecord(buf_, 1, "AGAIN");
  EXPECT_EQ(t->Add(), kErrDuplicateKey);
  EXPECT_EQ(t->RecordCount(), 2) << "no record left behind";
  EXPECT_EQ(Walk(*t, 1), (std::vector<std::string>{"ONE", "TWO"}));

  ASSERT_EQ(t->ReadRecord(two), 0);
  FillRecord(buf_, 1, "CHANGED");
  EXPECT_EQ(t->Update(), kErrDuplicateKey);
  ASSERT_EQ(t->ReadRecord(two), 0);
  EXPECT_EQ(RecordName(buf_), "TWO") << "the record was not written";
  EXPECT_EQ(Walk(*t, 1), (std::vector<std::string>{"ONE", "TWO"}));
  EXPECT_EQ(Walk(*t, 2), (std::vector<std::string>{IdKey(1), IdKey(2)}));
}

TEST_F(IndexedTableTest, SaveAndRestorePositionBringBackBuffersAndKey) {
  auto t = OpenTable(buf_);
  for (int i = 1; i <= 100; ++i) AddOne(*t, i, "N" + std::to_string(1000 + i));
  t->SelectKey(1);
  std::string s = "N1050";
  ASSERT_EQ(t->FindKey(s), 0);
  ASSERT_EQ(t->RereadRecord(), 0);
  ASSERT_EQ(t->SavePosition(), 0);
  const std::int32_t saved = t->CurrentRecordNumber();

  t->SelectKey(2);
  s = IdKey(7);
  ASSERT_EQ(t->FindKey(s), 0);
  ASSERT_EQ(t->RereadRecord(), 0);
  FillRecord(buf_, 7, "N0000");
  ASSERT_EQ(t->Update(), 0);  // moves other entries around in key 1

  ASSERT_EQ(t->RestorePosition(), 0);
  EXPECT_EQ(t->CurrentKeyNumber(), 1);
  EXPECT_EQ(t->CurrentRecordNumber(), saved);
  EXPECT_EQ(RecordName(buf_), "N1050");
  ASSERT_EQ(t->NextKey(s), 0);
  EXPECT_EQ(s, "N1051");
  ASSERT_EQ(t->PrevKey(s), 0);
  ASSERT_EQ(t->PrevKey(s), 0);
  EXPECT_EQ(s, "N1049");
}

TEST_F(IndexedTableTest, ObjectStateErrors) {
  IndexedTable broken(base(), false, nullptr, true, TestKey, kRecLen);
  EXPECT_FALSE(broken.IsReady());
  EXPECT_EQ(broken.Open(), kErrNotReady);
  EXPECT_EQ(broken.Add(), kErrNotReady);

  IndexedTable t(base(), false, buf_, false, TestKey, kRecLen);
  ASSERT_TRUE(t.IsReady());
  t.DefineKey(1, 30, true);
  t.DefineKey(2, 8, false);
  std::string s;
  EXPECT_EQ(t.NextKey(s), kErrNotReady);
  EXPECT_EQ(t.Close(), kErrNotReady);
  EXPECT_EQ(t.Open(), kErrFileNotFound) << "no auto-create";
  EXPECT_EQ(t.LastError(), kErrFileNotFound);
  ASSERT_EQ(t.CreateFiles(), 0);
  EXPECT_TRUE(t.IsOpen());
  EXPECT_EQ(t.DefineKey(3, 5, true), kErrKeyDefinedWhileOpen);
  EXPECT_EQ(t.SelectKey(3), kErrSelectKey);
  ASSERT_EQ(t.Close(), 0);

  struct Layout { int r; KeyTable keys; };
  const Layout others[] = {
      {kRecLen, {{30, true}}},
      {kRecLen, {{30, true}, {8, false}, {4, true}}},
      {kRecLen, {{30, true}, {9, false}}},
      {kRecLen, {{30, false}, {8, false}}},
      {kRecLen + 1, {{30, true}, {8, false}}},
  };
  for (const Layout& l : others) {
    std::vector<unsigned char> b(static_cast<std::size_t>(l.r));
    IndexedTable o(base(), false, b.data(), false, TestKey, l.r);
    for (std::size_t k = 0; k < l.keys.size(); ++k) o.DefineKey(static_cast<int>(k) + 1, l.keys[k].length, l.keys[k].duplicates);
    EXPECT_EQ(o.Open(), kErrKeyLayout);
    EXPECT_FALSE(o.IsOpen());
  }
}

TEST_F(IndexedTableTest, DataFileWithoutIndexIsRebuiltNotRecreated) {
  {
    auto t = OpenTable(buf_);
    AddOne(*t, 1, "KEEP");
  }
  pf::fs().removeFile(IndexFilePath(base()));
  auto t = std::make_unique<IndexedTable>(base(), false, buf_, true, TestKey, kRecLen);
  t->DefineKey(1, 30, true);
  t->DefineKey(2, 8, false);
  EXPECT_EQ(t->Open(), kErrBadPageSize);
  ASSERT_EQ(t->Rebuild(), 0);
  ASSERT_EQ(t->Open(), 0);
  EXPECT_EQ(Walk(*t, 1), std::vector<std::string>{"KEEP"});
}

TEST_F(IndexedTableTest, RebuildAfterImproperCloseRenumbersAndReportsDuplicates) {
  {
    auto t = OpenTable(buf_);
    for (int i = 1; i <= 6; ++i) AddOne(*t, i, "R" + std::to_string(i));
    t->SelectKey(2);
    std::string s = IdKey(2);
    ASSERT_EQ(t->FindKey(s), 0);
    ASSERT_EQ(t->RereadRecord(), 0);
    ASSERT_EQ(t->Delete(), 0);
  }
  // Record 5 takes the id of record 4 behind the engine's back, and the file
  // is left "open for writing".
  std::string dat = readFile(DataFilePath(base()));
  PutI32(reinterpret_cast<unsigned char*>(dat.data()) + 5 * kRecLen + 4, 4);
  dat[20] = 1;
  writeFile(DataFilePath(base()), dat);

  auto t = std::make_unique<IndexedTable>(base(), false, buf_, true, TestKey, kRecLen);
  t->DefineKey(1, 30, true);
  t->DefineKey(2, 8, false);
  ASSERT_EQ(t->Open(), kErrNotClosedProperly);
  ASSERT_EQ(t->Rebuild(), 0);
  EXPECT_FALSE(pf::fs().exists(SaveFilePath(base())));
  ASSERT_EQ(t->Open(), 0);
  EXPECT_EQ(Walk(*t, 1), (std::vector<std::string>{"R1", "R3", "R4", "R6"}));
  EXPECT_EQ(t->RecordCount(), 4);
  ASSERT_EQ(t->ReadRecord(1), 0);
  EXPECT_EQ(RecordName(buf_), "R1");
  ASSERT_EQ(t->ReadRecord(2), 0);
  EXPECT_EQ(RecordName(buf_), "R3") << "renumbered from 1 without the free record";

  std::vector<unsigned char> dropped(kRecLen);
  FillRecord(dropped.data(), 4, "R5");
  const std::string expected = "Key " + IdKey(4) + "\r\nwith Number 2 duplicate!\r\nDump follows\r\n" +
                               std::string(dropped.begin(), dropped.end()) + "\r\n\r\n";
  EXPECT_EQ(readFile(MessageFilePath(base())), expected);
  ASSERT_EQ(t->Close(), 0);
  CheckedFile c = CheckIndexedFile(base());
  ASSERT_EQ(c.error, "");
  EXPECT_EQ(c.freeRecords, 1) << "the dropped duplicate is a free record of the new file";
}

TEST_F(IndexedTableTest, InterruptedRebuildLeavesTheOldDataAndIsNotRepeatedOverIt) {
  {
    auto t = OpenTable(buf_);
    for (int i = 1; i <= 200; ++i) AddOne(*t, i, "X");
  }
  const std::string old = readFile(DataFilePath(base()));
  auto t = std::make_unique<IndexedTable>(base(), false, buf_, true, TestKey, kRecLen);
  t->DefineKey(1, 30, true);
  t->DefineKey(2, 8, false);
  EXPECT_EQ(t->Rebuild([](int phase, int, std::int32_t done, std::int32_t) { return phase == 1 && done < 100; }),
            kErrRebuildStopped);
  EXPECT_EQ(readFile(SaveFilePath(base())), old);
  EXPECT_FALSE(pf::fs().exists(IndexFilePath(base())));
  EXPECT_EQ(t->Rebuild(), kErrRebuildInterrupted);
  EXPECT_EQ(readFile(SaveFilePath(base())), old);

  EXPECT_EQ(RebuildIndexedFile(base(), 70000, TestKeys(), TestKey), kErrRebuildSize);
}

TEST_F(IndexedTableTest, StaleSaveFileNeverReplacesANewerWholeDataFile) {
  {
    auto t = OpenTable(buf_);
    for (int i = 1; i <= 3; ++i) AddOne(*t, i, "OLD" + std::to_string(i));
  }
  const std::string stale = readFile(DataFilePath(base()));
  // A rebuild that finished but could not delete its "SAV" file; records are
  // added afterwards, then the file is rebuilt again.
  {
    auto t = OpenTable(buf_);
    AddOne(*t, 4, "NEW4");
  }
  writeFile(SaveFilePath(base()), stale);
  auto t = std::make_unique<IndexedTable>(base(), false, buf_, true, TestKey, kRecLen);
  t->DefineKey(1, 30, true);
  t->DefineKey(2, 8, false);
  ASSERT_EQ(RebuildRecovering(*t), 0);
  EXPECT_FALSE(pf::fs().exists(SaveFilePath(base())));
  EXPECT_EQ(readFile(SaveFilePath(base()) + ".OLD"), stale);
  ASSERT_EQ(t->Open(), 0);
  EXPECT_EQ(Walk(*t, 1), (std::vector<std::string>{"NEW4", "OLD1", "OLD2", "OLD3"}));
}

// Whether "SAV" or "DAT" holds the records after an interrupted rebuild: a
// newer data file keeps its records also when it was not closed properly
// since; a copy that stopped before its first record (it opens cleanly) gives
// way to "SAV".
TEST_F(IndexedTableTest, InterruptedRebuildKeepsWhicheverFileHoldsEveryRecord) {
  auto fresh = [&] {
    auto t = std::make_unique<IndexedTable>(base(), false, buf_, true, TestKey, kRecLen);
    t->DefineKey(1, 30, true);
    t->DefineKey(2, 8, false);
    return t;
  };
  {
    auto t = OpenTable(buf_);
    for (int i = 1; i <= 3; ++i) AddOne(*t, i, "OLD" + std::to_string(i));
  }
  const std::string stale = readFile(DataFilePath(base()));
  {
    auto t = OpenTable(buf_);
    AddOne(*t, 4, "NEW4");
  }
  std::string notClosed = readFile(DataFilePath(base()));
  notClosed[20] = 1;  // open for writing when the program ended
  writeFile(DataFilePath(base()), notClosed);
  writeFile(SaveFilePath(base()), stale);
  auto t = fresh();
  EXPECT_EQ(t->Open(), kErrNotClosedProperly);
  ASSERT_EQ(RebuildRecovering(*t), 0);
  ASSERT_EQ(t->Open(), 0);
  EXPECT_EQ(Walk(*t, 1), (std::vector<std::string>{"NEW4", "OLD1", "OLD2", "OLD3"}));
  ASSERT_EQ(t->Close(), 0);

  // The new files made, nothing copied yet.
  for (const char* ext : {".DAT", ".IDX"}) pf::fs().removeFile(base() + ext);
  ASSERT_EQ(CreateIndexedFile(base(), kRecLen, TestKeys()), 0);
  writeFile(SaveFilePath(base()), stale);
  t = fresh();
  ASSERT_EQ(t->Open(), 0) << "an empty new data file opens cleanly";
  ASSERT_EQ(t->Close(), 0);
  ASSERT_EQ(RebuildRecovering(*t), 0);
  EXPECT_FALSE(pf::fs().exists(SaveFilePath(base())));
  ASSERT_EQ(t->Open(), 0);
  EXPECT_EQ(Walk(*t, 1), (std::vector<std::string>{"OLD1", "OLD2", "OLD3"}));
}

TEST_F(IndexedTableTest, EngineRefusesReentryFromAKeyCallback) {
  {
    auto t = OpenTable(buf_);
    AddOne(*t, 1, "A");
  }
  int inner = -1;
  auto nosy = [&](const unsigned char* rec, int key) {
    IndexedFile* f = nullptr;
    inner = OpenIndexedFile(base(), false, false, f);
    return TestKey(rec, key);
  };
  ASSERT_EQ(RebuildIndexedFile(base(), kRecLen, TestKeys(), nosy), 0);
  EXPECT_EQ(inner, kErrReentered);
}

TEST(StorageEngineTest, StartAndStopReturnTheirErrorsAndShowNothing) {
  RecordingUi ui;
  ScopedUiServices guard(ui);
  TempDir dir;
  {
    StorageEngine a;
    ASSERT_TRUE(a.Create(8));
    StorageEngine b;
    EXPECT_FALSE(b.Create());
    EXPECT_EQ(b.TakeError(), kErrAlreadyStarted);
    EXPECT_EQ(b.TakeError(), 0);
    EXPECT_EQ(InitDatabaseEngine(), kErrAlreadyStarted);
    EXPECT_EQ(EngineStartErrorText(kErrAlreadyStarted), "Database initialization error : 10450");
  }
  EXPECT_FALSE(EngineStarted());
  EXPECT_EQ(InitDatabaseEngine(7), kErrTooFewBuffers);
  ASSERT_EQ(InitDatabaseEngine(), 0);
  EXPECT_NE(DatabaseEngine(), nullptr);
  EXPECT_EQ(ReleaseDatabaseEngine(), 0);
  EXPECT_FALSE(EngineStarted());
  EXPECT_EQ(DatabaseEngine(), nullptr);

  // A file whose last flush fails when the engine stops: the error comes back
  // from Stop and from ReleaseDatabaseEngine, and the engine is stopped.
  pf::FaultInjectingFileSystem faulty;
  pf::ScopedFileSystem use(faulty);
  for (const bool global : {false, true}) {
    StorageEngine local;
    if (global)
      ASSERT_EQ(InitDatabaseEngine(), 0);
    else
      ASSERT_TRUE(local.Create());
    const std::string base = dir.file(global ? "G" : "L");
    ASSERT_EQ(CreateIndexedFile(base, 32, {{4, false}}), 0);
    IndexedFile* f = nullptr;
    ASSERT_EQ(OpenIndexedFile(base, false, false, f), 0);
    ASSERT_EQ(AddKey(f, 1, 1, "A"), 0);
    faulty.failWriteAt = faulty.writes + 1;
    EXPECT_EQ(global ? ReleaseDatabaseEngine() : local.Stop(), kErrShortWrite) << global;
    EXPECT_FALSE(EngineStarted());
    EXPECT_EQ(local.Stop(), 0) << "a second stop has nothing to do";
  }
  EXPECT_EQ(EngineStopErrorText(kErrShortWrite), "Data Base Error  10075");
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(IndexedTableTest, OpeningFailureNoRepairAppliesToComesBackAsText) {
  RecordingUi ui;
  ScopedUiServices guard(ui);
  auto open = [&](const std::string& base, bool autoCreate) {
    IndexedTable t(base, false, buf_, autoCreate, TestKey, kRecLen);
    t.DefineKey(1, 30, true);
    t.DefineKey(2, 8, false);
    return OpenWithRepair(t, {});
  };
  // A directory that is not there: nothing to repair.
  const RepairResult missing = open(dir_.file("NONE") + "/TEST", true);
  EXPECT_EQ(missing.error, kErrPathNotFound);
  EXPECT_EQ(missing.failure, "DB creation error : 9900");
  const RepairResult notCreated = open(base(), false);
  EXPECT_EQ(notCreated.error, kErrFileNotFound);
  EXPECT_EQ(notCreated.failure, "DB creation error : 9903");
  // A sound file opens without a text.
  const RepairResult sound = open(base(), true);
  EXPECT_EQ(sound.error, kOk);
  EXPECT_TRUE(sound.failure.empty());
  EXPECT_TRUE(ui.shown.empty()) << "the caller shows the text";
}

}  // namespace
}  // namespace kandelo::test
