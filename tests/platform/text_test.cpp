#include <gtest/gtest.h>

#include "platform/text.h"

namespace pf = kandelo::platform;

TEST(CodePages, Utf8RoundTripOfEvery1252Character) {
  std::string all;
  for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
  std::string utf8 = pf::cp1252ToUtf8(all);
  EXPECT_EQ(pf::utf8ToCp1252(utf8), all);
  EXPECT_EQ(pf::cp1252ToUtf8("\x80 \xE4\xF6\xFC\xDF"), "€ äöüß");
  EXPECT_EQ(pf::utf8ToCp1252("Straße ∞"), "Stra\xDF" "e ?");
}

TEST(CodePages, OemToAnsiFor437And850) {
  struct Case {
    int cp;
    std::string oem, ansi;
  };
  const Case cases[] = {
      {850, "\x84\x94\x81\xE1\x8E", "\xE4\xF6\xFC\xDF\xC4"},  // ä ö ü ß Ä
      {437, "\x84\x94\x81\xE1\x8E", "\xE4\xF6\xFC\xDF\xC4"},
      {850, "\x9B\x9D", "\xF8\xD8"},                          // ø Ø only in 850
      {437, "\x9B\x9D", "\xA2\xA5"},                          // ¢ ¥ in 437
      {850, "\xB3", "?"},                                     // box drawing has no 1252 form
      {850, "plain 123", "plain 123"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(pf::oemToAnsi(c.oem, c.cp), c.ansi) << c.cp << " " << c.oem;
    if (c.ansi != "?") EXPECT_EQ(pf::ansiToOem(c.ansi, c.cp), c.oem);
  }
}

TEST(CaseAndCollation, UpperLowerAndCaseInsensitiveOrder) {
  EXPECT_EQ(pf::upper1252("abc\xE4\xF6\xFC\xFF\x9A\xDF"), "ABC\xC4\xD6\xDC\x9F\x8A\xDF");
  EXPECT_EQ(pf::lower1252("ABC\xC4\xD6\xDC"), "abc\xE4\xF6\xFC");
  EXPECT_EQ(pf::compareTextCI("Default Messages", "DEFAULT MESSAGES"), 0);
  EXPECT_TRUE(pf::equalTextCI("\xE4pfel", "\xC4PFEL"));
  // Punctuation before digits before letters; accents sort beside their letter.
  EXPECT_LT(pf::compareTextCI("_x", "0x"), 0);
  EXPECT_LT(pf::compareTextCI("9", "a"), 0);
  EXPECT_LT(pf::compareTextCI("b", "C"), 0);
  EXPECT_LT(pf::compareTextCI("\xC4rger", "Bach"), 0);
  EXPECT_LT(pf::compareTextCI("Arger", "\xC4rger"), 0);
  EXPECT_LT(pf::compareTextCI("ab", "abc"), 0);
}

TEST(Masks, MatchWithoutRegardToCase) {
  struct Case {
    const char* name;
    const char* mask;
    bool match;
  };
  const Case cases[] = {
      {"LAMP.LDT", "*.LDT", true},     {"lamp.ldt", "*.LDT", true},  {"Lamp.Ldt", "*.ldt", true},
      {"lamp.ldtx", "*.LDT", false},   {"lamp.ies", "*.LDT", false}, {"ABC.IES", "A?C.*", true},
      {"AC.IES", "A?C.*", false},      {"README", "*.*", true},      {"README", "README.*", true},
      {"a.b.ldt", "*.ldt", true},      {"x", "*", true},             {"\xE4.LDT", "\xC4.ldt", true},
  };
  for (const auto& c : cases) EXPECT_EQ(pf::matchesMask(c.name, c.mask), c.match) << c.name << " " << c.mask;
}
