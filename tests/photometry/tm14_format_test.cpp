// CIBSE TM14 reading and writing.
#include "photometry/tm14_format.h"

#include <gtest/gtest.h>

#include "photometry/format_io.h"
#include "photometry/numeric.h"
#include "support/test_support.h"

namespace kandelo {
namespace {

class Tm14Test : public ::testing::Test {
 protected:
  ReadResult ReadText(const std::string& text) {
    path_ = dir_.file("lum.cib");
    test::writeFile(path_, text);
    lum_.Clear();
    lum_.SetFileName(path_);
    diag_ = {};
    return ReadTM14(lum_, diag_);
  }

  test::TempDir dir_;
  Diagnostics diag_;  // of the last read
  TLUM32 lum_;
  std::string path_;
};

const char* const kHead =
    "CIBSE/1\nR-1\nCAT-1\nOffice luminaire\n2 x T5 28W\n   1000 lm\nR-1\ninfo\n";

TEST_F(Tm14Test, ReadsTypeCWithDescendingPlanes) {
  // Planes listed 90, 45, 0: the table ascends and the blocks follow their planes.
  ReadResult r = ReadText(std::string(kHead) +
                          "2 1 0.600 1.200 0.050\n1.0 60 30\n7.5\n3 3\n0 45 90\n90 45 0\n"
                          "90 91 92\n45 46 47\n0 1 2\n1 0.5 0.1 0.05\n");
  ASSERT_EQ(r.status, ReadStatus::Ok);
  EXPECT_EQ(r.code, fmtTm14);
  EXPECT_EQ(lum_.ReportNumber, "R-1");
  EXPECT_EQ(lum_.LumNumber, "CAT-1");
  EXPECT_EQ(lum_.LumName, "Office luminaire");
  EXPECT_EQ(lum_.LampSets[0].LampType, "2 x T5 28W");
  EXPECT_EQ(lum_.InfoText1, "2 x T5 28W");
  EXPECT_EQ(lum_.InfoText2, "1000 lm");
  EXPECT_EQ(lum_.LampSets[0].LampCount, 2);
  EXPECT_FLOAT_EQ(lum_.LampSets[0].LampFlux, 500);
  EXPECT_FLOAT_EQ(lum_.LampSets[0].SetFlux, 1000);
  EXPECT_EQ(lum_.LampSets[0].SetWatt, 60);
  EXPECT_FLOAT_EQ(lum_.CircuitWatts, 60);
  EXPECT_FLOAT_EQ(lum_.MeasValue510, 2);
  EXPECT_FLOAT_EQ(lum_.Tm14Value, 7.5f);
  EXPECT_EQ(lum_.Width, 600);
  EXPECT_EQ(lum_.Length, 1200);
  EXPECT_EQ(lum_.Height[0], 50);
  EXPECT_EQ(lum_.Symmetry, symQuadrant);
  for (int i = 1; i <= 3; ++i) {
    EXPECT_FLOAT_EQ(lum_.CAngle(i), 45.0f * (i - 1));
    EXPECT_FLOAT_EQ(lum_.GetValue(i, 2), 45.0f * (i - 1) + 1);
  }
  EXPECT_EQ(lum_.AreaShape, 1);
  EXPECT_EQ(lum_.LumAreaLength, 1000);  // from 0.5 m² and 1200:600
  EXPECT_EQ(lum_.LumAreaWidth, 500);
  EXPECT_EQ(lum_.LumAreaHeight[0], 100);
}

TEST_F(Tm14Test, AreaLine) {
  TLUM32 lum;
  lum.Length = 1000;
  lum.Width = 500;
  ApplyTm14Area(lum, 1, 0.5, 0.1, 0.05);
  EXPECT_EQ(lum.AreaShape, 1);
  EXPECT_EQ(lum.LumAreaLength, 1000);
  EXPECT_EQ(lum.LumAreaWidth, 500);
  EXPECT_EQ(lum.LumAreaHeight[0], 100);

  TLUM32 round;
  round.Length = 250;
  ApplyTm14Area(round, 3, kPi / 100, 0.01, 0.01);
  EXPECT_EQ(round.AreaShape, 2);
  EXPECT_EQ(round.Diameter, 250);
  EXPECT_EQ(round.Length, 0);
  EXPECT_EQ(round.LumAreaDiameter, 200);
  EXPECT_EQ(round.LumAreaHeight[0], 50);

  TLUM32 odd;
  ApplyTm14Area(odd, 1, -1, 0.1, 0);  // nonsense areas leave no garbage
  EXPECT_EQ(odd.LumAreaLength, 0);
  EXPECT_EQ(odd.LumAreaHeight[0], 0);
}

TEST_F(Tm14Test, RefusesWhatItCannotRead) {
  // Not TM14 at all, or a photometric type it does not know: silently not mine.
  EXPECT_EQ(ReadText("CIBSE/2\n").status, ReadStatus::NotMine);
  EXPECT_EQ(ReadText(std::string(kHead) + "1 3 0 0 0\n1 0 0\n0\n2 1\n0 90\n0\n1 2\n").status, ReadStatus::NotMine);
  EXPECT_TRUE(diag_.empty());

  struct Case {
    const char* what;
    std::string body;
    const char* message;
  } cases[] = {
      {"too few numbers", "1 1 0 0 0\n1 0 0\n0\n3 2\n0 45 90\n0 90\n1 2 3\n", "file parse error : 2"},
      {"huge counts", "1 1 0 0 0\n1 0 0\n0\n60000 60000\n0 1\n", "file parse error : 2"},
      {"lists sharing a line", "1 1 0 0 0\n1 0 0\n0\n2 1\n0 90 0\n1 2\n", "file parse error : 2"},
      {"zero count", "1 1 0 0 0\n1 0 0\n0\n0 1\n0\n", "invalid numbers of angles"},
      {"header cut short", "1 1 0 0 0\n", "file parse error : 2"},
      {"gamma angles not ascending", "1 1 0 0 0\n1 0 0\n0\n2 1\n90 0\n0\n1 2\n", "do not ascend"},
      {"planes out of order", "1 1 0 0 0\n1 0 0\n0\n2 3\n0 90\n0 90 45\n1 2\n1 2\n1 2\n", "not in order"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    diag_ = {};
    EXPECT_EQ(ReadText(std::string(kHead) + c.body).status, ReadStatus::Failed);
    ASSERT_EQ(diag_.items.size(), 1u);
    EXPECT_NE(diag_.items[0].text.find(c.message), std::string::npos) << diag_.items[0].text;
  }
}

void CheckSameTable(const TLUM32& a, const TLUM32& b) {
  ASSERT_EQ(a.CPlaneCount, b.CPlaneCount);
  ASSERT_EQ(a.GammaCount, b.GammaCount);
  for (int j = 1; j <= a.GammaCount; ++j) EXPECT_FLOAT_EQ(a.GammaAngle(j), b.GammaAngle(j));
  for (int i = 1; i <= a.CPlaneCount; ++i) {
    EXPECT_FLOAT_EQ(a.CAngle(i), b.CAngle(i));
    for (int j = 1; j <= a.GammaCount; ++j) EXPECT_NEAR(a.GetValue(i, j), b.GetValue(i, j), 0.051);
  }
}

TEST_F(Tm14Test, RoundTrip) {
  TLUM32 src;
  ASSERT_TRUE(src.CreateNew(dir_.file("s.l32"), psCGamma, symQuadrant, 0, 3, 0, 45, 90, {}, 19, 0, 5, 90, {}));
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 19; ++j) src.SetValue(i, j, 300.0f - 15.0f * j + i + 0.25f);
  src.ReportNumber = "R-2";
  src.LumNumber = "CAT-2";
  src.LumName = "Panel";
  src.LampSetCount = 1;
  src.LampSets[0] = {1, "LED", 3000, 3000, "", "", 35};
  src.Length = 1200;
  src.Width = 600;
  src.Height[0] = 50;
  src.LumAreaLength = 600;
  src.LumAreaWidth = 300;
  src.LumAreaHeight[0] = 20;
  const std::string out = dir_.file("rt.cib");
  ASSERT_TRUE(src.SaveAs(fmtTm14, out));
  ASSERT_TRUE(LoadLuminaire(out, lum_, LoadValues::AsRead).ok());
  EXPECT_EQ(lum_.FormatCode, fmtTm14);
  EXPECT_EQ(lum_.ReportNumber, "R-2");
  EXPECT_EQ(lum_.LumNumber, "CAT-2");
  EXPECT_EQ(lum_.LumName, "Panel");
  EXPECT_EQ(lum_.LampSets[0].LampType, "1 x LED");
  EXPECT_EQ(lum_.LampSets[0].SetWatt, 35);
  EXPECT_EQ(lum_.Length, 1200);
  EXPECT_EQ(lum_.Width, 600);
  EXPECT_EQ(lum_.Symmetry, symQuadrant);
  CheckSameTable(src, lum_);
  EXPECT_EQ(lum_.AreaShape, 1);
  EXPECT_EQ(lum_.LumAreaLength, 600);
  EXPECT_EQ(lum_.LumAreaWidth, 300);
  EXPECT_EQ(lum_.LumAreaHeight[0], 20);
  EXPECT_EQ(test::readFile(out).find("CIBSE/2"), std::string::npos);

  // Type B keeps its planes and angles.
  TLUM32 b;
  ASSERT_TRUE(b.CreateNew(dir_.file("b.l32"), psBBeta, symNone, 0, 3, -45, 45, 45, {}, 5, -90, 45, 90, {}));
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 5; ++j) b.SetValue(i, j, 10.0f * i + j);
  ASSERT_TRUE(b.SaveAs(fmtTm14, out));
  ASSERT_TRUE(LoadLuminaire(out, lum_, LoadValues::AsRead).ok());
  EXPECT_EQ(lum_.PlaneSystem, psBBeta);
  CheckSameTable(b, lum_);

