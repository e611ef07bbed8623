#include <gtest/gtest.h>

#include <charconv>
#include <cstring>
#include <string>
#include <vector>

#include "frame/strutil.h"
#include "platform/fileio.h"
#include "support/test_support.h"

using namespace kandelo;

TEST(PathHelpers, AddBackslashExtractNameParentPath) {
  EXPECT_EQ(AddBackslash("  /data/lum \t"), "/data/lum/");
  EXPECT_EQ(AddBackslash("/data/lum/"), "/data/lum/");
  EXPECT_EQ(AddBackslash(" "), "");
  EXPECT_EQ(ExtractName("/a/b/LEUCHTE.LDT"), "LEUCHTE.LDT");
  EXPECT_EQ(ExtractName("noslash.ies"), "noslash.ies");
  EXPECT_EQ(ExtractName("/x/" + std::string(80, 'n')).size(), 64u);
  EXPECT_EQ(NameWithoutExt("/a/b/LEUCHTE.2.LDT"), "LEUCHTE");
  struct Case {
    const char* path;
    const char* parent;
  };
  for (auto c : {Case{"/a/b/c.ldt", "/a/b"}, Case{"/c.ldt", "/"}, Case{"c.ldt", ""}, Case{"a/b", "a"},
                 Case{"/a/b/", "/a/b"}})
    EXPECT_EQ(ParentPath(c.path), c.parent) << c.path;
  EXPECT_EQ(ExtractFileExt("/a.b/c.Ldt"), ".Ldt");
  EXPECT_EQ(ExtractFileExt("/a.b/c"), "");
  EXPECT_EQ(ChangeFileExt("/a.b/c.IDX", ".DAT"), "/a.b/c.DAT");
  EXPECT_EQ(ChangeFileExt("/a.b/c", ".DAT"), "/a.b/c.DAT");
}

TEST(StringHelpers, TrimPadAndWords) {
  EXPECT_EQ(TrimBlanks("\x01 \t abc \r\n"), "abc");
  EXPECT_EQ(PadRight("ab", 4), "ab  ");
  EXPECT_EQ(PadLeft("ab", 4), "  ab");
  EXPECT_EQ(PadLeft("abcdef", 4), "abcdef");
  EXPECT_EQ(IntToStrPadded(-42, 5), "  -42");
  const std::string s = "  12.5;;  7 ; x";
  EXPECT_EQ(WordCount(s, " ;"), 3);
  EXPECT_EQ(ExtractWord(1, s, " ;"), "12.5");
  EXPECT_EQ(ExtractWord(3, s, " ;"), "x");
  EXPECT_EQ(ExtractWord(4, s, " ;"), "");
  EXPECT_EQ(WordPosition(2, s, " ;"), 11);
  EXPECT_EQ(WordPosition(4, s, " ;"), 0);
  EXPECT_EQ(WordCount("", " "), 0);
}

TEST(StringHelpers, NumbersIgnoreTheLocale) {
  double d = 0;
  EXPECT_TRUE(ParseDouble(" 12,75 ", d));
  EXPECT_DOUBLE_EQ(d, 12.75);
  EXPECT_TRUE(ParseDouble("-1.5e2", d));
  EXPECT_DOUBLE_EQ(d, -150);
  EXPECT_FALSE(ParseDouble("1.5x", d));
  EXPECT_FALSE(ParseDouble("nan", d));
  long long n = 0;
  EXPECT_TRUE(ParseInt("+17", n));
  EXPECT_EQ(n, 17);
  EXPECT_FALSE(ParseInt("17.0", n));
  EXPECT_EQ(FormatFixed(7.255, 2), "7.25");  // nearest binary value is below .255
  EXPECT_EQ(FormatFixed(3.5, 3, ','), "3,500");
}

