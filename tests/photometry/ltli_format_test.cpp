// LTLI reading and TLUM32::RotateDistribution.
#include "photometry/ltli_format.h"

#include <gtest/gtest.h>

#include "frame/strutil.h"
#include "photometry/format_io.h"
#include "support/test_support.h"

namespace kandelo {
namespace {

// Line 1 of an LTLI file: nine 4-column fields, "LTLI", an optional name.
std::string FirstLine(std::initializer_list<long long> fields, const std::string& tail = "") {
  std::string s;
  for (long long f : fields) s += PadLeft(std::to_string(f), 4);
  return s + "LTLI" + tail + "\n";
}

std::string Values(std::initializer_list<int> values) {
  std::string s;
  int n = 0;
  for (int v : values) {
    s += PadLeft(std::to_string(v), 4);
    if (++n % 17 == 0) s += "\n";
  }
  return s + "\n";
}

const char* const kTexts = "R-5\nAcme\nStreet light\ninfo\n";

class LtliTest : public ::testing::Test {
 protected:
  ReadResult ReadText(const std::string& text) {
    path_ = dir_.file("A1234.001");
    test::writeFile(path_, text);
    lum_.Clear();
    lum_.SetFileName(path_);
    diag_ = {};
    return ReadLTLI(lum_, diag_);
  }

