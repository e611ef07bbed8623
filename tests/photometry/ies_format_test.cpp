// IES LM-63 reading and writing.
#include "photometry/ies_format.h"

#include <gtest/gtest.h>

#include <cmath>

#include "photometry/format_io.h"
#include "photometry/lum32.h"
#include "photometry/reader_contract.h"
#include "support/test_support.h"

namespace kandelo {
namespace {

using test::TempDir;

class IesTest : public ::testing::Test {
 protected:
  // Writes the text as a file and loads it through the format dispatch.
  bool Load(const std::string& text, const std::string& name = "lum.ies") {
    path_ = dir_.file(name);
    test::writeFile(path_, text);
    LoadResult r = LoadLuminaire(path_, lum_, LoadValues::AsRead);
    diag_ = std::move(r.messages);
    return r.ok();
  }
  // Reads with the IES reader alone.
  ReadResult ReadDirect(const std::string& text) {
    path_ = dir_.file("direct.ies");
    test::writeFile(path_, text);
    lum_.Clear();
    lum_.SetFileName(path_);
    diag_ = {};
    return ReadIES(lum_, diag_);
  }

  TempDir dir_;
  Diagnostics diag_;  // of the last read
  TLUM32 lum_;
  std::string path_;
};

// A small type C file: 3 vertical angles; the horizontal angles as given,
// each plane's values 100·(plane index) + vertical index.
std::string TypeC(const std::string& hAngles, int nh, const std::string& head = "IESNA:LM-63-1995\nTILT=NONE\n") {
  std::string s = head + "1 1000 1 3 " + std::to_string(nh) + " 1 2 0.5 1.0 0\n1 1 30\n0 45 90\n" + hAngles + "\n";
  for (int i = 1; i <= nh; ++i)
    s += std::to_string(100 * i + 1) + " " + std::to_string(100 * i + 2) + " " + std::to_string(100 * i + 3) + "\n";
  return s;
}

TEST_F(IesTest, HorizontalAnglesGiveSymmetry) {
  struct Case {
    const char* angles;
    int nh;
    int symmetry;
    int planes;
    float cStep;
  } cases[] = {
      {"0 22.5 45 67.5 90 112.5 135 157.5 180 202.5 225 247.5 270 292.5 315 337.5 360", 17, symNone, 16, 22.5f},
      {"0 90", 2, symQuadrant, 2, 90},
      {"0 90 180", 3, symC0C180, 3, 90},
      {"90 180 270", 3, symC90C270, 3, 90},
      {"0", 1, symRotational, 1, 15},
      // C 0 and C 360 are the same plane: one plane remains.
      {"0 360", 2, symRotational, 1, 15},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.angles);
    ASSERT_TRUE(Load(TypeC(c.angles, c.nh)));
    EXPECT_EQ(lum_.FormatCode, fmtIes95);
    EXPECT_EQ(lum_.Symmetry, c.symmetry);
    EXPECT_EQ(lum_.CPlaneCount, c.planes);
    EXPECT_FLOAT_EQ(lum_.CStep, c.cStep);
    EXPECT_FLOAT_EQ(lum_.GammaEnd, 90);
    EXPECT_FLOAT_EQ(lum_.GetValue(1, 2), 102);
    EXPECT_FLOAT_EQ(lum_.GetValue(c.planes, 3), 100 * c.planes + 3);
    EXPECT_TRUE(diag_.empty());
  }
}

TEST_F(IesTest, IntensitiesRelativeOrAbsolute) {
  // 2 lamps of 500 lm, multiplier 2: 150 cd become 150·2/(1000/1000) cd/klm.
  ASSERT_TRUE(Load("IESNA91\nTILT=NONE\n2 500 2 2 1 1 2 0 0 0\n1 1 30\n0 90\n0\n150 50\n"));
  EXPECT_EQ(lum_.FormatCode, fmtIes91);
  EXPECT_EQ(lum_.LampSets[0].LampCount, 2);
  EXPECT_FLOAT_EQ(lum_.LampSets[0].SetFlux, 1000);
  EXPECT_FLOAT_EQ(lum_.GetValue(1, 1), 300);
  EXPECT_EQ(lum_.LampSets[0].SetWatt, 30);

  // Absolute photometry (−1): the table holds candela; the luminaire's own
  // flux becomes the lamp flux, so the LOR is 100 % and the candela come back.
  ASSERT_TRUE(Load("IESNA91\nTILT=NONE\n2 -1 3 2 1 1 2 0 0 0\n1 1 30\n0 90\n0\n150 50\n"));
  const auto candela = [&](int r, int c) { return lum_.GetValue(r, c) * lum_.LampSets[0].SetFlux / 1000; };
  const float flux = lum_.LampSets[0].SetFlux;
  EXPECT_GT(flux, 100);
  EXPECT_FLOAT_EQ(lum_.LampSets[0].LampFlux, flux / 2);
  EXPECT_NEAR(candela(1, 1), 450, 0.05);
  EXPECT_NEAR(candela(1, 2), 150, 0.05);
  lum_.CalcFlux();
  EXPECT_NEAR(lum_.LOR, 100, 0.01);

  // Written again and read back, the candela keep their digits.
  lum_.SetValue(1, 2, 4917.25f * 1000 / flux);
  ASSERT_TRUE(lum_.SaveAs(fmtIes95, dir_.file("again.ies")));
  ASSERT_TRUE(LoadLuminaire(dir_.file("again.ies"), lum_, LoadValues::AsRead).ok());
  EXPECT_NEAR(candela(1, 1), 450, 0.5);
  EXPECT_NEAR(candela(1, 2), 4917.25f, 0.5);

  // A dark absolute table stays as read instead of dividing by zero.
  ASSERT_TRUE(Load("IESNA91\nTILT=NONE\n2 -1 1 2 1 1 2 0 0 0\n1 1 30\n0 90\n0\n0 0\n"));
  EXPECT_FLOAT_EQ(lum_.LampSets[0].SetFlux, 2);
  EXPECT_FLOAT_EQ(lum_.GetValue(1, 1), 0);

  // Found by probing when the extension names no format.
  ASSERT_TRUE(Load("IESNA91\nTILT=NONE\n2 -1 3 2 1 1 2 0 0 0\n1 1 30\n0 90\n0\n150 50\n", "lum.dat"));
  EXPECT_EQ(lum_.FormatCode, fmtIes91);
}

TEST_F(IesTest, LuminousOpening) {
  struct Case {
    long long w, l, h;
    int shape;
    int width, length, diameter, height, areaHeight;
  } cases[] = {
      {152, 610, 0, 1, 152, 610, 0, 1, 0},      // rectangular, no height
      {-200, 0, 0, 4, 0, 0, 200, 1, 0},         // circular, flat
      {-200, 0, -200, 3, 0, 0, 200, 200, 200},  // sphere-like
      {-200, 0, 50, 2, 0, 0, 200, 50, 50},      // cylinder
      {-300, 600, 40, 7, 300, 600, 0, 40, 40},
      {300, 600, -40, 8, 600, 300, 0, 40, 40},
      {0, 0, 0, 0, 0, 0, 1, 1, 0},              // point source
      {300, 0, -100, 6, 300, 0, 100, 1, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.w << " " << c.l << " " << c.h);
    TLUM32 lum;
    MapIesOpening(lum, c.w, c.l, c.h);
    EXPECT_EQ(lum.AreaShape, c.shape);
    EXPECT_EQ(lum.Width, c.width);
    EXPECT_EQ(lum.Length, c.length);
    EXPECT_EQ(lum.Diameter, c.diameter);
    EXPECT_EQ(lum.Height[0], c.height);
    EXPECT_EQ(lum.LumAreaHeight[0], c.areaHeight);
  }
  // Feet are converted: 0.5 ft x 2 ft.
  ASSERT_TRUE(Load("IESNA91\nTILT=NONE\n1 1000 1 2 1 1 1 0.5 2 0\n1 1 30\n0 90\n0\n1 1\n"));
  EXPECT_EQ(lum_.Width, 152);
  EXPECT_EQ(lum_.Length, 610);
  ASSERT_TRUE(Load("IESNA91\nTILT=NONE\n1 1000 1 2 1 1 2 -0.2 0 0\n1 1 30\n0 90\n0\n1 1\n"));
  EXPECT_EQ(lum_.AreaShape, 4);
  EXPECT_EQ(lum_.Diameter, 200);
}

TEST_F(IesTest, VersionLine) {
  struct Case {
    const char* line;
    int code;
  } cases[] = {{"IESNA91", fmtIes91},          {"IESNA:LM-63-1995", fmtIes95},  {"IESNA:LM-63-2002", fmtIes95},
               {"IESNA: LM-63-2002 ", fmtIes95}, {"iesna:lm-63-2019", fmtIes95}, {"IES:LM-63-2019", fmtIes95},
               {"REPORT 123", fmtIes86},        {"IESNA95", fmtIes95},           {"IESNA 1995", fmtIes95}};
  for (const auto& c : cases) EXPECT_EQ(IesVersionCode(c.line), c.code) << c.line;

  // The edition and extension the conversion settings ask for.
  EXPECT_EQ(IesFormatForSetting(0), fmtIes86);
  EXPECT_EQ(IesFormatForSetting(1), fmtIes91);
  EXPECT_EQ(IesFormatForSetting(2), fmtIes95);
  EXPECT_EQ(IesFormatForSetting(7), fmtIes86);
  EXPECT_EQ(IesExtensionForSetting("ies"), ".ies");
  EXPECT_EQ(IesExtensionForSetting(" "), ".IES");
}

TEST_F(IesTest, KeywordsOfLaterEditions) {
  // Byte-order mark, keywords without a blank, a tab, [MORE] lines and an
  // external tilt file, which is accepted and not read.
  const std::string text =
      "\xEF\xBB\xBFIESNA:LM-63-2002\r\n"
      "[TEST]R-17\r\n"
      "[TESTLAB] Lab\r\n"
      "[MANUFAC]\tAcme Lighting\r\n"
      "[LUMINAIRE] Wide flood\r\n"
      "[MORE] for sports fields\r\n"
      "[LUMCAT] WF-400\r\n"
      "[OTHER] note\r\n"
      "[MORE] more note\r\n"
      "[LAMP] Metal halide \xC3\xA9t\xC3\xA9\r\n"
      "[DATE] 2001-02-18\r\n"
      "TILT=lamp.tlt\r\n"
      "1 1000 1 2 1 1 2 0 0 0\r\n1 1 30\r\n0 90\r\n0\r\n10 20\r\n";
  ASSERT_TRUE(Load(text));
  EXPECT_EQ(lum_.FormatCode, fmtIes95);
  EXPECT_EQ(lum_.Manufacturer, "Acme Lighting");
  EXPECT_EQ(lum_.LumName, "Wide flood for sports fields");
  EXPECT_EQ(lum_.LumNumber, "WF-400");
  EXPECT_EQ(lum_.InfoText1, "R-17");
  EXPECT_EQ(lum_.InfoText2, "2001-02-18");
  EXPECT_EQ(lum_.LampSets[0].LampType, "Metal halide \xE9t\xE9");  // UTF-8 text into 1252
  EXPECT_FLOAT_EQ(lum_.GetValue(1, 2), 20);

  // A version line spelt otherwise still has its keywords read.
  ASSERT_TRUE(Load("IESNA95\n[MANUFAC] Acme\n[LUMINAIRE] Spot\nTILT=NONE\n1 1000 1 2 1 1 2 0 0 0\n1 1 30\n0 90\n0\n10 20\n"));
  EXPECT_EQ(lum_.Manufacturer, "Acme");
  EXPECT_EQ(lum_.LumName, "Spot");

  // A 1986 file keeps its label lines out of the texts.
  ASSERT_TRUE(Load("[MANUFAC] Acme\nfree text\nTILT=NONE\n1 1000 1 2 1 1 2 0 0 0\n1 1 30\n0 90\n0\n10 20\n"));
  EXPECT_EQ(lum_.FormatCode, fmtIes86);
  EXPECT_EQ(lum_.Manufacturer, "");
}

TEST_F(IesTest, TiltDataAndMissingLastValue) {
  // Tilt angles over two lines; the last intensity is missing and reads as 0.
  ASSERT_TRUE(Load("IESNA:LM-63-1995\nTILT=INCLUDE\n1\n5\n0 45 90\n135 180\n1 .9 .8\n.7 .6\n"
                   "1 1000 1 3 1 1 2 0 0 0\n1 1 30\n0 45 90\n0\n10 20\n"));
  EXPECT_EQ(lum_.GammaCount, 3);
  EXPECT_FLOAT_EQ(lum_.GetValue(1, 2), 20);
  EXPECT_FLOAT_EQ(lum_.GetValue(1, 3), 0);
  EXPECT_TRUE(diag_.empty());
}

TEST_F(IesTest, NoTiltLineIsNotAnIesFile) {
  EXPECT_EQ(ReadDirect("IESNA:LM-63-1995\n[TEST] x\n1 1000 1 2 1 1 2 0 0 0\n").status, ReadStatus::NotMine);
  EXPECT_EQ(ReadDirect("").status, ReadStatus::NotMine);
  EXPECT_TRUE(diag_.empty());
}

TEST_F(IesTest, MalformedFilesAreRefused) {
  const std::string head = "IESNA:LM-63-1995\nTILT=NONE\n";
  struct Case {
    const char* what;
    std::string text;
    const char* message;  // part of the error text
  } cases[] = {
      {"vertical angles not ascending", head + "1 1000 1 3 1 1 2 0 0 0\n1 1 30\n0 45 45\n0\n1 2 3\n", "vertical angles do not ascend"},
      {"horizontal angles not ascending", head + "1 1000 1 2 2 1 2 0 0 0\n1 1 30\n0 90\n90 0\n1 2\n3 4\n", "horizontal angles do not ascend"},
      {"zero vertical count", head + "1 1000 1 0 1 1 2 0 0 0\n1 1 30\n\n0\n", "invalid numbers of angles"},
      {"negative horizontal count", head + "1 1000 1 2 -3 1 2 0 0 0\n1 1 30\n0 90\n0\n1 2\n", "invalid numbers of angles"},
      {"huge counts", head + "1 1000 1 60000 60000 1 2 0 0 0\n1 1 30\n0 1 2 3\n", "shorter than"},
      {"counts beyond the format", head + "1 1000 1 70000 1 1 2 0 0 0\n1 1 30\n0 1\n", "invalid numbers of angles"},
      {"ends in the angles", head + "1 1000 1 3 2 1 2 0 0 0\n1 1 30\n0 45 90\n0\n", "ends in the angle lists"},
      {"two values missing", head + "1 1000 1 3 2 1 2 0 0 0\n1 1 30\n0 45 90\n0 90\n1 2 3\n4\n", "ends in the intensity"},
      {"block missing", head + "1 1000 1 2 3 1 2 0 0 0\n1 1 30\n0 90\n0 45 90\n1 2\n3 4\n", "ends in the intensity"},
      {"no numbers", head, "ends before the photometric data"},
      {"no ballast line", head + "1 1000 1 2 1 1 2 0 0 0\n", "ends before the photometric data"},
      {"vertical angle above 180", head + "1 1000 1 2 1 1 2 0 0 0\n1 1 30\n0 200\n0\n1 2\n", "angles outside"},
      {"negative horizontal angle", head + "1 1000 1 2 2 1 2 0 0 0\n1 1 30\n0 90\n-90 0\n1 2\n3 4\n", "angles outside"},
      {"one vertical angle", head + "1 1000 1 1 1 1 2 0 0 0\n1 1 30\n0\n0\n5\n", "two vertical angles"},
      {"tilt pairs beyond the file", "IESNA:LM-63-1995\nTILT=INCLUDE\n1\n1000000\n0 90\n1 1\n", "tilt data"},
      {"tilt pairs beyond any count", "IESNA:LM-63-1995\nTILT=INCLUDE\n1\n1e300\n0 90\n1 1\n", "tilt data"},
      {"tilt data cut short", "IESNA:LM-63-1995\nTILT=INCLUDE\n1\n", "tilt data"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    diag_ = {};
    ReadResult r = ReadDirect(c.text);
    EXPECT_EQ(r.status, ReadStatus::Failed);
    ASSERT_EQ(diag_.items.size(), 1u);
    EXPECT_NE(diag_.items[0].text.find(c.message), std::string::npos) << diag_.items[0].text;
    EXPECT_NE(diag_.items[0].text.find("direct.ies"), std::string::npos);
    // Through the dispatch the load fails and leaves a cleared luminaire.
    diag_ = {};
    EXPECT_FALSE(Load(c.text));
    EXPECT_EQ(lum_.FormatCode, fmtUnknown);
    EXPECT_FALSE(lum_.Table);
  }
}

// A C-γ luminaire with uneven γ steps (0.25° must survive), symmetry 2.
void FillCGamma(TLUM32& lum, const std::string& name) {
  ASSERT_TRUE(lum.CreateNew(name, psCGamma, symC0C180, kGammaNotEquidistant, 3, 0, 90, 180, {}, 5, 0, 0.25f, 90,
                            {0, 0.25f, 0.5f, 45, 90}));
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 5; ++j) lum.SetValue(i, j, 100.0f * i + 10.0f * j + 0.5f);
  lum.Manufacturer = "Acme";
  lum.LumName = "Downlight";
  lum.LumNumber = "DL-1";
  lum.ReportNumber = "R-9";
  lum.InfoText1 = "first";
  lum.InfoText2 = "second";
  lum.LampSetCount = 1;
  lum.LampSets[0] = {1, "LED", 1000, 1000, "", "", 40};
  lum.LumAreaLength = 600;
  lum.LumAreaWidth = 300;
  lum.LumAreaHeight[0] = 20;
}

TEST_F(IesTest, RoundTripEachVersion) {
  for (std::uint8_t code : {fmtIes86, fmtIes91, fmtIes95}) {
    SCOPED_TRACE(int(code));
    TLUM32 src;
    FillCGamma(src, dir_.file("src.l32"));
    const std::string out = dir_.file("out" + std::to_string(code) + ".ies");
    ASSERT_TRUE(src.SaveAs(code, out));
    EXPECT_EQ(src.FileName, dir_.file("src.l32"));
    ASSERT_TRUE(LoadLuminaire(out, lum_, LoadValues::AsRead).ok());
    EXPECT_EQ(lum_.FormatCode, code);
    EXPECT_EQ(lum_.Symmetry, symC0C180);
    ASSERT_EQ(lum_.CPlaneCount, 3);
    ASSERT_EQ(lum_.GammaCount, 5);
    for (int j = 1; j <= 5; ++j) EXPECT_FLOAT_EQ(lum_.GammaAngle(j), src.GammaAngle(j));
    for (int i = 1; i <= 3; ++i) {
      EXPECT_FLOAT_EQ(lum_.CAngle(i), src.CAngle(i));
      for (int j = 1; j <= 5; ++j) EXPECT_NEAR(lum_.GetValue(i, j), src.GetValue(i, j), 0.051);
    }
    EXPECT_EQ(lum_.LumAreaLength, 600);
    EXPECT_EQ(lum_.LumAreaWidth, 300);
    EXPECT_EQ(lum_.LumAreaHeight[0], 20);
    EXPECT_FLOAT_EQ(lum_.LampSets[0].SetFlux, 1000);
    EXPECT_EQ(lum_.LampSets[0].SetWatt, 40);
    if (code == fmtIes86) {
      EXPECT_EQ(lum_.Manufacturer, "");
    } else {
      EXPECT_EQ(lum_.Manufacturer, "Acme");
      EXPECT_EQ(lum_.LumName, "Downlight");
      EXPECT_EQ(lum_.LumNumber, "DL-1");
      EXPECT_EQ(lum_.InfoText1, "R-9");  // [TEST] carries the report number
    }
    EXPECT_TRUE(diag_.empty());
  }
}

TEST_F(IesTest, RoundTripTypeB) {
  TLUM32 src;
  ASSERT_TRUE(src.CreateNew(dir_.file("b.l32"), psBBeta, symNone, 0, 5, -90, 45, 90, {}, 7, -90, 30, 90, {}));
  for (int i = 1; i <= 5; ++i)
    for (int j = 1; j <= 7; ++j) src.SetValue(i, j, 10.0f * i + j);
  src.LampSets[0] = {1, "HPS", 1000, 1000, "", "", 250};
  const std::string out = dir_.file("b.ies");
  ASSERT_TRUE(src.SaveAs(fmtIes95, out));
  ASSERT_TRUE(LoadLuminaire(out, lum_, LoadValues::AsRead).ok());
  EXPECT_EQ(lum_.PlaneSystem, psBBeta);
  ASSERT_EQ(lum_.CPlaneCount, 5);
  ASSERT_EQ(lum_.GammaCount, 7);
  EXPECT_FLOAT_EQ(lum_.CStart, -90);
  EXPECT_FLOAT_EQ(lum_.GammaEnd, 90);
  for (int i = 1; i <= 5; ++i)
    for (int j = 1; j <= 7; ++j) EXPECT_NEAR(lum_.GetValue(i, j), src.GetValue(i, j), 0.051) << i << "," << j;
}

TEST_F(IesTest, WriterRules) {
  TLUM32 src;
  FillCGamma(src, dir_.file("src.l32"));
  src.LampSets[0].SetFlux = 0;
  src.LampSets[0].LampCount = 0;
  src.InfoText1 = "";
  const std::string out = dir_.file("w.ies");
  ASSERT_TRUE(src.SaveAs(fmtIes95, out));
  const std::string text = test::readFile(out);
  // Flux 0 becomes 1000 lm per lamp; values are then the relative ones.
  EXPECT_FLOAT_EQ(src.LampSets[0].SetFlux, 1000);
  EXPECT_EQ(src.LampSets[0].LampCount, 1);
  EXPECT_NE(text.find("TILT=NONE\r\n1    1000 1.0 5 3 1 2 0.300 0.600 0.020\r\n1.0 1.0 40\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("     110.5     120.5"), std::string::npos);
  // Without InfoText1 neither [OTHER] nor [MORE] is written.
  EXPECT_EQ(text.find("[OTHER]"), std::string::npos);
  EXPECT_EQ(text.find("[MORE]"), std::string::npos);
  EXPECT_NE(text.find("   0.0  0.25   0.5  45.0  90.0\r\n"), std::string::npos) << text;

  src.InfoText1 = "note";
  ASSERT_TRUE(src.SaveAs(fmtIes91, out));
  const std::string text91 = test::readFile(out);
  EXPECT_EQ(text91.rfind("IESNA91\r\n[TEST] R-9\r\n", 0), 0u);
  EXPECT_NE(text91.find("[OTHER] note\r\n[MORE] second\r\n"), std::string::npos);

  // Long lists wrap: no line longer than 73 characters plus one item.
  TLUM32 wide;
  ASSERT_TRUE(wide.CreateNew(dir_.file("wide.l32"), psCGamma, symRotational, 0, 1, 0, 0, 0, {}, 181, 0, 1, 180, {}));
  ASSERT_TRUE(wide.SaveAs(fmtIes86, out));
  std::size_t start = 0, longest = 0;
  const std::string wideText = test::readFile(out);
  for (std::size_t end; (end = wideText.find("\r\n", start)) != std::string::npos; start = end + 2)
    longest = std::max(longest, end - start);
  EXPECT_LE(longest, 84u);
  ASSERT_TRUE(LoadLuminaire(out, lum_, LoadValues::AsRead).ok());
  EXPECT_EQ(lum_.GammaCount, 181);
  EXPECT_EQ(lum_.Symmetry, symRotational);
}

}  // namespace
}  // namespace kandelo

namespace kandelo {
namespace {

// Every prefix of a valid file, and every single byte replaced by a hostile
// one: no crash, and a file cut before its last line is never read as valid.
TEST(TextFormatsHostileInput, PrefixesAndDamagedBytes) {
  test::TempDir dir;
  struct Format {
    ReaderFn read;
    std::string text;
    const char* lastDataLine;  // the area line of TM14 files is optional
  } formats[] = {
      {ReadIES, "IESNA:LM-63-1995\n[MANUFAC] A\nTILT=INCLUDE\n1\n2\n0 90\n1 1\n2 500 2 3 2 1 2 -0.2 0 0.1\n"
                "1 1 30\n0 45 90\n0 90\n10 20 30\n40 50 60\n", "40 50 60"},
      {ReadTM14, "CIBSE/1\nR\nC\nN\nL\n1000 lm\nR\nI\n1 1 0.6 1.2 0.05\n1.0 30 30\n0\n3 2\n0 45 90\n90 0\n"
                 "1 2 3\n4 5 6\n1 0.5 0.1 0.05\n", "4 5 6"},
  };
  const std::string path = dir.file("f.txt");
  for (const auto& f : formats) {
    const std::size_t lastLine = f.text.find(f.lastDataLine);
    for (std::size_t n = 0; n < f.text.size(); ++n) {
      test::writeFile(path, f.text.substr(0, n));
      TLUM32 lum;
      lum.SetFileName(path);
      ReadResult r = test::ReadChecked(f.read, lum);
      if (n < lastLine) {
        EXPECT_NE(r.status, ReadStatus::Ok) << n;
      }
    }
    for (std::size_t n = 0; n < f.text.size(); ++n)
      for (char bad : {'\0', '9', '\n'}) {
        std::string damaged = f.text;
        damaged[n] = bad;
        test::writeFile(path, damaged);
        TLUM32 lum;
        lum.SetFileName(path);
        if (test::ReadChecked(f.read, lum).status == ReadStatus::Ok) {
          lum.CalcFlux();
          lum.FindMaxIntensity();
          (void)lum.Intensity(45, 30);
        }
      }
  }
}

}  // namespace
}  // namespace kandelo
