#include <gtest/gtest.h>

#include <cmath>

#include "evaluation/lum_fixture.h"
#include "evaluation/photometric_summary.h"

namespace kandelo {
namespace {

using test::CosD;
using test::MakeLum;

constexpr double kDeg = 180 / M_PI;

// cos^n γ, scaled to a light output ratio: the flux of I0·cos^n γ over the
// lower hemisphere is 2π·I0/(n+1).
double CosPower(double g, double n, double lor) {
  return g <= 90 ? 10 * lor * (n + 1) / (2 * M_PI) * std::pow(CosD(g), n) : 0;
}

TEST(PhotometricSummary, FiguresOfLuminairesKnownInClosedForm) {
  {
    SCOPED_TRACE("Lambertian, 1000 lm lamp of 40 W");
    auto lum = MakeLum(test::Lambert);
    const PhotometricSummary s = SummarizeLuminaire(*lum);
    EXPECT_NEAR(s.lor, 100, 0.5);
    EXPECT_NEAR(s.luminaireFlux, 1000, 5);
    EXPECT_NEAR(s.lampFlux, 1000, 1e-9);
    EXPECT_NEAR(s.watt, 40, 1e-9);
    EXPECT_NEAR(s.efficacy, 25, 0.2);
    EXPECT_NEAR(s.dff, 100, 0.1);
    EXPECT_NEAR(s.imax, 1000 / M_PI, 0.5);
    EXPECT_NEAR(s.beamC0, 120, 1.0);  // cos γ = 1/2 at 60°
    EXPECT_NEAR(s.beamC90, 120, 1.0);
    // Fractions of the flux within 41.4°, 60°, 75.5°: sin² of the angle.
    const std::array<int, 5> code = {int(std::lround(100 * std::pow(std::sin(41.4 / kDeg), 2))), 75,
                                      int(std::lround(100 * std::pow(std::sin(75.5 / kDeg), 2))), 100, 100};
    for (std::size_t k = 0; k < 5; ++k) EXPECT_NEAR(s.cieFluxCode[k], code[k], 1) << k;
    EXPECT_FALSE(s.litgClass.empty());
    EXPECT_GT(s.shr, 0);
    EXPECT_TRUE(std::isfinite(s.ugrCrosswise));
    EXPECT_NEAR(s.ugrCrosswise, s.ugrEndwise, 0.05);  // rotationally symmetric
    EXPECT_EQ(s.areaLength, 600);
  }
  {
    SCOPED_TRACE("cos^10, light output ratio 80 %");
    auto lum = MakeLum([](double g, double) { return CosPower(g, 10, 80); });
    const PhotometricSummary s = SummarizeLuminaire(*lum);
    EXPECT_NEAR(s.lor, 80, 0.5);
    EXPECT_NEAR(s.luminaireFlux, 800, 5);
    EXPECT_NEAR(s.imax, 10 * 80 * 11 / (2 * M_PI), 1);
    const double beam = 2 * std::acos(std::pow(0.5, 0.1)) * kDeg;
    EXPECT_NEAR(s.beamC0, beam, 1.0);
    EXPECT_NEAR(s.Beam(), beam, 1.0);
  }
  {
    SCOPED_TRACE("asymmetric: cos^4 across C0-C180, cos^20 across C90-C270");
    auto lum = MakeLum(
        [](double g, double c) {
          const double n = 4 * std::pow(CosD(c), 2) + 20 * std::pow(std::sin(c / kDeg), 2);
          return g <= 90 ? 500 * std::pow(CosD(g), n) : 0;  // one value at the nadir
        },
        false);
    const PhotometricSummary s = SummarizeLuminaire(*lum);
    const double wide = 2 * std::acos(std::pow(0.5, 1 / 4.0)) * kDeg, narrow = 2 * std::acos(std::pow(0.5, 1 / 20.0)) * kDeg;
    EXPECT_NEAR(s.beamC0, wide, 1.0);
    EXPECT_NEAR(s.beamC90, narrow, 1.0);
    EXPECT_NEAR(s.Beam(), wide, 1.0);
  }
  {
    SCOPED_TRACE("upward light only, no lamp flux or wattage in the file");
    auto lum = MakeLum([](double g, double) { return g >= 90 ? -1000 / M_PI * CosD(g) : 0; });
    lum->LampSets[0].SetFlux = 0;
    lum->LampSets[0].SetWatt = 0;
    const PhotometricSummary s = SummarizeLuminaire(*lum);
    EXPECT_NEAR(s.dff, 0, 0.1);
    EXPECT_TRUE(std::isnan(s.luminaireFlux));
    EXPECT_TRUE(std::isnan(s.efficacy));
    EXPECT_TRUE(std::isnan(s.watt));
    EXPECT_TRUE(std::isnan(s.shr));
    EXPECT_TRUE(std::isnan(s.Ugr()));
  }
}

TEST(PhotometricSummary, ColourTextsOfLampSets) {
  struct Case {
    const char* text;
    double cct, cri;
  } cases[] = {
      {"3000K", 3000, NAN},   {"4000 K", 4000, NAN},  {"ww 2700", 2700, NAN}, {"WW", NAN, NAN},
      {"840", 4000, 80},      {"930", 3000, 90},      {"80", NAN, 80},        {"Ra 90", NAN, 90},
      {">80", NAN, 80},       {"1B", NAN, 80},        {"1a", NAN, 90},        {"2A", NAN, 70},
      {"3", NAN, 40},         {"", NAN, NAN},         {"6500,0", 6500, NAN},
  };
  auto same = [](double a, double b) { return (std::isnan(a) && std::isnan(b)) || a == b; };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_PRED2(same, ColourTemperatureOf(c.text), c.cct);
    EXPECT_PRED2(same, ColourRenderingOf(c.text), c.cri);
  }
  // A lamp's type names its colour only as a code after a slash or dash, or
  // in kelvin; its wattage and lumens are no colour.
  const Case types[] = {
      {"TC-L 36W/840", 4000, 80}, {"T5 HO 54W-930", 3000, 90}, {"LED 3000K", 3000, NAN}, {"LED 4000 lm", NAN, NAN},
      {"T8 36W", NAN, NAN},       {"LED 1200lm/830", 3000, 80}, {"HIT 150W/642", NAN, NAN}, {"LED66S/940/-", 4000, 90},
  };
  for (const Case& c : types) {
    SCOPED_TRACE(c.text);
    EXPECT_PRED2(same, ColourOfLampType(c.text).cct, c.cct);
    EXPECT_PRED2(same, ColourOfLampType(c.text).cri, c.cri);
  }
}

}  // namespace
}  // namespace kandelo
