#include "evaluation/litg.h"

#include <algorithm>
#include <cmath>

#include "evaluation/atf.h"
#include "photometry/lum32.h"

namespace kandelo {

LIBEDAOBJ::LIBEDAOBJ() {
  auto t = LoadCoeffTable(1);
  if (!t) throw EvaluationError("programming error");
  if (t->Rows() != 360 || t->Cols() != 5) throw EvaluationError("LiTG factors not found");
  table_ = std::move(*t);
}

void LIBEDAOBJ::SetColumn(int column) { column_ = std::clamp(column, 1, 5); }

void LIBEDAOBJ::SelectBlock(int roomIndexNumber, bool upward) {
  block_ = 36 * (std::clamp(roomIndexNumber, 1, 10) - 1) + (upward ? 18 : 0);
}

float LIBEDAOBJ::Factor(int zone) const {
  if (zone < 1 || zone > 18) return 0.0f;
  return table_.At(block_ + zone - 1, column_ - 1);
}

AxialWeights AxialClass(double x) {
  if (x >= kAxialT1) return {2, 3, 1.0};
  if (x >= kAxialT2) return {2, 3, double((x - kAxialT2) / (kAxialT1 - kAxialT2))};
  if (x >= kAxialT3) return {3, 4, double((x - kAxialT3) / (kAxialT2 - kAxialT3))};
  if (x >= kAxialT4) return {4, 5, double((x - kAxialT4) / (kAxialT3 - kAxialT4))};
  double share = std::clamp(double(x / kAxialT4), 0.0, 1.0);
  return {0, 5, 1.0 - share};
}

bool SuspendedMounting(const TLUM32& lum, int utilMode) {
  if (utilMode == 1) return false;
  if (utilMode == 2) return true;
  return lum.LumFlux != 0 && lum.UpFlux / lum.LumFlux > 0.05f;
}

namespace {

void EnsureFluxes(TLUM32& lum) {
  if (!lum.FluxValid) lum.CalcFlux();
  if (!lum.ZonesValid) lum.CalcZonalFlux();
}

void PartialFluxesPoint(TLUM32& lum) {
  LIBEDAOBJ f;  // errors pass to the caller
  f.SetColumn(1);
  for (int i = 1; i <= 10; ++i) {
    double down = 0, up = 0;
    f.SelectBlock(i, false);
    for (int z = 1; z <= 18; ++z) down += f.Factor(z) * lum.ZonalFlux[z - 1];
    f.SelectBlock(i, true);
    for (int z = 1; z <= 18; ++z) up += f.Factor(z) * lum.ZonalFlux[18 + z - 1];
    lum.UtilValues[i - 1] = float(down);
    lum.CeilingDirectFlux[i - 1] = float(up);
    lum.LowerWallFlux[i - 1] = float(lum.DownFlux - down);
    lum.UpperWallFlux[i - 1] = float(lum.UpFlux - up);
  }
  lum.PartialFluxValid = 1;
}

double BandMean(const TLUM32& lum, double start) {
  double s = 0;
  for (int k = 0; k < 5; ++k) {
    double g = start + k + 0.5;
    s += (lum.Intensity(g, 0) + lum.Intensity(g, 180)) / 2;
  }
  return s / 5;
}

double AxialRatio(double flux, double sum) {
  if (std::nearbyint(100 * sum) == 0) return 0;
  return (flux / sum) / (3.14159265358979323846 / 36);
}

double Weighted(LIBEDAOBJ& f, int i, bool upward, const std::array<double, 18>& band, const AxialWeights& aw) {
  double total = 0;
  if (aw.a != 0) {
    f.SetColumn(aw.a);
    f.SelectBlock(i, upward);
    for (int z = 1; z <= 18; ++z) total += band[z - 1] * aw.w * f.Factor(z);
  }
  f.SetColumn(aw.b);
  f.SelectBlock(i, upward);
  for (int z = 1; z <= 18; ++z) total += band[z - 1] * (1 - aw.w) * f.Factor(z);
  return total;
}

void PartialFluxesLinear(TLUM32& lum) {
  std::optional<LIBEDAOBJ> f;
  try {
    f.emplace();
  } catch (const EvaluationError&) {
    return;  // the luminaire keeps the partial fluxes it holds
  }
  lum.CeilingDirectFlux.fill(0);
  lum.UpperWallFlux.fill(0);
  lum.LowerWallFlux.fill(0);
  lum.UtilValues.fill(0);
  std::array<double, 18> down{}, up{};
  double sumDown = 0, sumUp = 0;
  for (int z = 1; z <= 18; ++z) {
    down[z - 1] = BandMean(lum, 5.0 * (z - 1));
    up[z - 1] = BandMean(lum, 90.0 + 5.0 * (z - 1));
    sumDown += down[z - 1];
    sumUp += up[z - 1];
  }
  AxialWeights awDown = AxialClass(AxialRatio(lum.DownFlux, sumDown));
  bool withUp = lum.UpFlux > 10;
  AxialWeights awUp = withUp ? AxialClass(AxialRatio(lum.UpFlux, sumUp)) : AxialWeights{};
  for (int i = 1; i <= 10; ++i) {
    double util = Weighted(*f, i, false, down, awDown);
    lum.UtilValues[i - 1] = float(util);
    if (withUp) {
      double ceil = Weighted(*f, i, true, up, awUp);
      lum.CeilingDirectFlux[i - 1] = float(ceil);
      lum.UpperWallFlux[i - 1] = float(lum.UpFlux - ceil);
    }
    lum.LowerWallFlux[i - 1] = float(lum.DownFlux - util);
  }
  lum.PartialFluxValid = 1;
}

std::optional<std::string> PartialFluxes(TLUM32& lum) {
  try {
    if (lum.LuminaireType == 2)
      PartialFluxesLinear(lum);
    else
      PartialFluxesPoint(lum);
  } catch (const EvaluationError& e) {
    return std::string(e.what());
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> CalcRoomUtilTable(TLUM32& lum, bool suspended, RoomUtilTableT& table,
                                             const std::string& storePath) {
  EnsureFluxes(lum);
  if (auto err = PartialFluxes(lum)) return err;
  try {
    const std::string path = storePath.empty() ? DefaultTransferStorePath() : storePath;
    const std::shared_ptr<const ATFObject> shared = SharedTransferStore(path);
    const ATFObject& store = *shared;
    int n = store.CombinationCount();
    // A luminaire without flux has no utilization: the table stays 0 rather
    // than dividing by a zero light output ratio.
    double flux = 10.0 * lum.LOR;
    for (auto& row : table) row.fill(0.0f);
    for (int i = 1; i <= 10; ++i)
      for (int j = 1; j <= n; ++j) {
        std::array<long double, 4> phi;
        if (suspended)
          phi = {lum.CeilingDirectFlux[i - 1], lum.UpperWallFlux[i - 1], lum.LowerWallFlux[i - 1],
                 lum.UtilValues[i - 1]};
        else
          phi = {lum.UpFlux, 0.0L, lum.LowerWallFlux[i - 1], lum.UtilValues[i - 1]};
        auto e = store.TransferFluxes(i, j, phi, suspended);
        table[i - 1][j - 1] = lum.LOR < 0.0001f ? 0.0f : float(e[3] / flux);
      }
    KeepTransferStoreFile(path);
  } catch (const EvaluationError& e) {
    return std::string(e.what());
  }
  return std::nullopt;
}

std::optional<std::string> CalcPartialFluxes(TLUM32& lum) {
  EnsureFluxes(lum);
  if (lum.LOR < 0.0001f) return std::nullopt;
  return PartialFluxes(lum);
}

namespace {
char ClassDigit(long b, const long* upper, const char* chars, int n, char keep) {
  if (b > 100) return keep;
  for (int k = 0; k < n; ++k)
    if (b <= upper[k]) return chars[k];
  return keep;
}
}  // namespace

void ClassifyLuminaire(TLUM32& lum) {
  double flux = 10.0 * lum.LOR;
  lum.UpDirectRatio = 0;
  lum.DownDirectRatio = 0;
  // Ratios need the flux of their half-space; an inconsistent luminaire
  // (no LOR, DFF of 0 or 1 while that half has flux) gets 0 instead of a
  // division by zero.
  if (lum.UpFlux > 10 && flux > 0 && lum.DFF < 1)
    lum.UpDirectRatio = float(lum.CeilingDirectFlux[3] / flux / (1 - lum.DFF));
  if (lum.DownFlux != 0 && flux > 0 && lum.DFF > 0)
    lum.DownDirectRatio = float(lum.UtilValues[3] / flux / lum.DFF);
  std::string old = lum.ClassCode;
  old.resize(3, ' ');
  std::string code = old;
  long a = std::lrint(100.0 * lum.DFF);  // round half even (default rounding mode)
  code[0] = a >= 90 ? 'A' : a >= 60 ? 'B' : a >= 40 ? 'C' : a >= 10 ? 'D' : 'E';
  long b = std::lrint(100.0 * lum.DownDirectRatio);
  static const long downUpper[6] = {30, 40, 50, 60, 70, 100};
  code[1] = ClassDigit(b, downUpper, "123456", 6, old[1]);
  long c = std::lrint(100.0 * lum.UpDirectRatio);
  static const long upUpper[4] = {50, 70, 90, 100};
  code[2] = c == 0 ? '0' : ClassDigit(c, upUpper, "1234", 4, old[2]);
  lum.ClassCode = code;
}

}  // namespace kandelo
