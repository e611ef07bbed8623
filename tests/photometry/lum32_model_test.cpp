#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "photometry/lum32.h"
#include "photometry/numeric.h"
#include "support/test_support.h"

namespace kandelo {
namespace {

constexpr double kPiD = 3.14159265358979323846;

// A C-γ luminaire on an equidistant grid, filled from f(γ, C).
TLUM32 Make(std::uint8_t sym, int planes, float cStart, float cStep, int gammas, float gStart, float gStep,
            const std::function<double(double, double)>& f) {
  TLUM32 lum;
  float cEnd = cStart + cStep * float(planes - 1);
  EXPECT_TRUE(lum.CreateNew("x.l32", psCGamma, sym, 0, planes, cStart, cStep, cEnd, {}, gammas, gStart,
                            gStep, gStart + gStep * float(gammas - 1), {}));
  for (int i = 1; i <= planes; ++i)
    for (int j = 1; j <= gammas; ++j) lum.SetValue(i, j, float(f(lum.GammaAngle(j), lum.CAngle(i))));
  return lum;
}

double Lambert(double g, double) { return g <= 90 ? 1000 / kPiD * std::cos(g * kPiD / 180) : 0; }

TEST(LuminaireFlux, LambertianDistributionGivesItsClosedForms) {
  // Rotational table and a full-circle one describe the same distribution.
  for (auto lum : {Make(symRotational, 1, 0, 0, 181, 0, 1, Lambert), Make(symNone, 24, 0, 15, 181, 0, 1, Lambert),
                   Make(symQuadrant, 7, 0, 15, 91, 0, 1, Lambert)}) {
    SCOPED_TRACE(int(lum.Symmetry));
    lum.CalcFlux();
    EXPECT_NEAR(lum.LumFlux, 1000, 0.5);
    EXPECT_NEAR(lum.LOR, 100, 0.05);
    EXPECT_NEAR(lum.DownFlux, lum.LumFlux, 1e-3);
    EXPECT_NEAR(lum.UpFlux, 0, 1e-3);
    EXPECT_NEAR(lum.DFF, 1, 1e-6);
    EXPECT_EQ(lum.DistributionKind, 0);
    EXPECT_EQ(lum.ZonesValid, 1);
    // Flux of the cone 0 … γ is 1000·sin²γ.
    for (int n = 1; n <= 18; ++n) {
      double s1 = std::sin(5.0 * (n - 1) * kPiD / 180), s2 = std::sin(5.0 * n * kPiD / 180);
      EXPECT_NEAR(lum.ZonalFlux[n - 1], 1000 * (s2 * s2 - s1 * s1), 0.6) << n;
    }
    for (int n = 19; n <= 36; ++n) EXPECT_NEAR(lum.ZonalFlux[n - 1], 0, 1e-6);
    lum.CalcCieFluxCode();
    // sin² of 41.41°, 60°, 75.52° = 0.4375, 0.75, 0.9375.
    EXPECT_NEAR(lum.CieFluxCode[0], 44, 1);
    EXPECT_EQ(lum.CieFluxCode[1], 75);
    EXPECT_EQ(lum.CieFluxCode[2], 94);
    EXPECT_EQ(lum.CieFluxCode[3], 100);
    EXPECT_EQ(lum.CieFluxCode[4], 100);
  }
}

TEST(LuminaireFlux, UpwardAndMixedDistributions) {
  // Uniform 1000/(4π) cd/klm in every direction: 500 lm up, 500 lm down.
  auto uniform = Make(symRotational, 1, 0, 0, 37, 0, 5, [](double, double) { return 1000 / (4 * kPiD); });
  uniform.CalcFlux();
  EXPECT_NEAR(uniform.LumFlux, 1000, 1e-2);
  EXPECT_NEAR(uniform.DownFlux, 500, 1e-2);
  EXPECT_EQ(uniform.DistributionKind, 2);
  EXPECT_NEAR(uniform.ZoneFlux(10, 5), uniform.ZoneFlux(5, 10), 1e-6);
  EXPECT_EQ(uniform.ZoneFlux(5, 5), 0);

  auto up = Make(symRotational, 1, 0, 0, 19, 90, 5, [](double, double) { return 100; });
  up.CalcFlux();
  EXPECT_EQ(up.DownFlux, 0);
  EXPECT_EQ(up.DistributionKind, 1);
  EXPECT_EQ(up.ZoneFlux(0, 5), 0);  // below GammaStart: not clipped, 0

  // 3 % upward light still counts as direct.
  auto mostlyDown = Make(symRotational, 1, 0, 0, 37, 0, 5, [](double g, double) { return g < 90 ? 100 : 3.0; });
  mostlyDown.CalcFlux();
  EXPECT_LT(mostlyDown.UpFlux / mostlyDown.LumFlux, 0.05);
  EXPECT_EQ(mostlyDown.DistributionKind, 0);

  auto half = Make(symRotational, 1, 0, 0, 19, 0, 5, Lambert);
  EXPECT_EQ(half.ZoneFlux(80, 95), 0);  // reaches above GammaEnd
}

TEST(LuminaireFlux, RefFluxIsNormalisedOnlyWhenZeroOrAbove1000) {
  for (auto [in, out] : {std::pair{0.f, 1000.f}, {2000.f, 1000.f}, {500.f, 500.f}}) {
    auto lum = Make(symRotational, 1, 0, 0, 19, 0, 5, Lambert);
    lum.RefFlux = in;
    lum.CalcFlux();
    EXPECT_EQ(lum.RefFlux, out);
  }
}

// I = C + γ/1000 shows which plane a direction was taken from.
double PlaneMark(double g, double c) { return c + g / 1000; }

TEST(LuminaireIntensity, FoldsDirectionsByTheSymmetry) {
  struct Case {
    std::uint8_t sym;
    int planes;
    float cStart;
    double c, expectPlane;
  } cases[] = {
      {symC90C270, 13, 90, 300, 240}, {symC90C270, 13, 90, 30, 150}, {symQuadrant, 7, 0, 200, 20},
      {symQuadrant, 7, 0, 300, 60},   {symC0C180, 13, 0, 200, 160},  {symC0C180, 13, 0, -30, 30},
      {symNone, 24, 0, 360, 0},       {symNone, 24, 0, 735, 15},     {symNone, 24, 0, -15, 345},
  };
  for (bool searching : {false, true})
    for (const auto& k : cases) {
      SCOPED_TRACE(std::to_string(k.sym) + " C " + std::to_string(k.c) + (searching ? " searching" : ""));
      auto lum = Make(k.sym, k.planes, k.cStart, 15, 7, 0, 15, PlaneMark);
      if (searching) {
        lum.GridFlags = kGammaNotEquidistant;
        lum.SelectIntensityFunctions(lum.Symmetry);
      }
      EXPECT_NEAR(lum.Intensity(30, k.c), k.expectPlane + 0.030, 1e-3);
    }
}

TEST(LuminaireIntensity, InterpolatesInsideAndGivesZeroOutside) {
  for (bool searching : {false, true}) {
    auto lum = Make(symNone, 24, 0, 15, 7, 0, 15, PlaneMark);
    if (searching) {
      lum.GridFlags = kCNotEquidistant;
      lum.SelectIntensityFunctions(lum.Symmetry);
    }
    EXPECT_NEAR(lum.Intensity(22.5, 7.5), 7.5 + 0.0225, 1e-4);
    // Between the last plane and 360° towards plane 1 (value 0 + γ/1000).
    EXPECT_NEAR(lum.Intensity(0, 352.5), (345 + 0) / 2.0, 1e-3);
    EXPECT_EQ(lum.Intensity(-0.1, 0), 0);
    EXPECT_EQ(lum.Intensity(90.1, 0), 0);
    EXPECT_NEAR(lum.Intensity(90, 15), 15.09, 1e-4);  // at GammaEnd: the last value
  }
}

TEST(LuminaireIntensity, UnevenFullCircleStartingAbove0) {
  // Planes 10 … 350: directions below the first plane close the ring.
  TLUM32 lum;
  std::vector<float> planes;
  for (int k = 0; k < 18; ++k) planes.push_back(10.0f + 20.0f * k);
  ASSERT_TRUE(lum.CreateNew("x", psCGamma, symNone, kCNotEquidistant, 18, 10, 0, 350, planes, 2, 0, 90, 90, {}));
  for (int i = 1; i <= 18; ++i)
    for (int j = 1; j <= 2; ++j) lum.SetValue(i, j, i == 1 ? 100 : (i == 18 ? 200 : 0));
  lum.SelectIntensityFunctions(symNone);
  EXPECT_NEAR(lum.Intensity(0, 0), 150, 1e-3);
  EXPECT_NEAR(lum.Intensity(0, 5), 125, 1e-3);
  EXPECT_NEAR(lum.MeanIntensity(0), 300.0 * 20 / 360, 1e-3);  // weights add up to 360
  EXPECT_TRUE(lum.TakeComputeNotes().empty());
}

TEST(LuminaireIntensity, UnbalancedWeightsAreReportedOnce) {
  auto lum = Make(symC0C180, 13, 0, 15, 7, 0, 15, [](double, double) { return 10; });
  lum.CEnd = 170;  // disagrees with the stored planes
  lum.SelectIntensityFunctions(lum.Symmetry);
  lum.CalcFlux();
  const Diagnostics notes = lum.TakeComputeNotes();
  ASSERT_EQ(notes.items.size(), 1u);
  EXPECT_EQ(notes.items[0].severity, Severity::Warning);
  EXPECT_EQ(notes.items[0].text, "180.00");
  lum.CalcFlux();
  EXPECT_TRUE(lum.TakeComputeNotes().empty()) << "once per selected table";
}

// The batch form gives Intensity's values bit for bit, on every grid form,
// with start planes kept between calls (also for planes out of order).
TEST(LuminaireIntensity, IntensitiesAtOneGammaMatchSingleLookups) {
  auto wavy = [](double g, double c) { return 300 * std::cos(g * kPiD / 360) + c / 7 + std::sin(c); };
  std::vector<TLUM32> lums;
  for (std::uint8_t sym : {symNone, symRotational, symC0C180, symC90C270, symQuadrant})
    for (std::uint8_t flags : {0, int(kGammaNotEquidistant), int(kCNotEquidistant)}) {
      const int planes = sym == symNone ? 24 : sym == symRotational ? 1 : sym == symQuadrant ? 7 : 13;
      lums.push_back(Make(sym, planes, sym == symC90C270 ? 90 : 0, 15, 37, 0, 5, wavy));
      lums.back().GridFlags = flags;
      lums.back().SelectIntensityFunctions(sym);
    }
  TLUM32 unsorted;  // planes out of order: every search starts at the first plane
  ASSERT_TRUE(unsorted.CreateNew("x", psCGamma, symNone, kCNotEquidistant, 4, 0, 0, 270, {0, 180, 90, 270}, 3, 0, 0,
                                 90, {0, 45, 90}));
  for (int i = 1; i <= 4; ++i)
    for (int j = 1; j <= 3; ++j) unsorted.SetValue(i, j, float(10 * i + j));
  unsorted.SelectIntensityFunctions(symNone);
  lums.push_back(std::move(unsorted));
  TLUM32 bb;
  ASSERT_TRUE(bb.CreateNew("x", psBBeta, symNone, 0, 37, -90, 5, 90, {}, 37, -90, 5, 90, {}));
  for (int i = 1; i <= 37; ++i)
    for (int j = 1; j <= 37; ++j) bb.SetValue(i, j, float(i * j));
  bb.SelectIntensityFunctions(symNone);
  lums.push_back(std::move(bb));

  for (std::size_t n = 0; n < lums.size(); ++n) {
    const TLUM32& lum = lums[n];
    int from[4] = {1, 1, 1, 1};
    for (double g = -1; g <= 181; g += 3.7) {
      const double phi = std::fmod(g * 13.1, 90);
      const double c[4] = {360 - phi, phi, 90 - phi, phi + 90};
      float batch[4];
      lum.IntensitiesAt(g, c, batch, 4, from);
      for (int k = 0; k < 4; ++k) ASSERT_EQ(batch[k], lum.Intensity(g, c[k])) << "luminaire " << n << " γ " << g;
    }
  }
}

TEST(LuminaireIntensity, BBetaDataSeenInCGamma) {
  // Uniform B-β data over the whole sphere: every direction gives the value,
  // and the flux is 4π·I.
  TLUM32 lum;
  ASSERT_TRUE(lum.CreateNew("x", psBBeta, symNone, 0, 37, -90, 5, 90, {}, 37, -90, 5, 90, {}));
  for (int i = 1; i <= 37; ++i)
    for (int j = 1; j <= 37; ++j) lum.SetValue(i, j, 50);
  lum.SelectIntensityFunctions(symNone);
  for (double g : {0.0, 30.0, 89.0})
    for (double c : {0.0, 45.0, 200.0}) EXPECT_NEAR(lum.Intensity(g, c), 50, 1e-4);
  lum.CalcFlux();
  EXPECT_NEAR(lum.LumFlux, 4 * kPiD * 50 / 2, 0.5);  // hemisphere of B −90 … 90, β −90 … 90
  lum.CalcZonalFlux();
  float total = 0;
  for (float z : lum.ZonalFlux) total += z;
  EXPECT_NEAR(total, lum.LumFlux, 0.5);
}

TEST(LuminaireGrid, CheckGammaGridFindsTheSmallestStep) {
  TLUM32 lum;
  ASSERT_TRUE(lum.CreateNew("x", psCGamma, symRotational, 0, 1, 0, 0, 0, {}, 5, 0, 0, 30, {0, 5, 10, 20, 30}));
  EXPECT_FLOAT_EQ(lum.CheckGammaGrid(), 5);
  EXPECT_EQ(lum.GridFlags & kGammaNotEquidistant, kGammaNotEquidistant);
  ASSERT_TRUE(lum.CreateNew("x", psCGamma, symRotational, 1, 1, 0, 0, 0, {}, 3, 0, 0, 5, {0, 2.5, 5}));
  EXPECT_FLOAT_EQ(lum.CheckGammaGrid(), 2.5);
  EXPECT_EQ(lum.GridFlags & kGammaNotEquidistant, 0);
}

TEST(LuminaireConversions, SymmetryChangesKeepTheDistribution) {
  auto f = [](double g, double c) { return 100 + 50 * std::cos(c * kPiD / 180) * std::sin(g * kPiD / 180); };
  auto quad = [](double g, double c) { return 100 + 20 * std::cos(2 * c * kPiD / 180) * (g / 90); };
  auto lum = Make(symC0C180, 13, 0, 15, 19, 0, 5, f);
  lum.CalcFlux();
  float flux = lum.LumFlux;
  lum.ExpandToFull(15);
  EXPECT_EQ(lum.Symmetry, symNone);
  EXPECT_EQ(lum.CPlaneCount, 24);
  EXPECT_NEAR(lum.Intensity(45, 300), f(45, 60), 1e-3);
  EXPECT_NEAR(lum.LumFlux, flux, 1e-2);
  lum.MakeSymmetricC0C180(true, 15);
  EXPECT_EQ(lum.CPlaneCount, 13);
  EXPECT_NEAR(lum.Intensity(45, 120), f(45, 120), 1e-3);

  auto q = Make(symNone, 24, 0, 15, 19, 0, 5, quad);
  q.MakeQuadrantSymmetric(true, 15);
  EXPECT_EQ(q.Symmetry, symQuadrant);
  EXPECT_EQ(q.CPlaneCount, 7);
  EXPECT_NEAR(q.Intensity(45, 195), quad(45, 15), 1e-3);
  q.MakeRotational(true);
  EXPECT_EQ(q.CPlaneCount, 1);
  EXPECT_NEAR(q.Intensity(90, 77), 100, 0.2);  // the cos 2C term averages out

  auto plane = Make(symNone, 24, 0, 15, 7, 0, 15, PlaneMark);
  plane.MakeSymmetricC90C270(false, 15);
  EXPECT_EQ(plane.CPlaneCount, 13);
  EXPECT_FLOAT_EQ(plane.CStart, 90);
  EXPECT_NEAR(plane.Intensity(0, 120), 120, 1e-3);
}

TEST(LuminaireConversions, ResampleBBetaToCGamma) {
  TLUM32 lum;
  ASSERT_TRUE(lum.CreateNew("x", psBBeta, symNone, 0, 37, -90, 5, 90, {}, 37, -90, 5, 90, {}));
  for (int i = 1; i <= 37; ++i)
    for (int j = 1; j <= 37; ++j) lum.SetValue(i, j, 70);
  lum.SelectIntensityFunctions(symNone);
  EXPECT_FALSE(TLUM32(Make(symNone, 24, 0, 15, 7, 0, 15, PlaneMark)).ResampleToC(0, 180, 0, 5, 15));
  ASSERT_TRUE(lum.ResampleToC(symNone, 180, 0, 5, 15));
  EXPECT_EQ(lum.PlaneSystem, psCGamma);
  EXPECT_EQ(lum.CPlaneCount, 24);
  EXPECT_EQ(lum.GammaCount, 37);
  EXPECT_NEAR(lum.Intensity(60, 100), 70, 1e-3);
  EXPECT_EQ(lum.Intensity(120, 100), 0);
}

TEST(LuminaireArea, QueriesAndPlanePairs) {
  auto lum = Make(symC0C180, 13, 0, 15, 7, 0, 15, PlaneMark);
  lum.LumAreaLength = 1000;
  lum.LumAreaWidth = 200;
  lum.LumAreaHeight = {50, 40, 0, 0};
  EXPECT_NEAR(lum.BottomArea(), 0.2, 1e-12);
  EXPECT_NEAR(lum.SideArea(true), 0.05, 1e-12);
  EXPECT_NEAR(lum.SideArea(false), 0.008, 1e-12);
  EXPECT_NEAR(lum.ProjectedArea(90, 0), 0.05, 1e-9);
  EXPECT_NEAR(lum.ProjectedArea(0, 0), 0.2, 1e-9);
  EXPECT_TRUE(lum.LuminanceAvailable());
  auto pairs = lum.PlanePairList();
  ASSERT_EQ(pairs.size(), 12u);
  EXPECT_EQ(pairs[0].first, "C 0.0/180.0");
  EXPECT_EQ(pairs[11].first, "C 165.0/345.0");
  EXPECT_EQ(pairs[11].second, 165.0f);
  auto rot = Make(symRotational, 1, 0, 0, 7, 0, 15, PlaneMark);
  EXPECT_EQ(rot.PlanePairList().at(0).first, "C 0.0");
}

TEST(LuminaireTable, BadIndexesShowTheErrorAndReadZero) {
  test::RecordingUi ui;
  ScopedUiServices scope(ui);
  auto lum = Make(symRotational, 1, 0, 0, 7, 0, 15, PlaneMark);
  EXPECT_EQ(lum.GetValue(2, 1), 0);
  lum.SetValue(1, 8, 5);
  EXPECT_EQ(lum.Table->GetRow(9), nullptr);
  EXPECT_EQ(ui.texts(), (std::vector<std::string>{"GetItem : Row too large ! 2", "SetItem : Col too large ! 8",
                                                  "GetRow : Row too large ! 9"}));
  auto stream = lum.Table->ToStream();
  auto back = TSglArray::FromStream(stream);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->GetItemBits(1, 7), lum.Table->GetItemBits(1, 7));
  EXPECT_FALSE(TSglArray::FromStream(stream.substr(0, stream.size() - 1)));
}

TEST(NumericHelpers, Values) {
  EXPECT_EQ(FloorInt(-1.5), -2);
  EXPECT_TRUE(IsMultiple(15, 90));
  EXPECT_FALSE(IsMultiple(0, 90));
  EXPECT_DOUBLE_EQ(Lg(0), -10);
  EXPECT_EQ(DecimalsFor(3, 12.3), 1);
  EXPECT_EQ(DecimalsFor(3, 0.0123), 4);
  EXPECT_EQ(DecimalsFor(3, 12345), 0);
  EXPECT_NEAR(ArcSin(1), kPiD / 2, 1e-12);
  EXPECT_NEAR(ArcCos(0.5), kPiD / 3, 1e-12);
  EXPECT_NEAR(TanDeg(45), 1, 1e-12);
  EXPECT_EQ(Sign(-0.1), -1);
  EXPECT_EQ(StrToIntSafe(" 12x"), 0);
  EXPECT_DOUBLE_EQ(StrToFloatDot("2,5"), 2.5);
}

}  // namespace
}  // namespace kandelo