// The quick path for plain decimals must give the bits std::from_chars gives,
// and hand everything else over to it.
TEST(StringHelpers, PlainDecimalsReadExactlyAsFromChars) {
  std::vector<std::string> words = {"0",    "-0",    "7.",     ".5",   "-.25",  "0.1", "0.3",  "2.675",
                                    "1e3",  "1.5e-2", "123456789012345", "1234567890123456",
                                    "0.000000000000001", "999999999999999.", "12..5", "-", ".", "3.4.5"};
  std::uint64_t x = 88172645463325252ull;
  for (int i = 0; i < 20000; ++i) {  // random decimals of up to 15 digits
    x ^= x << 13, x ^= x >> 7, x ^= x << 17;
    const int digits = 1 + int(x % 15), point = int((x >> 8) % (digits + 1));
    std::string w = (x >> 20) & 1 ? "-" : "";
    for (int d = 0; d < digits; ++d) {
      if (d == point) w += '.';
      w += char('0' + (x >> (24 + 2 * d % 40)) % 10);
    }
    words.push_back(w);
  }
  for (const std::string& w : words) {
    const char* first = w.data();
    const char* last = first + w.size();
    double fast = 0, slow = 0;
    const char* stop = ScanPlainDecimal(first, last, fast);
    auto [p, ec] = std::from_chars(first, last, slow);
    if (!stop) continue;  // left to from_chars
    ASSERT_EQ(ec, std::errc()) << w;
    EXPECT_EQ(stop, p) << w;
    EXPECT_EQ(std::memcmp(&fast, &slow, sizeof fast), 0) << w << ": " << fast << " vs " << slow;
  }
  double d = 0;
  EXPECT_EQ(ScanPlainDecimal(words[4].data(), words[4].data() + 4, d), words[4].data() + 4);
  EXPECT_EQ(d, -0.25);
  for (const char* w : {"1e3", "1234567890123456", "-", ".", "nan"})
    EXPECT_EQ(ScanPlainDecimal(w, w + std::strlen(w), d), nullptr) << w;
}

TEST(TrueCase, LastComponentTakesTheSpellingOnDisk) {
  test::TempDir dir;
  test::writeFile(dir.file("Leuchte.Ldt"), "x");
  EXPECT_EQ(TrueCaseFileName(dir.file("LEUCHTE.LDT")), dir.file("Leuchte.Ldt"));
  EXPECT_EQ(TrueCaseFileName(dir.file("other.ldt")), dir.file("other.ldt"));
}

TEST(CopyFileBuffered, CopiesContentDateAndAttributes) {
  test::TempDir dir;
  std::string content;
  for (int i = 0; i < 100000; ++i) content += static_cast<char>(i * 7);
  test::writeFile(dir.file("src"), content);
  ASSERT_TRUE(platform::fs().setModifiedTime(dir.file("src"), 1'200'000'000));
  ASSERT_TRUE(platform::fs().setAttributes(dir.file("src"), platform::faReadOnly));
  EXPECT_EQ(CopyFileBuffered(dir.file("src"), dir.file("dst")), 0);
  EXPECT_EQ(test::readFile(dir.file("dst")), content);
  EXPECT_EQ(*platform::fs().modifiedTime(dir.file("dst")), 1'200'000'000);
  EXPECT_TRUE(*platform::fs().attributes(dir.file("dst")) & platform::faReadOnly);
  EXPECT_EQ(CopyFileBuffered(dir.file("missing"), dir.file("x")), 1);
  EXPECT_EQ(CopyFileBuffered(dir.file("src"), dir.file("no/such/dir/x")), 2);
}

TEST(CopyFileBuffered, EveryFailureCodeRemovesTheTarget) {
  test::TempDir dir;
  test::writeFile(dir.file("src"), std::string(80000, 'q'));  // three buffers
  struct Case {
    const char* what;
    void (*arm)(platform::FaultInjectingFileSystem&);
    int code;
  };
  const Case cases[] = {
      {"read error", [](auto& f) { f.failReadAt = 2; }, 3},
      {"write error", [](auto& f) { f.failWriteAt = 2; }, 4},
      {"short write", [](auto& f) { f.shortWriteAt = 3; }, 4},
      {"source date", [](auto& f) { f.failTimeReadAt = 1; }, 5},
      {"target date", [](auto& f) { f.failSetTimeAt = 1; }, 6},
      {"close", [](auto& f) { f.failCloseAt = 2; }, 7},
  };
  for (const auto& c : cases) {
    platform::FaultInjectingFileSystem faulty;
    c.arm(faulty);
    int r;
    {
      platform::ScopedFileSystem guard(faulty);
      r = CopyFileBuffered(dir.file("src"), dir.file("dst"));
    }
    EXPECT_EQ(r, c.code) << c.what;
    EXPECT_FALSE(platform::fs().exists(dir.file("dst"))) << c.what;
    EXPECT_EQ(test::readFile(dir.file("src")).size(), 80000u) << c.what;
  }
}

TEST(LittleEndian, FieldsRoundTrip) {
  unsigned char b[8];
  PutU32(b, 0x12345678u);
  EXPECT_EQ(b[0], 0x78);
  EXPECT_EQ(GetU32(b), 0x12345678u);
  PutI32(b, -2);
  EXPECT_EQ(GetI32(b), -2);
  PutF32(b, 1.5f);
  EXPECT_EQ(GetF32(b), 1.5f);
  PutF64(b, -0.1);
  EXPECT_EQ(GetF64(b), -0.1);
  PutU16(b, 0xBEEF);
  EXPECT_EQ(GetU16(b), 0xBEEF);
}
