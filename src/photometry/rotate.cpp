// Turning a C-γ distribution: about the vertical axis by cTurn, and tilted by
// gammaTurnC0 (in the C0 plane) and gammaTurnC90 (in the C90 plane). The
// result is a full table (symmetry 0) on the old angle steps; the light output
// ratio is kept.
#include <cmath>

#include "photometry/lum32.h"
#include "photometry/numeric.h"

namespace kandelo {

namespace {

// A turned table beyond this many cells means a nonsensical step; it is refused.
constexpr double kMaxRotatedCells = 4.0e6;

double DirectionC(double ux, double uy) {
  if (ux == 0 && uy == 0) return 0;
  if (ux == 0) return uy > 0 ? 90 : 270;
  double a = std::atan(uy / ux) / kDegToRad;
  if (ux < 0) return a + 180;
  return uy < 0 ? a + 360 : a;
}

double DirectionGamma(double ux, double uy, double uz) {
  double h = std::sqrt(ux * ux + uy * uy);
  if (h == 0) return uz > 0 ? 180 : 0;
  return 90 + std::atan(uz / h) / kDegToRad;
}

}  // namespace

void TLUM32::RotateDistribution(double cTurn, double gammaTurnC0, double gammaTurnC90) {
  if (!Valid || PlaneSystem != psCGamma || !Table || GammaCount < 2) return;
  // Planes that are not equidistant have no step to keep: refused.
  if (Symmetry != symRotational && !(CStep > 0)) return;
  CalcFlux();
  const float oldLor = LOR;

  double dGamma = GammaStep;
  if (GridFlags == kGammaNotEquidistant) {
    dGamma = 180;
    for (int j = 2; j <= GammaCount; ++j) dGamma = std::fmin(dGamma, GammaAngle(j) - GammaAngle(j - 1));
  }
  if (!(dGamma > 0)) return;
  const double nGammaD = std::round(180.0 / dGamma) + 1;
  const double nCD = Symmetry == symRotational ? 24 : std::round(360.0 / CStep);
  if (nCD < 1 || nGammaD < 2 || nCD > 65535 || nGammaD > 65535 || nCD * nGammaD > kMaxRotatedCells) return;
  const auto nGamma = static_cast<std::uint32_t>(nGammaD);
  const auto nC = static_cast<std::uint32_t>(nCD);
  const double dC = 360.0 / nC;

  auto turned = TSglArray::Create(nC + 1, nGamma + 1);
  if (!turned) return;
  for (std::uint32_t i = 1; i <= nC; ++i) turned->At(i, 0) = static_cast<float>((i - 1) * dC);
  for (std::uint32_t j = 1; j <= nGamma; ++j) turned->At(0, j) = static_cast<float>((j - 1) * dGamma);

  const double phi = cTurn * kDegToRad, psi = gammaTurnC0 * kDegToRad, theta = -gammaTurnC90 * kDegToRad;
  const double sf = std::sin(phi), cf = std::cos(phi), sp = std::sin(psi), cp = std::cos(psi);
  const double st = std::sin(theta), ct = std::cos(theta);
  const double r1[3] = {cf * cp - sf * st * sp, sf * cp + cf * st * sp, -ct * sp};
  const double r2[3] = {-sf * ct, cf * ct, st};
  const double r3[3] = {sf * st * cp + cf * sp, sf * sp - cf * st * cp, ct * cp};

  for (std::uint32_t i = 1; i <= nC; ++i) {
    const double c = (i - 1) * dC * kDegToRad;
    for (std::uint32_t j = 1; j <= nGamma; ++j) {
      const double g = (j - 1) * dGamma * kDegToRad;
      const double v[3] = {std::sin(g) * std::cos(c), std::sin(g) * std::sin(c), -std::cos(g)};
      const double ux = r1[0] * v[0] + r1[1] * v[1] + r1[2] * v[2];
      const double uy = r2[0] * v[0] + r2[1] * v[1] + r2[2] * v[2];
      const double uz = r3[0] * v[0] + r3[1] * v[1] + r3[2] * v[2];
      turned->At(i, j) = Intensity(DirectionGamma(ux, uy, uz), DirectionC(ux, uy));
    }
  }

  Table = std::move(turned);
  CPlaneCount = static_cast<std::uint16_t>(nC);
  CStart = 0;
  CStep = static_cast<float>(dC);
  CEnd = static_cast<float>(360 - dC);
  GammaCount = static_cast<std::uint16_t>(nGamma);
  GammaStart = 0;
  GammaStep = static_cast<float>(dGamma);
  GammaEnd = 180;
  GridFlags = 0;
  Symmetry = symNone;
  SelectIntensityFunctions(symNone);
  CalcFlux();
  FindMaxIntensity();
  if (LOR != oldLor && LOR != 0) ScaleValues(oldLor / LOR);
}

}  // namespace kandelo
