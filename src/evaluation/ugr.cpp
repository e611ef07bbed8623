#include "evaluation/ugr.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "frame/strutil.h"
#include "photometry/lum32.h"
#include "photometry/numeric.h"

namespace kandelo {

const int kUgrRooms[19][2] = {{2, 2},  {2, 3},  {2, 4},  {2, 6},  {2, 8}, {2, 12}, {4, 2},
                              {4, 3},  {4, 4},  {4, 6},  {4, 8},  {4, 12}, {8, 4}, {8, 6},
                              {8, 8},  {8, 12}, {12, 4}, {12, 6}, {12, 8}};
const char* const kUgrShapeNames[15] = {"BK00", "BK01", "BK02", "BK03", "BK04", "BK05", "BK06", "BK07",
                                        "BK08", "BK09", "BK10", "BK11", "BK12", "BKBF", "BKFF"};

namespace {
const int kDims[6] = {2, 3, 4, 6, 8, 12};
const float kCorrK[8] = {1.0f, 1.25f, 1.5f, 2.0f, 2.5f, 3.0f, 4.0f, 5.0f};
constexpr int kUgrNbCombination[5] = {1, 2, 4, 5, 7};
}  // namespace

UgrResultSet& UgrResults() {
  static UgrResultSet results;
  return results;
}

TPosIndex::TPosIndex() {
  auto t = LoadCoeffTable(2);
  if (!t || t->Rows() < 32 || t->Cols() < 21) throw EvaluationError("programming error");
  table_ = std::move(*t);
}

double TPosIndex::PositionIndex(double tr, double hr) const {
  if (!(hr >= 0 && hr <= 1.9 && tr >= 0 && tr <= 3)) return 0;
  // Cells: row 1 + T/R·10, column 1 + H/R·10.
  int r = std::min(int(tr * 10), 29), c = std::min(int(hr * 10), 18);
  double fr = tr * 10 - r, fc = hr * 10 - c;
  double v00 = table_.At(r + 1, c + 1), v01 = table_.At(r + 1, c + 2);
  double v10 = table_.At(r + 2, c + 1), v11 = table_.At(r + 2, c + 2);
  double v = (1 - fr) * ((1 - fc) * v00 + fc * v01) + fr * ((1 - fc) * v10 + fc * v11);
  return v / 100;
}

double PositionIndex(double tr, double hr) {
  static const TPosIndex table;
  return table.PositionIndex(tr, hr);
}

namespace {

// One position of the grids (row pair n, column c): what does not depend on
// the luminaire. The luminaire's share is the four intensities and two areas.
struct UgrCell {
  int n, c;
  double p, d2, gamma;
  double c4[4];                // C of the four intensities: 360 − φ, φ, 90 − φ, φ + 90
  double sg, cg, sPhi, cPhi, sPhi90, cPhi90;  // sines and cosines of γ, φ and φ + 90
};

// The cells with a glare term: a position index that rounds to 0, and the
// positions beyond the rooms that the tables leave out, have none.
std::vector<UgrCell> MakeUgrGeometry(const TPosIndex& pos) {
  std::vector<UgrCell> cells;
  for (int n = 0; n < 24; ++n) {
    double y = 0.25 + 0.5 * n;
    for (int c = 2; c < 48; ++c) {
      if (c <= 7 && n >= 3 * (c + 1) - 1) continue;
      double x = 0.25 + 0.5 * c;
      double p = pos.PositionIndex(y / x, 2 / x);
      if (std::lround(100 * p) == 0) continue;
      UgrCell k;
      k.n = n;
      k.c = c;
      k.p = p;
      k.d2 = x * x + y * y + 4;
      k.gamma = std::atan(std::sqrt(x * x + y * y) / 2) / kDegToRad;
      double phi = std::atan(y / x) / kDegToRad;
      k.c4[0] = 360 - phi;
      k.c4[1] = phi;
      k.c4[2] = 90 - phi;
      k.c4[3] = phi + 90;
      k.sg = std::sin(k.gamma * kDegToRad);
      k.cg = std::cos(k.gamma * kDegToRad);
      k.sPhi = std::sin(phi * kDegToRad);
      k.cPhi = std::cos(phi * kDegToRad);
      k.sPhi90 = std::sin((phi + 90) * kDegToRad);
      k.cPhi90 = std::cos((phi + 90) * kDegToRad);
      cells.push_back(k);
    }
  }
  return cells;
}

// Built once per process from the position-index table and shared; built
// again only when that table is not the process's own (a test's replacement).
std::shared_ptr<const std::vector<UgrCell>> UgrGeometry() {
  static std::mutex mutex;
  static std::optional<CoeffTable> source;
  static std::shared_ptr<const std::vector<UgrCell>> shared;
  std::optional<CoeffTable> table = LoadCoeffTable(2);
  std::lock_guard lock(mutex);
  if (shared && table && source && table->SharesCells(*source)) return shared;
  TPosIndex pos;  // throws "programming error" when the table is missing
  shared = std::make_shared<const std::vector<UgrCell>>(MakeUgrGeometry(pos));
  source = std::move(table);
  return shared;
}

}  // namespace

void BuildUgrGrids(const TLUM32& lum, UgrResultSet& r) {
  const std::shared_ptr<const std::vector<UgrCell>> geometry = UgrGeometry();
  for (auto& row : r.cross) row.fill(0);
  for (auto& row : r.end) row.fill(0);
  int from[4] = {1, 1, 1, 1};
  float in[4];
  for (const UgrCell& k : *geometry) {
    auto term = [&](double intensity, double area) {
      // A direction without luminous area shows no luminance: no glare term.
      if (!(area > 0)) return 0.0f;
      double q = intensity / k.p;
      return float(q * q / (area * k.d2));
    };
    lum.IntensitiesAt(k.gamma, k.c4, in, 4, from);
    double a1 = lum.ProjectedArea(k.sg, k.cg, k.sPhi, k.cPhi);
    r.cross[24 + k.n][k.c] = term(in[0], a1);
    r.cross[23 - k.n][k.c] = term(in[1], a1);
    double a2 = lum.ProjectedArea(k.sg, k.cg, k.sPhi90, k.cPhi90);
    r.end[24 + k.n][k.c] = term(in[2], a2);
    r.end[23 - k.n][k.c] = term(in[3], a2);
  }
}

namespace {
void Sums(const UgrGrid& g, Ugr0Table& out) {
  for (int yi = 0; yi < 6; ++yi)
    for (int xi = 0; xi < 6; ++xi) {
      int X = kDims[xi], Y = kDims[yi];
      double s = 0;
      for (int row = 24 - 2 * X; row <= 23 + 2 * X; ++row)
        for (int col = 1; col <= 4 * Y - 1; ++col) s += g[row][col];
      out[yi][xi] = float(8 * Lg(0.25 * s / 127.32));
    }
}

UgrShapeMatch Match(const Ugr0Table& t, const CoeffTable& shapes, bool inclusive) {
  UgrShapeMatch m;
  float mn = t[0][0], mx = t[0][0];
  for (auto& row : t)
    for (float v : row) {
      mn = std::min(mn, v);
      mx = std::max(mx, v);
    }
  long range = std::lround(std::fabs(mx - mn));
  if (inclusive ? range > 14 : range >= 14) return m;
  double bestH = 500, bestM = 0;
  int best = -1;
  for (int a = 0; a < 15; ++a) {
    double lo = 1e30, hi = -1e30;
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 6; ++x) {
        double d = t[y][x] - shapes.At(6 * a + y, x);
        lo = std::min(lo, d);
        hi = std::max(hi, d);
      }
    double h = std::fabs(hi - lo) / 2;
    if (h < bestH) {
      bestH = h;
      bestM = (hi + lo) / 2;
      best = a;
    }
  }
  if (best >= 0 && bestH < 1) {
    m.found = 1;
    m.shape = std::uint8_t(best);
    m.offset = float(bestM);
  }
  return m;
}

void Variation(const UgrGrid& g, float* out) {
  const int spacings[3] = {4, 6, 8};
  for (int k = 0; k < 3; ++k) {
    int s = spacings[k], n = 48 / s;
    double mn = 1e300, mx = -1e300, sum = 0;
    int count = 0;
    for (int u = 1; u <= s; ++u)
      for (int v = 1; v <= s / 2; ++v) {
        double t = 0;
        for (int i = 0; i < n; ++i)
          for (int j = 0; j < n; ++j) t += g[j * s + v - 1][i * s + u - 1];
        mn = std::min(mn, t);
        mx = std::max(mx, t);
        sum += t;
        ++count;
      }
    double avg = sum / count;
    out[3 * k] = avg == 0 ? 0.0f : float(8 * Lg(mn / avg));
    out[3 * k + 1] = avg == 0 ? 0.0f : float(8 * Lg(mx / avg));
    out[3 * k + 2] = float(8 * Lg(0.25 * avg / 127.32));
  }
}
}  // namespace

