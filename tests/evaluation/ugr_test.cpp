// UGR tables: position index, room sums, shape match, variation and the
// reflectance and flux corrections.
#include <gtest/gtest.h>

#include <cmath>

#include "evaluation/coeff_tables.h"
#include "evaluation/ugr.h"
#include "frame/strutil.h"
#include "lum_fixture.h"

namespace kandelo {
namespace {

using test::MakeLum;

TEST(UgrPositionIndex, TableNodesInterpolationAndOutside) {
  struct Case { double tr, hr, p; };
  const Case cases[] = {{0, 0, 1.0},       {0, 0.3, 1.90},   {2.7, 0.6, 7.50}, {0, 0.05, 1.13},
                        {0.05, 0, 1.025},  {3.0, 1.6, 13.80}, {3.01, 0.5, 0},   {1.0, 1.95, 0},
                        {-0.1, 0.5, 0},    {0.5, -0.01, 0}};
  for (const Case& c : cases) EXPECT_NEAR(PositionIndex(c.tr, c.hr), c.p, 1e-6) << c.tr << " " << c.hr;
  EXPECT_EQ(PositionIndex(0, 1.9), 0.0);  // blank cell above the field of view
}

Ugr0Table FromShape(int shape, double offset) {
  auto s = *LoadUgrShapes();
  Ugr0Table t{};
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) t[y][x] = float(s.At(6 * shape + y, x) + offset);
  return t;
}

TEST(UgrShapes, ConstantTableAndShiftedShapesMatch) {
  UgrResultSet r;
  for (auto& row : r.ugr0Cross) row.fill(17.0f);
  r.ugr0End = FromShape(7, 2.5);
  MatchUgrShapes(r);
  EXPECT_EQ(r.matchCross.found, 1);
  EXPECT_EQ(r.matchCross.shape, 0);
  EXPECT_NEAR(r.matchCross.offset, -3.0, 1e-5);
  EXPECT_EQ(r.matchEnd.found, 1);
  EXPECT_EQ(r.matchEnd.shape, 7);
  EXPECT_NEAR(r.matchEnd.offset, 2.5, 1e-5);
  EXPECT_STREQ(kUgrShapeNames[7], "BK07");
}

// A span of 14 (rounded) stops the crosswise search but not the endwise one.
TEST(UgrShapes, SpanOfFourteenSearchesEndwiseOnly) {
  UgrResultSet r;
  r.ugr0Cross = FromShape(12, 0);
  r.ugr0Cross[5][5] = 21.5f;  // span 13.5 → 14, half-range 0.75 against BK12
  r.ugr0End = r.ugr0Cross;
  MatchUgrShapes(r);
  EXPECT_EQ(r.matchCross.found, 0);
  EXPECT_EQ(r.matchEnd.found, 1);
  EXPECT_EQ(r.matchEnd.shape, 12);
}

TEST(UgrVariationTest, EvenGridHasNoVariation) {
  UgrResultSet r;
  for (auto& row : r.cross) row.fill(2.0f);
  for (auto& row : r.end) row.fill(0.0f);
  UgrVariation(r);
  const int n[3] = {12, 8, 6};
  for (int k = 0; k < 3; ++k) {
    EXPECT_NEAR(r.variation[3 * k], 0, 1e-5);
    EXPECT_NEAR(r.variation[3 * k + 1], 0, 1e-5);
    EXPECT_NEAR(r.variation[3 * k + 2], 8 * std::log10(0.25 * n[k] * n[k] * 2 / 127.32), 1e-4);
    EXPECT_EQ(r.variation[9 + 3 * k], 0);  // empty grid: 0, not a logarithm of 0
  }
}

// The 2H × 2H room (k = 1.0) uses the single-row branch: F and G from the
// k 1.0 row of the NB table (combination c and 0/0/0).
TEST(UgrReflectance, SingleRowBranchAndNeutralCorrection) {
  UgrResultSet r;
  for (auto& row : r.ugr0Cross) row.fill(20.0f);
  for (auto& row : r.ugr0End) row.fill(18.0f);
  NbRecord nb{};
  for (int k = 0; k < 10; ++k)
    for (int c = 0; c < 9; ++c) PutF32(nb.data() + 132 + 40 * k + 4 * c, 1.0f);
  UgrReflectanceTable(nb, r, NbReading::Bracketed);
  for (int i = 0; i < 95; ++i) {
    EXPECT_NEAR(r.table[std::size_t(i)], 20.0, 1e-5);  // 6·1 − 5·1 = 1: no correction
    EXPECT_NEAR(r.table[std::size_t(95 + i)], 18.0, 1e-5);
  }
  PutF32(nb.data() + 132 + 80 + 0, 0.5f);   // k 1.0, 70/50/20
  PutF32(nb.data() + 132 + 80 + 32, 0.4f);  // k 1.0, 0/0/0
  UgrReflectanceTable(nb, r, NbReading::Bracketed);
  EXPECT_NEAR(r.table[0], 20 - 8 * std::log10(6 * 0.5 - 5 * 0.4), 1e-5);
  // The original offsets read the k 0.8 row there.
  UgrReflectanceTable(nb, r, NbReading::AsPrinted);
  EXPECT_NEAR(r.table[0], 20.0, 1e-5);
}

TEST(UgrCompute, LambertianPanelTrendsAndFluxCorrection) {
  auto lum = MakeLum(test::Lambert);
  NbRecord nb{};
  for (int k = 0; k < 10; ++k)
    for (int c = 0; c < 9; ++c) PutF32(nb.data() + 132 + 40 * k + 4 * c, 0.6f);
  ASSERT_TRUE(ComputeUgr(*lum, nb));
  const UgrResultSet& r = UgrResults();
  // Constant luminance: the 2H × 2H room is the least glaring, glare grows
  // with the depth of the room, and a square panel looks alike both ways.
  for (int x = 0; x < 6; ++x)
    for (int y = 1; y < 6; ++y) EXPECT_GT(r.ugr0Cross[y][x], r.ugr0Cross[y - 1][x] - 1e-4);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_NEAR(r.ugr0Cross[y][x], r.ugr0End[y][x], 1e-3);
  EXPECT_EQ(r.matchCross.found, 1);
  EXPECT_NEAR(UgrFluxCorrection(*lum), 0.0, 1e-12);
  lum->LampSets[0].SetFlux = 2000;
  EXPECT_NEAR(UgrFluxCorrection(*lum), 8 * std::log10(2.0), 1e-12);
}

TEST(UgrCompute, NoLuminousAreaNoComputation) {
  auto lum = MakeLum(test::Lambert);
  lum->LumAreaLength = lum->LumAreaWidth = 0;
  NbRecord nb{};
  UgrResults().table[0] = 42;
  EXPECT_FALSE(ComputeUgr(*lum, nb));
  EXPECT_EQ(UgrResults().table[0], 42);
}

}  // namespace
}  // namespace kandelo
