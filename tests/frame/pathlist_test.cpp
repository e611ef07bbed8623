#include "frame/pathlist.h"

#include <gtest/gtest.h>
#include "platform/fileio.h"
#include "support/test_support.h"

namespace kandelo {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

TEST(PathList, LinesAreIndexesWhateverTheLineEnds) {
  TempDir dir;
  // A blank line still takes its number, so the lines after it keep theirs.
  writeFile(dir.file("LUMPATHS.DAT"), "/lum/\r\n\r\n/data\n/x/y/\r");
  TPathList list(dir.file("LUMPATHS.DAT"));
  ASSERT_EQ(list.Count(), 4);
  EXPECT_EQ(list.IndexOfPath("/data"), 2);
  EXPECT_EQ(list.IndexOfPath("  /data/ "), 2);
  EXPECT_EQ(list.IndexOfPath("/x/y"), 3);
  EXPECT_EQ(list.GetPath(0), "/lum/");
  EXPECT_EQ(list.GetPath(4), "");
  EXPECT_EQ(list.GetPath(-1), "");
  // Directory names keep their case on Linux: another case is another directory.
  EXPECT_EQ(list.IndexOfPath("/DATA"), -1);
}

TEST(PathList, AddPathAppendsOnceAndSaveWritesCrLf) {
  TempDir dir;
  const std::string file = dir.file("LUMPATHS.DAT");
  {
    TPathList list(file);
    EXPECT_EQ(list.AddPath("/lum"), 0);
    EXPECT_EQ(list.AddPath("/data/"), 1);
    EXPECT_EQ(list.AddPath("/lum/"), 0);
    EXPECT_FALSE(test::readFile(file).size());  // nothing written before a save
    EXPECT_TRUE(list.SavePathList());
  }
  EXPECT_EQ(readFile(file), "/lum/\r\n/data/\r\n");
  {
    TPathList list(file);
    EXPECT_EQ(list.AddPath("/data"), 1);
  }  // the destructor rewrites an existing file: unchanged content
  EXPECT_EQ(readFile(file), "/lum/\r\n/data/\r\n");
}

// Two copies of one list, as two stations hold them: each merges its new
// lines into what the file holds now, so neither line is lost or numbered
// twice, and a copy that added nothing never writes its stale lines back.
TEST(PathList, CopiesMergeTheirLinesAndAnUnchangedCopyWritesNothing) {
  TempDir dir;
  const std::string file = dir.file("LUMPATHS.DAT");
  writeFile(file, "/lum/\r\n");
  {
    TPathList a(file), b(file), idle(file);
    EXPECT_EQ(a.StorePath("/a"), 1);
    EXPECT_EQ(b.AddPath("/b"), 1);  // in memory only: the number may change
    EXPECT_TRUE(b.SavePathList());
    EXPECT_EQ(b.IndexOfPath("/b"), 2);
    EXPECT_EQ(b.IndexOfPath("/a"), 1);
    EXPECT_EQ(b.StorePath("/a/"), 1);  // found in the file, not added again
    EXPECT_EQ(a.GetPath(2), "/b/");     // a line added since is read anew
    EXPECT_EQ(idle.Count(), 1);
  }  // the idle copy knows one line and writes nothing
  EXPECT_EQ(readFile(file), "/lum/\r\n/a/\r\n/b/\r\n");
}

TEST(PathList, RefusesWhatCannotBeStored) {
  TempDir dir;
  TPathList list(dir.file("LUMPATHS.DAT"));
  EXPECT_EQ(list.AddPath(""), -1);
  EXPECT_EQ(list.AddPath("   "), -1);
  EXPECT_EQ(list.AddPath("/" + std::string(254, 'a')), -1);  // 256 with the separator
  EXPECT_EQ(list.AddPath("/" + std::string(253, 'a')), 0);
  EXPECT_EQ(list.GetPath(0).size(), 255u);
}

// Reports one file as read-only whoever runs the test (root may write anything).
class ReadOnlyFile : public platform::FaultInjectingFileSystem {
 public:
  explicit ReadOnlyFile(std::string path) : path_(std::move(path)) {}
  std::optional<std::uint32_t> attributes(const std::string& p) override {
    auto a = FaultInjectingFileSystem::attributes(p);
    if (a && p == path_) *a |= platform::faReadOnly;
    return a;
  }

 private:
  std::string path_;
};

TEST(PathList, ReadOnlyFileIsNotWritten) {
  TempDir dir;
  const std::string file = dir.file("LUMPATHS.DAT");
  writeFile(file, "/lum/\r\n");
  ReadOnlyFile readOnly(file);
  platform::ScopedFileSystem guard(readOnly);
  {
    TPathList list(file);
    EXPECT_EQ(list.AddPath("/new"), 1);
    EXPECT_FALSE(list.SavePathList());
    EXPECT_EQ(list.IndexOfPath("/new/"), 1);  // the list in memory serves the run
  }
  EXPECT_EQ(readFile(file), "/lum/\r\n");
}

TEST(PathList, IsUnderRootNeedsTheRootAsLeadingPart) {
  struct Case {
    const char* root;
    const char* dir;
    bool under;
  } cases[] = {
      {"/lum", "/lum", true},          {"/lum/", "/lum/a/b", true}, {"/lum", "/lumx/a", false},
      {"/lum", "/backup/lum/a", false}, {"", "/lum", false},         {"/lum/a", "/lum", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsUnderRoot(c.root, c.dir), c.under) << c.root << " " << c.dir;
}

}  // namespace
}  // namespace kandelo
