// Randomized add/delete/update against a std::multimap model, checking both
// walking directions and the on-disk invariants after every batch; and the
// same operations giving byte-identical files with 8 and with 64 buffers.

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

#include "isam_fixture.h"

namespace kandelo::test {
namespace {

using namespace isam;

// What the index must hold: key 1 (name, record) with duplicates, key 2 the id.
struct Model {
  std::map<std::int32_t, std::pair<std::int32_t, std::string>> byId;  // id -> (record, name)
  std::multimap<std::string, std::int32_t> byName;                    // name -> record

  std::vector<std::pair<std::string, std::int32_t>> Key1() const {
    std::vector<std::pair<std::string, std::int32_t>> v(byName.begin(), byName.end());
    std::sort(v.begin(), v.end());
    return v;
  }
  std::vector<std::pair<std::string, std::int32_t>> Key2() const {
    std::vector<std::pair<std::string, std::int32_t>> v;
    for (const auto& [id, rn] : byId) v.emplace_back(IdKey(id), rn.first);
    std::sort(v.begin(), v.end());
    return v;
  }
  void Erase(std::int32_t id) {
    auto it = byId.find(id);
    auto range = byName.equal_range(it->second.second);
    for (auto n = range.first; n != range.second; ++n)
      if (n->second == it->second.first) {
        byName.erase(n);
        break;
      }
    byId.erase(it);
  }
};

// Short names from a small alphabet give many duplicates and shared prefixes.
std::string RandomName(std::mt19937& rng) {
  std::uniform_int_distribution<int> len(0, 6), ch(0, 3);
  std::string s(static_cast<std::size_t>(len(rng)), 'A');
  for (char& c : s) c = static_cast<char>("AB\xE4z"[ch(rng)]);
  return s;
}

// Runs `ops` random operations; the model follows every successful one.
void RunOps(IndexedTable& t, unsigned char* buf, std::mt19937& rng, int ops, Model& m, std::int32_t& nextId) {
  std::uniform_int_distribution<int> kind(0, 9);
  for (int i = 0; i < ops; ++i) {
    const int k = m.byId.empty() ? 0 : kind(rng);
    if (k <= 4) {  // add
      const std::int32_t id = nextId++;
      const std::string name = RandomName(rng);
      FillRecord(buf, id, name);
      ASSERT_EQ(t.Add(), 0);
      m.byId[id] = {t.CurrentRecordNumber(), name};
      m.byName.emplace(name, t.CurrentRecordNumber());
      continue;
    }
    auto it = m.byId.begin();
    std::advance(it, std::uniform_int_distribution<std::size_t>(0, m.byId.size() - 1)(rng));
    const std::int32_t id = it->first, rec = it->second.first;
    ASSERT_EQ(t.SelectKey(2), 0);
    std::string key = IdKey(id);
    ASSERT_EQ(t.FindKey(key), 0);
    ASSERT_EQ(t.CurrentRecordNumber(), rec);
    ASSERT_EQ(t.ReadRecord(rec), 0);
    ASSERT_EQ(RecordName(buf), it->second.second);
    if (k <= 7) {  // delete
      ASSERT_EQ(t.Delete(), 0);
      m.Erase(id);
    } else {  // update: a new name, sometimes a new id
      const std::string name = RandomName(rng);
      const std::int32_t newId = k == 9 ? nextId++ : id;
      FillRecord(buf, newId, name);
      ASSERT_EQ(t.Update(), 0);
      m.Erase(id);
      m.byId[newId] = {rec, name};
      m.byName.emplace(name, rec);
    }
  }
}

void ExpectWalks(IndexedTable& t, int key, const std::vector<std::pair<std::string, std::int32_t>>& expected) {
  ASSERT_EQ(t.SelectKey(key), 0);
  std::vector<std::pair<std::string, std::int32_t>> fwd, back;
  std::string s;
  ASSERT_EQ(t.ResetKey(), 0);
  while (t.NextKey(s) == 0) fwd.emplace_back(s, t.CurrentRecordNumber());
  EXPECT_EQ(t.LastError(), kErrEndOfIndex);
  ASSERT_EQ(t.ResetKey(), 0);
  while (t.PrevKey(s) == 0) back.emplace_back(s, t.CurrentRecordNumber());
  EXPECT_EQ(t.LastError(), kErrBeginOfIndex);
  std::reverse(back.begin(), back.end());
  EXPECT_EQ(fwd, expected) << "key " << key << " forward";
  EXPECT_EQ(back, expected) << "key " << key << " backward";
}

class ModelTest : public EngineTest {};

TEST_F(ModelTest, RandomOperationsKeepBothKeysInStepWithTheModel) {
  unsigned char buf[kRecLen];
  auto t = OpenTable(buf);
  std::mt19937 rng(12345);
  Model m;
  std::int32_t nextId = 1;
  for (int batch = 0; batch < 12; ++batch) {
    RunOps(*t, buf, rng, batch < 8 ? 700 : 400, m, nextId);  // grows, then mostly churns
    if (HasFatalFailure()) return;
    ExpectWalks(*t, 1, m.Key1());
    ExpectWalks(*t, 2, m.Key2());
    EXPECT_EQ(t->RecordCount(), static_cast<std::int32_t>(m.byId.size()));
    ASSERT_EQ(t->Flush(), 0);
    CheckedFile c = CheckIndexedFile(base());
    ASSERT_EQ(c.error, "") << "batch " << batch;
    EXPECT_EQ(c.keys[0].entries, m.Key1());
    EXPECT_EQ(c.usedRecords.size(), m.byId.size());
  }
  // Shrink to nothing: every page goes back to the free chain.
  while (!m.byId.empty()) {
    const std::int32_t id = m.byId.begin()->first;
    ASSERT_EQ(t->ReadRecord(m.byId.begin()->second.first), 0);
    ASSERT_EQ(t->Delete(), 0);
    m.Erase(id);
  }
  ASSERT_EQ(t->Close(), 0);
  CheckedFile c = CheckIndexedFile(base());
  ASSERT_EQ(c.error, "");
  for (const CheckedKey& k : c.keys) {
    EXPECT_EQ(k.root, 0);
    EXPECT_EQ(k.freePages, k.highest);
  }
}

TEST(PageCacheTest, FilesAreByteIdenticalWhateverTheBufferCount) {
  TempDir dir;
  auto run = [&](int buffers, const std::string& name) {
    StorageEngine engine;
    ASSERT_TRUE(engine.Create(buffers));
    unsigned char buf[kRecLen];
    IndexedTable t(dir.file(name), false, buf, true, TestKey, kRecLen);
    t.DefineKey(1, 30, true);
    t.DefineKey(2, 8, false);
    ASSERT_EQ(t.Open(), 0);
    std::mt19937 rng(777);
    Model m;
    std::int32_t nextId = 1;
    for (int batch = 0; batch < 6; ++batch) {
      RunOps(t, buf, rng, 1000, m, nextId);
      ASSERT_EQ(t.Flush(), 0);  // flushes at the same points in both runs
    }
    RunOps(t, buf, rng, 500, m, nextId);
    ASSERT_EQ(t.Close(), 0);
  };
  run(8, "EIGHT");
  run(64, "SIXTYFOUR");
  const std::string idx8 = readFile(dir.file("EIGHT.IDX")), idx64 = readFile(dir.file("SIXTYFOUR.IDX"));
  ASSERT_GT(idx8.size(), 16u * (PageSizeForKeyLength(30) + PageSizeForKeyLength(8))) << "many more pages than 8 buffers";
  EXPECT_TRUE(idx8 == idx64);
  EXPECT_TRUE(readFile(dir.file("EIGHT.DAT")) == readFile(dir.file("SIXTYFOUR.DAT")));
  EXPECT_EQ(CheckIndexedFile(dir.file("EIGHT")).error, "");
}

}  // namespace
}  // namespace kandelo::test
