// Values derived from the intensity table: flux, zones, CIE flux code,
// maximum, grid checks, luminous area, plane pairs and scaling.
#include <algorithm>
#include <array>
#include <cmath>

#include "frame/strutil.h"
#include "photometry/lum32.h"
#include "photometry/numeric.h"

namespace kandelo {
namespace {

// The zone bounds, multiples of 5°, come from a table made by the same
// expression, so that the values are the same either way.
double CosDeg(double a) {
  static const std::array<double, 37> table = [] {
    std::array<double, 37> t{};
    for (int k = 0; k <= 36; ++k) t[static_cast<std::size_t>(k)] = std::cos(5.0 * k * kDegToRad);
    return t;
  }();
  const double k = a / 5;
  if (k >= 0 && k <= 36 && k == std::floor(k) && 5.0 * k == a) return table[static_cast<std::size_t>(k)];
  return std::cos(a * kDegToRad);
}

std::uint8_t ToByte(double v) {
  long r = std::lround(std::clamp(v, 0.0, 255.0));
  return static_cast<std::uint8_t>(r);
}

}  // namespace

// Every stored angle γj owns the cell between the midpoints to its neighbours
// (the first cell starts at GammaStart, the last ends at GammaEnd). The integral
// over [lo, hi] adds M(γj)·|cos b − cos a| for each piece [a, b] of a cell inside.
// `means` holds M(γj) when the caller has them already, `cosEdges` the cosines
// of the cell edges (see CellEdgeCosines).
static double CellIntegral(const TLUM32& lum, double lo, double hi, const std::vector<double>* means,
                           const std::vector<double>* cosEdges = nullptr) {
  const int n = lum.GammaCount;
  const TSglArray& t = *lum.Table;
  double s = 0;
  auto cellEnd = [&](int j) { return j == n ? double(lum.GammaEnd) : (t.At(0, j) + t.At(0, j + 1)) / 2; };
  // With ascending edges the cells ending at or below lo add nothing: start
  // behind them.
  int first = 1;
  if (cosEdges) {
    int hiJ = n;
    while (first < hiJ) {
      const int mid = (first + hiJ) / 2;
      if (cellEnd(mid) > lo)
        hiJ = mid;
      else
        first = mid + 1;
    }
  }
  for (int j = first; j <= n; ++j) {
    double a = j == 1 ? double(lum.GammaStart) : (t.At(0, j - 1) + t.At(0, j)) / 2;
    // With edges (given only for ascending angles) no cell further on
    // reaches into [lo, hi].
    if (cosEdges && a >= hi) break;
    double b = cellEnd(j);
    const bool aCut = a < lo, bCut = b > hi;
    a = std::max(a, lo);
    b = std::min(b, hi);
    if (!(b > a)) continue;
    double m = means ? (*means)[j - 1] : lum.MeanIntensity(t.At(0, j));
    const double ca = cosEdges && !aCut ? (*cosEdges)[j - 1] : CosDeg(a);
    const double cb = cosEdges && !bCut ? (*cosEdges)[j] : CosDeg(b);
    s += m * std::fabs(cb - ca);
  }
  return s;
}

// cos of the cell edges: GammaStart, the midpoints between stored angles,
// GammaEnd. Empty when the edges do not ascend.
static std::vector<double> CellEdgeCosines(const TLUM32& lum) {
  const int n = lum.GammaCount;
  const TSglArray& t = *lum.Table;
  std::vector<double> edge(n + 1);
  edge[0] = lum.GammaStart;
  for (int j = 1; j < n; ++j) edge[j] = (t.At(0, j) + t.At(0, j + 1)) / 2;
  edge[n] = lum.GammaEnd;
  for (int j = 1; j <= n; ++j)
    if (!(edge[j] >= edge[j - 1])) return {};
  std::vector<double> c(n + 1);
  for (int j = 0; j <= n; ++j) c[j] = CosDeg(edge[j]);
  return c;
}

// The flux of a cone of B-β or A-α data: their table has no γ angles to
// integrate over, so the directions of the cone are summed instead (midpoint
// rule, 0.5° in γ, 2° in C), each seen through Intensity() in C-γ.
static float ConeFluxByDirections(const TLUM32& lum, double lo, double hi) {
  lo = std::clamp(lo, 0.0, 180.0);
  hi = std::clamp(hi, 0.0, 180.0);
  if (!(hi > lo)) return 0;
  const int nG = std::max(1, static_cast<int>(std::ceil((hi - lo) / 0.5))), nC = 180;
  const double dG = (hi - lo) / nG;
  double sum = 0;
  for (int i = 0; i < nG; ++i) {
    const double g = lo + (i + 0.5) * dG;
    double ring = 0;
    for (int k = 0; k < nC; ++k) ring += lum.Intensity(g, (k + 0.5) * 2.0);
    sum += ring / nC * (std::cos((lo + i * dG) * kDegToRad) - std::cos((lo + (i + 1) * dG) * kDegToRad));
  }
  return static_cast<float>(2 * kPi * sum);
}

// ZoneFlux with the plane means of the stored γ angles at hand (or nullptr).
static float ZoneFluxWith(const TLUM32& lum, double gamma1, double gamma2, const std::vector<double>* means,
                          const std::vector<double>* cosEdges = nullptr) {
  if (!lum.TableUsable()) return 0;
  if (lum.PlaneSystem != psCGamma) return ConeFluxByDirections(lum, std::min(gamma1, gamma2), std::max(gamma1, gamma2));
  double lo = std::min(gamma1, gamma2), hi = std::max(gamma1, gamma2);
  // A little slack for angles stored as singles (180 is exact, 41.41 is not).
  if (hi > lum.GammaEnd + 1e-4 || lo < lum.GammaStart - 1e-4) return 0;
  if (std::lround(100 * lo) == std::lround(100 * hi)) return 0;
  lo = std::max(lo, double(lum.GammaStart));
  hi = std::min(hi, double(lum.GammaEnd));
  return static_cast<float>(2 * kPi * CellIntegral(lum, lo, hi, means, cosEdges));
}

// cosEdges: CellEdgeCosines of the luminaire.
static void ZonesFromMeans(TLUM32& lum, const std::vector<double>& means, const std::vector<double>& cosEdges) {
  const std::vector<double>* edges = cosEdges.empty() ? nullptr : &cosEdges;
  for (int n = 1; n <= 36; ++n) lum.ZonalFlux[n - 1] = ZoneFluxWith(lum, 5.0 * (n - 1), 5.0 * n, &means, edges);
}

static std::vector<double> MeansAtStoredAngles(const TLUM32& lum) {
  std::vector<double> means;
  lum.StoredMeans(means);
  return means;
}

void TLUM32::CalcFlux() {
  if (std::lround(RefFlux) == 0 || RefFlux > 1000) RefFlux = 1000;
  LumFlux = 0;
  LOR = 0;
  if (!TableUsable()) {
    UpFlux = DownFlux = DFF = 0;
    FluxValid = 1;
    return;
  }
  if (PlaneSystem == psBBeta) return CalcFluxBB();

  const std::vector<double> means = MeansAtStoredAngles(*this);
  const double twoPi = 2 * kPi;
  const std::vector<double> cosEdges = CellEdgeCosines(*this);
  const std::vector<double>* edges = cosEdges.empty() ? nullptr : &cosEdges;
  LumFlux = static_cast<float>(twoPi * CellIntegral(*this, GammaStart, GammaEnd, &means, edges));
  LOR = LumFlux / 10;
  if (GammaEnd <= 90) {
    UpFlux = 0;
    DownFlux = LumFlux;
  } else if (GammaStart >= 90) {
    UpFlux = LumFlux;
    DownFlux = 0;
  } else {
    // The cells cut at 90°; for grids with a 90° angle this is the sum of the
    // zones below it plus the half cell of 90° itself.
    DownFlux = static_cast<float>(twoPi * CellIntegral(*this, GammaStart, 90.0, &means, edges));
    UpFlux = LumFlux - DownFlux;
  }
  ZonalFlux.fill(0);
  ZonesFromMeans(*this, means, cosEdges);
  ZonesValid = 1;
  FluxValid = 1;
  DFF = LumFlux != 0 ? DownFlux / LumFlux : 0;

  if (std::lround(100.0 * GammaEnd) < 9001)
    DistributionKind = 0;
  else
    DistributionKind = std::lround(100.0 * GammaStart) < 9000 ? 2 : 1;
  if (DistributionKind == 2 && LumFlux != 0) {
    if (DownFlux / LumFlux > 0.95) DistributionKind = 0;
    if (UpFlux / LumFlux > 0.95) DistributionKind = 1;
  }
}

// B-β: the β zones with the polar angle β + 90°, i.e. |sin b − sin a| per cell.
double TLUM32::ZoneIntegralBB(double lo, double hi) const {
  const int n = GammaCount;
  const TSglArray& t = *Table;
  double s = 0;
  for (int j = 1; j <= n; ++j) {
    double a = j == 1 ? double(GammaStart) : (t.At(0, j - 1) + t.At(0, j)) / 2;
    double b = j == n ? double(GammaEnd) : (t.At(0, j) + t.At(0, j + 1)) / 2;
    a = std::max(a, lo);
    b = std::min(b, hi);
    if (!(b > a)) continue;
    s += MeanBB(t.At(0, j)) * std::fabs(std::sin(b * kDegToRad) - std::sin(a * kDegToRad));
  }
  return s;
}

void TLUM32::CalcFluxBB() {
  double f = 2 * kPi * ZoneIntegralBB(GammaStart, GammaEnd);
  if (Symmetry == symC0C180 || Symmetry == symQuadrant) f *= 2;
  LumFlux = static_cast<float>(f);
  LOR = LumFlux / 10;
  DownFlux = LumFlux;
  UpFlux = 0;
  DFF = 1;
  DistributionKind = 0;
  FluxValid = 1;
}

float TLUM32::ZoneFlux(double gamma1, double gamma2) const { return ZoneFluxWith(*this, gamma1, gamma2, nullptr); }

void TLUM32::CalcZonalFlux() {
  ZonalFlux.fill(0);
  if (TableUsable()) {
    if (PlaneSystem == psCGamma) {
      ZonesFromMeans(*this, MeansAtStoredAngles(*this), CellEdgeCosines(*this));
    } else if (PlaneSystem == psBBeta) {
      // Bands of |β|: both signs of β, doubled where only one is stored.
      double k = Symmetry == symC0C180 || Symmetry == symQuadrant ? 2 : 1;
      for (int n = 1; n <= 18; ++n) {
        double lo = 5.0 * (n - 1), hi = 5.0 * n;
        double z = ZoneIntegralBB(lo, hi) + ZoneIntegralBB(-hi, -lo);
        ZonalFlux[n - 1] = static_cast<float>(2 * kPi * k * z);
      }
    }
  }
  ZonesValid = 1;
}

void TLUM32::CalcCieFluxCode() {
  CieFluxCode.fill(0);
  if (std::lround(1000.0 * LOR) == 0) {
    CalcFlux();
    if (std::lround(1000.0 * LOR) == 0) return;
  }
  double phi90 = ZoneFlux(0, 90);
  if (std::lround(10 * phi90) != 0) {
    const double cones[3] = {41.41, 60.0, 75.52};
    for (int k = 0; k < 3; ++k) CieFluxCode[k] = ToByte(100 * ZoneFlux(0, cones[k]) / phi90);
    CieFluxCode[3] = LumFlux != 0 ? ToByte(100.0 * DownFlux / LumFlux) : 0;
  }
  CieFluxCode[4] = ToByte(LOR);
}

void TLUM32::FindMaxIntensity() {
  Imax = ImaxC = ImaxGamma = 0;
  if (TableUsable()) {
    const TSglArray& t = *Table;
    for (int i = 1; i <= CPlaneCount; ++i)
      for (int j = 1; j <= GammaCount; ++j)
        if (t.At(i, j) > Imax) {
          Imax = t.At(i, j);
          ImaxC = t.At(i, 0);
          ImaxGamma = t.At(0, j);
        }
  }
  MaxValid = 1;
}

namespace {
// Smallest gap in thousandths of a degree; `uneven` when the gaps differ.
double SmallestGap(const TSglArray& t, int n, bool planes, bool& uneven) {
  uneven = false;
  auto angle = [&](int k) { return planes ? t.At(k, 0) : t.At(0, k); };
  long d = std::lround(1000.0 * (double(angle(2)) - angle(1)));
  for (int k = 3; k <= n; ++k) {
    long g = std::lround(1000.0 * (double(angle(k)) - angle(k - 1)));
    if (g != d) {
      uneven = true;
      d = std::min(d, g);
    }
  }
  return d / 1000.0;
}
}  // namespace

float TLUM32::CheckGammaGrid() {
  GridFlags &= static_cast<std::uint8_t>(~kGammaNotEquidistant);
  if (!Table || GammaCount < 2 || Table->Cols() <= GammaCount) return 0;
  bool uneven;
  double d = SmallestGap(*Table, GammaCount, false, uneven);
  if (uneven) GridFlags |= kGammaNotEquidistant;
  return static_cast<float>(d);
}

float TLUM32::CheckCGrid() {
  GridFlags &= static_cast<std::uint8_t>(~kCNotEquidistant);
  if (!Table || CPlaneCount < 2 || Table->Rows() <= CPlaneCount) return 0;
  bool uneven;
  double d = SmallestGap(*Table, CPlaneCount, true, uneven);
  if (uneven) GridFlags |= kCNotEquidistant;
  return static_cast<float>(d);
}

void TLUM32::ScaleValues(double factor) {
  if (TableUsable())
    for (int i = 1; i <= CPlaneCount; ++i)
      for (int j = 1; j <= GammaCount; ++j) Table->At(i, j) = static_cast<float>(factor * Table->At(i, j));
  CalcFlux();
  FindMaxIntensity();
}

double TLUM32::BottomArea() const {
  if (LumAreaDiameter != 0) return kPi * LumAreaDiameter * LumAreaDiameter / 4 * 1e-6;
  return double(LumAreaLength) * LumAreaWidth * 1e-6;
}

double TLUM32::SideArea(bool lengthSide) const {
  if (LumAreaDiameter != 0) return double(LumAreaDiameter) * LumAreaHeight[0] * 1e-6;
  return lengthSide ? double(LumAreaLength) * LumAreaHeight[0] * 1e-6
                    : double(LumAreaWidth) * LumAreaHeight[1] * 1e-6;
}

double TLUM32::ProjectedArea(double gamma, double c) const {
  return ProjectedArea(std::sin(gamma * kDegToRad), std::cos(gamma * kDegToRad), std::sin(c * kDegToRad),
                       std::cos(c * kDegToRad));
}

double TLUM32::ProjectedArea(double sg, double cg, double sc, double cc) const {
  if (LumAreaDiameter != 0) {
    double d = LumAreaDiameter, h0 = LumAreaHeight[0];
    double disc = kPi * d * d / 4 * 1e-6;
    if (LumAreaDiameter == LumAreaHeight[0]) return disc;
    return std::fabs(sg) * d * h0 * 1e-6 + std::fabs(cg) * disc;
  }
  double l = LumAreaLength, w = LumAreaWidth, h0 = LumAreaHeight[0];
  return (std::fabs(sc * sg) * h0 * w + std::fabs(cc * sg) * h0 * l + std::fabs(cg) * w * l) * 1e-6;
}

bool TLUM32::HasLuminousArea() const { return BottomArea() + SideArea(true) + SideArea(false) != 0; }

bool TLUM32::LuminanceAvailable() {
  if (!FluxValid) CalcFlux();
  return DistributionKind != 1 && HasLuminousArea();
}

std::vector<std::pair<std::string, float>> TLUM32::PlanePairList() const {
  std::vector<std::pair<std::string, float>> list;
  if (!TableUsable()) return list;
  if (PlaneSystem == psBBeta) {
    for (int i = 1; i <= CPlaneCount; ++i) {
      float b = Table->At(i, 0);
      list.emplace_back("B " + FormatFixed(b, 1), b);
    }
    return list;
  }
  int n;
  switch (Symmetry) {
    case symNone: n = CPlaneCount / 2; break;
    case symRotational: n = 1; break;
    case symC0C180:
    case symC90C270: n = CPlaneCount - 1; break;
    default: n = CPlaneCount; break;
  }
  n = std::clamp(n, 1, int(CPlaneCount));
  for (int i = 1; i <= n; ++i) {
    double a = Table->At(i, 0);
    double b = std::fmod(a + 180.0, 360.0);
    double lo = std::min(a, b), hi = std::max(a, b);
    if (n == 1)
      list.emplace_back("C 0.0", 0.0f);
    else
      list.emplace_back("C " + FormatFixed(lo, 1) + "/" + PadLeft(FormatFixed(hi, 1), 5), float(lo));
  }
  return list;
}

}  // namespace kandelo