void UgrRoomSums(UgrResultSet& r) {
  Sums(r.cross, r.ugr0Cross);
  Sums(r.end, r.ugr0End);
}

void MatchUgrShapes(UgrResultSet& r) {
  auto shapes = LoadUgrShapes();
  if (!shapes || shapes->Rows() < 90 || shapes->Cols() < 6) throw EvaluationError("programming error");
  r.matchCross = Match(r.ugr0Cross, *shapes, false);
  r.matchEnd = Match(r.ugr0End, *shapes, true);
}

void UgrVariation(UgrResultSet& r) {
  Variation(r.cross, r.variation.data());
  Variation(r.end, r.variation.data() + 9);
}

void UgrReflectanceTable(const NbRecord& nb, UgrResultSet& r, NbReading reading) {
  auto at = [&](int offset) { return double(GetF32(nb.data() + offset)); };
  // Cell of the NB table, 1-based row (k 0.6, 0.8, 1.0, …) and combination.
  auto cell = [&](int row, int comb) { return at(132 + 40 * (row - 1) + 4 * (comb - 1)); };
  for (int i = 1; i <= 19; ++i) {
    int X = kUgrRooms[i - 1][0], Y = kUgrRooms[i - 1][1];
    double k = double(X) * Y / (X + Y);
    int n = 8;
    for (int m = 1; m <= 8; ++m)
      if (std::lround(100 * kCorrK[m - 1]) >= std::lround(100 * k)) {
        n = m;
        break;
      }
    int xi = int(std::find(kDims, kDims + 6, X) - kDims), yi = int(std::find(kDims, kDims + 6, Y) - kDims);
    for (int j = 1; j <= 5; ++j) {
      int c = kUgrNbCombination[j - 1];
      double f, g;
      if (n == 1) {
        if (reading == NbReading::AsPrinted) {
          f = at(168 + 4 * c);
          g = at(204);
        } else {
          f = cell(3, c);
          g = cell(3, 9);
        }
      } else {
        double t = (k - kCorrK[n - 2]) / (kCorrK[n - 1] - kCorrK[n - 2]);
        double f0, f1, g0, g1;
        if (reading == NbReading::AsPrinted) {
          f0 = at(88 + 40 * n + 4 * c);
          f1 = at(128 + 40 * n + 4 * c);
          g0 = at(72 + 40 * n);
          g1 = at(112 + 40 * n);
        } else {
          f0 = cell(n + 1, c);
          f1 = cell(n + 2, c);
          g0 = cell(n + 1, 9);
          g1 = cell(n + 2, 9);
        }
        f = f0 + (f1 - f0) * t;
        g = g0 + (g1 - g0) * t;
      }
      double delta = 8 * Lg(6 * f - 5 * g);
      r.table[std::size_t(5 * (i - 1) + j - 1)] = float(r.ugr0Cross[yi][xi] - delta);
      r.table[std::size_t(95 + 5 * (i - 1) + j - 1)] = float(r.ugr0End[yi][xi] - delta);
    }
  }
}

