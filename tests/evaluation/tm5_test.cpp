// CIBSE TM5 utilization factors, BZ classes, SHR and the NB record.
#include <gtest/gtest.h>

#include <cmath>

#include "evaluation/coeff_tables.h"
#include "evaluation/tm5.h"
#include "frame/strutil.h"
#include "lum_fixture.h"

namespace kandelo {
namespace {

using test::CosD;
using test::MakeLum;

double CosPow(double g, int n) { return g < 90 ? 1000 * std::pow(CosD(g), n) : 0; }

TEST(Tm5, UtilizationFactorsFollowZonalMultipliersAndTransferFactors) {
  auto lum = MakeLum([](double g, double) { return g <= 90 ? 250 * CosD(g) : 60 * -CosD(g); });
  TM5OBJ tm5;
  tm5.SetLuminaire(lum.get());
  tm5.StoreCibse();
  auto zm = *LoadCoeffTable(3), tf = *LoadCoeffTable(9);
  int s = tm5.ShrNumber();
  for (int i = 1; i <= 9; ++i) {
    double raw = 0;
    for (int j = 1; j <= 9; ++j) raw += zm.At((s - 1) * 9 + i - 1, j - 1) * (lum->ZonalFlux[2 * j - 2] + lum->ZonalFlux[2 * j - 1]);
    double d = raw / 1000, w = (lum->DownFlux - raw) / 1000, u = lum->UpFlux / 1000;
    for (int c = 1; c <= 9; ++c) {
      int row = (c - 1) * 9 + i - 1;
      double uf = tf.At(row, 0) * d + tf.At(row, 1) * w + tf.At(row, 2) * u;
      EXPECT_NEAR(tm5.CibseTable()[i - 1][c - 1], uf, 1e-6);
      EXPECT_EQ(lum->CibseUF[c - 1][i - 1], std::lround(100 * uf));
    }
    EXPECT_NEAR(tm5.CibseTable()[i - 1][9], d, 1e-6);  // 0/0/0: the direct flux
  }
  EXPECT_EQ(lum->CibseBz, tm5.BzClasses());
  EXPECT_EQ(lum->BzClasses, tm5.BzClasses());
  EXPECT_EQ(lum->ShrNom, tm5.ShrNom());
}

// The first BZ boundary lies between the direct ratios of I₀cos⁴γ (BZ1) and
// I₀cos³γ (BZ2).
TEST(Tm5, CosinePowerDistributionsFallInTheirBzClasses) {
  auto bz1 = MakeLum([](double g, double) { return CosPow(g, 4); });
  TM5OBJ tm5;
  tm5.SetLuminaire(bz1.get());
  tm5.ComputeCibse();
  for (int i = 0; i < 9; ++i) EXPECT_EQ(tm5.BzClasses()[i], 1) << i;
  auto wide = MakeLum([](double g, double) { return CosPow(g, 1); });
  tm5.SetLuminaire(wide.get());
  tm5.ComputeCibse();
  for (int i = 0; i < 9; ++i) EXPECT_GE(tm5.BzClasses()[i], 3) << i;
}

TEST(Tm5, UpwardOnlyLuminaireKeepsDefaultsAndHasNoBzClass) {
  auto lum = MakeLum([](double g, double) { return g > 90 ? -300 * CosD(g) : 0; });
  ASSERT_EQ(lum->DistributionKind, 1);
  TM5OBJ tm5;
  tm5.SetLuminaire(lum.get());
  tm5.StoreCibse();
  EXPECT_EQ(tm5.ShrNom(), 1.0f);
  EXPECT_EQ(tm5.ShrMax(), 1.0f);
  EXPECT_EQ(tm5.ShrNumber(), 3);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(lum->CibseBz[i], 255);
}

// Intensity ∝ 1/cos³γ lights the floor evenly: every uniformity ratio is 1,
// so the spacing reaches the last tabulated SHR, where the two smallest room
// indices cannot be computed.
TEST(Tm5, EvenFloorIlluminanceGivesSpacingTwoAndAHalf) {
  auto lum = MakeLum([](double g, double) { return g <= 85 ? 2.4 / std::pow(CosD(g), 3) : 0; });
  TM5OBJ tm5;
  tm5.SetLuminaire(lum.get());
  tm5.StoreCibse();
  for (int i = 1; i <= 9; ++i) EXPECT_NEAR(tm5.Uniformity(i), 1.0, 0.05) << i;
  EXPECT_EQ(tm5.ShrNumber(), 9);
  EXPECT_FLOAT_EQ(lum->ShrNom, 2.5f);
  EXPECT_FLOAT_EQ(lum->ShrMax, 2.5f);
  for (int c = 0; c < 10; ++c) {
    EXPECT_EQ(lum->CibseUF[c][0], 255);
    EXPECT_EQ(lum->CibseUF[c][1], 255);
    EXPECT_NE(lum->CibseUF[c][2], 255);
  }
}

TEST(Tm5, NarrowDownlightGetsSmallSpacing) {
  auto lum = MakeLum([](double g, double) { return CosPow(g, 30); });
  TM5OBJ tm5;
  tm5.SetLuminaire(lum.get());
  tm5.ComputeShr();
  EXPECT_EQ(tm5.ShrNumber(), 1);
  EXPECT_FLOAT_EQ(tm5.ShrNom(), 0.5f);
  EXPECT_LT(tm5.ShrMax(), 0.75f);
}

// A ratio above 1.2 (a ring of light around a dark centre) hands the
// decision to the numeric search over a 4 × 4 array.
TEST(Tm5, StrongSidePeaksUseTheNumericSearch) {
  for (bool rotational : {true, false}) {
    auto lum = MakeLum([](double g, double) { return g < 12 ? 5.0 : g < 50 ? 400.0 : g < 90 ? 5.0 : 0.0; }, rotational);
    TM5OBJ tm5;
    tm5.SetLuminaire(lum.get());
    tm5.ComputeShr();
    double maxU = 0;
    for (int i = 1; i <= 9; ++i) maxU = std::max(maxU, tm5.Uniformity(i));
    if (rotational) {
      EXPECT_GT(maxU, 1.2);
    }
    EXPECT_GE(tm5.ShrNom(), 0.5f);
    EXPECT_LE(tm5.ShrNom(), 3.0f);
    EXPECT_GE(tm5.ShrMax(), tm5.ShrNom() - 1e-6);
    EXPECT_LE(tm5.ShrMax(), tm5.ShrNom() + 0.25f + 1e-6);
  }
}

TEST(Tm5, NbRecordLayout) {
  auto lum = MakeLum([](double g, double) { return g < 10 ? 2000.0 : 0.0; });  // all in the first 10° zone
  TM5OBJ tm5;
  tm5.SetLuminaire(lum.get());
  tm5.StoreNb();
  NbRecord rec;
  rec.fill(0xee);
  tm5.ExportNb(rec);
  const unsigned char* p = rec.data();
  EXPECT_EQ(GetU32(p), 0u);
  EXPECT_EQ(GetU32(p + 4), 0u);
  EXPECT_FLOAT_EQ(GetF32(p + 8), 0.2f);
  double d = lum->DownFlux / 1000;  // every multiplier of the first zone is 1
  for (int k = 0; k < 10; ++k) {
    EXPECT_NEAR(GetF32(p + 12 + 12 * k), d, 1e-6);
    EXPECT_NEAR(GetF32(p + 16 + 12 * k), 0, 1e-6);
    EXPECT_NEAR(GetF32(p + 20 + 12 * k), 0, 1e-6);
    EXPECT_NEAR(GetF32(p + 132 + 40 * k + 32), d, 1e-6);  // 0/0/0
    EXPECT_EQ(GetF32(p + 132 + 40 * k + 36), 0.0f);       // spare column
  }
  // k 0.6, 70/50/20: the printed transfer factor 1.046 on the direct flux.
  EXPECT_NEAR(GetF32(p + 132), 1.046 * d, 1e-6);
  EXPECT_EQ(lum->NbUF[0][0], std::lround(100 * 1.046 * d));
  // k 1.0 uses CIBSE room index 1.0; NB combination 7 is CIBSE combination 8.
  auto tf = *LoadCoeffTable(9);
  EXPECT_NEAR(GetF32(p + 132 + 80 + 24), tf.At(7 * 9 + 1, 0) * d, 1e-6);
}

}  // namespace
}  // namespace kandelo
