// Distributions with closed-form fluxes written as EULUMDAT and IES text in
// every symmetry and layout: the reader, the flux integration and the C-angle
// folding of Intensity together must give the exact values back.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <algorithm>
#include <functional>

#include "photometry/format_io.h"
#include "photometry/lum32.h"
#include "photometry/ldt_fixture.h"
#include "support/test_support.h"

namespace kandelo {
namespace {

constexpr double kPiD = 3.14159265358979323846;
double Cos(double deg) { return std::cos(deg * kPiD / 180); }

struct Analytic {
  const char* name;
  std::function<double(double g, double c)> f;  // cd/klm
  double flux, dff;                              // lm per 1000 lm, fraction
  int kind;
  bool rotational;
};

const Analytic kLuminaires[] = {
    {"Lambertian", [](double g, double) { return g <= 90 ? 1000 / kPiD * Cos(g) : 0; }, 1000, 1, 0, true},
    // ∫ cos²γ sinγ = 1/3, and the cos 2C term integrates to 0 over the circle.
    {"cos2 with cos 2C", [](double g, double c) { return g <= 90 ? 900 / kPiD * Cos(g) * Cos(g) * (1 + 0.5 * Cos(2 * c)) : 0; },
     600, 1, 0, false},
    {"direct-indirect", [](double g, double) { return g <= 90 ? 600 / kPiD * Cos(g) : -400 / kPiD * Cos(g); }, 1000, 0.6, 2,
     true},
    {"uplight", [](double g, double) { return g <= 90 ? 0 : -500 / kPiD * Cos(g); }, 500, 0, 1, true},
};

std::string Number(double v, bool comma) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.4f", v);
  std::string s = buf;
  if (comma) s[s.find('.')] = ',';
  return s;
}

// γ 0 … 180 by 1°, or unevenly (1° to 60°, then 2°).
std::vector<double> Gammas(bool uneven) {
  std::vector<double> g;
  for (double a = 0; a <= 180; a += (uneven && a >= 60) ? 2 : 1) g.push_back(a);
  return g;
}

void CheckAgainst(const Analytic& a, TLUM32& lum, const std::vector<double>& gammas) {
  lum.CalcFlux();
  EXPECT_NEAR(lum.LumFlux, a.flux, 0.003 * a.flux);
  EXPECT_NEAR(lum.DFF, a.dff, 0.003);
  EXPECT_EQ(lum.DistributionKind, a.kind);
  if (a.name == std::string("Lambertian")) {
    lum.CalcCieFluxCode();
    EXPECT_NEAR(lum.CieFluxCode[0], 44, 1);
    EXPECT_EQ(lum.CieFluxCode[1], 75);
    EXPECT_EQ(lum.CieFluxCode[2], 94);
    EXPECT_EQ(lum.CieFluxCode[3], 100);
    EXPECT_EQ(lum.CieFluxCode[4], 100);
  }
  // C angles on the 15° grid, in every quadrant.
  for (double g : gammas)
    for (double c : {0.0, 30.0, 105.0, 195.0, 300.0, 345.0}) {
      const double want = a.f(g, c);
      ASSERT_NEAR(lum.Intensity(g, c), want, 1e-3 + 1e-5 * want) << "γ " << g << " C " << c;
    }
}

TEST(AnalyticLuminaires, EulumdatInEverySymmetryAndNotation) {
  struct Variant {
    const char* name;
    bool unevenGamma, unevenC, comma;
    double factor;
  } variants[] = {
      {"plain", false, false, false, 1},
      {"uneven angles", true, true, false, 1},
      {"factor and comma decimals", false, false, true, 2.5},
  };
  const int planesBySym[] = {24, 1, 13, 13, 7};
  for (const auto& a : kLuminaires)
    for (const auto& v : variants)
      for (int isym = 0; isym <= 4; ++isym) {
        if (isym == 1 && !a.rotational) continue;
        SCOPED_TRACE(std::string(a.name) + ", " + v.name + ", Isym " + std::to_string(isym));
        const std::vector<double> gammas = Gammas(v.unevenGamma);
        test::LdtSpec s;
        s.isym = std::to_string(isym);
        s.ng = std::to_string(gammas.size());
        s.dg = v.unevenGamma ? "0" : "1";
        for (double g : gammas) s.gammaAngles.push_back(Number(g, v.comma));
        s.dc = v.unevenC ? "0" : "15";
        // Uneven planes: the 15° grid with C 5° and its mirror images added.
        std::vector<double> cs;
        for (int k = 0; k < 24; ++k) {
          cs.push_back(15.0 * k);
          if (v.unevenC && k % 6 == 0) cs.push_back(15.0 * k + 5);
          if (v.unevenC && k % 6 == 5) cs.push_back(15.0 * k + 10);
        }
        s.mc = std::to_string(cs.size());
        for (double c : cs) s.cAngles.push_back(Number(c, v.comma));
        // The stored planes in file order (C90 … C270 blocks run from C270 down).
        std::vector<double> stored;
        for (double c : cs) {
          if ((isym == 1 && c == 0) || isym == 0 || (isym == 2 && c <= 180) || (isym == 4 && c <= 90) ||
              (isym == 3 && c >= 90 && c <= 270))
            stored.push_back(c);
        }
        if (isym == 3) std::reverse(stored.begin(), stored.end());
        if (!v.unevenC) {
          ASSERT_EQ(int(stored.size()), planesBySym[isym]);
        }
        s.planes = int(stored.size());
        s.factor = Number(v.factor, v.comma);
        s.value = [&](int p, int j) { return Number(a.f(gammas[j], stored[p]) / v.factor, v.comma); };
        test::TempDir dir;
        test::writeFile(dir.file("a.ldt"), test::MakeLdt(s));
        TLUM32 lum;
        const LoadResult loaded = LoadLuminaire(dir.file("a.ldt"), lum, LoadValues::AsRead);
        ASSERT_TRUE(loaded.ok()) << loaded.messages.joined();
        EXPECT_TRUE(loaded.messages.empty());
        EXPECT_EQ(lum.Symmetry, isym);
        CheckAgainst(a, lum, gammas);
      }
}

TEST(AnalyticLuminaires, IesInEveryLayoutOfHorizontalAngles) {
  struct Layout {
    double from, to;
    int symmetry;
  } layouts[] = {
      {0, 0, symRotational}, {0, 90, symQuadrant}, {0, 180, symC0C180}, {90, 270, symC90C270}, {0, 360, symNone},
  };
  const std::vector<double> gammas = Gammas(false);
  for (const auto& a : kLuminaires)
    for (const auto& l : layouts) {
      if (l.symmetry == symRotational && !a.rotational) continue;
      SCOPED_TRACE(std::string(a.name) + ", H " + std::to_string(int(l.from)) + "-" + std::to_string(int(l.to)));
      std::vector<double> hs;
      for (double h = l.from; h <= l.to; h += 15) hs.push_back(h);
      std::string t = "IESNA:LM-63-1995\nTILT=NONE\n1 1000 1 " + std::to_string(gammas.size()) + " " +
                      std::to_string(hs.size()) + " 1 2 0.5 1.0 0\n1 1 30\n";
      for (double g : gammas) t += Number(g, false) + " ";
      t += "\n";
      for (double h : hs) t += Number(h, false) + " ";
      t += "\n";
      for (double h : hs) {
        for (double g : gammas) t += Number(a.f(g, h), false) + " ";
        t += "\n";
      }
      test::TempDir dir;
      test::writeFile(dir.file("a.ies"), t);
      TLUM32 lum;
      const LoadResult loaded = LoadLuminaire(dir.file("a.ies"), lum, LoadValues::AsRead);
      ASSERT_TRUE(loaded.ok()) << loaded.messages.joined();
      EXPECT_TRUE(loaded.messages.empty());
      EXPECT_EQ(lum.Symmetry, l.symmetry);
      CheckAgainst(a, lum, gammas);
    }
}

}  // namespace
}  // namespace kandelo
