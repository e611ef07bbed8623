// A crash between any two writes: after reopening (10010) and rebuilding,
// every record whose Add had succeeded is there with its last successful
// contents, every successfully deleted one is gone, and the index is sound.
// Also: a failing N-th read or write gives an error number, never a crash.

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <set>

#include "isam_fixture.h"

namespace kandelo::test {
namespace {

using namespace isam;
namespace pf = kandelo::platform;

// What the caller was told: id -> name (nullopt: deleted). Ids whose last
// operation failed may end either way.
struct Journal {
  std::map<std::int32_t, std::optional<std::string>> told;
  std::set<std::int32_t> uncertain;
};

std::string NameFor(int i) { return std::string(1, static_cast<char>('A' + i % 5)) + std::to_string(i * 37 % 101); }

// Adds, deletes and updates, with a flush in the middle and a close at the end.
void Workload(IndexedTable& t, unsigned char* buf, Journal& j) {
  auto note = [&](std::int32_t id, int err, std::optional<std::string> v) {
    if (err == 0) {
      j.told[id] = std::move(v);
      j.uncertain.erase(id);
    } else {
      j.uncertain.insert(id);
    }
  };
  for (int i = 1; i <= 90; ++i) {
    FillRecord(buf, i, NameFor(i));
    note(i, t.Add(), NameFor(i));
    if (i % 5 == 0 || i % 7 == 0) {
      const std::int32_t victim = i - 3;
      if (!j.told.count(victim) || !j.told[victim] || j.uncertain.count(victim)) continue;
      t.SelectKey(2);
      std::string key = IdKey(victim);
      if (t.FindKey(key) != 0 || t.ReadRecord(t.CurrentRecordNumber()) != 0) {
        j.uncertain.insert(victim);
        continue;
      }
      if (i % 5 == 0) {
        note(victim, t.Delete(), std::nullopt);
      } else {
        FillRecord(buf, victim, "U" + NameFor(i));
        note(victim, t.Update(), "U" + NameFor(i));
      }
    }
    if (i == 60) t.Flush();
  }
  t.Close();
}

class CrashTest : public EngineTest {
 protected:
  std::unique_ptr<IndexedTable> Table(unsigned char* buf) {
    auto t = std::make_unique<IndexedTable>(base(), false, buf, true, TestKey, kRecLen);
    t->DefineKey(1, 30, true);
    t->DefineKey(2, 8, false);
    return t;
  }
  // A few records from before the crashing run.
  void Seed() {
    unsigned char buf[kRecLen];
    auto t = Table(buf);
    ASSERT_EQ(t->Open(), 0);
    for (int id = 1001; id <= 1010; ++id) {
      FillRecord(buf, id, "SEED");
      ASSERT_EQ(t->Add(), 0);
    }
    ASSERT_EQ(t->Close(), 0);
  }
};

TEST_F(CrashTest, EverySuccessfulChangeSurvivesACrashAfterAnyWrite) {
  int total = 0;
  {
    ASSERT_NO_FATAL_FAILURE(Seed());
    pf::FaultInjectingFileSystem counter;
    pf::ScopedFileSystem use(counter);
    unsigned char buf[kRecLen];
    Journal j;
    auto t = Table(buf);
    ASSERT_EQ(t->Open(), 0);
    Workload(*t, buf, j);
    total = counter.mutations;
    ASSERT_TRUE(j.uncertain.empty());
  }
  ASSERT_GT(total, 100);

  for (int n = 1; n <= total; ++n) {
    SCOPED_TRACE("crash after mutation " + std::to_string(n));
    for (const char* ext : {".DAT", ".IDX", ".SAV", ".MSG"}) pf::fs().removeFile(base() + ext);
    ASSERT_NO_FATAL_FAILURE(Seed());
    Journal j;
    for (int id = 1001; id <= 1010; ++id) j.told[id] = "SEED";
    {
      pf::FaultInjectingFileSystem faulty;
      faulty.crashAfterWrites = n;
      pf::ScopedFileSystem use(faulty);
      unsigned char buf[kRecLen];
      auto t = Table(buf);
      ASSERT_EQ(t->Open(), 0);
      Workload(*t, buf, j);
      ASSERT_EQ(faulty.crashed(), n < total);
    }
    unsigned char buf[kRecLen];
    auto t = Table(buf);
    int err = t->Open();
    if (err == kErrNotClosedProperly) {
      ASSERT_EQ(t->Rebuild(), 0);
      err = t->Open();
    }
    ASSERT_EQ(err, 0);
    ASSERT_EQ(t->SelectKey(2), 0);
    for (const auto& [id, name] : j.told) {
      if (j.uncertain.count(id)) continue;
      std::string key = IdKey(id);
      if (!name) {
        EXPECT_EQ(t->FindKey(key), kErrKeyNotFound) << "deleted id " << id;
        continue;
      }
      ASSERT_EQ(t->FindKey(key), 0) << "id " << id;
      ASSERT_EQ(t->ReadRecord(t->CurrentRecordNumber()), 0);
      EXPECT_EQ(RecordName(buf), *name) << "id " << id;
    }
    const std::int32_t records = t->RecordCount();
    EXPECT_EQ(t->EntryCount(), records);
    ASSERT_EQ(t->Close(), 0);
    CheckedFile c = CheckIndexedFile(base());
    ASSERT_EQ(c.error, "");
    EXPECT_EQ(static_cast<std::int32_t>(c.keys[0].entries.size()), records);
  }
}

TEST_F(CrashTest, FailingReadsAndWritesGiveErrorNumbers) {
  unsigned char buf[kRecLen];
  {
    auto t = OpenTable(buf);
    for (int id = 1; id <= 300; ++id) {
      FillRecord(buf, id, NameFor(id));
      ASSERT_EQ(t->Add(), 0);
    }
  }
  const std::string dat = readFile(DataFilePath(base())), idx = readFile(IndexFilePath(base()));
  for (int n = 1; n <= 60; ++n) {
    for (int mode = 0; mode < 3; ++mode) {
      writeFile(DataFilePath(base()), dat);
      writeFile(IndexFilePath(base()), idx);
      pf::FaultInjectingFileSystem faulty;
      (mode == 0 ? faulty.failReadAt : mode == 1 ? faulty.failWriteAt : faulty.shortWriteAt) = n;
      pf::ScopedFileSystem use(faulty);
      auto t = std::make_unique<IndexedTable>(base(), false, buf, false, TestKey, kRecLen);
      t->DefineKey(1, 30, true);
      t->DefineKey(2, 8, false);
      int errors = 0;
      if (t->Open() != 0) continue;
      std::string s;
      t->SelectKey(1);
      for (int i = 0; i < 40; ++i) errors += t->NextKey(s) != 0;
      for (int id = 301; id <= 340; ++id) {
        FillRecord(buf, id, NameFor(id));
        errors += t->Add() != 0;
      }
      s = "C";
      errors += t->SearchKey(s) != 0;
      errors += t->ReadRecord(t->CurrentRecordNumber()) != 0;
      errors += t->Close() != 0;
      const bool injected = (mode == 0 ? faulty.reads : faulty.writes) >= n;
      if (injected) {
        EXPECT_GT(errors, 0) << "mode " << mode << " at " << n;
      }
    }
  }
}

}  // namespace
}  // namespace kandelo::test
