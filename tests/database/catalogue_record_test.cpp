#include "database/catalogue_record.h"

#include <gtest/gtest.h>

#include "database/lamp_record.h"

namespace kandelo {
namespace {

std::string pad(std::string s, std::size_t n) { return s + std::string(n - s.size(), ' '); }

TCatalogueRecord makeRecord(const std::string& name, const std::string& number, const std::string& file,
                            const std::string& maker, std::uint8_t code, std::int32_t dir = 0) {
  TCatalogueRecord r;
  r.SetLumName(name);
  r.SetLumNumber(number);
  r.SetFileNameField(file);
  r.SetManufacturer(maker);
  r.SetFormatCode(code);
  r.SetDirIndex(dir);
  return r;
}

TEST(CatalogueRecord, FieldsSitAtTheirOffsets) {
  TCatalogueRecord r = makeRecord("Name", "N-1", "A.LDT", "Maker", 7, 0x01020304);
  r.SetLampFlux(1250.5f);
  r.SetI16(catoff::LampWatt, -2);
  r.SetFactor(1.0f);
  r.SetRealNameField("a long real name.ldt");
  EXPECT_EQ(r.bytes[7], 7);
  EXPECT_EQ(r.bytes[8], 5);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(&r.bytes[9]), 5), "A.LDT");
  EXPECT_EQ(r.bytes[21], 4);
  EXPECT_EQ(r.bytes[311], 3);
  EXPECT_EQ(r.bytes[118], 5);
  EXPECT_EQ((std::array<int, 4>{r.bytes[336], r.bytes[337], r.bytes[338], r.bytes[339]}),
            (std::array<int, 4>{4, 3, 2, 1}));
  EXPECT_EQ(r.bytes[116], 0xFE);
  EXPECT_EQ(r.bytes[117], 0xFF);
  EXPECT_EQ((std::array<int, 4>{r.bytes[264], r.bytes[265], r.bytes[266], r.bytes[267]}),
            (std::array<int, 4>{0, 0, 0x80, 0x3F}));
  EXPECT_EQ(r.bytes[340], 20);
  EXPECT_EQ(r.LampFlux(), 1250.5f);
  EXPECT_EQ(CatalogueFileName(r), "a long real name.ldt");
  // Writing a shorter text leaves no old characters behind.
  r.SetLumName("AB");
  EXPECT_EQ(r.bytes[21 + 3], 0);
  EXPECT_EQ(r.bytes[21 + 4], 0);
}

TEST(CatalogueRecord, DamagedLengthBytesReadAsTheWidth) {
  TCatalogueRecord r;
  r.bytes[catoff::FileName] = 255;
  r.bytes[catoff::RealName] = 255;
  r.bytes[catoff::VersionLabel] = 200;  // the last field of the record
  EXPECT_EQ(r.FileNameField().size(), 12u);
  EXPECT_EQ(r.RealNameField().size(), kMaxRealNameLength);
  EXPECT_EQ(r.VersionLabel().size(), 5u);
  EXPECT_EQ(CatalogueKey(r, 6).size(), 16u);
}

TEST(CatalogueRecord, SortKeysAsBytes) {
  const std::string code5(1, '\x05');
  struct Case {
    const char* what;
    TCatalogueRecord rec;
    int key;
    std::string expected;
  } cases[] = {
      {"key 1 upper-cases umlauts and trims the number",
       makeRecord("Leuchte \xE4\xF6\xFC \xE9", "  ab-12\t", "x.ldt", "Maker", 5), 1,
       pad("LEUCHTE \xC4\xD6\xDC \xC9", 24) + pad("AB-12", 24) + pad("X.LDT", 12) + pad("MAKER", 24) + code5},
      {"key 2", makeRecord("n", "1", "f", "m", 5), 2, pad("1", 24) + pad("N", 24) + pad("F", 12) + pad("M", 24) + code5},
      {"key 3", makeRecord("n", "1", "f", "m", 5), 3, pad("F", 12) + pad("N", 24) + pad("1", 24) + pad("M", 24) + code5},
      {"key 4 starts with the code byte, not upper-cased or padded", makeRecord("n", "1", "f", "m", 'a'), 4,
       "a" + pad("N", 24) + pad("1", 24) + pad("F", 12) + pad("M", 24)},
      {"key 5", makeRecord("n", "1", "f", "m", 0), 5, pad("M", 24) + pad("N", 24) + pad("1", 24) + pad("F", 12) + std::string(1, '\0')},
      {"a long name is cut to 24 before trimming",
       makeRecord("ABCDEFGHIJKLMNOPQRSTUVW XYZ", "", "", "Manufacturer of 25 chars!", 5), 1,
       pad("ABCDEFGHIJKLMNOPQRSTUVW", 24) + pad("", 24) + pad("", 12) + pad("MANUFACTURER OF 25 CHARS", 24) + code5},
      {"leading control characters go", makeRecord("\x01\x02 lamp", "", "", "", 5), 1,
       pad("LAMP", 24) + pad("", 24) + pad("", 12) + pad("", 24) + code5},
      {"key 6 of index 0", makeRecord("n", "1", " a.ldt ", "m", 5, 0), 6, pad("A.LDT", 12) + std::string("\x80\0\0\0", 4)},
      {"key 6 of index 258", makeRecord("n", "1", "A.LDT", "m", 5, 258), 6, pad("A.LDT", 12) + std::string("\x80\0\x01\x02", 4)},
      {"key 6 of index -1", makeRecord("n", "1", "A.LDT", "m", 5, -1), 6, pad("A.LDT", 12) + std::string("\x7F\xFF\xFF\xFF", 4)},
  };
  for (const auto& c : cases) {
    std::string k = CatalogueKey(c.rec, c.key);
    EXPECT_EQ(k, c.expected) << c.what;
    EXPECT_EQ(k.size(), c.key == 6 ? 16u : 85u) << c.what;
  }
}

