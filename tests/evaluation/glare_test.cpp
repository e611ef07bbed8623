// Luminance profiles, luminous sides and limiting luminances of the glare
// evaluation.
#include "evaluation/glare.h"

#include <gtest/gtest.h>

#include <cmath>

#include "lum_fixture.h"
#include "photometry/format_io.h"
#include "photometry/lum32.h"
#include "photometry/numeric.h"
#include "support/test_support.h"

namespace kandelo {
namespace {

// A rotational downlight with luminous sides, a long linear luminaire with
// luminous sides and a mostly indirect one.
const char* const kCorpusLuminaires[] = {
    "eulumdat-ugr/data/input/sample_05.ldt",
    "eulumdat-py/tests/samples/sample9.ldt",
    "eulumdat-ugr/data/input/sample_06.ldt",
};

// The luminous area seen from (γ, C), from the millimetre dimensions.
double AreaFromDimensions(const TLUM32& lum, double gamma, double c) {
  const double h0 = lum.LumAreaHeight[0] * 1e-3, h1 = lum.LumAreaHeight[1] * 1e-3;
  double ab, as1, as2;
  if (lum.LumAreaDiameter != 0) {
    const double d = lum.LumAreaDiameter * 1e-3;
    ab = M_PI * d * d / 4;
    as1 = as2 = d * h0;
  } else {
    const double l = lum.LumAreaLength * 1e-3, w = lum.LumAreaWidth * 1e-3;
    ab = l * w;
    as1 = l * h0;
    as2 = w * h1;
  }
  const double g = gamma * M_PI / 180, cr = c * M_PI / 180;
  return std::fabs(std::cos(g)) * ab + std::fabs(std::cos(cr) * std::sin(g)) * as1 +
         std::fabs(std::sin(cr) * std::sin(g)) * as2;
}

TEST(GlareProfile, EqualsIntensityOverProjectedAreaForCorpusLuminaires) {
  if (!test::corpusAvailable()) GTEST_SKIP() << "corpus not available";
  for (const char* name : kCorpusLuminaires) {
    SCOPED_TRACE(name);
    TLUM32 lum;
    ASSERT_TRUE(LoadLuminaire(test::corpusPath(name), lum, LoadValues::AsRead).ok());
    lum.CalcFlux();
    const double flux = lum.LampSets[0].SetFlux;
    ASSERT_GT(flux, 0);
    for (double c : {0.0, 90.0}) {
      const TLuminanceProfile p = LuminanceProfile(lum, c, flux);
      double minimum = 1e300;
      for (int n = 1; n <= kProfileSteps; ++n) {
        const double gamma = 45 + 0.25 * (n - 1);
        const double expected = lum.Intensity(gamma, c) * flux / 1000 / AreaFromDimensions(lum, gamma, c);
        ASSERT_NEAR(p[std::size_t(n)], expected, 1e-5 * expected + 1e-4) << "C" << c << " gamma " << gamma;
        minimum = std::min(minimum, expected);
      }
      EXPECT_NEAR(p[0], minimum, 1e-5 * minimum + 1e-4);
    }
  }
}

TEST(GlareProfile, NoLuminousAreaOrNoIntensityGivesZeroNotNaN) {
  auto lum = test::MakeLum(test::Lambert);
  lum->LumAreaLength = lum->LumAreaWidth = 0;
  for (float v : LuminanceProfile(*lum, 0, 1000)) EXPECT_EQ(v, 0.0f);
  // γ measured only up to 90°: the upper half reads 0 and the profile stays finite.
  auto half = test::MakeLum(test::Lambert, true, 90);
  for (float v : LuminanceProfile(*half, 90, 1000)) EXPECT_TRUE(std::isfinite(v));
}

TEST(GlareSides, PlanesShapesAndMissingHeight) {
  struct Case {
    const char* name;
    int length, width, diameter, height;
    bool c0, c90;
  };
  const Case cases[] = {
      {"long, sided", 1500, 60, 0, 30, true, false},   // length ≥ 2 × width: crosswise only
      {"square, sided", 600, 600, 0, 30, true, true},  // length/width < 2: both planes
      {"round, sided", 0, 0, 200, 50, true, true},
      {"long, flat", 1500, 60, 0, 0, false, false},   // no side height: never sided
      {"no width", 1500, 0, 0, 30, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TLUM32 lum;
    lum.LumAreaLength = static_cast<std::uint16_t>(c.length);
    lum.LumAreaWidth = static_cast<std::uint16_t>(c.width);
    lum.LumAreaDiameter = static_cast<std::uint16_t>(c.diameter);
    lum.LumAreaHeight = {static_cast<std::uint16_t>(c.height), static_cast<std::uint16_t>(c.height), 0, 0};
    EXPECT_EQ(HasLuminousSides(lum, 0), c.c0);
    EXPECT_EQ(HasLuminousSides(lum, 180), c.c0);
    EXPECT_EQ(HasLuminousSides(lum, 90), c.c90);
    EXPECT_EQ(HasLuminousSides(lum, 270), c.c90);
    const TGlareFamilies f = GlareFamilies(lum);
    EXPECT_EQ(f.plain, !(c.c0 && c.c90));
    EXPECT_EQ(f.sided, c.c0 || c.c90);
  }
}

TEST(GlareLimits, FormulaAtBothAnglesAndTheStraightLineBetween) {
  // G 1.5, E 1000 lx: d = 1.5.
  EXPECT_NEAR(LimitLuminance(45, false, 1.5, 1000), 1500 * std::pow(10, 0.4 * 2.25), 1e-6);
  EXPECT_NEAR(LimitLuminance(75, false, 1.5, 1000), 1000 * std::pow(10, 0.15 * 2.25), 1e-6);
  EXPECT_NEAR(LimitLuminance(45, true, 1.5, 1000), 1275 * std::pow(10, 0.26 * 2.25), 1e-6);
  EXPECT_NEAR(LimitLuminance(75, true, 1.5, 1000), 850 * std::pow(10, 0.07 * 2.25), 1e-6);
  // Vertical above 75°, geometric mean half way down to 45°.
  EXPECT_DOUBLE_EQ(LimitLuminance(85, false, 1.5, 1000), LimitLuminance(75, false, 1.5, 1000));
  EXPECT_NEAR(LimitLuminance(60, false, 1.5, 1000),
              std::sqrt(LimitLuminance(45, false, 1.5, 1000) * LimitLuminance(75, false, 1.5, 1000)), 1e-6);
  // Lower illuminance allows a higher luminance.
  EXPECT_GT(LimitLuminance(45, false, 1.5, 500), LimitLuminance(45, false, 1.5, 1000));
}

TEST(GlareLimits, CurvesTakeTheFirstNumberedRowAndThreeHundredAsTwoHundredFifty) {
  struct Case {
    int k, row, shown;
    double evaluated;
  };
  const Case cases[] = {{1, 0, 1000, 1000}, {4, 1, 750, 750},  {5, 0, 300, 250},
                        {6, 1, 300, 250},   {7, 2, 500, 500},  {9, 3, 300, 250}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.k);
    const TLimitCurve curve = LimitCurve(c.k);
    EXPECT_EQ(curve.row, c.row);
    EXPECT_EQ(curve.illuminance, c.shown);
    EXPECT_DOUBLE_EQ(curve.evaluated, c.evaluated);
    EXPECT_DOUBLE_EQ(curve.g, kGlareClassTable[c.row].g);
  }
  EXPECT_EQ(LimitCurve(0).row, -1);
  EXPECT_EQ(LimitCurve(10).row, -1);
}

}  // namespace
}  // namespace kandelo
