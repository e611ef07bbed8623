// UGR tables by the CIE tabular method: the glare terms of one luminaire on
// two 48 × 48 position grids (crosswise and endwise), the uncorrected UGR0
// for the 36 room sizes, the reference shape it follows, the variation with
// the observer position, and the table for 19 rooms and 5 reflectance
// combinations corrected by the NB utilization factors.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "evaluation/coeff_tables.h"
#include "evaluation/tm5.h"

namespace kandelo {

class TLUM32;

// Guth position index table (resource 2, 32 × 21, values × 100).
class TPosIndex {
 public:
  TPosIndex();  // throws EvaluationError "programming error" when missing
  // 0 outside 0 ≤ H/R ≤ 1.9 and 0 ≤ T/R ≤ 3; bilinear between the cells.
  double PositionIndex(double tr, double hr) const;

 private:
  CoeffTable table_;
};
double PositionIndex(double tr, double hr);

using UgrGrid = std::array<std::array<float, 48>, 48>;  // [row][column]
using Ugr0Table = std::array<std::array<float, 6>, 6>;  // [Y][X] over 2, 3, 4, 6, 8, 12

struct UgrShapeMatch {
  std::uint8_t found = 0, shape = 0;
  float offset = 0;
};

struct UgrResultSet {
  UgrGrid cross{}, end{};
  Ugr0Table ugr0Cross{}, ugr0End{};
  UgrShapeMatch matchCross, matchEnd;
  // Crosswise block then endwise block; per spacing 1.0H, 1.5H, 2.0H:
  // 8·lg(Smin/Savg), 8·lg(Smax/Savg), 8·lg(0.25·Savg/127.32).
  std::array<float, 18> variation{};
  // 19 rooms × 5 columns crosswise, then endwise (without the flux correction).
  std::array<float, 190> table{};
};

// The shared result set, overwritten by every ComputeUgr.
UgrResultSet& UgrResults();

// How the reflectance correction reads the NB record. AsPrinted takes the
// cells exactly at the byte offsets of the original method (F from NB rows n
// and n + 1, G from combination 6, one row early; the single-row branch from
// the k 0.8 row); Bracketed takes the rows whose k values bracket the room
// (K[n−1], K[n]) and G from the 0/0/0 column of the same rows.
enum class NbReading { AsPrinted, Bracketed };
// The reading in use, chosen by comparing with published UGR tables (see
// tests/evaluation/ugr_reference_test.cpp).
constexpr NbReading kNbReadingInUse = NbReading::Bracketed;

extern const int kUgrRooms[19][2];  // X, Y in H
extern const char* const kUgrShapeNames[15];

void BuildUgrGrids(const TLUM32& lum, UgrResultSet& r);
void UgrRoomSums(UgrResultSet& r);
// Throws EvaluationError "programming error" when the shapes are missing.
void MatchUgrShapes(UgrResultSet& r);
void UgrVariation(UgrResultSet& r);
void UgrReflectanceTable(const NbRecord& nb, UgrResultSet& r, NbReading reading = kNbReadingInUse);

// All five steps, when the luminaire has a luminous area and does not emit
// upward only (otherwise the result set stays as it was and false is
// returned). Errors of the tables come back as false with the text.
bool ComputeUgr(TLUM32& lum, const NbRecord& nb, std::string* error = nullptr,
                NbReading reading = kNbReadingInUse);
// The same into a result set of the caller's, for work beside the window's
// evaluation (the catalogue's figures, computed on the intake's loader thread).
bool ComputeUgrInto(TLUM32& lum, const NbRecord& nb, UgrResultSet& r, std::string* error = nullptr,
                    NbReading reading = kNbReadingInUse);

// 8·lg(Φ_L/1000) with Φ_L the flux of the first lamp set (0 when unknown).
double UgrFluxCorrection(const TLUM32& lum);

// The values a datasheet quotes: the room of 4H × 8H with reflectances
// 70/50/20 (ceiling/walls/floor), crosswise and endwise, flux-corrected like
// the printed table.
struct UgrStandardRoom {
  double crosswise = 0, endwise = 0;
};
UgrStandardRoom StandardRoomUgr(const TLUM32& lum, const UgrResultSet& r);

}  // namespace kandelo
