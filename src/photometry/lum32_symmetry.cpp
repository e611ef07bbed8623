// Conversions between symmetries and photometric systems (record editor,
// converter). Each builds the new table from the intensity functions of the
// old data and then replaces the table in one step.
#include <cmath>
#include <functional>

#include "photometry/lum32.h"

namespace kandelo {
namespace {

using ValueFn = std::function<double(double gamma, double c)>;

// A new table with the given plane and γ angles; nullptr when it cannot exist.
TSglArrayPtr BuildTable(const std::vector<double>& planes, const std::vector<double>& gammas,
                        const ValueFn& value) {
  if (planes.empty() || gammas.empty() || planes.size() > 65535 || gammas.size() > 65535) return nullptr;
  auto t = TSglArray::Create(std::uint32_t(planes.size()) + 1, std::uint32_t(gammas.size()) + 1);
  if (!t) return nullptr;
  for (std::size_t j = 0; j < gammas.size(); ++j) t->At(0, j + 1) = float(gammas[j]);
  for (std::size_t i = 0; i < planes.size(); ++i) {
    t->At(i + 1, 0) = float(planes[i]);
    for (std::size_t j = 0; j < gammas.size(); ++j)
      t->At(i + 1, j + 1) = static_cast<float>(value(gammas[j], planes[i]));
  }
  return TSglArrayPtr(std::move(t));
}

std::vector<double> StoredGammas(const TLUM32& lum) {
  std::vector<double> g;
  for (int j = 1; j <= lum.GammaCount; ++j) g.push_back(lum.Table->At(0, j));
  return g;
}

std::vector<double> Steps(double start, double step, long count) {
  std::vector<double> v;
  for (long k = 0; k < count; ++k) v.push_back(start + step * double(k));
  return v;
}

bool SaneCount(double n) { return std::isfinite(n) && n >= 1 && n <= 65535; }

}  // namespace

bool TLUM32::ResampleToC(std::uint8_t symmetry, double gammaEnd, double gammaStart, double gammaStep,
                         double cStep) {
  if (PlaneSystem == psCGamma || !TableUsable() || symmetry > symQuadrant) return false;
  if (!(gammaStep > 0) || !(cStep > 0) || !(gammaEnd >= gammaStart)) return false;
  double nPlanes;
  double cStart = symmetry == symC90C270 ? 90.0 : 0.0;
  switch (symmetry) {
    case symNone: nPlanes = std::round(360.0 / cStep); break;
    case symRotational: nPlanes = 1; break;
    case symQuadrant: nPlanes = std::round(90.0 / cStep) + 1; break;
    default: nPlanes = std::round(180.0 / cStep) + 1; break;
  }
  double nGammas = std::round((gammaEnd - gammaStart) / gammaStep) + 1;
  if (!SaneCount(nPlanes) || !SaneCount(nGammas)) return false;
  auto planes = Steps(cStart, cStep, long(nPlanes));
  auto gammas = Steps(gammaStart, gammaStep, long(nGammas));
  auto t = BuildTable(planes, gammas, [this](double g, double c) { return Intensity(g, c); });
  if (!t) return false;
  Table = std::move(t);
  CPlaneCount = static_cast<std::uint16_t>(planes.size());
  GammaCount = static_cast<std::uint16_t>(gammas.size());
  CStart = float(planes.front());
  CEnd = float(planes.back());
  CStep = symmetry == symRotational ? 0.0f : float(cStep);
  GammaStart = float(gammas.front());
  GammaEnd = float(gammas.back());
  GammaStep = float(gammaStep);
  GridFlags = 0;
  PlaneSystem = psCGamma;
  Symmetry = symmetry;
  SelectIntensityFunctions(symmetry);
  FindMaxIntensity();
  CalcFlux();
  return true;
}

void TLUM32::ExpandToFull(double cStep) {
  if (cStep == 0) cStep = 15;
  if (PlaneSystem != psCGamma || Symmetry == symNone || !TableUsable() || !(cStep > 0)) return;
  double n = std::round(360.0 / cStep);
  if (!SaneCount(n)) return;
  auto t = BuildTable(Steps(0, cStep, long(n)), StoredGammas(*this),
                      [this](double g, double c) { return Intensity(g, c); });
  if (!t) return;
  Table = std::move(t);
  CPlaneCount = static_cast<std::uint16_t>(n);
  CStep = CheckCGrid();
  GammaStep = CheckGammaGrid();
  Symmetry = symNone;
  CStart = Table->At(1, 0);
  CEnd = Table->At(CPlaneCount, 0);
  SelectIntensityFunctions(symNone);
  FindMaxIntensity();
  CalcFlux();
}

void TLUM32::MakeRotational(bool useMean) {
  if (Symmetry == symRotational || !TableUsable()) return;
  if (PlaneSystem != psCGamma) {
    double s = std::min(MinGammaStep, MinCStep);
    if (std::lround(s) == 0) s = 5;
    if (!ResampleToC(symNone, 90, 0, s, s)) return;
  }
  std::uint8_t oldSym = Symmetry;
  double c = oldSym == symC90C270 ? 180.0 : 0.0;
  auto t = BuildTable({0.0}, StoredGammas(*this), [&](double g, double cc) {
    return useMean ? MeanIntensity(g) : Intensity(g, c);
  });
  if (!t) return;
  Table = std::move(t);
  Symmetry = symRotational;
  CPlaneCount = 1;
  CStart = CEnd = CStep = 0;
  GridFlags &= static_cast<std::uint8_t>(~kCNotEquidistant);
  SelectIntensityFunctions(symRotational);
  FindMaxIntensity();
  CalcFlux();
}

// The three reductions share one shape: expand to the full circle, then keep
// the planes of the target range, averaging mirror planes when asked to.
static void MakeSymmetric(TLUM32& lum, std::uint8_t target, bool average, double cStep) {
  if (lum.PlaneSystem != psCGamma || !lum.TableUsable()) return;
  if (lum.Symmetry == target && std::lround(10.0 * lum.CStep) == std::lround(10.0 * cStep)) return;
  lum.ExpandToFull(cStep);
  double step = lum.CStep > 0 ? double(lum.CStep) : (cStep > 0 ? cStep : 15.0);
  double start = target == symC90C270 ? 90 : 0;
  double end = target == symQuadrant ? start + 90 : start + 180;
  double n = std::round((end - start) / step) + 1;
  if (!SaneCount(n)) return;
  auto planes = Steps(start, step, long(n));
  auto I = [&](double g, double c) { return double(lum.Intensity(g, c)); };
  auto value = [&](double g, double c) -> double {
    bool boundary = std::lround(100 * c) == std::lround(100 * start) || std::lround(100 * c) == std::lround(100 * end);
    if (!average) return I(g, c);
    switch (target) {
      case symC0C180:
        return boundary ? I(g, c) : (I(g, c) + I(g, 360 - c)) / 2;
      case symC90C270: {
        double m = 180 - c;
        if (m < 0) m += 360;
        return boundary ? I(g, c) : (I(g, c) + I(g, m)) / 2;
      }
      default:
        if (boundary) return (I(g, c) + I(g, c + 180)) / 2;  // C0 with C180, C90 with C270
        return (I(g, c) + I(g, 360 - c) + I(g, 180 - c) + I(g, 180 + c)) / 4;
    }
  };
  auto t = BuildTable(planes, StoredGammas(lum), value);
  if (!t) return;
  lum.Table = std::move(t);
  lum.CPlaneCount = static_cast<std::uint16_t>(planes.size());
  lum.Symmetry = target;
  lum.CStart = float(start);
  lum.CEnd = float(planes.back());
  lum.CStep = float(step);
  lum.GridFlags &= static_cast<std::uint8_t>(~kCNotEquidistant);
  lum.SelectIntensityFunctions(target);
  lum.FindMaxIntensity();
  lum.CalcFlux();
}

void TLUM32::MakeSymmetricC0C180(bool average, double cStep) { MakeSymmetric(*this, symC0C180, average, cStep); }
void TLUM32::MakeSymmetricC90C270(bool average, double cStep) { MakeSymmetric(*this, symC90C270, average, cStep); }
void TLUM32::MakeQuadrantSymmetric(bool average, double cStep) { MakeSymmetric(*this, symQuadrant, average, cStep); }

}  // namespace kandelo
