#include "evaluation/tm5.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "frame/strutil.h"
#include "photometry/lum32.h"
#include "photometry/numeric.h"

namespace kandelo {

const float kCibseRoomIndex[9] = {0.75f, 1.0f, 1.25f, 1.5f, 2.0f, 2.5f, 3.0f, 4.0f, 5.0f};
const float kNbRoomIndex[10] = {0.6f, 0.8f, 1.0f, 1.25f, 1.5f, 2.0f, 2.5f, 3.0f, 4.0f, 5.0f};
const float kShrList[11] = {0.5f, 0.75f, 1.0f, 1.25f, 1.5f, 1.75f, 2.0f, 2.25f, 2.5f, 2.75f, 3.0f};
const int kCibseReflectances[10][3] = {{70, 50, 20}, {70, 30, 20}, {70, 10, 20}, {50, 50, 20}, {50, 30, 20},
                                       {50, 10, 20}, {30, 50, 20}, {30, 30, 20}, {30, 10, 20}, {0, 0, 0}};
const int kNbReflectances[9][3] = {{70, 50, 20}, {70, 30, 20}, {70, 10, 20}, {50, 50, 20}, {50, 30, 20},
                                   {50, 10, 20}, {30, 30, 20}, {30, 10, 20}, {0, 0, 0}};

namespace {

const float kShapeLimits[5] = {0.325f, 0.385f, 0.46f, 0.545f, 0.65f};
// NB rows k 0.6 and 0.8, below the CIBSE room indices.
const double kNbZm[2][9] = {{1, 0.76, 0.505, 0.399, 0.139, 0, 0, 0, 0},
                            {1, 0.839, 0.624, 0.527, 0.312, 0.111, 0, 0, 0}};
const double kNbTransfer[8][2][3] = {
    {{1.046, 0.208, 0.292}, {1.057, 0.246, 0.366}}, {{1.027, 0.102, 0.234}, {1.037, 0.124, 0.305}},
    {{1.014, 0.029, 0.193}, {1.022, 0.036, 0.261}}, {{1.039, 0.193, 0.202}, {1.047, 0.224, 0.252}},
    {{1.023, 0.096, 0.164}, {1.03, 0.115, 0.213}},  {{1.011, 0.027, 0.137}, {1.017, 0.033, 0.184}},
    {{1.018, 0.09, 0.097}, {1.023, 0.106, 0.126}},  {{1.008, 0.026, 0.082}, {1.012, 0.031, 0.11}}};

CoeffTable Need(int number, std::uint32_t rows, std::uint32_t cols) {
  auto t = LoadCoeffTable(number);
  if (!t || t->Rows() < rows || t->Cols() < cols) throw EvaluationError("programming error");
  return std::move(*t);
}

std::uint8_t UfByte(double uf) {
  if (uf >= 3 || !std::isfinite(uf)) return 255;
  return static_cast<std::uint8_t>(std::clamp(std::lround(100 * uf), 0L, 254L));
}

}  // namespace

TM5OBJ::TM5OBJ()
    : zm_(Need(3, 81, 9)),
      bzLimits_(Need(4, 9, 9)),
      angles_(Need(5, 9, 9)),
      weights_(Need(6, 9, 9)),
      asymAngles_(Need(7, 9, 2)),
      asymWeights_(Need(8, 45, 7)),
      transfer_(Need(9, 81, 3)) {}

void TM5OBJ::SetLuminaire(TLUM32* lum) {
  lum_ = lum;
  shrDone_ = cibseDone_ = nbDone_ = false;
}

double TM5OBJ::ZoneFlux10(int j) const { return lum_->ZonalFlux[2 * j - 2] + lum_->ZonalFlux[2 * j - 1]; }

void TM5OBJ::ComputeShr() {
  shrNom_ = 1.0f;
  shrMax_ = 1.0f;
  shrNumber_ = 3;
  shrDone_ = true;
  u_.fill(0);
  if (!lum_ || !lum_->Valid) return;
  if (!lum_->FluxValid) lum_->CalcFlux();
  if (lum_->DistributionKind == 1) return;  // upward light only
  const TLUM32& L = *lum_;
  if (L.Symmetry == symRotational) {
    if (L.DownFlux >= 0.1f) {
      for (int i = 1; i <= 9; ++i) {
        double num = 0, den = 0;
        for (int j = 0; j < 3; ++j) num += weights_.At(i - 1, j) * L.Intensity(angles_.At(i - 1, j), 0);
        for (int j = 3; j < 9; ++j) den += weights_.At(i - 1, j) * L.Intensity(angles_.At(i - 1, j), 0);
        u_[i - 1] = den != 0 ? num / den : 0;
      }
    }
  } else {
    double i0 = (L.Intensity(0, 90) + L.Intensity(0, 270)) / 2;
    double i45 = (L.Intensity(45, 90) + L.Intensity(45, 270)) / 2;
    double q = i0 != 0 ? i45 / i0 : 0;
    int e = 6;
    for (int n = 0; n < 5; ++n)
      if (q < kShapeLimits[n]) {
        e = n + 1;
        break;
      }
    auto mean = [&](double g) { return (L.Intensity(g, 0) + L.Intensity(g, 180)) / 2; };
    for (int i = 1; i <= 9; ++i) {
      auto v = [&](int t) { return asymWeights_.At((i - 1) * 5 + t - 1, e - 1); };
      double num = v(1) * mean(asymAngles_.At(i - 1, 0)) + v(2) * mean(asymAngles_.At(i - 1, 1));
      double den = v(3) * mean(angles_.At(i - 1, 3)) + v(4) * mean(angles_.At(i - 1, 4)) +
                   v(5) * mean(angles_.At(i - 1, 6));
      u_[i - 1] = den != 0 ? num / den : 0;
    }
  }
  if (std::any_of(u_.begin(), u_.end(), [](double x) { return x > 1.2; })) {
    NumericShr();
    return;
  }
  int n = 10;
  for (int i = 1; i <= 9; ++i)
    if (u_[i - 1] <= 0.7) {
      n = i;
      break;
    }
  n = std::max(1, n - 1);
  shrNumber_ = n;
  shrNom_ = kShrList[n - 1];
  double denom = n < 9 ? u_[n - 1] - u_[n] : 0;
  // A zero step (e.g. all ratios 0) leaves nothing to interpolate.
  shrMax_ = (n >= 9 || denom == 0) ? shrNom_ : float(kShrList[n - 1] + 0.25 * (u_[n - 1] - 0.7) / denom);
}

void TM5OBJ::NumericShr() {
  shrNom_ = shrMax_ = 0.5f;
  shrNumber_ = 1;
  const TLUM32& L = *lum_;
  const double h = 5;
  std::array<float, 15 * 15> grid{};  // fixed size: nothing to allocate, nothing to fail
  std::array<double, 12> r{};
  int found = 0;
  for (int i = 1; i <= 11 && !found; ++i) {
    double s = 5 * kShrList[i - 1];
    for (int gy = 0; gy < 15; ++gy)
      for (int gx = 0; gx < 15; ++gx) {
        double px = s + gx * s / 14, py = s + gy * s / 14, e = 0;
        for (int j = 0; j < 4; ++j)
          for (int k = 0; k < 4; ++k) {
            double u = j * s - px, v = k * s - py;
            double rr = std::sqrt(u * u + v * v), d = std::sqrt(rr * rr + h * h);
            double gamma = std::atan(rr / h) / kDegToRad;
            double c = std::atan2(v, u) / kDegToRad;
            if (c < 0) c += 360;
            if (c >= 360) c -= 360;
            e += L.Intensity(gamma, c) * h / (d * d * d);
          }
        grid[std::size_t(gy * 15 + gx)] = float(e);
      }
    auto [mn, mx] = std::minmax_element(grid.begin(), grid.end());
    r[i] = *mx > 0 ? *mn / *mx : 0;
    if (r[i] <= 0.7) found = i;
  }
  if (!found) {
    // Even 3.0 keeps the ratio above 0.7: the largest spacing of the list
    // (and the largest multiplier block) is the honest answer.
    shrNom_ = shrMax_ = 3.0f;
    shrNumber_ = 9;
    return;
  }
  int n = std::max(1, found - 1);
  shrNumber_ = n;
  shrNom_ = kShrList[n - 1];
  double denom = r[n] - r[n + 1];
  // Found at the first spacing: r[2] was never computed, nothing to interpolate.
  shrMax_ = (denom == 0 || n + 1 > found) ? shrNom_ : float(kShrList[n - 1] + 0.25 * (r[n] - 0.7) / denom);
}

FluxTriple TM5OBJ::Triple(int shrBlock, int roomRow) const {
  double raw = 0;
  bool invalid = false;
  for (int j = 1; j <= 9; ++j) {
    double m = zm_.At((shrBlock - 1) * 9 + roomRow - 1, j - 1);
    if (m > 1) invalid = true;
    raw += m * ZoneFlux10(j);
  }
  if (invalid) return {20000, 20000, 20000};
  return {raw / 1000, (lum_->DownFlux - raw) / 1000, lum_->UpFlux / 1000};
}

void TM5OBJ::ComputeCibse() {
  if (!shrDone_) ComputeShr();
  cibseDone_ = true;
  for (auto& row : cibse_) row.fill(0);
  cibseFlux_.fill({});
  bz_.fill(0);
  if (!lum_ || !lum_->Valid) return;
  if (!lum_->FluxValid) lum_->CalcFlux();
  if (!lum_->ZonesValid) lum_->CalcZonalFlux();
  // SHR numbers past the ninth block (numeric search up to 3.0) use the last.
  shrBlock_ = std::clamp(shrNumber_, 1, 9);
  bool upOnly = lum_->DistributionKind == 1;
  for (int i = 1; i <= 9; ++i) {
    roomIndexNumber_ = i;
    FluxTriple t = Triple(shrBlock_, i);
    cibseFlux_[i - 1] = t;
    for (int c = 1; c <= 9; ++c) {
      int row = (c - 1) * 9 + (i - 1);
      cibse_[i - 1][c - 1] = transfer_.At(row, 0) * t.d + transfer_.At(row, 1) * t.w + transfer_.At(row, 2) * t.u;
    }
    cibse_[i - 1][9] = t.d;
    if (upOnly) {
      bz_[i - 1] = 255;
      continue;
    }
    double dr = lum_->DownFlux != 0 ? 1000 * t.d / lum_->DownFlux : 0;
    int cls = 1;
    for (int n = 10; n >= 2; --n)
      if (bzLimits_.At(i - 1, n - 2) > dr) {
        cls = n;
        break;
      }
    bz_[i - 1] = std::uint8_t(cls);
  }
}

void TM5OBJ::StoreCibse() {
  if (!cibseDone_) ComputeCibse();
  if (!lum_) return;
  for (int c = 0; c < 10; ++c)
    for (int i = 0; i < 9; ++i) lum_->CibseUF[c][i] = UfByte(cibse_[i][c]);
  lum_->CibseBz = bz_;
  lum_->BzClasses = bz_;
  lum_->ShrNom = shrNom_;
  lum_->ShrMax = shrMax_;
}

void TM5OBJ::ComputeNb() {
  nbDone_ = true;
  for (auto& row : nb_) row.fill(0);
  nbFlux_.fill({});
  if (!lum_ || !lum_->Valid) return;
  if (!lum_->FluxValid) lum_->CalcFlux();
  if (!lum_->ZonesValid) lum_->CalcZonalFlux();
  for (int k = 1; k <= 10; ++k) {
    FluxTriple t;
    if (k <= 2) {
      double raw = 0;
      for (int j = 1; j <= 9; ++j) raw += kNbZm[k - 1][j - 1] * ZoneFlux10(j);
      t = {raw / 1000, (lum_->DownFlux - raw) / 1000, lum_->UpFlux / 1000};
    } else {
      t = Triple(1, k - 1);  // CIBSE room-index rows 2 … 9
    }
    nbFlux_[k - 1] = t;
    for (int n = 1; n <= 8; ++n) {
      double td, tw, tu;
      if (k <= 2) {
        td = kNbTransfer[n - 1][k - 1][0];
        tw = kNbTransfer[n - 1][k - 1][1];
        tu = kNbTransfer[n - 1][k - 1][2];
      } else {
        int c = n <= 6 ? n : n + 1;
        int row = (c - 1) * 9 + (k - 2);
        td = transfer_.At(row, 0);
        tw = transfer_.At(row, 1);
        tu = transfer_.At(row, 2);
      }
      nb_[k - 1][n - 1] = td * t.d + tw * t.w + tu * t.u;
    }
    nb_[k - 1][8] = t.d;
  }
}

void TM5OBJ::StoreNb() {
  if (!nbDone_) ComputeNb();
  if (!lum_) return;
  for (int k = 0; k < 10; ++k)
    for (int c = 0; c < 9; ++c) lum_->NbUF[k][c] = UfByte(nb_[k][c]);
}

void TM5OBJ::ExportNb(NbRecord& record) {
  if (!nbDone_) ComputeNb();
  record.fill(0);
  unsigned char* p = record.data();
  PutU32(p, reserved1_);
  PutU32(p + 4, reserved2_);
  PutF32(p + 8, 0.2f);
  for (int k = 0; k < 10; ++k) {
    PutF32(p + 12 + 12 * k, float(nbFlux_[k].d));
    PutF32(p + 16 + 12 * k, float(nbFlux_[k].w));
    PutF32(p + 20 + 12 * k, float(nbFlux_[k].u));
  }
  for (int k = 0; k < 10; ++k)
    for (int c = 0; c < 10; ++c) PutF32(p + 132 + 40 * k + 4 * c, float(nb_[k][c]));
}

}  // namespace kandelo
