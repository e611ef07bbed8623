// The LiTG efficiency method: partial fluxes of the luminaire for ten room
// indices (direct shares on working plane and ceiling from the LiTG factor
// table), the room utilization factors η_R for 15 reflectance combinations
// by interreflection in the standard room, and the three-character
// classification code.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "evaluation/coeff_tables.h"

namespace kandelo {

class TLUM32;

// LiTG factor table (resource 1, 360 × 5) with its current column and block.
class LIBEDAOBJ {
 public:
  // Throws EvaluationError "programming error" when the resource is missing
  // and "LiTG factors not found" when it is empty or not 360 × 5.
  LIBEDAOBJ();
  void SetColumn(int column);  // 1 … 5
  void SelectBlock(int roomIndexNumber, bool upward);
  float Factor(int zone) const;  // zone 1 … 18 of the current block and column

 private:
  CoeffTable table_;
  int column_ = 1;
  int block_ = 0;  // first row of the block
};

// Axial class limits (descending), for the axial classes 2, 3, 4 and 5.
constexpr long double kAxialT1 = 3.14159265358979L;
constexpr long double kAxialT2 = 2.66666666666667L;
constexpr long double kAxialT3 = 2.35619449019234L;
constexpr long double kAxialT4 = 1.82857142857143L;

struct AxialWeights {
  int a = 0;       // first column, 0 = none
  int b = 5;       // second column
  double w = 0;    // weight of column a; column b gets 1 − w
};
// Below 64/35 only column 5 is left; it gets the weight x/(64/35), so that
// a luminaire narrower along its axis than the cos⁶ class keeps its flux
// balance (its flux per transverse intensity is x, column 5 assumes 64/35).
AxialWeights AxialClass(double x);

// η_R for room index number i (0 … 9) and combination j (0 … 14), as a
// fraction of the luminaire flux.
using RoomUtilTableT = std::array<std::array<float, 15>, 10>;

// Mounting flag from the setting UtilMode: 0 automatic (suspended when
// UpFlux / LumFlux > 0.05), 1 surface-mounted, 2 suspended.
bool SuspendedMounting(const TLUM32& lum, int utilMode);

// Partial fluxes, then η_R. Errors of the factor table pass to the caller as
// the returned text (point luminaires); linear luminaires keep the partial
// fluxes they hold. The transfer store lies in storePath (default: the
// per-user cache file). Returns an empty optional on success, else the error
// text; the table is filled as far as computed.
std::optional<std::string> CalcRoomUtilTable(TLUM32& lum, bool suspended, RoomUtilTableT& table,
                                             const std::string& storePath = {});
// Partial fluxes only; nothing changes when LOR < 0.0001.
std::optional<std::string> CalcPartialFluxes(TLUM32& lum);
// Direct ratios and ClassCode from the partial fluxes of the last computation.
void ClassifyLuminaire(TLUM32& lum);

}  // namespace kandelo
