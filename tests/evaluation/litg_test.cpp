// LiTG partial fluxes, room utilization and classification.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "evaluation/atf.h"
#include "evaluation/litg.h"
#include "lum_fixture.h"
#include "photometry/format_io.h"
#include "photometry/lum32.h"
#include "platform/fileio.h"
#include "support/test_support.h"

namespace kandelo {
namespace {

using test::CosD;
using test::MakeLum;

// Down-up luminaire: Lambertian below (700 lm/klm), cosine above (200 lm/klm).
double DownUp(double g, double) { return g <= 90 ? 700 / M_PI * CosD(g) : 200 / M_PI * -CosD(g); }

TEST(LitgMethod, PointLuminairePartialFluxesFollowTheFactorTable) {
  test::TempUserEnvironment env;
  auto lum = MakeLum(DownUp);
  RoomUtilTableT eta{};
  ASSERT_FALSE(CalcRoomUtilTable(*lum, true, eta).has_value());
  LIBEDAOBJ f;
  for (int i = 1; i <= 10; ++i) {
    double down = 0, up = 0;
    f.SelectBlock(i, false);
    for (int z = 1; z <= 18; ++z) down += f.Factor(z) * lum->ZonalFlux[z - 1];
    f.SelectBlock(i, true);
    for (int z = 1; z <= 18; ++z) up += f.Factor(z) * lum->ZonalFlux[17 + z];
    EXPECT_NEAR(lum->UtilValues[i - 1], down, 1e-3);
    EXPECT_NEAR(lum->CeilingDirectFlux[i - 1], up, 1e-3);
    EXPECT_NEAR(lum->LowerWallFlux[i - 1] + lum->UtilValues[i - 1], lum->DownFlux, 1e-3);
    EXPECT_NEAR(lum->UpperWallFlux[i - 1] + lum->CeilingDirectFlux[i - 1], lum->UpFlux, 1e-3);
    // Black room: the direct share alone.
    EXPECT_NEAR(eta[i - 1][14], lum->UtilValues[i - 1] / (10 * lum->LOR), 1e-6);
  }
  // Surface-mounted in a black room: still the direct share alone.
  RoomUtilTableT surface{};
  ASSERT_FALSE(CalcRoomUtilTable(*lum, false, surface).has_value());
  for (int i = 0; i < 10; ++i) EXPECT_NEAR(surface[i][14], lum->UtilValues[i] / (10 * lum->LOR), 1e-6) << i;
  EXPECT_EQ(lum->PartialFluxValid, 1);
  // Lighter surfaces and larger rooms give more light on the working plane.
  for (int i = 0; i < 10; ++i) {
    EXPECT_GT(eta[i][0], eta[i][2]);   // 80/80/80/30 above 80/30/30/30
    EXPECT_GT(eta[i][2], eta[i][14]);
    if (i) {
      EXPECT_GT(eta[i][0], eta[i - 1][0]);
    }
  }
  EXPECT_LT(eta[9][0], 1.2f);
}

// A Lambertian emitter puts the share sin²b − sin²a of its flux into the zone
// from a to b: its direct fluxes follow from the factor table in closed form.
TEST(LitgMethod, LambertianDirectRatiosInClosedForm) {
  auto lum = MakeLum(test::Lambert);
  ASSERT_NEAR(lum->DownFlux, 1000, 1);
  ASSERT_FALSE(CalcPartialFluxes(*lum).has_value());
  LIBEDAOBJ f;
  for (int i = 1; i <= 10; ++i) {
    f.SelectBlock(i, false);
    double dr = 0;
    for (int z = 1; z <= 18; ++z) {
      double a = std::sin(5.0 * (z - 1) * M_PI / 180), b = std::sin(5.0 * z * M_PI / 180);
      dr += f.Factor(z) * (b * b - a * a);
    }
    // The luminaire integrates its 1° table: 1e-3 of the flux.
    EXPECT_NEAR(lum->UtilValues[i - 1] / lum->DownFlux, dr, 1e-3) << "k index " << i;
  }
  // Closed form for the wider room indices: more than 60 % of the flux lands directly.
  EXPECT_GT(lum->UtilValues[9] / lum->DownFlux, 0.6);
  EXPECT_LT(lum->UtilValues[0] / lum->DownFlux, lum->UtilValues[9] / lum->DownFlux);
}

TEST(LitgMethod, SurfaceMountingSendsAllUpwardFluxToTheCeiling) {
  test::TempUserEnvironment env;
  auto lum = MakeLum(DownUp);
  RoomUtilTableT eta{};
  ASSERT_FALSE(CalcRoomUtilTable(*lum, false, eta).has_value());
  ATFObject store;
  for (int i = 1; i <= 10; ++i)
    for (int j : {1, 7, 14}) {
      auto e = store.TransferFluxes(
          i, j, {lum->UpFlux, 0.0L, lum->LowerWallFlux[i - 1], lum->UtilValues[i - 1]}, false);
      EXPECT_NEAR(eta[i - 1][j - 1], double(e[3]) / (10 * lum->LOR), 1e-6);
    }
}

// Makers that store the direct ratios in their EULUMDAT files computed them
// by the same factor table: our direct flux per luminaire flux must match.
TEST(LitgMethod, DirectRatiosStoredByMakersAreReproduced) {
  if (!test::corpusAvailable()) GTEST_SKIP() << "corpus not available";
  test::TempUserEnvironment env;
  int checked = 0;
  for (const char* file : {"../reference/ldt/SLV_Tria2_narrow.ldt", "gldf-rs/tests/data/SLV - Tria 2.gldf/ldc/middle.ldt",
                           "gldf-rs/tests/data/rzb___311619_002_5_8630.gldf/ldc/10684.ldt"}) {
    std::string path = test::corpusPath(file);
    if (!platform::fs().exists(path)) continue;
    // The stored ratios follow the lamp sets: line 26 holds their count, six
    // lines each, then the ten ratios for k = 0.6 … 5.
    std::vector<std::string> lines;
    std::stringstream text(test::readFile(path));
    for (std::string l; std::getline(text, l);) lines.push_back(l);
    ASSERT_GT(lines.size(), 26u) << file;
    int sets = std::stoi(lines[25]);
    ASSERT_GE(lines.size(), std::size_t(26 + 6 * sets + 10)) << file;
    TLUM32 lum;
    ASSERT_TRUE(LoadLuminaire(path, lum, LoadValues::AsRead).ok()) << file;
    lum.CalcFlux();
    RoomUtilTableT eta{};
    ASSERT_FALSE(CalcRoomUtilTable(lum, true, eta).has_value()) << file;
    for (int i = 0; i < 10; ++i) {
      double stored = std::stod(lines[std::size_t(26 + 6 * sets + i)]);
      EXPECT_NEAR(lum.UtilValues[std::size_t(i)] / (10 * lum.LOR), stored, 0.01) << file << " k index " << i;
    }
    ++checked;
  }
  EXPECT_EQ(checked, 3);
}

TEST(LitgMethod, StoreIsBuiltOnceAndReadBackWithTheSameResult) {
  test::TempUserEnvironment env;
  std::string cache = DefaultTransferStorePath();
  auto lum = MakeLum(DownUp);
  RoomUtilTableT first{}, second{};
  ASSERT_FALSE(platform::fs().exists(cache));
  ASSERT_FALSE(CalcRoomUtilTable(*lum, true, first).has_value());
  ASSERT_TRUE(platform::fs().exists(cache));
  EXPECT_FALSE(platform::fs().exists(env.root() + "/cwd/EXCPW.DAT"));
  ASSERT_FALSE(CalcRoomUtilTable(*lum, true, second).has_value());
  EXPECT_EQ(first, second);
}

// The store is read or built once per process; its file stays the cache
// between processes and is written again whenever it is not the store's.
TEST(LitgMethod, ProcessStoreKeepsItsCacheFile) {
  test::TempUserEnvironment env;
  test::TempDir dir;
  const std::string path = dir.file("EXCPW.DAT");
  auto lum = MakeLum(DownUp);
  RoomUtilTableT first{}, again{};
  test::writeFile(path, "damaged");
  ASSERT_FALSE(CalcRoomUtilTable(*lum, true, first, path).has_value());
  EXPECT_TRUE(ATFObject(path).LoadedFromFile());  // rebuilt and written over the damaged file
  platform::fs().removeFile(path);
  ASSERT_FALSE(CalcRoomUtilTable(*lum, true, again, path).has_value());
  EXPECT_TRUE(ATFObject(path).LoadedFromFile());
  EXPECT_EQ(first, again);
  // Where it cannot be written, every computation says so and still fills the table.
  for (int run = 0; run < 2; ++run) {
    RoomUtilTableT eta{};
    auto err = CalcRoomUtilTable(*lum, true, eta, dir.file("no/such/EXCPW.DAT"));
    ASSERT_TRUE(err.has_value());
    EXPECT_EQ(err->rfind("filerr : ", 0), 0u) << *err;
    EXPECT_EQ(eta, first);
  }
}

TEST(LitgMethod, MissingOrEmptyFactorTable) {
  test::TempUserEnvironment env;
  struct Case { CoeffResourceSource source; const char* text; };
  const Case cases[] = {
      {[](int n) -> std::optional<std::string> {
         if (n == 1) return std::nullopt;
         return std::nullopt;
       },
       "programming error"},
      {[](int) -> std::optional<std::string> { return std::string(4, '\0'); }, "LiTG factors not found"}};
  for (const Case& c : cases) {
    auto lum = MakeLum(DownUp);
    lum->UtilValues.fill(123);
    SetCoeffResourceOverride(c.source);
    RoomUtilTableT eta{};
    auto err = CalcRoomUtilTable(*lum, true, eta);
    ASSERT_TRUE(err.has_value());
    EXPECT_EQ(*err, c.text);
    // A linear luminaire keeps what it holds and still gets its table.
    lum->LuminaireType = 2;
    EXPECT_FALSE(CalcRoomUtilTable(*lum, true, eta).has_value());
    EXPECT_EQ(lum->UtilValues[0], 123);
    SetCoeffResourceOverride(nullptr);
  }
}

TEST(LitgMethod, AxialClassColumnsAndWeights) {
  struct Case { double x; int a, b; double w; };
  const Case cases[] = {{4.0, 2, 3, 1.0},
                        {3.14159265358979, 2, 3, 1.0},
                        {8.0 / 3, 3, 4, 1.0},  // exactly 8/3: column 3 alone
                        {2.5, 3, 4, (2.5 - 2.35619449019234) / (2.66666666666667 - 2.35619449019234)},
                        {1.82857142857143, 4, 5, 0.0},  // column 5 alone
                        {0.9142857142857, 0, 5, 0.5},    // half of 64/35: column 5 at half weight
                        {0.0, 0, 5, 1.0}};
  for (const Case& c : cases) {
    AxialWeights w = AxialClass(c.x);
    EXPECT_EQ(w.a, c.a) << c.x;
    EXPECT_EQ(w.b, c.b) << c.x;
    EXPECT_NEAR(w.w, c.w, 1e-9) << c.x;
  }
  // Continuity at 64/35 from below: column 5 reaches weight 1.
  EXPECT_NEAR(1 - AxialClass(1.8285714).w, 1.0, 1e-6);
}

TEST(LitgMethod, LinearLuminaireWithoutUpwardLight) {
  test::TempUserEnvironment env;
  auto lum = MakeLum([](double g, double c) { return g <= 90 ? 300 * CosD(g) : 3 * -CosD(g); }, false);
  lum->LuminaireType = 2;
  ASSERT_LE(lum->UpFlux, 10);
  ASSERT_FALSE(CalcPartialFluxes(*lum).has_value());
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(lum->CeilingDirectFlux[i], 0);
    EXPECT_EQ(lum->UpperWallFlux[i], 0);
    EXPECT_GT(lum->UtilValues[i], 0);
    EXPECT_LE(lum->UtilValues[i], lum->DownFlux * 1.02);
    EXPECT_NEAR(lum->LowerWallFlux[i], lum->DownFlux - lum->UtilValues[i], 1e-3);
  }
  EXPECT_GT(lum->UtilValues[9], lum->UtilValues[0]);
}

TEST(LitgMethod, NothingChangesWithoutLightOutput) {
  auto lum = MakeLum([](double, double) { return 0.0; });
  lum->UtilValues.fill(7);
  EXPECT_FALSE(CalcPartialFluxes(*lum).has_value());
  EXPECT_EQ(lum->UtilValues[5], 7);
  EXPECT_EQ(lum->PartialFluxValid, 0);
}

TEST(Classification, CodesFromFluxFractionsAndDirectShares) {
  struct Case { float dff, util4, ceil4, up, down; const char* before; const char* code; };
  // LOR 100 (flux 1000): DownDirectRatio = util4/1000/DFF, Up = ceil4/1000/(1-DFF).
  const Case cases[] = {
      {1.0f, 800, 0, 0, 1000, "", "A60"},
      {0.9f, 540, 30, 100, 900, "", "A41"},
      {0.885f, 600, 80, 115, 885, "", "B52"},
      {0.5f, 200, 300, 500, 500, "", "C22"},
      {0.0f, 0, 800, 1000, 0, "", "E13"},        // no downward light: "E" and "1"
      {0.3f, 120, 695, 700, 300, "", "D24"},
      {0.95f, 0, 0, 5, 950, "", "A10"},          // upward 5 ≤ 10: digit "0"
      {1.0f, 1100, 0, 0, 1000, "X9Y", "A90"},    // ratio above 100 keeps its character
  };
  for (const Case& c : cases) {
    TLUM32 lum;
    lum.LOR = 100;
    lum.DFF = c.dff;
    lum.UpFlux = c.up;
    lum.DownFlux = c.down;
    lum.UtilValues[3] = c.util4;
    lum.CeilingDirectFlux[3] = c.ceil4;
    lum.ClassCode = c.before;
    ClassifyLuminaire(lum);
    EXPECT_EQ(lum.ClassCode, c.code) << c.dff << " " << c.util4;
  }
}

TEST(Classification, InconsistentFluxValuesDoNotDivideByZero) {
  TLUM32 lum;
  lum.LOR = 0;
  lum.DFF = 1;
  lum.UpFlux = 50;
  lum.DownFlux = 100;
  lum.UtilValues[3] = 10;
  lum.CeilingDirectFlux[3] = 10;
  ClassifyLuminaire(lum);
  EXPECT_EQ(lum.DownDirectRatio, 0);
  EXPECT_EQ(lum.UpDirectRatio, 0);
  EXPECT_EQ(lum.ClassCode, "A10");
}

}  // namespace
}  // namespace kandelo

namespace kandelo {
namespace {

TEST(LitgMethod, MountingFromTheSetting) {
  struct Case { float up; int mode; bool suspended; };
  const Case cases[] = {{30, 0, false}, {60, 0, true}, {60, 1, false}, {0, 2, true}, {50, 0, false}};
  for (const Case& c : cases) {
    TLUM32 lum;
    lum.LumFlux = 1000;
    lum.UpFlux = c.up;
    EXPECT_EQ(SuspendedMounting(lum, c.mode), c.suspended) << c.up << " " << c.mode;
  }
}

}  // namespace
}  // namespace kandelo
