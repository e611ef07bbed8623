// The intensity functions of TLUM32: C-γ interpolation (equidistant and
// searching), B-β interpolation, the C-γ view of B-β data and the plane means.
//
// Two rules keep every result inside the table: C is reduced into [0°, 360°)
// before folding (negative angles included), and interpolation fractions are
// held in [0, 1], so a table whose stored angles disagree with its grid fields
// gives the nearest stored value instead of an extrapolation or a bad index.
#include <algorithm>
#include <cmath>

#include "frame/strutil.h"
#include "photometry/lum32.h"
#include "photometry/numeric.h"

namespace kandelo {
namespace {

double Clamp01(double t) { return t < 0 ? 0 : (t > 1 ? 1 : (std::isnan(t) ? 0 : t)); }

double Reduce360(double c) {
  if (!std::isfinite(c)) return 0;
  c = std::fmod(c, 360.0);
  if (c < 0) c += 360.0;
  if (c >= 360.0) c = 0;
  return c;
}

}  // namespace

void TLUM32::SelectIntensityFunctions(std::uint8_t symmetry) {
  weightsReported_ = false;
  if (!TableUsable()) {
    intensity_ = intensityBB_ = &TLUM32::IntensityZero;
    meanIntensity_ = &TLUM32::MeanZero;
    return;
  }
  switch (PlaneSystem) {
    case psCGamma:
      if (symmetry > symQuadrant) return;
      selectedSymmetry_ = symmetry;
      intensity_ = GridFlags == 0 ? &TLUM32::IntensityCgEqui : &TLUM32::IntensityCgSearch;
      meanIntensity_ = symmetry == symNone         ? &TLUM32::MeanFull
                       : symmetry == symRotational ? &TLUM32::MeanRotational
                                                   : &TLUM32::MeanPartial;
      break;
    case psBBeta:
      if (symmetry == symRotational || symmetry > symQuadrant) return;
      selectedSymmetry_ = symmetry;
      intensity_ = &TLUM32::IntensityFromBB;
      // Both grid forms of the B-β interpolation give the same result.
      intensityBB_ = &TLUM32::IntensityBBInterp;
      meanIntensity_ = symmetry == symNone ? &TLUM32::MeanFull : &TLUM32::MeanPartial;
      break;
    default:
      intensity_ = intensityBB_ = &TLUM32::IntensityZero;
      meanIntensity_ = &TLUM32::MeanZero;
      break;
  }
}

double TLUM32::FoldC(double c) const {
  c = Reduce360(c);
  switch (selectedSymmetry_) {
    case symC0C180:
      if (c > 180) c = 360 - c;
      break;
    case symC90C270:
      if (c > 270) c = 540 - c;
      if (c < 90) c = 180 - c;
      break;
    case symQuadrant:
      if (c > 90) c = c > 270 ? 360 - c : std::fabs(180 - c);
      break;
    default:
      break;
  }
  return c;
}

bool TLUM32::EquiGridUsable() const {
  // A grid without usable steps cannot be indexed by arithmetic.
  return GammaStep > 0 && (CPlaneCount == 1 || selectedSymmetry_ == symRotational || CStep > 0);
}

TLUM32::GammaCell TLUM32::FindGammaCell(double gamma, bool equidistant) const {
  const TSglArray& t = *Table;
  const int nG = GammaCount;
  GammaCell g;
  if (equidistant) {
    double k = (gamma - GammaStart) / GammaStep;
    g.j = std::clamp(static_cast<int>(std::min(k, double(nG))) + 1, 1, nG);
    g.j2 = std::min(g.j + 1, nG);
    g.frac = Clamp01((gamma - (GammaStart + (g.j - 1) * double(GammaStep))) / GammaStep);
    return g;
  }
  g.j = 1;
  while (g.j < nG && t.At(0, g.j + 1) < gamma) ++g.j;
  g.j2 = std::min(g.j + 1, nG);
  double gj = t.At(0, g.j), gj2 = t.At(0, g.j2);
  g.frac = g.j2 == g.j || gj2 == gj ? 0.0 : Clamp01((gamma - gj) / (gj2 - gj));
  return g;
}

double TLUM32::RowValue(int plane, const GammaCell& g) const {
  double a = Table->At(plane, g.j);
  return a + g.frac * (Table->At(plane, g.j2) - a);
}

float TLUM32::IntensityCgEqui(double gamma, double c) const {
  if (!TableUsable()) return 0;
  if (!(gamma >= GammaStart && gamma <= GammaEnd)) return 0;
  if (!EquiGridUsable()) return IntensityCgSearch(gamma, c);
  const GammaCell g = FindGammaCell(gamma, true);
  if (selectedSymmetry_ == symRotational || CPlaneCount == 1) return static_cast<float>(RowValue(1, g));
  return PlaneValueEqui(g, c);
}

float TLUM32::PlaneValueEqui(const GammaCell& g, double c) const {
  const int nC = CPlaneCount;
  double cf = FoldC(c);
  double c0 = selectedSymmetry_ == symC90C270 ? CStart : 0.0;
  int i = static_cast<int>(std::clamp((cf - c0) / CStep, -1.0, double(nC))) + 1;
  i = std::clamp(i, 1, nC);
  double ci = c0 + (i - 1) * double(CStep);
  int i2;
  double upper;
  if (selectedSymmetry_ == symNone) {
    i2 = i + 1 > nC ? 1 : i + 1;
    upper = ci + CStep;
  } else {
    i2 = std::min(i + 1, nC);
    upper = i == nC ? CEnd : ci + CStep;
  }
  double ia = RowValue(i, g);
  if (i == i2 || upper == ci) return static_cast<float>(ia);
  double ib = RowValue(i2, g);
  return static_cast<float>(ia + (ib - ia) * Clamp01((cf - ci) / (upper - ci)));
}

float TLUM32::IntensityCgSearch(double gamma, double c) const {
  if (!TableUsable()) return 0;
  if (!(gamma >= GammaStart && gamma <= GammaEnd)) return 0;
  const GammaCell g = FindGammaCell(gamma, false);
  if (selectedSymmetry_ == symRotational || CPlaneCount == 1) return static_cast<float>(RowValue(1, g));
  return PlaneValueSearch(g, c, nullptr);
}

// `from`, when given, holds the plane found for a neighbouring direction; the
// search starts there when the planes ascend and that plane lies at or below
// C, which finds the plane a search from the first one finds.
float TLUM32::PlaneValueSearch(const GammaCell& g, double c, int* from) const {
  const int nC = CPlaneCount;
  const TSglArray& t = *Table;
  double cf = FoldC(c);
  // Full circle: a direction before the first plane lies between the last
  // plane and the first one turned by 360°.
  if (selectedSymmetry_ == symNone && cf < t.At(1, 0)) cf += 360.0;
  int i = 1;
  if (from && *from > 1 && *from <= nC && t.At(*from, 0) <= cf) i = *from;
  while (i < nC && t.At(i + 1, 0) <= cf) ++i;
  if (from) *from = i;
  int i2;
  double upper;
  if (selectedSymmetry_ == symNone && i == nC) {
    i2 = 1;
    upper = t.At(1, 0) + 360.0;
  } else {
    i2 = std::min(i + 1, nC);
    upper = t.At(i2, 0);
  }
  double ci = t.At(i, 0);
  double ia = RowValue(i, g);
  if (i == i2 || upper == ci) return static_cast<float>(ia);
  double ib = RowValue(i2, g);
  return static_cast<float>(ia + (ib - ia) * Clamp01((cf - ci) / (upper - ci)));
}

void TLUM32::IntensitiesAt(double gamma, const double* c, float* out, int n, int* from) const {
  const bool cg = intensity_ == &TLUM32::IntensityCgEqui || intensity_ == &TLUM32::IntensityCgSearch;
  if (!cg) {
    for (int k = 0; k < n; ++k) out[k] = Intensity(gamma, c[k]);
    return;
  }
  if (!TableUsable() || !(gamma >= GammaStart && gamma <= GammaEnd)) {
    std::fill(out, out + n, 0.0f);
    return;
  }
  const bool equi = intensity_ == &TLUM32::IntensityCgEqui && EquiGridUsable();
  const GammaCell g = FindGammaCell(gamma, equi);
  if (selectedSymmetry_ == symRotational || CPlaneCount == 1) {
    std::fill(out, out + n, static_cast<float>(RowValue(1, g)));
    return;
  }
  if (equi) {
    for (int k = 0; k < n; ++k) out[k] = PlaneValueEqui(g, c[k]);
    return;
  }
  // A start plane only helps where the planes ascend; elsewhere every search
  // starts at the first plane as Intensity does.
  bool ascending = true;
  for (int i = 1; i < CPlaneCount && ascending; ++i) ascending = Table->At(i, 0) <= Table->At(i + 1, 0);
  for (int k = 0; k < n; ++k) out[k] = PlaneValueSearch(g, c[k], ascending && from ? from + k : nullptr);
}

float TLUM32::IntensityBBInterp(double beta, double b) const {
  if (!TableUsable()) return 0;
  if (selectedSymmetry_ == symC0C180 || selectedSymmetry_ == symQuadrant) beta = std::fabs(beta);
  if (selectedSymmetry_ == symC90C270 || selectedSymmetry_ == symQuadrant) b = std::fabs(b);
  if (!(beta >= GammaStart && beta <= GammaEnd) || !(b >= CStart && b <= CEnd)) return 0;
  const int nG = GammaCount, nC = CPlaneCount;
  const TSglArray& t = *Table;

  int k = std::min(2, nG);
  while (k < nG && t.At(0, k) < beta) ++k;
  int j = std::max(1, k - 1), j2 = k;
  double bj = t.At(0, j), bj2 = t.At(0, j2);
  double frac = j == j2 || bj2 == bj ? 0.0 : Clamp01((beta - bj) / (bj2 - bj));
  auto rowValue = [&](int i) {
    double a = t.At(i, j);
    return a + frac * (t.At(i, j2) - a);
  };
  int i = 1;
  while (i < nC && t.At(i + 1, 0) < b) ++i;
  int i2 = std::min(i + 1, nC);
  double ci = t.At(i, 0), ci2 = t.At(i2, 0);
  double ia = rowValue(i);
  if (i == i2 || ci2 == ci) return static_cast<float>(ia);
  double ib = rowValue(i2);
  return static_cast<float>(ia + (ib - ia) * Clamp01((b - ci) / (ci2 - ci)));
}

float TLUM32::IntensityFromBB(double gamma, double c) const {
  gamma = std::fabs(gamma);
  if (gamma > CEnd || gamma < CStart) return 0;
  c = Reduce360(c);
  double b;
  if (std::lround(100 * gamma) == 9000) {
    long rc = std::lround(100 * c);
    b = rc < 9001 || rc > 27000 ? 90.0 : -90.0;
  } else if (std::lround(1000 * gamma) == 0) {
    b = 0;
  } else {
    b = std::atan(std::cos(c * kDegToRad) * std::tan(gamma * kDegToRad)) / kDegToRad;
  }
  double s = std::sin(c * kDegToRad) * std::sin(gamma * kDegToRad);
  double beta = std::asin(std::clamp(s, -1.0, 1.0)) / kDegToRad;
  return IntensityBB(beta, b);
}

// Weights: half the gap to each neighbouring plane. The full circle closes
// the ring through 360°, the half and quarter ranges end at their outer planes.
double TLUM32::PlaneWeight(int i, bool full) const {
  const TSglArray& t = *Table;
  const int n = CPlaneCount;
  double a = t.At(i, 0);
  double prev, next;
  if (full) {
    // The gap across 360° to the first plane (also when that is not at 0°).
    prev = i > 1 ? a - t.At(i - 1, 0) : 360.0 - t.At(n, 0) + t.At(1, 0);
    next = i < n ? t.At(i + 1, 0) - a : 360.0 - a + t.At(1, 0);
  } else {
    prev = i > 1 ? a - t.At(i - 1, 0) : 0.0;
    next = i < n ? t.At(i + 1, 0) - a : 0.0;
  }
  return (prev + next) / 2;
}

float TLUM32::MeanWeighted(double gamma, bool full) const { return MeanWith(gamma, full, nullptr, nullptr); }

// weight and own (the plane its symmetry maps onto itself), when given, hold
// per plane what would otherwise be worked out here for every call.
float TLUM32::MeanWith(double gamma, bool full, const double* weight, const unsigned char* own) const {
  if (!TableUsable()) return 0;
  const TSglArray& t = *Table;
  const int n = CPlaneCount;
  double sum = 0, weights = 0;
  // C-γ data: a stored plane that its symmetry maps onto itself is read
  // straight from its row (what Intensity would find after its searches);
  // the γ cell is the same for every plane.
  const bool direct = PlaneSystem == psCGamma && intensity_ != &TLUM32::IntensityZero;
  const bool inRange = gamma >= GammaStart && gamma <= GammaEnd;
  GammaCell cell{1, 1, 0};
  if (direct && inRange)
    cell = FindGammaCell(gamma, intensity_ == &TLUM32::IntensityCgEqui && EquiGridUsable());
  const bool byIntensity = !direct || selectedSymmetry_ == symRotational;
  if (weight && own && !byIntensity && inRange) {
    // The common case of CalcFlux, kept free of per-plane decisions; when
    // every plane is its own, free of calls too, so the sum stays in a register.
    bool allOwn = true;
    for (int i = 0; i < n && allOwn; ++i) allOwn = own[i] != 0;
    if (allOwn) {
      for (int i = 1; i <= n; ++i) {
        const double w = weight[i - 1];
        weights += w;
        sum += RowValue(i, cell) * w;
      }
    } else {
      for (int i = 1; i <= n; ++i) {
        const double w = weight[i - 1];
        weights += w;
        const double value = own[i - 1] ? RowValue(i, cell) : double(Intensity(gamma, t.At(i, 0)));
        sum += value * w;
      }
    }
  } else {
    for (int i = 1; i <= n; ++i) {
      double a = t.At(i, 0);
      double w = weight ? weight[i - 1] : PlaneWeight(i, full);
      weights += w;
      double value;
      if (byIntensity)
        value = Intensity(gamma, a);
      else if (!inRange)
        value = 0;
      else if (own ? own[i - 1] != 0 : FoldC(a) == a)
        value = RowValue(i, cell);
      else
        value = Intensity(gamma, a);
      sum += value * w;
    }
  }
  double range = full ? 360.0 : double(CEnd) - double(CStart);
  if (std::fabs(weights - range) > 0.005) ReportUnbalancedWeights(weights);
  if (range > 0) return static_cast<float>(sum / range);
  // A degenerate range (one plane, or CStart = CEnd) takes the plain weights.
  if (weights > 0) return static_cast<float>(sum / weights);
  return Intensity(gamma, t.At(1, 0));
}

void TLUM32::StoredMeans(std::vector<double>& means) const {
  const int nG = GammaCount;
  means.assign(nG, 0.0);
  const bool full = meanIntensity_ == &TLUM32::MeanFull;
  if (!TableUsable() || (!full && meanIntensity_ != &TLUM32::MeanPartial)) {
    for (int j = 1; j <= nG; ++j) means[j - 1] = MeanIntensity(Table->At(0, j));
    return;
  }
  const int n = CPlaneCount;
  std::vector<double> weight(n);
  std::vector<unsigned char> own(n);
  for (int i = 1; i <= n; ++i) {
    weight[i - 1] = PlaneWeight(i, full);
    const double a = Table->At(i, 0);
    own[i - 1] = FoldC(a) == a;
  }
  for (int j = 1; j <= nG; ++j) means[j - 1] = MeanWith(Table->At(0, j), full, weight.data(), own.data());
}

float TLUM32::MeanFull(double gamma) const { return MeanWeighted(gamma, true); }
float TLUM32::MeanPartial(double gamma) const { return MeanWeighted(gamma, false); }
float TLUM32::MeanRotational(double gamma) const { return Intensity(gamma, 0); }

void TLUM32::ReportUnbalancedWeights(double sum) const {
  if (weightsReported_) return;
  weightsReported_ = true;
  computeNotes_.warning(FormatFixed(sum, 2));
}

double TLUM32::MeanBB(double beta) const {
  if (!TableUsable()) return 0;
  const TSglArray& t = *Table;
  const int n = CPlaneCount;
  double sum = 0;
  for (int i = 1; i <= n; ++i) {
    double a = t.At(i, 0);
    double prev = i > 1 ? a - t.At(i - 1, 0) : 0.0;
    double next = i < n ? t.At(i + 1, 0) - a : 0.0;
    sum += IntensityBB(beta, a) * (prev + next) / 2;
  }
  bool half = Symmetry == symC90C270 || Symmetry == symQuadrant;
  return sum / (half ? 180.0 : 360.0);
}

}  // namespace kandelo
