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

// The streaming writer: whichever step fails (opening, a write, a short
// write, closing), the target keeps its old content and no
// temporary file is left beside it.
TEST(FileIo, StreamedWriteLeavesTheOldFileAndNothingElseOnEveryFailure) {
  TempDir dir;
  const std::string path = dir.file("list.txt");
  ASSERT_TRUE(pf::writeFileAtomic(path, "old content"));
  struct Case {
    const char* what;
    int pf::FaultInjectingFileSystem::*fault;
    int at;
  } cases[] = {
      {"open", &pf::FaultInjectingFileSystem::failOpenAt, 1},
      {"first write", &pf::FaultInjectingFileSystem::failWriteAt, 1},
      {"third write", &pf::FaultInjectingFileSystem::failWriteAt, 3},
      {"short write", &pf::FaultInjectingFileSystem::shortWriteAt, 2},
      {"close", &pf::FaultInjectingFileSystem::failCloseAt, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    pf::FaultInjectingFileSystem faulty;
    faulty.*c.fault = c.at;
    {
      pf::ScopedFileSystem guard(faulty);
      pf::AtomicFileWriter out(path);
      bool ok = true;
      for (const char* part : {"new ", "content ", "in parts"}) ok = out.write(std::string(part)) && ok;
      EXPECT_FALSE(ok && out.commit());
      EXPECT_NE(out.error(), pf::WriteError::None);
    }
    EXPECT_EQ(pf::readWholeFile(path).value_or(""), "old content");
    auto entries = pf::fs().listDirectory(dir.path());
    ASSERT_TRUE(entries);
    EXPECT_EQ(entries->size(), 1u);
  }
  pf::AtomicFileWriter out(path);
  EXPECT_TRUE(out.write(std::string("new ")) && out.write(std::string("content")) && out.commit());
  EXPECT_EQ(pf::readWholeFile(path).value_or(""), "new content");
}

// The temporary file must not make the name too long: a target with the
// longest name allowed is written; a longer one fails with that reason.
TEST(FileIo, AtomicWriteTakesTheLongestNameAndNamesTheReasonOfAFailure) {
  TempDir dir;
  const std::string longest = dir.file(std::string(pf::kMaxFileNameBytes, 'n'));
  EXPECT_TRUE(pf::writeFileAtomic(longest, "x"));
  EXPECT_EQ(pf::readWholeFile(longest).value_or(""), "x");
  pf::WriteError why = pf::WriteError::None;
  EXPECT_FALSE(pf::writeFileAtomic(longest + "n", "x", &why));
  EXPECT_EQ(why, pf::WriteError::NameTooLong);
  EXPECT_FALSE(pf::writeFileAtomic(dir.file("missing/x"), "x", &why));
  EXPECT_EQ(why, pf::WriteError::NoFolder);
  EXPECT_EQ(pf::whyNotWritable(longest + "n"), pf::WriteError::NameTooLong);
  EXPECT_EQ(pf::whyNotWritable(dir.file("missing/x")), pf::WriteError::NoFolder);
  EXPECT_EQ(pf::whyNotWritable(dir.file("fine")), pf::WriteError::Unknown);
  EXPECT_EQ(pf::fs().listDirectory(dir.path())->size(), 1u);
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