  test::TempDir dir_;
  Diagnostics diag_;  // of the last read
  TLUM32 lum_;
  std::string path_;
};

TEST_F(LtliTest, FullCircleTurnedByOrientation) {
  // P = 360 in 90° planes, γ 0 … 180 in 90° steps; at γ 90 the planes
  // C0 … C360 hold 100, 200, 300, 400, 100.
  const std::string data = Values({500, 500, 500, 500, 500, 100, 200, 300, 400, 100, 0, 0, 0, 0, 0});
  ASSERT_EQ(ReadText(FirstLine({1234, 360, 180, 90, 90, -90, 60, 30, 5}) + kTexts + data).status, ReadStatus::Ok);
  const float unturnedLor = lum_.LOR;
  EXPECT_EQ(lum_.CPlaneCount, 5);
  EXPECT_FLOAT_EQ(lum_.Intensity(90, 90), 200);

  // Orientation 0: the distribution turns by 90° towards increasing C.
  ASSERT_EQ(ReadText(FirstLine({1234, 360, 180, 90, 90, 0, 60, 30, 5}) + kTexts + data).status, ReadStatus::Ok);
  EXPECT_EQ(lum_.LumNumber, "1234");
  EXPECT_EQ(lum_.ReportNumber, "R-5");
  EXPECT_EQ(lum_.Manufacturer, "Acme");
  EXPECT_EQ(lum_.LumName, "Street light");
  EXPECT_EQ(lum_.InfoText1, "info");
  EXPECT_EQ(lum_.LumAreaLength, 600);
  EXPECT_EQ(lum_.LumAreaWidth, 300);
  EXPECT_EQ(lum_.LumAreaHeight[0], 50);
  EXPECT_EQ(lum_.Symmetry, symNone);
  EXPECT_EQ(lum_.CPlaneCount, 4);
  EXPECT_FLOAT_EQ(lum_.CEnd, 270);
  EXPECT_NEAR(lum_.Intensity(90, 90), 100, 0.01);
  EXPECT_NEAR(lum_.Intensity(90, 180), 200, 0.01);
  EXPECT_NEAR(lum_.Intensity(90, 0), 400, 0.01);
  EXPECT_NEAR(lum_.Intensity(0, 45), 500, 0.01);
  EXPECT_NEAR(lum_.LOR, unturnedLor, 1e-3);
  EXPECT_EQ(lum_.FluxValid, 1);
}

TEST_F(LtliTest, QuadrantReversedAndRotational) {
  // P = 90, orientation 0: the planes come in reverse order.
  ASSERT_EQ(ReadText(FirstLine({7, 90, 90, 90, 45, 0, 0, 0, 0}) + kTexts + Values({10, 20, 11, 21, 0, 0})).status,
            ReadStatus::Ok);
  EXPECT_EQ(lum_.Symmetry, symQuadrant);
  EXPECT_EQ(lum_.GammaCount, 3);
  EXPECT_FLOAT_EQ(lum_.GetValue(2, 1), 10);  // the first plane of the file is C90
  EXPECT_FLOAT_EQ(lum_.GetValue(1, 2), 21);

  // P = 0: one plane; the flux is computed by the reader.
  ASSERT_EQ(ReadText(FirstLine({7, 0, 90, 0, 45, 0, 0, 0, 0}) + kTexts + Values({300, 200, 0})).status,
            ReadStatus::Ok);
  EXPECT_EQ(lum_.Symmetry, symRotational);
  EXPECT_EQ(lum_.CPlaneCount, 1);
  EXPECT_EQ(lum_.FluxValid, 1);
  EXPECT_GT(lum_.LumFlux, 0);
  EXPECT_FLOAT_EQ(lum_.Imax, 300);
}

TEST_F(LtliTest, NameAndTextsFromOem) {
  lum_.OemTexts = 1;
  path_ = dir_.file("x.ltl");
  test::writeFile(path_, FirstLine({-1, 0, 90, 0, 45, 0, 0, 0, 0}, "M\x81LLER  ") + "R\nGr\x81n\nL\nI\n" + Values({1, 1, 1}));
  lum_.SetFileName(path_);
  ASSERT_EQ(ReadLTLI(lum_, diag_).status, ReadStatus::Ok);
  EXPECT_EQ(lum_.LumNumber, "M\xFCLLER");
  EXPECT_EQ(lum_.Manufacturer, "Gr\xFCn");
}

TEST_F(LtliTest, Refusals) {
  EXPECT_EQ(ReadText("just text\n").status, ReadStatus::NotMine);
  EXPECT_EQ(ReadText(FirstLine({1, 0, 90, 0, 45, 0, 0, 0, 0}).replace(36, 4, "LTLX")).status, ReadStatus::NotMine);
  EXPECT_TRUE(diag_.empty());
  struct Case {
    const char* what;
    std::string text;
    const char* message;
  } cases[] = {
      {"gamma step 0", FirstLine({1, 0, 90, 0, 0, 0, 0, 0, 0}) + kTexts + Values({1}), "invalid gamma"},
      {"gamma range 0", FirstLine({1, 0, 0, 0, 5, 0, 0, 0, 0}) + kTexts + Values({1}), "invalid gamma"},
      {"plane range 400", FirstLine({1, 400, 90, 10, 5, 0, 0, 0, 0}) + kTexts + Values({1}), "invalid plane"},
      {"plane step 0", FirstLine({1, 180, 90, 0, 5, 0, 0, 0, 0}) + kTexts + Values({1}), "invalid plane"},
      {"texts missing", FirstLine({1, 0, 90, 0, 45, 0, 0, 0, 0}) + "R\n", "ends in its texts"},
      {"values missing", FirstLine({1, 360, 180, 1, 1, 0, 0, 0, 0}) + kTexts + Values({1, 2}), "shorter than"},
      {"last line missing", FirstLine({1, 180, 90, 10, 10, 0, 0, 0, 0}) + kTexts + Values({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17}) + "\n",
       "ends in the intensity"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    diag_ = {};
    EXPECT_EQ(ReadText(c.text).status, ReadStatus::Failed);
    ASSERT_EQ(diag_.items.size(), 1u);
    EXPECT_NE(diag_.items[0].text.find(c.message), std::string::npos) << diag_.items[0].text;
  }
}

TEST(RotateDistribution, TiltInTheC0Plane) {
  // A downlight tilted by 90° in the C0 plane shines towards C180, γ 90.
  TLUM32 lum;
  ASSERT_TRUE(lum.CreateNew("", psCGamma, symRotational, 0, 1, 0, 0, 0, {}, 5, 0, 45, 180, {}));
  lum.SetValue(1, 1, 1000);
  lum.SetValue(1, 2, 500);
  lum.CalcFlux();
  const float lor = lum.LOR;
  lum.RotateDistribution(0, 90, 0);
  EXPECT_EQ(lum.Symmetry, symNone);
  EXPECT_EQ(lum.CPlaneCount, 24);
  EXPECT_EQ(lum.GammaCount, 5);
  EXPECT_NEAR(lum.LOR, lor, 1e-3);
  lum.FindMaxIntensity();
  EXPECT_FLOAT_EQ(lum.ImaxGamma, 90);
  EXPECT_FLOAT_EQ(lum.ImaxC, 180);
  EXPECT_NEAR(lum.Intensity(0, 0), 0, 1e-3);
}

TEST(RotateDistribution, RefusesWhatItCannotTurn) {
  TLUM32 lum;
  ASSERT_TRUE(lum.CreateNew("", psCGamma, symNone, kCNotEquidistant, 3, 0, 0, 200, {0, 50, 200}, 3, 0, 90, 180, {}));
  lum.SetValue(1, 1, 100);
  lum.RotateDistribution(90, 0, 0);  // planes without a common step
  EXPECT_EQ(lum.CPlaneCount, 3);
  lum.Valid = 0;
  lum.CStep = 50;
  lum.RotateDistribution(90, 0, 0);  // not valid
  EXPECT_EQ(lum.CPlaneCount, 3);
  EXPECT_FLOAT_EQ(lum.GetValue(1, 1), 100);
}

}  // namespace
}  // namespace kandelo
