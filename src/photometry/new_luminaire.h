// A new luminaire with an empty intensity table on a grid the user chooses:
// the grid rules of the new-luminaire wizard (symmetry presets and the checks
// of each angle field) and the making of the luminaire, shared by the wizard
// window and the command line.
#pragma once

#include <string>

#include "photometry/lum32.h"

namespace kandelo {

// One plane system's grid: planes (C or B) and angles in the planes (γ or β).
struct TNewLumGrid {
  bool bPlanes = false;  // B-β instead of C-γ
  int symmetry = 0;      // C: 0 … 4; B: the codes 0, 2, 4
  double planeStart = 0, planeStep = 15, planeEnd = 345;
  double angleStart = 0, angleStep = 5, angleEnd = 90;
};

TNewLumGrid DefaultCGrid();  // no symmetry, C 0 … 345 step 15, γ 0 … 90 step 5
TNewLumGrid DefaultBGrid();  // code 0, B 0 … 360 step 15, β 0 … 90 step 15

// The C symmetry preset (0 … 4): fixes the plane range; symmetry 1 has one
// plane and no step, the others get step 15 where the step was 0.
void SetCSymmetry(TNewLumGrid& grid, int symmetry);
// The B list entry 0, 1, 2 (codes 0, 2, 4) with its plane range and step 5.
void SetBSymmetryEntry(TNewLumGrid& grid, int entry);

// Each field's check: empty when accepted (the grid is changed), otherwise
// the key of the error text in the "ERRORS" section, and the grid stays.
std::string SetPlaneStep(TNewLumGrid& grid, double step);    // "EM_INVCS"
std::string SetAngleStart(TNewLumGrid& grid, double start);  // "EM_INVG1"
std::string SetAngleEnd(TNewLumGrid& grid, double end);      // "EM_INVGE", "EM_INVG1"
std::string SetAngleStep(TNewLumGrid& grid, double step);    // "EM_INVGS"

int PlaneCount(const TNewLumGrid& grid);
int AngleCount(const TNewLumGrid& grid);

struct TNewLuminaire {
  std::string lumName, manufacturer;
  TNewLumGrid grid = DefaultCGrid();
  // Values to be entered in lux: the measuring lamps' total flux (lm) and the
  // distance luminaire - photometer head (m).
  bool luxInput = false;
  double totalFlux = 1000, distance = 1;
};

// The whole grid checked again, as the command line takes it in one go: empty
// or the first error key.
std::string CheckNewLumGrid(const TNewLumGrid& grid);

// The luminaire with all intensities 0, one lamp set ("NN", 1000 lm, 1 W),
// dated now. False when the table cannot be made.
bool MakeNewLuminaire(const TNewLuminaire& wanted, const std::string& fileName, TLUM32& lum);

}  // namespace kandelo