TEST(CatalogueRecord, DirectoryIndexKeySortsNumerically) {
  const std::int32_t order[] = {INT32_MIN, -256, -1, 0, 1, 255, 256, 65536, INT32_MAX};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
    EXPECT_LT(DirectoryIndexKey(order[i]), DirectoryIndexKey(order[i + 1])) << order[i];
    EXPECT_EQ(DirectoryIndexFromKey(DirectoryIndexKey(order[i])), order[i]);
  }
}

TEST(CatalogueRecord, AliasesOfLongNames) {
  const std::string a = LongNameAlias("Downlight 2x26W TC-DEL.ldt", 1);
  EXPECT_EQ(a.size(), 12u);
  EXPECT_EQ(a.substr(0, 2), "DO");
  EXPECT_EQ(a.substr(6), "~1.LDT");
  EXPECT_EQ(LongNameAlias("Downlight 2x26W TC-DEL.ldt", 10).substr(6, 2), "~A");
  EXPECT_EQ(AliasPrefix("Downlight 2x26W TC-DEL.ldt"), a.substr(0, 7));
  // The hash covers the exact name: another case is another name.
  EXPECT_NE(AliasPrefix("downlight 2x26W TC-DEL.ldt"), a.substr(0, 7));
  // Characters outside A-Z, 0-9, "_" and "-" are left out; no extension, no dot.
  EXPECT_EQ(LongNameAlias("\xE4.\xF6-long-name-without", 1).substr(0, 2), "__");
  EXPECT_EQ(LongNameAlias("\xC3\xA4rger mit umlaut", 2).substr(0, 2), "RG");
  EXPECT_EQ(LongNameAlias("no extension at all", 2).size(), 8u);
  EXPECT_EQ(LongNameAlias("x.ie$s", 1).substr(8), ".IES");

  TCatalogueRecord r;
  EXPECT_TRUE(SetCatalogueFileName(r, "short.ldt"));
  EXPECT_EQ(r.FileNameField(), "short.ldt");
  EXPECT_EQ(r.RealNameField(), "");
  EXPECT_TRUE(SetCatalogueFileName(r, "thirteen_.ldt"));
  EXPECT_EQ(r.RealNameField(), "thirteen_.ldt");
  EXPECT_EQ(r.FileNameField(), LongNameAlias("thirteen_.ldt", 1));
  EXPECT_EQ(CatalogueFileName(r), "thirteen_.ldt");
  EXPECT_FALSE(SetCatalogueFileName(r, std::string(166, 'x')));
  EXPECT_FALSE(SetCatalogueFileName(r, ""));
}

TEST(LampRecord, LayoutAndKeys) {
  TLampRecord r;
  r.SetLampType("T8 58W");
  r.SetFlux(5200.0f);
  r.SetWatt(0x0102);
  r.SetBallastWatt(8);
  EXPECT_EQ(r.bytes[4], 6);
  EXPECT_EQ(r.bytes[29], 0x02);
  EXPECT_EQ(r.bytes[30], 0x01);
  EXPECT_EQ(r.bytes[31], 8);
  EXPECT_EQ(r.bytes[33], 0);
  EXPECT_EQ(r.Flux(), 5200.0f);
  EXPECT_EQ(LampKey(r, 1), pad("T8 58W", 20) + "\x01\x02");
  EXPECT_EQ(LampKey(r, 2), "\x01\x02" + pad("T8 58W", 20));
  // A lower wattage of the same type sorts first in both keys.
  TLampRecord lower = r;
  lower.SetWatt(0x00FF);
  EXPECT_LT(LampKey(lower, 1), LampKey(r, 1));
  EXPECT_LT(LampKey(lower, 2), LampKey(r, 2));
}

}  // namespace
}  // namespace kandelo
