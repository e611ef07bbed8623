#include <gtest/gtest.h>

#include <filesystem>

#include "photometry/format_io.h"
#include "photometry/lum32.h"
#include "photometry/textfile.h"
#include "photometry/ldt_fixture.h"
#include "support/test_support.h"

namespace kandelo {
namespace {

std::string Replace(std::string t, const std::string& from, const std::string& to) {
  auto pos = t.find(from);
  EXPECT_NE(pos, std::string::npos) << from;
  if (pos != std::string::npos) t.replace(pos, from.size(), to);
  return t;
}

using test::LdtSpec;
using test::MakeLdt;

struct Loaded {
  TLUM32 lum;
  LoadResult result;
  bool ok = false;
};

void Load(Loaded& l, const std::string& text, const std::string& name = "a.ldt") {
  static test::TempDir dir;
  std::string path = dir.file(name);
  test::writeFile(path, text);
  l.result = LoadLuminaire(path, l.lum, LoadValues::AsRead);
  l.ok = l.result.ok();
}

TEST(Eulumdat, StoredPlanesFollowTheSymmetry) {
  struct Case {
    std::string isym, mc, dc;
    int planes;
    float cStart, cEnd, cStep;
  } cases[] = {
      {"2", "24", "15", 13, 0, 180, 15},
      {"4", "24", "15", 7, 0, 90, 15},
      {"1", "24", "15", 1, 0, 0, 0},
      {"1", "0", "0", 1, 0, 0, 0},
      {"3", "24", "15", 13, 90, 270, 15},
      {"0", "24", "15", 24, 0, 345, 15},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("Isym " + c.isym);
    LdtSpec s;
    s.isym = c.isym;
    s.mc = c.mc;
    s.dc = c.dc;
    s.planes = c.planes;
    Loaded l;
    Load(l, MakeLdt(s));
    ASSERT_TRUE(l.ok);
    EXPECT_TRUE(l.result.messages.empty());
    EXPECT_EQ(l.lum.FormatCode, fmtEulumdat);
    EXPECT_EQ(l.lum.CPlaneCount, c.planes);
    EXPECT_FLOAT_EQ(l.lum.CStart, c.cStart);
    EXPECT_FLOAT_EQ(l.lum.CEnd, c.cEnd);
    EXPECT_FLOAT_EQ(l.lum.CStep, c.cStep);
    EXPECT_FLOAT_EQ(l.lum.CAngle(c.planes), c.planes == 1 ? 0 : c.cEnd);
    EXPECT_EQ(l.lum.GridFlags, c.dc == "0" ? kCNotEquidistant : 0);
  }
}

TEST(Eulumdat, ReadsFieldsAndTheC90C270BlocksInReverse) {
  LdtSpec s;
  s.isym = "3";
  Loaded l;
  Load(l, MakeLdt(s));
  ASSERT_TRUE(l.ok);
  const TLUM32& m = l.lum;
  EXPECT_EQ(m.Manufacturer, "Maker Lichtwerk");
  EXPECT_EQ(m.ReportNumber, "R-17");
  EXPECT_EQ(m.InfoText1, "R-17");
  EXPECT_EQ(m.LumName, "Leuchte A");
  EXPECT_EQ(m.LumNumber, "A-100");
  EXPECT_EQ(m.Length, 1200);
  EXPECT_EQ(m.Width, 300);
  EXPECT_EQ(m.LumAreaLength, 1150);
  EXPECT_EQ(m.LumAreaHeight[3], 13);
  EXPECT_FLOAT_EQ(m.LOR, 80.5f);
  EXPECT_FLOAT_EQ(m.DFF, 95);  // percent until CalcFlux
  EXPECT_EQ(m.LampSetCount, 1);
  EXPECT_FLOAT_EQ(m.LampSets[0].SetFlux, 3000);
  EXPECT_EQ(m.LampSets[0].SetWatt, 40);
  // The first block of the file (C270 … C180 half) lands in the row of C270.
  EXPECT_FLOAT_EQ(m.CAngle(13), 270);
  EXPECT_FLOAT_EQ(m.GetValue(13, 1), 100);
  EXPECT_FLOAT_EQ(m.GetValue(1, 1), 1300);
  EXPECT_FLOAT_EQ(m.Intensity(0, 270), 100);
  EXPECT_FLOAT_EQ(m.Intensity(0, 90), 1300);
}

TEST(Eulumdat, UnevenPlanesTakeTheListedAngles) {
  LdtSpec s;
  s.isym = "2";
  s.mc = "36";
  s.dc = "0";
  s.planes = 19;
  for (int k = 0; k < 36; ++k) s.cAngles.push_back(std::to_string(k < 10 ? k * 5 : 50 + (k - 10) * 12));
  Loaded l;
  Load(l, MakeLdt(s));
  ASSERT_TRUE(l.ok);
  EXPECT_EQ(l.lum.CPlaneCount, 19);
  EXPECT_FLOAT_EQ(l.lum.CStep, 0);
  EXPECT_FLOAT_EQ(l.lum.MinCStep, 5);
  EXPECT_EQ(l.lum.GridFlags & kCNotEquidistant, kCNotEquidistant);
  EXPECT_FLOAT_EQ(l.lum.CAngle(19), 50 + 8 * 12);
}

TEST(Eulumdat, PlaneStepContradictingThePlaneCountTakesTheListedAngles) {
  LdtSpec s;
  s.isym = "0", s.mc = "24", s.dc = "90", s.planes = 24;
  for (int k = 0; k < 24; ++k) s.cAngles.push_back(std::to_string(k * 15));
  Loaded l;
  Load(l, MakeLdt(s));
  ASSERT_TRUE(l.ok);
  EXPECT_FLOAT_EQ(l.lum.CAngle(2), 15);
  EXPECT_FLOAT_EQ(l.lum.CEnd, 345);
  EXPECT_FLOAT_EQ(l.lum.Intensity(0, 15), 200);
}

TEST(Eulumdat, SevenLampSetsKeepFiveAndFindTheAngles) {
  LdtSpec s;
  s.lampSets = 7;
  Loaded l;
  Load(l, MakeLdt(s));
  ASSERT_TRUE(l.ok);
  EXPECT_EQ(l.lum.LampSetCount, 5);
  EXPECT_EQ(l.lum.LampSets[4].LampType, "T26 36W set 5");
  EXPECT_FLOAT_EQ(l.lum.GammaAngle(7), 90);
  EXPECT_FLOAT_EQ(l.lum.GetValue(13, 7), 1306);
}

TEST(Eulumdat, NumbersFactorsAndByteOrderMark) {
  LdtSpec s;
  s.factor = "0,0004";  // rounds to 0 at three decimals: taken as 1
  s.value = [](int p, int j) { return j == 1 ? "1,5" : (j == 2 ? "" : "7."); };
  s.eol = "\r\n";
  Loaded l;
  Load(l, "\xEF\xBB\xBF" + MakeLdt(s));
  ASSERT_TRUE(l.ok);
  EXPECT_EQ(l.lum.Manufacturer, "Maker Lichtwerk");
  EXPECT_FLOAT_EQ(l.lum.GetValue(1, 2), 1.5f);
  EXPECT_FLOAT_EQ(l.lum.GetValue(1, 3), 0);
  EXPECT_FLOAT_EQ(l.lum.GetValue(1, 4), 7);

  LdtSpec f;
  f.factor = "2.5";
  Loaded l2;
  Load(l2, MakeLdt(f));
  ASSERT_TRUE(l2.ok);
  EXPECT_FLOAT_EQ(l2.lum.GetValue(1, 1), 250);
}

TEST(Eulumdat, LampPowerErrorIsNotFatal) {
  std::string text = Replace(MakeLdt(LdtSpec{}), "\n40\n", "\nviel\n");
  Loaded l;
  Load(l, text);
  EXPECT_TRUE(l.ok);
  ASSERT_EQ(l.result.messages.texts(), std::vector<std::string>{"error reading lamp power"});
  EXPECT_EQ(l.result.messages.items[0].severity, Severity::Warning);
  EXPECT_EQ(l.lum.LampSets[0].SetWatt, 1);
}

// Files that are recognised as EULUMDAT but cannot be read: refused with an
// error box, nothing allocated for absurd counts, the luminaire left cleared.
TEST(Eulumdat, MalformedFilesAreRefusedWithAMessage) {
  struct Case {
    const char* what;
    std::function<std::string()> text;
    const char* message;  // start of the error text
  } cases[] = {
      {"huge counts in a small file",
       [] {
         LdtSpec s;
         s.isym = "0", s.mc = "60000", s.dc = "0.006", s.ng = "60000", s.dg = "0.003";
         s.planes = 0, s.cAngles = {"0"}, s.gammaAngles = {"0"};
         return MakeLdt(s);
       },
       "error reading luminaire data"},
      {"negative plane count", [] { LdtSpec s; s.mc = "-24"; return MakeLdt(s); }, "error reading no of C-planes"},
      {"zero gamma count", [] { LdtSpec s; s.ng = "0"; s.planes = 0; return MakeLdt(s); },
       "error reading no of gamma angles"},
      {"symmetry 7", [] { LdtSpec s; s.isym = "7"; return MakeLdt(s); }, "error reading symmetry indicator"},
      {"negative C step", [] { LdtSpec s; s.dc = "-15"; return MakeLdt(s); }, "error reading C-step"},
      {"gamma angles do not ascend",
       [] { LdtSpec s; s.gammaAngles = {"0", "15", "30", "30", "60", "75", "90"}; return MakeLdt(s); },
       "error reading gamma angles : the angles do not ascend"},
      {"C angles do not ascend",
       [] {
         LdtSpec s;
         s.dc = "0", s.planes = 13;
         for (int k = 0; k < 24; ++k) s.cAngles.push_back(std::to_string(k == 5 ? 10 : k * 15));
         return MakeLdt(s);
       },
       "error reading C-angles : the angles do not ascend"},
      {"ends in the intensities", [] { LdtSpec s; s.dropLastLines = 3; return MakeLdt(s); },
       "val index 13 in C-Ebene (Index) 5 could not be interpreted !"},
      {"ends in the gamma angles",
       [] {
         LdtSpec s;
         s.planes = 0;
         s.dropLastLines = 3;
         return MakeLdt(s);
       },
       "error reading gamma angles"},
      {"ends in the dimensions",
       [] {
         std::string t = MakeLdt(LdtSpec{});
         std::size_t pos = 0;
         for (int k = 0; k < 15; ++k) pos = t.find('\n', pos) + 1;
         return t.substr(0, pos);
       },
       "error reading luminaire dimensions"},
      {"unreadable LOR",
       [] { return Replace(MakeLdt(LdtSpec{}), "\n80.5\n", "\nabc\n"); },
       "error reading LOR"},
      {"negative lamp set count",
       [] { return Replace(MakeLdt(LdtSpec{}), "\n0\n1\n1\nT26", "\n0\n-1\n1\nT26"); },
       "error reading default lamps"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Loaded l;
    Load(l, c.text());
    EXPECT_FALSE(l.ok);
    EXPECT_EQ(l.result.fault, LoadFault::Damaged);
    ASSERT_EQ(l.result.messages.items.size(), 1u);
    EXPECT_EQ(l.result.messages.items[0].severity, Severity::Error);
    EXPECT_EQ(l.result.messages.items[0].text.rfind(c.message, 0), 0u) << l.result.messages.items[0].text;
    EXPECT_EQ(l.lum.Valid, 0);
    EXPECT_EQ(l.lum.FormatCode, fmtUnknown);
    EXPECT_FALSE(l.lum.Table);
  }
}

TEST(Eulumdat, WriteAndReadBackGiveTheSameLuminaire) {
  // Equidistant planes, and the same planes listed with Dc 0 (uneven form).
  for (std::string dc : {"15", "0"})
  for (std::string isym : {"0", "1", "2", "3", "4"}) {
    SCOPED_TRACE("Isym " + isym + " Dc " + dc);
    LdtSpec s;
    s.isym = isym;
    s.dc = dc;
    s.planes = isym == "0" ? 24 : isym == "1" ? 1 : isym == "4" ? 7 : 13;
    for (int k = 0; k < 24; ++k) s.cAngles.push_back(std::to_string(15 * k));
    Loaded a;
    Load(a, MakeLdt(s));
    ASSERT_TRUE(a.ok);
    test::TempDir dir;
    std::string out = dir.file("copy.ldt");
    ASSERT_TRUE(a.lum.SaveAs(fmtEulumdat, out));
    EXPECT_EQ(a.lum.FileName.substr(a.lum.FileName.size() - 5), "a.ldt");
    Loaded b;
    b.result = LoadLuminaire(out, b.lum, LoadValues::AsRead);
    ASSERT_TRUE(b.result.ok());
    EXPECT_TRUE(b.result.messages.empty());
    EXPECT_EQ(b.lum.Symmetry, a.lum.Symmetry);
    EXPECT_EQ(b.lum.CPlaneCount, a.lum.CPlaneCount);
    for (int i = 1; i <= a.lum.CPlaneCount; ++i) EXPECT_FLOAT_EQ(b.lum.CAngle(i), a.lum.CAngle(i));
    EXPECT_EQ(b.lum.GammaCount, a.lum.GammaCount);
    EXPECT_EQ(b.lum.LumName, a.lum.LumName);
    EXPECT_EQ(b.lum.LampSets[0].ColourText, "3000 K");
    EXPECT_EQ(b.lum.InfoText2, "copy");
    for (int i = 1; i <= a.lum.CPlaneCount; ++i)
      for (int j = 1; j <= a.lum.GammaCount; ++j)
        ASSERT_FLOAT_EQ(b.lum.GetValue(i, j), a.lum.GetValue(i, j)) << i << "," << j;
  }
}

std::vector<std::string> SplitLines(const std::string& text, const std::string& eol) {
  std::vector<std::string> out;
  for (std::size_t pos = 0; pos < text.size();) {
    std::size_t end = text.find(eol, pos);
    out.push_back(text.substr(pos, end - pos));
    pos = end == std::string::npos ? text.size() : end + eol.size();
  }
  return out;
}

// An edit in place rewrites only the lines of the fields that changed, in
// the file's own line ends, through its conversion factor and its plane
// order; a removed lamp set takes its lines with it; a negative lamp count
// (absolute photometry) keeps its sign.
TEST(Eulumdat, AnEditRewritesOnlyTheChangedLines) {
  LdtSpec s;
  s.isym = "3";  // the C90 … C270 blocks in reverse order
  s.factor = "2.0";
  s.lampSets = 2;
  s.lampCount = "-1";
  s.eol = "\r\n";
  s.value = [](int p, int j) { return std::to_string(p + j) + ".125"; };
  const std::string text = MakeLdt(s);
  Loaded a;
  Load(a, text);
  ASSERT_TRUE(a.ok);
  TLUM32 after = a.lum;
  after.LumName = "Neu";
  after.LumAreaHeight[2] = 99;
  after.LampSets[0].LampCount = 2;
  after.LampSetCount = 1;
  after.Table->At(1, 3) = 50;  // C90, the last block of the file
  after.CalcFlux();
  const auto edited = EditedLDTText(text, a.lum, after);
  ASSERT_TRUE(edited);
  std::vector<std::string> expected = SplitLines(text, "\r\n");
  const std::size_t valueBase = 26 + 12 + 10 + 24 + 7;
  expected[valueBase + 12 * 7 + 2] = "25";
  expected[8] = "Neu";
  expected[19] = "99";
  expected[25] = "1";
  expected[26] = "-2";
  expected.erase(expected.begin() + 32, expected.begin() + 38);  // the second set
  std::vector<std::string> got = SplitLines(*edited, "\r\n");
  ASSERT_EQ(got.size(), expected.size());
  // The ratios follow the intensities.
  for (std::size_t k : {21, 22, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41}) {
    double v = 0;
    EXPECT_TRUE(ParseFloatLine(got[k], v)) << got[k];
    got[k] = expected[k];
  }
  for (std::size_t k = 0; k < got.size(); ++k) EXPECT_EQ(got[k], expected[k]) << "line " << k + 1;
  EXPECT_EQ(edited->find('\n', 0), edited->find("\r\n", 0) + 1);

  Loaded b;
  Load(b, *edited);
  ASSERT_TRUE(b.ok);
  EXPECT_EQ(b.lum.GetValue(1, 3), 50.0f);
  EXPECT_EQ(b.lum.LampSetCount, 1);

  // A different grid is no edit in place: the file is written whole.
  TLUM32 rotational = a.lum;
  rotational.MakeRotational(true);
  EXPECT_FALSE(EditedLDTText(text, a.lum, rotational));
}

// Writing a luminaire read from EULUMDAT keeps its type indicator and an
// empty date/user line (no zero date is made up).
TEST(Eulumdat, WriterKeepsTheTypeIndicatorAndAnEmptyDate) {
  LdtSpec s;
  std::string text = Replace(MakeLdt(s), "01.02.2020 / Prüfer", "");
  text = Replace(text, "Maker Lichtwerk\n1\n", "Maker Lichtwerk\n3\n");
  Loaded a;
  Load(a, text);
  ASSERT_TRUE(a.ok);
  test::TempDir dir;
  ASSERT_TRUE(a.lum.SaveAs(fmtEulumdat, dir.file("copy.ldt")));
  const std::vector<std::string> lines = SplitLines(test::readFile(dir.file("copy.ldt")), "\r\n");
  EXPECT_EQ(lines[1], "3");
  EXPECT_EQ(lines[11], "");
}

// Found by fuzzing LUM32 and LUM files: a binary file's date and plane step
// may be anything, and writing such a luminaire as EULUMDAT must neither
// convert a huge date to an integer nor ask for millions of planes.
TEST(Eulumdat, WriterSurvivesDamagedDateAndPlaneStep) {
  for (std::string isym : {"0", "1", "2"}) {
    SCOPED_TRACE("Isym " + isym);
    LdtSpec s;
    s.isym = isym;
    s.planes = isym == "0" ? 24 : isym == "1" ? 1 : 13;
    for (int k = 0; k < 24; ++k) s.cAngles.push_back(std::to_string(15 * k));
    Loaded a;
    Load(a, MakeLdt(s));
    ASSERT_TRUE(a.ok);
    a.lum.FileDate = 2.61381e190;
    a.lum.CStep = 1e-9f;
    test::TempDir dir;
    ASSERT_TRUE(a.lum.SaveAs(fmtEulumdat, dir.file("damaged.ldt")));
    Loaded b;
    b.result = LoadLuminaire(dir.file("damaged.ldt"), b.lum, LoadValues::AsRead);
    ASSERT_TRUE(b.result.ok());
    EXPECT_TRUE(b.result.messages.empty());
    EXPECT_EQ(b.lum.CPlaneCount, a.lum.CPlaneCount);
  }
}

// A partial γ range is written as it is: filled out from 0 with zeros, the
// cell below its first angle would add the flux of a ramp.
TEST(Eulumdat, WriterKeepsPartialGammaRangesAndExtendsRotationalTables) {
  TLUM32 lum;
  ASSERT_TRUE(lum.CreateNew("x", psCGamma, symRotational, 0, 1, 0, 0, 0, {}, 19, 90, 5, 180, {}));
  for (int j = 1; j <= 19; ++j) lum.SetValue(1, j, 10.0f * j);
  test::TempDir dir;
  ASSERT_TRUE(lum.SaveAs(fmtEulumdat, dir.file("leuchte")));
  std::string text = test::readFile(dir.file("leuchte.LDT"));
  TTextReader in;
  in.OpenText(text);
  std::vector<std::string> lines;
  for (std::string s; in.ReadLine(s);) lines.push_back(s);
  EXPECT_EQ(lines[1], "2");  // width and diameter 0: linear
  EXPECT_EQ(lines[3], "24");
  EXPECT_EQ(lines[4], "15");
  EXPECT_EQ(lines[5], "19");
  EXPECT_EQ(lines[6], "5.0");
  std::size_t firstC = 26 + 6 * 0 + 10;
  EXPECT_EQ(lines[firstC], "0.0");
  EXPECT_EQ(lines[firstC + 23], "345.0");
  EXPECT_EQ(lines[firstC + 24], "90.0");
  EXPECT_EQ(lines[firstC + 24 + 18], "180.0");
  std::size_t firstValue = firstC + 24 + 19;
  EXPECT_EQ(lines[firstValue], "10.0");  // γ 90
  EXPECT_EQ(lines[firstValue + 18], "190.0");
  EXPECT_EQ(lines.size(), firstValue + 19);
}

TEST(Eulumdat, CorpusFilesLoadAndSurviveARoundTrip) {
  if (!test::corpusAvailable()) GTEST_SKIP() << "no corpus";
  int files = 0;
  for (auto& e : std::filesystem::recursive_directory_iterator(test::corpusPath(""))) {
    std::string ext = e.path().extension().string();
    if (ext != ".ldt" && ext != ".LDT") continue;
    std::string name = e.path().string();
    SCOPED_TRACE(name);
    test::RecordingUi ui;
    ScopedUiServices scope(ui);
    TLUM32 a;
    const LoadResult loaded = LoadLuminaire(name, a, LoadValues::AsRead);
    if (name.find("truncated") != std::string::npos) {
      EXPECT_FALSE(loaded.ok());
      EXPECT_EQ(loaded.messages.items.size(), 1u);
      continue;
    }
    ASSERT_TRUE(loaded.ok()) << (loaded.messages.empty() ? "" : loaded.messages.items[0].text);
    EXPECT_TRUE(loaded.messages.empty());
    ++files;
    a.CalcFlux();
    a.FindMaxIntensity();
    EXPECT_GT(a.LumFlux, 0);
    EXPECT_GE(a.DFF, 0);
    EXPECT_LE(a.DFF, 1);
    test::TempDir dir;
    ASSERT_TRUE(a.SaveAs(fmtEulumdat, dir.file("rt.ldt")));
    TLUM32 b;
    ASSERT_TRUE(LoadLuminaire(dir.file("rt.ldt"), b, LoadValues::AsRead).ok());
    b.CalcFlux();
    // Tables not starting at 0° are written on a grid extended to 0°, which
    // changes the cells at the edge of the range.
    if (a.GammaStart == 0) {
      EXPECT_NEAR(b.LumFlux, a.LumFlux, 1e-3 * a.LumFlux + 0.05);
    }
    for (int j = 1; j <= a.GammaCount; ++j)
      for (double c : {0.0, 33.0, 90.0, 200.0, 300.0}) {
        double g = a.GammaAngle(j);
        ASSERT_NEAR(b.Intensity(g, c), a.Intensity(g, c), 0.06 + 1e-4 * a.Intensity(g, c)) << g << " " << c;
      }
    EXPECT_TRUE(ui.shown.empty()) << ui.shown[0].text;
  }
  EXPECT_GT(files, 30);
}

}  // namespace
}  // namespace kandelo