bool ComputeUgr(TLUM32& lum, const NbRecord& nb, std::string* error, NbReading reading) {
  return ComputeUgrInto(lum, nb, UgrResults(), error, reading);
}

bool ComputeUgrInto(TLUM32& lum, const NbRecord& nb, UgrResultSet& r, std::string* error, NbReading reading) {
  if (!lum.LuminanceAvailable()) return false;
  try {
    BuildUgrGrids(lum, r);
    UgrRoomSums(r);
    MatchUgrShapes(r);
    UgrVariation(r);
    UgrReflectanceTable(nb, r, reading);
  } catch (const EvaluationError& e) {
    if (error) *error = e.what();
    return false;
  }
  return true;
}

double UgrFluxCorrection(const TLUM32& lum) {
  double flux = lum.LampSets[0].SetFlux;
  return flux > 0 ? 8 * Lg(flux / 1000) : 0;
}

UgrStandardRoom StandardRoomUgr(const TLUM32& lum, const UgrResultSet& r) {
  const auto room = std::find_if(std::begin(kUgrRooms), std::end(kUgrRooms),
                                 [](const int (&xy)[2]) { return xy[0] == 4 && xy[1] == 8; });
  const std::size_t i = static_cast<std::size_t>(room - std::begin(kUgrRooms));
  // The first of the five reflectance columns is combination 1, 70/50/20.
  static_assert(kUgrNbCombination[0] == 1);
  const double corr = UgrFluxCorrection(lum);
  return {r.table[5 * i] + corr, r.table[95 + 5 * i] + corr};
}

}  // namespace kandelo
