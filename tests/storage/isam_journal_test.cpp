// The redo journal of network mode: a change's writes are held back and read
// back as written (also past the file's end and across holes), reach the
// file exactly at the commit, and a journal is written again after a crash
// only when it is whole and its change was being written.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "storage/isam.h"
#include "storage/isam_journal.h"
#include "platform/fileio.h"
#include "support/test_support.h"

namespace kandelo::test {
namespace {

namespace pf = kandelo::platform;
using isam::detail::Journal;
using isam::detail::JournaledHandle;

std::vector<unsigned char> Contents(const std::string& path) {
  auto h = pf::fs().open(path, pf::OpenMode::Read);
  std::vector<unsigned char> all(h ? static_cast<std::size_t>(std::max<std::int64_t>(h->size(), 0)) : 0);
  if (h && !all.empty()) {
    EXPECT_EQ(h->readAt(0, all.data(), all.size()), static_cast<long long>(all.size()));
  }
  return all;
}

void WriteFile(const std::string& path, const std::vector<unsigned char>& bytes) {
  auto h = pf::fs().open(path, pf::OpenMode::Create);
  ASSERT_TRUE(h && h->writeAt(0, bytes.data(), bytes.size()) && h->close());
}

std::vector<unsigned char> Pattern(std::size_t n, unsigned seed) {
  std::vector<unsigned char> v(n);
  for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<unsigned char>(i * 7 + seed);
  return v;
}

TEST(HeldBackChange, ReadsSeeItAndTheCommitWritesExactlyIt) {
  TempDir dir;
  const std::string base = dir.file("J"), dat = isam::DataFilePath(base);
  std::vector<unsigned char> model = Pattern(3000, 1);
  WriteFile(dat, model);
  auto journal = std::make_shared<Journal>(pf::fs().open(isam::JournalFilePath(base), pf::OpenMode::OpenOrCreate));
  auto dia = pf::fs().open(isam::CoordinationFilePath(base), pf::OpenMode::OpenOrCreate);
  ASSERT_TRUE(dia);
  JournaledHandle h(pf::fs().open(dat, pf::OpenMode::ReadWrite), journal, 0);
  const std::vector<unsigned char> before = model;

  journal->begin();
  std::mt19937 rng(7);
  std::vector<unsigned char> got(700);
  for (int i = 0; i < 400; ++i) {
    // Overlapping, adjoining and far-apart writes, some past the end with a hole before them.
    const std::int64_t at = rng() % 6000;
    const std::size_t n = 1 + rng() % 400;
    const std::vector<unsigned char> bytes = Pattern(n, static_cast<unsigned>(i));
    ASSERT_TRUE(h.writeAt(at, bytes.data(), n));
    if (model.size() < static_cast<std::size_t>(at) + n) model.resize(static_cast<std::size_t>(at) + n, 0);
    std::copy(bytes.begin(), bytes.end(), model.begin() + at);

    const std::int64_t from = rng() % 6500;
    const std::size_t want = 1 + rng() % 600;
    const long long expect = std::clamp<long long>(static_cast<long long>(model.size()) - from, 0, want);
    ASSERT_EQ(h.readAt(from, got.data(), want), expect) << "read " << i;
    ASSERT_TRUE(std::equal(got.begin(), got.begin() + expect, model.begin() + from)) << "read " << i;
    ASSERT_EQ(h.size(), static_cast<std::int64_t>(model.size()));
  }
  EXPECT_EQ(Contents(dat), before) << "nothing reaches the file before the commit";

  EXPECT_EQ(journal->commit(*dia), Journal::Commit::Done);
  EXPECT_EQ(Contents(dat), model);
  EXPECT_EQ(Contents(isam::CoordinationFilePath(base)).at(0), 1) << "the journal stands for the change";
  EXPECT_FALSE(journal->active());
}

TEST(JournalRecovery, WritesAgainOnlyAWholeJournalOfAChangeBeingWritten) {
  struct Case {
    const char* what;
    bool cut;      // the journal lost its last byte
    bool finished; // the coordination file says no change is being written
    bool applied;
  };
  for (const Case c : {Case{"whole", false, false, true}, Case{"torn", true, false, false},
                       Case{"of a finished change", false, true, false}}) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const std::string base = dir.file("J"), dat = isam::DataFilePath(base), idx = isam::IndexFilePath(base);
    const std::vector<unsigned char> datBefore = Pattern(2000, 3), idxBefore = Pattern(9000, 5);
    WriteFile(dat, datBefore);
    WriteFile(idx, idxBefore);
    auto journal = std::make_shared<Journal>(pf::fs().open(isam::JournalFilePath(base), pf::OpenMode::OpenOrCreate));
    auto dia = pf::fs().open(isam::CoordinationFilePath(base), pf::OpenMode::OpenOrCreate);
    ASSERT_TRUE(dia);
    std::vector<unsigned char> datAfter = datBefore, idxAfter = idxBefore;
    {
      JournaledHandle d(pf::fs().open(dat, pf::OpenMode::ReadWrite), journal, 0);
      JournaledHandle i(pf::fs().open(idx, pf::OpenMode::ReadWrite), journal, 1);
      journal->begin();
      const std::vector<unsigned char> rec = Pattern(512, 9), page = Pattern(1500, 11);
      ASSERT_TRUE(d.writeAt(2000, rec.data(), rec.size()) && i.writeAt(4000, page.data(), page.size()) &&
                  i.writeAt(26, page.data(), 26));
      datAfter.insert(datAfter.end(), rec.begin(), rec.end());
      std::copy(page.begin(), page.end(), idxAfter.begin() + 4000);
      std::copy(page.begin(), page.begin() + 26, idxAfter.begin() + 26);
    }
    // Without its files the commit stops after the journal, like a station killed there.
    ASSERT_EQ(journal->commit(*dia), Journal::Commit::Unfinished);
    ASSERT_EQ(Contents(dat), datBefore);
    if (c.cut) {
      auto j = pf::fs().open(isam::JournalFilePath(base), pf::OpenMode::ReadWrite);
      ASSERT_TRUE(j && j->truncate(j->size() - 1));
    }
    if (c.finished) {
      const unsigned char done[3] = {0, 0xD0, 0x07};  // 2000: initialized
      ASSERT_TRUE(dia->writeAt(0, done, 3));
    }
    ASSERT_EQ(isam::RecoverJournal(base), 0);
    EXPECT_EQ(Contents(dat), c.applied ? datAfter : datBefore);
    EXPECT_EQ(Contents(idx), c.applied ? idxAfter : idxBefore);
    EXPECT_TRUE(Contents(isam::JournalFilePath(base)).empty()) << "used up either way";
  }
}

}  // namespace
}  // namespace kandelo::test
