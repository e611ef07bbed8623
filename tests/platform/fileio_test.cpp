#include <gtest/gtest.h>
#include <unistd.h>

#include <map>
#include <string>
#include <vector>


#include "platform/fileio.h"
#include "platform/locale_info.h"
#include "support/test_support.h"

namespace pf = kandelo::platform;
using kandelo::test::TempDir;

TEST(FileIo, AtomicWriteKeepsTheOldFileWhenTheWriteFails) {
  TempDir dir;
  const std::string path = dir.file("settings.ini");
  ASSERT_TRUE(pf::writeFileAtomic(path, "old content"));
  for (int n = 1; n <= 2; ++n) {
    pf::FaultInjectingFileSystem faulty;
    faulty.crashAfterWrites = n;  // die at the data write, or before the rename
    {
      pf::ScopedFileSystem guard(faulty);
      EXPECT_FALSE(pf::writeFileAtomic(path, "new content that never lands"));
    }
    EXPECT_EQ(pf::readWholeFile(path).value_or(""), "old content") << n;
  }
  pf::FaultInjectingFileSystem shortWrite;
  shortWrite.shortWriteAt = 1;
  {
    pf::ScopedFileSystem guard(shortWrite);
    EXPECT_FALSE(pf::writeFileAtomic(path, "0123456789"));
  }
  EXPECT_EQ(pf::readWholeFile(path).value_or(""), "old content");
}

TEST(FileIo, AttributesDatesAndListing) {
  TempDir dir;
  const std::string f = dir.file("A.LDT");
  kandelo::test::writeFile(f, "x");
  ASSERT_TRUE(pf::fs().makeDirectory(dir.file("sub")));
  auto list = pf::fs().listDirectory(dir.path());
  ASSERT_TRUE(list);
  ASSERT_EQ(list->size(), 2u);
  for (auto& e : *list) EXPECT_EQ((e.attributes & pf::faDirectory) != 0, e.name == "sub");

  EXPECT_TRUE(pf::fs().setModifiedTime(f, 1'000'000'000));
  EXPECT_EQ(pf::fs().modifiedTime(f).value_or(0), 1'000'000'000);
  ASSERT_TRUE(pf::fs().setAttributes(f, pf::faReadOnly));
  EXPECT_TRUE(*pf::fs().attributes(f) & pf::faReadOnly);
  EXPECT_FALSE(pf::fs().listDirectory(dir.file("missing")));
}

// The quick listing names the same entries with the same kinds, links taken
// as what they point to and dangling ones left out, like the full listing.
TEST(FileIo, NameListingAgreesWithTheFullListing) {
  TempDir dir;
  kandelo::test::writeFile(dir.file("A.LDT"), "x");
  kandelo::test::writeFile(dir.file(".hidden.ies"), "x");
  ASSERT_TRUE(pf::fs().makeDirectory(dir.file("sub")));
  ASSERT_EQ(::symlink(dir.file("sub").c_str(), dir.file("link-to-sub").c_str()), 0);
  ASSERT_EQ(::symlink(dir.file("A.LDT").c_str(), dir.file("link.ldt").c_str()), 0);
  ASSERT_EQ(::symlink(dir.file("gone").c_str(), dir.file("dangling.ldt").c_str()), 0);
  auto kinds = [](const std::vector<pf::DirEntry>& entries) {
    std::map<std::string, std::uint32_t> m;
    for (const auto& e : entries) m[e.name] = e.attributes & (pf::faDirectory | pf::faHidden);
    return m;
  };
  auto full = pf::fs().listDirectory(dir.path());
  auto names = pf::fs().listNames(dir.path());
  ASSERT_TRUE(full && names);
  EXPECT_EQ(kinds(*names), kinds(*full));
  EXPECT_EQ(kinds(*names), (std::map<std::string, std::uint32_t>{{".hidden.ies", pf::faHidden},
                                                                 {"A.LDT", 0},
                                                                 {"link-to-sub", pf::faDirectory},
                                                                 {"link.ldt", 0},
                                                                 {"sub", pf::faDirectory}}));
  EXPECT_FALSE(pf::fs().listNames(dir.file("missing")));
}

TEST(FileIo, ByteRangeLocksConflictBetweenOpenFiles) {
  TempDir dir;
  const std::string f = dir.file("LUMDB.DAT");
  kandelo::test::writeFile(f, std::string(100, '\0'));
  auto a = pf::fs().open(f, pf::OpenMode::ReadWrite);
  auto b = pf::fs().open(f, pf::OpenMode::ReadWrite);
  ASSERT_TRUE(a && b);
  EXPECT_EQ(a->lockRange(0, 10, true), pf::LockResult::Locked);
  EXPECT_EQ(b->lockRange(5, 10, true), pf::LockResult::Busy);
  EXPECT_EQ(b->lockRange(20, 10, true), pf::LockResult::Locked);
  // Testing sees the other open's lock and takes none itself.
  EXPECT_EQ(b->testRange(5, 10, false), pf::LockResult::Busy);
  EXPECT_EQ(a->testRange(20, 10, false), pf::LockResult::Busy);
  EXPECT_EQ(a->testRange(40, 10, true), pf::LockResult::Locked);
  EXPECT_EQ(b->lockRange(40, 10, true), pf::LockResult::Locked);
  EXPECT_TRUE(a->unlockRange(0, 10));
  EXPECT_EQ(b->lockRange(5, 10, true), pf::LockResult::Locked);
}

TEST(Locale, DateFormatting) {
  std::time_t t = 1700000000;  // 14/15 Nov 2023 depending on the zone
  std::string s = pf::formatDate("dd.MM.yyyy", t);
  EXPECT_EQ(s.size(), 10u);
  EXPECT_EQ(s.substr(2, 1), ".");
  EXPECT_EQ(s.substr(6), "2023");
  EXPECT_EQ(pf::formatDate("d.M.yy", t).substr(pf::formatDate("d.M.yy", t).size() - 2), "23");
}