  // A-α data have no TM14 form: nothing is written.
  b.PlaneSystem = psAAlpha;
  EXPECT_FALSE(b.SaveAs(fmtTm14, dir_.file("a.cib")));
}

TEST_F(Tm14Test, VersionTwoSection) {
  TLUM32 src;
  ASSERT_TRUE(src.CreateNew(dir_.file("s.l32"), psCGamma, symRotational, 0, 1, 0, 0, 0, {}, 3, 0, 45, 90, {}));
  for (int j = 1; j <= 3; ++j) src.SetValue(1, j, 100);
  src.LumName = "Panel";
  src.LampSets[0] = {2, "LED", 1500, 3000, "", "", 35};
  src.Length = 1200;
  src.WriteCibseExtension = 1;
  // The evaluation results, as the converter stores them before writing.
  src.CibseUF[0][0] = 45;
  src.CibseUF[9][8] = 255;
  src.CibseBz = {1, 2, 3, 4, 5, 6, 7, 8, 255};
  src.ShrNom = 1.25f;
  src.ExportUgr[0] = 18.3f;
  src.ExportUgr[95] = 20.1f;
  const std::string out = dir_.file("v2.cib");
  ASSERT_TRUE(src.SaveAs(fmtTm14, out));
  const std::string text = test::readFile(out);
  EXPECT_NE(text.find("100 0 0 0\r\nCIBSE/2\r\nPanel\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("1.250 0.000\r\n 0.45 0.00"), std::string::npos) << text;
  EXPECT_NE(text.find(" 0.00  N/A\r\n  1  2  3  4  5  6  7  8N/A \r\n 18.3  0.0"), std::string::npos) << text;
  EXPECT_NE(text.find("\r\n 20.1  0.0  0.0  0.0  0.0\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\n1\r\n 1200  2  35 1.0 1.0   35  35\r\n"), std::string::npos) << text;
  ASSERT_TRUE(LoadLuminaire(out, lum_, LoadValues::AsRead).ok());  // the section does not disturb reading
  EXPECT_EQ(lum_.FormatCode, fmtTm14);
}

}  // namespace
}  // namespace kandelo
