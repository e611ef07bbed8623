#include "evaluation/quick_planning.h"

#include <algorithm>
#include <cmath>

#include "evaluation/atf.h"
#include "photometry/lum32.h"
#include "photometry/numeric.h"

namespace kandelo {

const float kFloorHeightPresets[3][3] = {{1.65f, 2.15f, 2.65f}, {3.15f, 4.15f, 5.15f}, {4.15f, 5.15f, 6.15f}};
const float kFloorSectionPresets[2][2] = {{-2, 6}, {-4, 12}};
const std::uint16_t kCountIlluminancePresets[3][3] = {{20, 50, 100}, {100, 200, 300}, {300, 500, 1000}};
const float kRoomAreaSets[4][8] = {{20, 30, 40, 50, 70, 80, 90, 100},
                                   {40, 60, 80, 100, 150, 200, 250, 300},
                                   {50, 100, 150, 200, 300, 400, 500, 600},
                                   {200, 500, 1000, 1500, 2000, 2500, 3000, 5000}};

namespace {

double Finite(double v) { return std::isfinite(v) ? v : 0.0; }

// Φ_L: the flux of the first lamp set.
double LampFlux(const TLUM32& lum) { return Finite(lum.LampSets[0].SetFlux); }

}  // namespace

// The section runs from the left end to the right end. (Counting the points
// from −|xL| would put a section with a positive left end beside its axis
// labels.)
double FloorSectionPoint(const TFloorCurveParams& p, int k) {
  return p.Left + k * (static_cast<double>(p.Right) - p.Left) / (kFloorPoints - 1);
}

void ComputeFloorCurves(TFloorCurveParams& p, TFloorCurveResult& result, const TLUM32& lum) {
  const int n = std::max(1, static_cast<int>(p.Count));
  const double scale = Finite(LampFlux(lum) / 1000.0 * p.Maintenance);
  const double length = lum.Length / 1000.0;
  double maximum = 0;
  for (int j = 0; j < 3; ++j) {
    const double h = p.Heights[std::size_t(j)];
    for (int k = 0; k < kFloorPoints; ++k) {
      double e = 0;
      if (h > 0) {
        const double u = FloorSectionPoint(p, k);
        for (int i = 1; i <= n; ++i) {
          // Centred row: i − (n + 1)/2 luminaire lengths along the row.
          const double v = -(i - (n + 1) / 2.0) * length;
          const double r = std::sqrt(u * u + v * v);
          const double d = std::sqrt(r * r + h * h);
          const double gamma = std::atan(r / h) / kDegToRad;
          double c = std::atan2(v, u) / kDegToRad;
          if (c < 0) c += 360;
          e += h * lum.Intensity(gamma, c) * scale / (d * d * d);
        }
      }
      e = Finite(e);
      result[std::size_t(j)][std::size_t(k)] = static_cast<float>(e);
      maximum = std::max(maximum, e);
    }
  }
  p.Maximum = static_cast<float>(maximum);
}

TFloorScale FloorScale(const TFloorCurveParams& p) {
  TFloorScale s;
  s.low = p.Emergency ? 0.1 : 1;
  s.high = p.Emergency ? 100 : 1000;
  const double m = p.Maximum;
  if (m > 100) s.high = 1000;
  if (m > 1000) s.high = 5000;
  if (m > 5000) s.high = 10000;
  if (m > 10000) s.high = 50000;
  if (m > 50000) s.high = 100000;
  return s;
}

double RoomIndexFor(double area, double height) {
  const double a = std::sqrt(std::max(0.0, area) / 1.6), b = 1.6 * a;
  if (!(height > 0) || a + b == 0) return a + b == 0 ? 0 : HUGE_VAL;
  return a * b / ((a + b) * height);
}

double RoomUtilization(const TLuminaireCountParams& p, const RoomUtilTableT& table, double area, double height) {
  const std::size_t c = static_cast<std::size_t>(std::clamp(static_cast<int>(p.Reflectances), 0, 14));
  const double k = RoomIndexFor(area, height);
  const float* K = kLitgRoomIndex;
  if (k >= 5) return table[9][c];
  if (k <= 0.6) return table[0][c];
  // Row of the nearest list value among the first nine (the first on ties).
  int l = 0;
  for (int i = 1; i < 9; ++i)
    if (std::fabs(k - K[i]) < std::fabs(k - K[l])) l = i;
  int lo, hi;
  if (k >= K[l]) {
    lo = l;
    hi = std::min(l + 1, 9);
  } else {
    lo = std::max(l - 1, 0);
    hi = l;
  }
  const double v0 = table[std::size_t(lo)][c], v1 = table[std::size_t(hi)][c];
  if (K[hi] == K[lo]) return v0;
  return v0 + (v1 - v0) * (k - K[lo]) / (K[hi] - K[lo]);
}

void ComputeLuminaireCount(const TLuminaireCountParams& p, TLuminaireCountResult& result, const TLUM32& lum,
                           const RoomUtilTableT& table) {
  const int set = std::clamp(static_cast<int>(p.AreaSet), 0, 3);
  const double perLuminaire = lum.LOR * LampFlux(lum) * p.Maintenance;
  for (std::size_t h = 0; h < 3; ++h)
    for (std::size_t e = 0; e < 3; ++e)
      for (std::size_t a = 0; a < 8; ++a) {
        const double area = kRoomAreaSets[set][a];
        const double etaR = RoomUtilization(p, table, area, p.Heights[h]);
        const double denominator = etaR * perLuminaire;
        const double n = 100.0 * p.Illuminances[e] * area / denominator;
        result[h][e][a] = denominator > 0 && std::isfinite(n) && n < 1e9 ? static_cast<float>(n) : kCountUndefined;
      }
}

int ShownCount(double n) {
  if (!(n >= 0) || n > 2e9) return 0;
  const double whole = std::trunc(n);
  return static_cast<int>(whole) + (n - whole > 0.001 ? 1 : 0);
}

}  // namespace kandelo
