// Floor illuminance curves and the luminaire count.
#include "evaluation/quick_planning.h"

#include <gtest/gtest.h>

#include <cmath>

#include "lum_fixture.h"
#include "photometry/format_io.h"
#include "photometry/lum32.h"
#include "support/test_support.h"

namespace kandelo {
namespace {

// Section point at distance 0 of the default section (−2 … 6 m in 320 steps).
constexpr int kBelow = 80;

TEST(FloorCurves, BelowTheLuminaireIsIOverHSquared) {
  auto lum = test::MakeLum(test::Lambert);
  lum->LampSets[0].SetFlux = 2400;
  TFloorCurveParams p;
  p.Maintenance = 0.7f;
  TFloorCurveResult r{};
  ComputeFloorCurves(p, r, *lum);
  EXPECT_DOUBLE_EQ(FloorSectionPoint(p, kBelow), 0.0);
  double maximum = 0;
  for (int j = 0; j < 3; ++j) {
    const double h = p.Heights[std::size_t(j)];
    const double expected = lum->Intensity(0, 0) * 2400 / 1000 * 0.7 / (h * h);
    EXPECT_NEAR(r[std::size_t(j)][kBelow], expected, 1e-4 * expected) << "h " << h;
    // Symmetric around the luminaire, falling away from it.
    EXPECT_NEAR(r[std::size_t(j)][kBelow - 40], r[std::size_t(j)][kBelow + 40], 1e-3);
    EXPECT_LT(r[std::size_t(j)][kBelow + 40], r[std::size_t(j)][kBelow]);
    for (float e : r[std::size_t(j)]) maximum = std::max(maximum, double(e));
  }
  EXPECT_FLOAT_EQ(p.Maximum, static_cast<float>(maximum));
}

TEST(FloorCurves, CorpusLuminaireAndACentredRow) {
  if (!test::corpusAvailable()) GTEST_SKIP() << "corpus not available";
  TLUM32 lum;
  ASSERT_TRUE(LoadLuminaire(test::corpusPath("eulumdat-py/tests/samples/sample9.ldt"), lum, LoadValues::AsRead).ok());
  lum.CalcFlux();
  ASSERT_GT(lum.Length, 0);
  TFloorCurveParams p;
  TFloorCurveResult single{}, row{};
  ComputeFloorCurves(p, single, lum);
  const double flux = lum.LampSets[0].SetFlux * 0.8 / 1000;
  for (int j = 0; j < 3; ++j) {
    const double h = p.Heights[std::size_t(j)];
    const double expected = lum.Intensity(0, 0) * flux / (h * h);
    EXPECT_NEAR(single[std::size_t(j)][kBelow], expected, 1e-4 * expected) << "h " << h;
  }
  // Three in a row: the middle one is below the section, the others one
  // luminaire length to either side along the row (C 90 and C 270).
  p.Count = 3;
  ComputeFloorCurves(p, row, lum);
  const double l = lum.Length / 1000.0, h = p.Heights[0];
  const double d = std::sqrt(l * l + h * h);
  const double gamma = std::atan(l / h) * 180 / M_PI;
  const double expected = single[0][kBelow] + h * flux * (lum.Intensity(gamma, 90) + lum.Intensity(gamma, 270)) / (d * d * d);
  EXPECT_NEAR(row[0][kBelow], expected, 1e-4 * expected);
}

TEST(FloorCurves, ScaleEndsFollowTheMaximum) {
  struct Case {
    bool emergency;
    float maximum;
    double low, high;
  };
  const Case cases[] = {{true, 80, 0.1, 100},    {true, 150, 0.1, 1000},  {false, 80, 1, 1000},
                        {false, 1200, 1, 5000},  {false, 6000, 1, 10000}, {false, 20000, 1, 50000},
                        {false, 60000, 1, 100000}};
  for (const Case& c : cases) {
    TFloorCurveParams p;
    p.Emergency = c.emergency;
    p.Maximum = c.maximum;
    const TFloorScale s = FloorScale(p);
    EXPECT_EQ(s.low, c.low) << c.maximum;
    EXPECT_EQ(s.high, c.high) << c.maximum;
  }
}

TEST(FloorCurves, NoFluxOrHeightZeroGivesZeroNotNaN) {
  auto lum = test::MakeLum(test::Lambert);
  lum->LampSets[0].SetFlux = 0;
  TFloorCurveParams p;
  p.Heights = {0, 2, -1};
  TFloorCurveResult r{};
  ComputeFloorCurves(p, r, *lum);
  for (const auto& curve : r)
    for (float e : curve) EXPECT_EQ(e, 0.0f);
  EXPECT_EQ(p.Maximum, 0.0f);
}

TEST(LuminaireCount, ShownCountRoundsUpBeyondAThousandth) {
  struct Case {
    double n;
    int shown;
  };
  const Case cases[] = {{12.0005, 12}, {12.002, 13}, {12.0, 12}, {0.4, 1}, {0, 0}, {12.0005f, 12}, {12.002f, 13}};
  for (const Case& c : cases) EXPECT_EQ(ShownCount(c.n), c.shown) << c.n;
}

// η_R = 10·row + combination, so an interpolated value tells its rows.
RoomUtilTableT RowTable() {
  RoomUtilTableT t{};
  for (std::size_t i = 0; i < 10; ++i)
    for (std::size_t j = 0; j < 15; ++j) t[i][j] = static_cast<float>(10 * i + j);
  return t;
}

TEST(LuminaireCount, RoomIndexBracketsAndEnds) {
  const RoomUtilTableT t = RowTable();
  TLuminaireCountParams p;
  p.Reflectances = 3;
  // 200 m²: width √125, length 1.6 × width.
  const double a = std::sqrt(125.0), b = 1.6 * a;
  EXPECT_NEAR(RoomIndexFor(200, 2.65), a * b / ((a + b) * 2.65), 1e-12);
  struct Case {
    double k;
    int lo;  // lower row; the upper is lo + 1
  };
  // Nearest list value 2 (k 2.17) and 2.5 (k 2.6) from above and 3 (k 2.9) from below.
  const Case cases[] = {{2.17, 5}, {2.6, 6}, {2.9, 6}, {0.7, 0}, {4.6, 8}};
  const float K[10] = {0.6f, 0.8f, 1.0f, 1.25f, 1.5f, 2.0f, 2.5f, 3.0f, 4.0f, 5.0f};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.k);
    // The area of a room with index k at height 1 m: a·b/(a + b) = k.
    const double width = c.k * 2.6 / 1.6, area = 1.6 * width * width;
    ASSERT_NEAR(RoomIndexFor(area, 1), c.k, 1e-9);
    const double t01 = (c.k - K[c.lo]) / (K[c.lo + 1] - K[c.lo]);
    EXPECT_NEAR(RoomUtilization(p, t, area, 1), 10 * (c.lo + t01) + 3, 1e-4);
  }
  // Beyond the list: the end rows of the combination.
  EXPECT_FLOAT_EQ(RoomUtilization(p, t, 5000, 1.0), 93);   // k ≈ 34
  EXPECT_FLOAT_EQ(RoomUtilization(p, t, 20, 6.0), 3);      // k ≈ 0.29
}

TEST(LuminaireCount, CountFromUtilizationAndUndefinedCases) {
  RoomUtilTableT t{};
  for (auto& row : t) row.fill(0.5f);
  auto lum = test::MakeLum(test::Lambert);
  lum->LOR = 80;
  lum->LampSets[0].SetFlux = 3000;
  TLuminaireCountParams p;
  TLuminaireCountResult r{};
  ComputeLuminaireCount(p, r, *lum, t);
  // N = 100·E·A / (η_R·η·Φ_L·MF); height 1, illuminance 3 (100 lx), area 8 (100 m²).
  EXPECT_NEAR(r[0][2][7], 100.0 * 100 * 100 / (0.5 * 80 * 3000 * 0.8), 1e-4);
  EXPECT_NEAR(r[2][0][0], 100.0 * 20 * 20 / (0.5 * 80 * 3000 * 0.8), 1e-4);
  lum->LOR = 0;
  ComputeLuminaireCount(p, r, *lum, t);
  for (const auto& h : r)
    for (const auto& e : h)
      for (float n : e) EXPECT_EQ(n, kCountUndefined);
}

}  // namespace
}  // namespace kandelo
