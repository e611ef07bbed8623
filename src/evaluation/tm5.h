// TM5OBJ: utilization factors by the zonal-multiplier and transfer-factor
// method (CIBSE TM5) with BZ classes and spacing-to-height ratios, and the
// same method on the German room indices (NB table).
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "evaluation/coeff_tables.h"

namespace kandelo {

class TLUM32;

constexpr int kNbRecordSize = 532;
using NbRecord = std::array<unsigned char, kNbRecordSize>;

extern const float kCibseRoomIndex[9];
extern const float kNbRoomIndex[10];
extern const float kShrList[11];
// Reflectance combinations (ceiling, walls, floor in %).
extern const int kCibseReflectances[10][3];
extern const int kNbReflectances[9][3];

struct FluxTriple {
  double d = 0, w = 0, u = 0;  // fractions of lamp flux
};

class TM5OBJ {
 public:
  // Loads resources 3 … 9; throws EvaluationError "programming error" when
  // one is missing or smaller than its layout.
  TM5OBJ();
  void SetLuminaire(TLUM32* lum);
  void ComputeShr();
  void ComputeCibse();
  void StoreCibse();
  void ComputeNb();
  void StoreNb();
  void ExportNb(NbRecord& record);

  // Results (for tests and the command line).
  float ShrNom() const { return shrNom_; }
  float ShrMax() const { return shrMax_; }
  int ShrNumber() const { return shrNumber_; }
  double Uniformity(int i) const { return u_[std::size_t(i - 1)]; }  // i = 1 … 9
  // [room index 1 … 9][combination 1 … 10] at [i-1][c-1].
  const std::array<std::array<double, 10>, 9>& CibseTable() const { return cibse_; }
  const std::array<FluxTriple, 9>& CibseFluxes() const { return cibseFlux_; }
  const std::array<std::uint8_t, 9>& BzClasses() const { return bz_; }
  // [k 1 … 10][combination 1 … 9, spare]
  const std::array<std::array<double, 10>, 10>& NbTable() const { return nb_; }
  const std::array<FluxTriple, 10>& NbFluxes() const { return nbFlux_; }

 private:
  FluxTriple Triple(int shrBlock, int roomRow) const;
  double ZoneFlux10(int j) const;
  void NumericShr();

  int roomIndexNumber_ = 1, shrBlock_ = 1;
  CoeffTable zm_, bzLimits_, angles_, weights_, asymAngles_, asymWeights_, transfer_;
  std::array<double, 9> u_{};
  std::array<std::array<double, 10>, 9> cibse_{};
  std::array<FluxTriple, 9> cibseFlux_{};
  std::array<std::array<double, 10>, 10> nb_{};
  std::array<FluxTriple, 10> nbFlux_{};
  std::uint32_t reserved1_ = 0, reserved2_ = 0;
  float shrNom_ = 1.0f, shrMax_ = 1.0f;
  int shrNumber_ = 3;
  std::array<std::uint8_t, 9> bz_{};
  bool shrDone_ = false, cibseDone_ = false, nbDone_ = false;
  TLUM32* lum_ = nullptr;
};

}  // namespace kandelo
