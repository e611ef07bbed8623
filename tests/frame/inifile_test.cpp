#include <gtest/gtest.h>

#include "frame/inifile.h"
#include "platform/fileio.h"
#include "support/test_support.h"

using kandelo::TBigInifile;
using kandelo::test::TempDir;

namespace {
TBigInifile Parse(const std::string& text) {
  TBigInifile f("");
  f.SetTextStr(text);
  return f;
}
}  // namespace

TEST(SectionedFile, SyntaxOfEntriesAndHeaders) {
  auto f = Parse(
      "comment before any section\r\n"
      "[b]\r\n"
      "k=a=b\r\n"
      " spaced key = spaced value \n"
      "no equals sign\r"
      "dup=first\r\n"
      "dup=second\r\n"
      "[]\r\n"
      "after=empty header\r\n"
      "[A]]trailing\r\n"
      "x=1\r\n");
  EXPECT_EQ(f.ReadString("b", "k", "?"), "a=b");
  EXPECT_EQ(f.ReadString("b", " spaced key ", "?"), " spaced value ");
  EXPECT_EQ(f.ReadString("b", "spaced key", "?"), "?");
  EXPECT_EQ(f.ReadString("B", "DUP", "?"), "second");
  // "[]" names no section, so its following line still belongs to [b].
  EXPECT_EQ(f.ReadString("b", "after", "?"), "empty header");
  EXPECT_EQ(f.ReadString("a", "x", "?"), "1");
  EXPECT_EQ(f.Count(), 2);
  // Saved in collation order, CR LF, no blank lines, comments gone.
  EXPECT_EQ(f.GetTextStr(),
            "[A]\r\nx=1\r\n[b]\r\n spaced key = spaced value \r\nafter=empty header\r\ndup=second\r\nk=a=b\r\n");
}

TEST(SectionedFile, RepeatedSectionReplacesTheEarlierBlock) {
  auto f = Parse("[S]\r\none=1\r\ntwo=2\r\n[T]\r\nt=1\r\n[s]\r\nthree=3\r\n");
  EXPECT_EQ(f.ReadString("S", "one", "-"), "-");
  EXPECT_EQ(f.ReadString("S", "three", "-"), "3");
  EXPECT_EQ(f.GetSection(0).Name(), "s");
}

// Loading sorts once instead of inserting each line in order: the last of
// equal keys and of equal sections still wins, in any order of the lines.
TEST(SectionedFile, UnsortedLargeFileLoadsLikeAnInsertedOne) {
  std::string text;
  for (int s = 3; s >= 0; --s) {
    text += "[S" + std::to_string(s) + "]\r\n";
    for (int k = 2000; k > 0; --k) text += "k" + std::to_string(k % 700) + "=" + std::to_string(k) + "\r\n";
  }
  text += "[s2]\r\nK5=replaced section\r\n";
  auto f = Parse(text);
  EXPECT_EQ(f.Count(), 4);
  EXPECT_EQ(f.GetSection(0).Count(), 700);
  EXPECT_EQ(f.ReadString("S0", "k5", "?"), "5");  // k5 comes at 1405, 705 and last at 5
  EXPECT_EQ(f.ReadString("S2", "k5", "?"), "replaced section");
  EXPECT_EQ(f.ReadString("S2", "k6", "?"), "?");
  TBigInifile g("");
  for (int s = 3; s >= 0; --s)
    for (int k = 2000; k > 0; --k)
      if (s != 2) g.WriteString("S" + std::to_string(s), "k" + std::to_string(k % 700), std::to_string(k));
  g.WriteString("s2", "K5", "replaced section");
  EXPECT_EQ(f.GetTextStr(), g.GetTextStr());
}

TEST(SectionedFile, LongLinesAreCutAt255) {
  std::string value(300, 'v');
  auto f = Parse("[S]\r\nk=" + value + "\r\n");
  EXPECT_EQ(f.ReadString("S", "k", "").size(), 253u);  // 255 minus "k="
}

TEST(SectionedFile, IntegersAndBooleans) {
  auto f = Parse("[N]\r\ndec=42\r\nhex=$1F\r\nneg=-7\r\nbad=12x\r\nempty=\r\nzero=0\r\n");
  struct Case {
    const char* key;
    long long expected;
  };
  for (auto c : {Case{"dec", 42}, Case{"hex", 31}, Case{"neg", -7}, Case{"bad", 99}, Case{"empty", 99},
                 Case{"missing", 99}})
    EXPECT_EQ(f.ReadInteger("N", c.key, 99), c.expected) << c.key;
  EXPECT_TRUE(f.ReadBool("N", "dec", false));
  EXPECT_FALSE(f.ReadBool("N", "zero", true));
  EXPECT_TRUE(f.ReadBool("N", "missing", true));
  f.WriteBool("N", "flag", true);
  f.WriteInteger("N", "n", -12);
  EXPECT_EQ(f.ReadString("N", "flag", ""), "1");
  EXPECT_EQ(f.ReadInteger("N", "n", 0), -12);
}

TEST(SectionedFile, WriteStringErasesAndSaves) {
  TempDir dir;
  TBigInifile f(dir.file("T.ENG"));
  f.WriteString("S", "k", "v");
  f.WriteString("Gone", "k", "v");
  f.WriteString("Gone", "", "");  // empty key: erase the section
  EXPECT_FALSE(f.SectionExists("Gone"));
  EXPECT_FALSE(kandelo::platform::fs().exists(f.FileName()));
  f.WriteString("", "", "");      // all empty: save
  EXPECT_EQ(kandelo::test::readFile(f.FileName()), "[S]\r\nk=v\r\n");
  TBigInifile again(f.FileName());
  EXPECT_EQ(again.ReadString("s", "K", ""), "v");
}

TEST(SectionedFile, ReadOnlyFileIsNeverWritten) {
  TempDir dir;
  const std::string path = dir.file("ORVTXT.GER");
  kandelo::test::writeFile(path, "[S]\r\nk=old\r\n");
  ASSERT_TRUE(kandelo::platform::fs().setAttributes(path, kandelo::platform::faReadOnly));
  TBigInifile f(path);
  f.WriteString("S", "k", "new");
  EXPECT_TRUE(f.UpdateFile());  // silently skipped
  EXPECT_EQ(kandelo::test::readFile(path), "[S]\r\nk=old\r\n");
}

TEST(SectionedFile, MissingFileGivesAnEmptyObject) {
  TBigInifile f("/nonexistent/dir/MSGTXT.GER");
  EXPECT_EQ(f.Count(), 0);
  EXPECT_EQ(f.ReadString("GeneralButtons", "YesBtn", "dflt"), "dflt");
  EXPECT_FALSE(f.UpdateFile());
}
