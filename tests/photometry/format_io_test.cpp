#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>

#include "frame/msgmanager.h"
#include "frame/strutil.h"
#include "photometry/conversion.h"
#include "photometry/format_io.h"
#include "photometry/ldt_fixture.h"
#include "photometry/reader_contract.h"
#include "photometry/lum32.h"
#include "photometry/textfile.h"
#include "platform/fileio.h"
#include "support/test_support.h"

namespace kandelo {
namespace {

TEST(LineReaders, FollowTheFormatRules) {
  struct Case {
    const char* line;
    bool floatOk;
    double f;
    bool intOk;
    int i;
    bool wordOk;
    int w;
  } cases[] = {
      {"1,5", true, 1.5, true, 2, true, 2},
      {"  42. ", true, 42, true, 42, true, 42},
      {"", true, 0, false, 0, false, 0},
      {".", false, 0, false, 0, false, 0},
      {"abc", false, 0, false, 0, true, 0},
      {"1.5,3", false, 0, false, 0, true, 0},
      {"70000", true, 70000, true, 70000, true, 70000 & 0xFFFF},
      {"1e400", false, 0, false, 0, true, 0},
      {"-2.5", true, -2.5, true, -3, true, 0xFFFD},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    double f;
    int i;
    std::uint16_t w;
    EXPECT_EQ(ParseFloatLine(c.line, f), c.floatOk);
    EXPECT_DOUBLE_EQ(f, c.f);
    EXPECT_EQ(ParseIntLine(c.line, i), c.intOk);
    EXPECT_EQ(i, c.i);
    EXPECT_EQ(ParseWordLine(c.line, w), c.wordOk);
    EXPECT_EQ(w, c.w);
  }
  TTextReader in;
  in.OpenText("\xEF\xBB\xBF" "1\r\n2\r3\n" + std::string(300, 'x'));
  std::string line;
  int v;
  EXPECT_TRUE(ReadIntLine(in, v));
  EXPECT_EQ(v, 1);
  EXPECT_TRUE(ReadIntLine(in, v));
  EXPECT_EQ(v, 2);
  EXPECT_TRUE(in.SkipLines(1));
  EXPECT_TRUE(in.ReadLine(line));
  EXPECT_EQ(line.size(), 255u);
  double d;
  EXPECT_FALSE(ReadFloatLine(in, d));  // the end of the file is no empty line
}

TEST(FormatTable, CodesNamesAndExtensions) {
  EXPECT_STREQ(FormatByCode(2).name, "LUM32 (QVM)");
  EXPECT_STREQ(FormatByCode(7).extension, ".IES");
  EXPECT_STREQ(FormatByCode(200).name, "N/A");
  EXPECT_EQ(WriterForCode(1), nullptr);
  EXPECT_EQ(WriterForCode(3), &WriteLDT);
  EXPECT_EQ(ExtensionKey("/a/b.c/leuchte.ldt1"), "LDT");
}

// The open and save filters come from the format table; the save dialog's
// chosen filter k means the format SaveFilterCodes()[k - 1].
TEST(FormatTable, FileDialogFilters) {
  test::TempDir dir;
  test::writeFile(dir.file("ORVMSG.GER"), "[Files]\r\nLBL_FILES=Dateien\r\nLBL_ALL=Alle\r\n");
  TMsgManager msgs(dir.file("ORVMSG.GER"));
  const std::string open = OpenFileTypes(msgs);
  EXPECT_EQ(open.substr(0, 51), "EULUM-DAT - Dateien|*.LDT|LUM (QVM) - Dateien|*.LUM");
  EXPECT_NE(open.find("|IES LM63/86 - Dateien|*.IES|"), std::string::npos) << open;
  EXPECT_NE(open.find("|Calculux - Dateien|*.|"), std::string::npos);
  EXPECT_EQ(open.substr(open.size() - 16), "Alle Dateien|*.*");
  const std::string save = SaveFileTypes(msgs);
  EXPECT_EQ(std::count(save.begin(), save.end(), '|'), 13);
  EXPECT_EQ(save.find("*.*"), std::string::npos);
  std::vector<std::string> fields(1);
  for (char c : save) {
    if (c == '|') fields.emplace_back();
    else fields.back().push_back(c);
  }
  ASSERT_EQ(fields.size(), 2 * SaveFilterCodes().size());
  for (std::size_t k = 0; k < SaveFilterCodes().size(); ++k) {
    const FormatInfo& f = FormatByCode(SaveFilterCodes()[k]);
    EXPECT_EQ(f.saveFilterIndex, int(k) + 1);
    EXPECT_EQ(fields[2 * k].rfind(f.name, 0), 0u) << fields[2 * k];
    EXPECT_EQ(fields[2 * k + 1], std::string("*") + f.extension);
  }
  EXPECT_EQ(FormatDisplayName(3), "EULUM-DAT");
  EXPECT_EQ(FormatDisplayName(12), "N/A");
  EXPECT_EQ(FormatExtension(9), ".LTL");
  EXPECT_EQ(FormatExtension(-1), "");
}

TEST(FormatTable, TargetNamesWhenSaving) {
  struct Case {
    const char* name;
    std::uint8_t code;
    const char* expect;
  } cases[] = {
      {"leuchte", fmtTm14, "leuchte.CIB"},       {"leuchte.", fmtLum32, "leuchte.L32"},
      {"leuchte.ies", fmtEulumdat, "leuchte.LDT"}, {"leuchte.PIN", fmtEulumdat, "leuchte.PIN"},
      {"leuchte.txt", fmtIes95, "leuchte.txt"},  {"leuchte.pin", fmtLum32, "leuchte.L32"},
      {"d.x/leuchte.cib", fmtTm14, "d.x/leuchte.cib"}, {"leuchte.ldt", fmtLtli, "leuchte.ldt"},
  };
  for (const auto& c : cases) EXPECT_EQ(TargetNameForFormat(c.name, c.code), c.expect) << c.name;
  EXPECT_EQ(ConversionTargetName("/in/A1234.001", fmtLtli, "/out", "LDT"), "/out/A1234001.LDT");
  EXPECT_EQ(ConversionTargetName("/in/ABCDEFGH.001", fmtLtli, "/out/", "LDT"), "/out/ABCDEFGH.LDT");
  EXPECT_EQ(ConversionTargetName("/in/lamp.ies", fmtIes95, "/out", "L32"), "/out/lamp.L32");
}

TEST(LoadLuminaire, ProbesReadersWhateverTheExtension) {
  test::TempDir dir;
  std::string ldt = test::MakeLdt(test::LdtSpec{});
  test::writeFile(dir.file("data.txt"), ldt);
  test::writeFile(dir.file("wrong.l32"), ldt);
  TLUM32 lum;
  auto load = [&](const std::string& name) { return LoadLuminaire(dir.file(name), lum, LoadValues::AsRead); };
  LoadResult r = load("data.txt");
  EXPECT_TRUE(r.ok());
  EXPECT_EQ(r.format, fmtEulumdat);
  EXPECT_EQ(lum.FormatCode, fmtEulumdat);
  EXPECT_TRUE(r.messages.empty());
  r = load("wrong.l32");
  EXPECT_TRUE(r.ok());
  EXPECT_EQ(lum.FormatCode, fmtEulumdat);
  EXPECT_TRUE(r.messages.empty());
  ASSERT_TRUE(lum.SaveAs(fmtLum32, dir.file("binary.ldt")));
  r = load("binary.ldt");
  EXPECT_TRUE(r.ok());
  EXPECT_EQ(r.format, fmtLum32);
  EXPECT_EQ(lum.FormatCode, fmtLum32);
  EXPECT_TRUE(r.messages.empty());

  test::writeFile(dir.file("junk.ldt"), "just some text\nwith words\n");
  r = load("junk.ldt");
  EXPECT_EQ(r.fault, LoadFault::Unknown);
  EXPECT_EQ(r.format, fmtUnknown);
  EXPECT_EQ(lum.FormatCode, fmtUnknown);
  EXPECT_EQ(lum.Valid, 0);
  EXPECT_TRUE(r.messages.empty());

  r = load("missing.ldt");
  EXPECT_EQ(r.fault, LoadFault::NotFound);
  EXPECT_EQ(r.messages.texts(), std::vector<std::string>{"file not found : " + dir.file("missing.ldt")});
  ASSERT_TRUE(kandelo::platform::fs().makeDirectory(dir.file("folder.ldt")));
  r = load("folder.ldt");
  EXPECT_EQ(r.fault, LoadFault::NotFound);
  EXPECT_EQ(r.messages.texts(), std::vector<std::string>{"file not found : " + dir.file("folder.ldt")});
  EXPECT_EQ(lum.FileName, "") << "nothing of the failed name is kept";
}

TEST(LoadLuminaire, ABrokenFileGivesOneMessageOnly) {
  test::TempDir dir;
  test::LdtSpec s;
  s.dropLastLines = 1;
  test::writeFile(dir.file("short.ldt"), test::MakeLdt(s));
  TLUM32 lum;
  const LoadResult r = LoadLuminaire(dir.file("short.ldt"), lum, LoadValues::AsRead);
  EXPECT_EQ(r.fault, LoadFault::Damaged);
  EXPECT_EQ(r.messages.items.size(), 1u);
}

// What a load leaves beyond the file: the derived values by default, the
// file's own when the luminaire is to be written again unchanged.
TEST(LoadLuminaire, DerivedValuesOnlyWhenAsked) {
  test::TempDir dir;
  test::writeFile(dir.file("a.ldt"), test::MakeLdt(test::LdtSpec{}));
  TLUM32 asRead, derived;
  ASSERT_TRUE(LoadLuminaire(dir.file("a.ldt"), asRead, LoadValues::AsRead).ok());
  ASSERT_TRUE(LoadLuminaire(dir.file("a.ldt"), derived).ok());
  EXPECT_EQ(asRead.FluxValid, 0);
  EXPECT_FLOAT_EQ(asRead.Imax, 0);
  TLUM32 computed = asRead;
  computed.CalcFlux();
  computed.FindMaxIntensity();
  EXPECT_EQ(derived.FluxValid, 1);
  EXPECT_GT(derived.LumFlux, 0);
  EXPECT_FLOAT_EQ(derived.LumFlux, computed.LumFlux);
  EXPECT_FLOAT_EQ(derived.LOR, computed.LOR);
  EXPECT_GT(derived.Imax, 0);
  EXPECT_FLOAT_EQ(derived.Imax, computed.Imax);
  EXPECT_FLOAT_EQ(derived.ImaxGamma, computed.ImaxGamma);
}

// LUM32: the file is the image of the object; what this program does not
// interpret must come back byte for byte.
TEST(Lum32File, RoundTripIsByteExactWithReservedBytes) {
  test::TempDir dir;
  test::RecordingUi ui;
  ScopedUiServices scope(ui);
  TLUM32 lum;
  ASSERT_TRUE(lum.CreateNew(dir.file("a.l32"), psCGamma, symC0C180, 0, 13, 0, 15, 180, {}, 19, 0, 5, 90, {}));
  for (int i = 1; i <= 13; ++i)
    for (int j = 1; j <= 19; ++j) lum.SetValue(i, j, float(i * 100 + j) / 3);
  lum.Manufacturer = "Hersteller";
  lum.LampSetCount = 2;
  lum.LampSets[1].LampType = "TC-L 55W";
  lum.MeasurementPresent = 1;
  lum.MeasLampName[4] = "Messlampe 5";
  lum.BallastFactor = 0.95f;
  lum.BlockSize = 1024 + 640 + 768;
  lum.BlockFlags = 7;
  lum.CalcFlux();
  ASSERT_TRUE(lum.Save(fmtLum32));
  std::string bytes = test::readFile(dir.file("a.l32"));
  ASSERT_EQ(bytes.size(), 25u + 14 * 20 * 4 + 2432);

  // Fill reserved and uninterpreted bytes (and the bytes behind short texts).
  std::size_t b1 = 25 + 14 * 20 * 4, b2 = b1 + 1024, b3 = b2 + 640;
  auto fill = [&](std::size_t from, std::size_t n) {
    for (std::size_t k = 0; k < n; ++k) bytes[from + k] = char(0xA0 + (from + k) % 37);
  };
  fill(b1 + 978, 46);
  fill(b1 + 25 + 1 + 10, 70);  // behind "Hersteller"
  fill(b2 + 340, 3);
  fill(b2 + 357, 8);
  fill(b2 + 366, 274);
  fill(b3 + 218, 130);
  fill(b3 + 518, 8);
  fill(b3 + 531, 6);
  fill(b3 + 541, 227);
  // Same file name in another directory: ShortName comes from the name.
  test::TempDir other;
  test::writeFile(other.file("a.l32"), bytes);

  TLUM32 back;
  ASSERT_TRUE(LoadLuminaire(other.file("a.l32"), back, LoadValues::AsRead).ok());
  EXPECT_EQ(back.FormatCode, fmtLum32);
  EXPECT_EQ(back.SavedBlockFlags, 7);
  EXPECT_EQ(back.LampSets[1].LampType, "TC-L 55W");
  EXPECT_EQ(back.MeasLampName[4], "Messlampe 5");
  EXPECT_FLOAT_EQ(back.LumFlux, lum.LumFlux);
  ASSERT_TRUE(back.Save(fmtLum32));
  std::string again = test::readFile(other.file("a.l32"));
  ASSERT_EQ(again.size(), bytes.size());
  std::size_t diff = std::mismatch(again.begin(), again.end(), bytes.begin()).first - again.begin();
  EXPECT_EQ(diff, again.size()) << "first difference at byte " << diff;
  EXPECT_TRUE(ui.shown.empty());
}

TEST(Lum32File, DefaultBlocksAndDamagedFiles) {
  test::TempDir dir;
  test::RecordingUi ui;
  ScopedUiServices scope(ui);
  TLUM32 lum;
  ASSERT_TRUE(lum.CreateNew(dir.file("a.l32"), psCGamma, symRotational, 0, 1, 0, 0, 0, {}, 3, 0, 45, 90, {}));
  ASSERT_TRUE(lum.Save(fmtLum32));
  EXPECT_EQ(lum.BlockSize, 1664);
  EXPECT_EQ(lum.BlockFlags, 3);
  std::string good = test::readFile(dir.file("a.l32"));

  struct Case {
    const char* what;
    std::function<std::string(std::string)> damage;
  } cases[] = {
      {"one byte longer", [](std::string s) { return s + '\0'; }},
      {"one byte shorter", [](std::string s) { return s.substr(0, s.size() - 1); }},
      {"block flags announce block 3",
       [](std::string s) {
         s[25 + 2 * 4 * 4 + 2] = 7;
         return s;
       }},
      {"counts of block 1 disagree",
       [](std::string s) {
         s[25 + 2 * 4 * 4 + 886] = 9;
         return s;
       }},
      {"angles do not ascend",
       [](std::string s) {
         unsigned char f[4];
         PutF32(f, 10.0f);  // γ 0, 45, 10
         std::memcpy(&s[25 + 3 * 4], f, 4);
         return s;
       }},
      {"a value that is no number",
       [](std::string s) {
         unsigned char f[4];
         PutF32(f, std::numeric_limits<float>::quiet_NaN());
         std::memcpy(&s[25 + (4 + 1) * 4], f, 4);
         return s;
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    test::writeFile(dir.file("bad.l32"), c.damage(good));
    TLUM32 back;
    const LoadResult r = LoadLuminaire(dir.file("bad.l32"), back, LoadValues::AsRead);
    EXPECT_EQ(r.fault, LoadFault::Damaged);
    ASSERT_EQ(r.messages.items.size(), 1u);
    EXPECT_EQ(r.messages.items[0].text.rfind("LUM32 file damaged", 0), 0u) << r.messages.items[0].text;
    EXPECT_EQ(back.Valid, 0);
  }
}

// A LUM container: blocks of 8 x 8 cells, 6 block rows, one block column;
// the header record behind row a = 3 with c = 7 (8 words per row).
std::string MakeLum(bool largeArrayMagic, float watt = 0) {
  const int R = 8, K = 8, BR = 6, BC = 1, N = BR * BC, B = R * K * 4;
  std::vector<std::uint32_t> cells(R * BR * K * BC, 0);
  auto cols = K * BC;
  auto setF = [&](int r, int c, float v) {
    std::uint32_t u;
    std::memcpy(&u, &v, 4);
    cells[r * cols + c] = u;
  };
  const int a = 3, c = 7;
  setF(0, 0, a);
  setF(a + 1, 1, c);
  unsigned char rec[1036] = {};
  auto str = [&](int off, const std::string& s) {
    rec[off] = static_cast<unsigned char>(s.size());
    std::memcpy(rec + off + 1, s.data(), s.size());
  };
  str(0, "LEU1.LUM");
  str(13, "03/04/1996");
  str(24, "12:00:00");
  str(33, "Alte Leuchte");
  str(74, "Altwerk");
  str(320, "Messung");
  rec[402] = 2;
  PutF32(rec + 440, 71.5f);
  rec[704] = 1;  // rotational
  PutU16(rec + 936, 300);
  PutU16(rec + 930, 20);
  PutF32(rec + 950, 0);
  PutF32(rec + 954, 0);
  PutF32(rec + 958, 0);
  PutU16(rec + 962, 1);
  PutF32(rec + 964, 0);
  PutF32(rec + 968, 90);
  PutF32(rec + 972, 15);
  PutU16(rec + 976, 7);
  str(996, "HQL 125");
  PutF32(rec + 1031, 6500);
  PutF32(rec + 925, watt);
  // Intensities in row 1, columns 1 … 7; the record words from row a + 1 on.
  for (int j = 1; j <= 7; ++j) setF(1, j, 100.0f - 10 * j);
  for (int w = 1; w <= 259; ++w) {
    int r = a + 1 + (w + 2) / (c + 1), col = (w + 2) % (c + 1);
    if (r == a + 1 && col == 1) continue;
    cells[r * cols + col] = GetU32(rec + 4 * (w - 1));
  }
  std::string out(25 + N * 4 + N * B, '\0');
  auto* p = reinterpret_cast<unsigned char*>(out.data());
  PutU16(p, R);
  PutU16(p + 2, K);
  PutU16(p + 4, BR);
  PutU16(p + 6, BC);
  PutU16(p + 10, B);
  PutU16(p + 12, N);
  if (largeArrayMagic) {
    p[14] = 6;
    std::memcpy(p + 15, "LARRAY", 6);
  } else {
    p[18] = 6;
    std::memcpy(p + 19, "VARRAY", 6);
  }
  for (int b = 0; b < N; ++b)
    for (int k = 0; k < R * K; ++k) {
      int r = (b / BC) * R + k % R, col = (b % BC) * K + k / R;
      PutU32(p + 25 + N * 4 + b * B + 4 * k, cells[r * cols + col]);
    }
  return out;
}

TEST(LumFile, ReadsBothContainerVariants) {
  for (bool large : {false, true}) {
    SCOPED_TRACE(large ? "LARRAY" : "VARRAY");
    test::TempDir dir;
    test::writeFile(dir.file("LEU1.LUM"), MakeLum(large));
    TLUM32 lum;
    const LoadResult loaded = LoadLuminaire(dir.file("LEU1.LUM"), lum, LoadValues::AsRead);
    ASSERT_TRUE(loaded.ok()) << loaded.messages.joined();
    EXPECT_TRUE(loaded.messages.empty());
    EXPECT_EQ(lum.FormatCode, fmtLum);
    EXPECT_EQ(lum.LumName, "Alte Leuchte");
    EXPECT_EQ(lum.ShortName, "LEU1");
    EXPECT_EQ(lum.LumNumber, "LEU1");
    EXPECT_EQ(lum.LampSets[0].LampCount, 2);
    EXPECT_EQ(lum.LampSets[0].LampType, "HQL 125");
    EXPECT_FLOAT_EQ(lum.LOR, 71.5f);
    EXPECT_EQ(lum.AreaShape, 2);
    EXPECT_EQ(lum.BlockFlags, 3);
    EXPECT_EQ(lum.BlockSize, 1664);
    EXPECT_FLOAT_EQ(lum.Intensity(15, 123), 80);
    EXPECT_FLOAT_EQ(lum.Intensity(37.5, 0), 65);
    EXPECT_NEAR(lum.FileDate, 35158.5, 1e-6);  // 3 April 1996, noon
  }
}

// The lamp wattage is a single in the file and 16 bits in the luminaire:
// no number, or one beyond 16 bits, must not become an undefined conversion.
TEST(LumFile, WattageThatIsNoNumberOrTooLargeIsClamped) {
  struct Case {
    float watt;
    std::int16_t expected;
  } cases[] = {{std::numeric_limits<float>::quiet_NaN(), 0},
               {std::numeric_limits<float>::infinity(), 32767},
               {-1e30f, -32768},
               {125.4f, 125}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.watt);
    test::TempDir dir;
    test::RecordingUi ui;
    ScopedUiServices scope(ui);
    test::writeFile(dir.file("LEU1.LUM"), MakeLum(false, c.watt));
    TLUM32 lum;
    ASSERT_TRUE(LoadLuminaire(dir.file("LEU1.LUM"), lum, LoadValues::AsRead).ok());
    EXPECT_EQ(lum.LampSets[0].SetWatt, c.expected);
  }
}

}  // namespace
}  // namespace kandelo

namespace kandelo {
namespace {

TEST(SaveLuminaireInFormat, BBetaDataAreResampledOnlyForEulumdat) {
  test::TempDir dir;
  test::RecordingUi ui;
  ScopedUiServices scope(ui);
  auto make = [] {
    TLUM32 lum;
    EXPECT_TRUE(lum.CreateNew("x", psBBeta, symNone, 0, 13, -90, 15, 90, {}, 13, -90, 15, 90, {}));
    for (int i = 1; i <= 13; ++i)
      for (int j = 1; j <= 13; ++j) lum.SetValue(i, j, 40);
    lum.SelectIntensityFunctions(symNone);
    return lum;
  };
  TLUM32 a = make();
  EXPECT_EQ(SaveLuminaireInFormat(a, fmtEulumdat, dir.file("leuchte")), dir.file("leuchte.LDT"));
  EXPECT_EQ(a.FormatCode, fmtEulumdat);  // read back from the file
  EXPECT_EQ(a.PlaneSystem, psCGamma);
  EXPECT_EQ(a.CPlaneCount, 72);
  EXPECT_EQ(a.GammaCount, 19);  // 0 … 90 in 5° steps: B planes within ±90° light nothing above
  EXPECT_FLOAT_EQ(a.GammaEnd, 90);
  EXPECT_NEAR(a.Intensity(45, 30), 40, 1e-3);

  TLUM32 b = make();
  EXPECT_EQ(SaveLuminaireInFormat(b, fmtLum32, dir.file("leuchte.ies")), dir.file("leuchte.L32"));
  EXPECT_EQ(b.PlaneSystem, psBBeta);

  TLUM32 c = make();
  EXPECT_EQ(SaveLuminaireInFormat(c, fmtLtli, dir.file("leuchte.ltl")), "");  // no LTLI writer
  EXPECT_EQ(c.PlaneSystem, psBBeta);
  EXPECT_TRUE(ui.shown.empty());
}

}  // namespace
}  // namespace kandelo

namespace kandelo {
namespace {

// Every prefix and every byte replaced by a hostile one, for the binary
// formats and EULUMDAT: no crash, no allocation beyond the file, and a file cut
// before its last data is never read as valid.
TEST(HostileInput, PrefixesAndDamagedBytes) {
  test::TempDir dir;
  TLUM32 l32;
  ASSERT_TRUE(l32.CreateNew(dir.file("a.l32"), psCGamma, symC0C180, 0, 3, 0, 90, 180, {}, 3, 0, 45, 90, {}));
  ASSERT_TRUE(l32.Save(fmtLum32));
  test::LdtSpec small;
  small.isym = "4", small.mc = "4", small.dc = "90", small.ng = "3", small.dg = "45", small.planes = 2;
  struct Format {
    ReaderFn read;
    std::string bytes;
    std::size_t lastData;  // a prefix shorter than this must not read
  } formats[] = {
      {ReadL32, test::readFile(dir.file("a.l32")), 0},
      {ReadLUM, MakeLum(false), 0},
      {ReadLDT, test::MakeLdt(small), 0},
  };
  formats[0].lastData = formats[0].bytes.size();
  formats[1].lastData = formats[1].bytes.size();
  formats[2].lastData = formats[2].bytes.rfind("202\n");
  const std::string path = dir.file("f.bin");
  auto exercise = [](TLUM32& lum) {
    lum.CalcFlux();
    lum.FindMaxIntensity();
    lum.CalcCieFluxCode();
    (void)lum.Intensity(45, 30);
    (void)lum.MeanIntensity(20);
  };
  // The headers byte by byte, the long binary blocks at a stride.
  auto next = [](const Format& f, std::size_t n) { return f.read == ReadLDT || n < 64 ? n + 1 : n + 29; };
  for (const auto& f : formats) {
    for (std::size_t n = 0; n < f.bytes.size(); n = next(f, n)) {
      test::writeFile(path, f.bytes.substr(0, n));
      TLUM32 lum;
      lum.SetFileName(path);
      ReadResult r = test::ReadChecked(f.read, lum);
      if (n < f.lastData) {
        EXPECT_NE(r.status, ReadStatus::Ok) << n;
      }
    }
    for (std::size_t n = 0; n < f.bytes.size(); n = next(f, n))
      for (char bad : {'\0', '9', '\n', '\xFF'}) {
        std::string damaged = f.bytes;
        damaged[n] = bad;
        test::writeFile(path, damaged);
        TLUM32 lum;
        lum.SetFileName(path);
        if (test::ReadChecked(f.read, lum).status == ReadStatus::Ok) exercise(lum);
      }
  }
}

}  // namespace
}  // namespace kandelo
