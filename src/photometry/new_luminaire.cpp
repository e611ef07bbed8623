#include "photometry/new_luminaire.h"

#include <chrono>
#include <cmath>

#include "photometry/numeric.h"

namespace kandelo {

namespace {

// The fields hold one decimal; the rules compare whole tenths of a degree.
int Tenths(double degrees) { return static_cast<int>(std::trunc(degrees * 10 + (degrees >= 0 ? 1e-6 : -1e-6))); }

// The angle limits of a file's table: γ 0 … 180, β −90 … 90.
double AngleMin(const TNewLumGrid& g) { return g.bPlanes ? -90 : 0; }
double AngleMax(const TNewLumGrid& g) { return g.bPlanes ? 90 : 180; }

double PlaneRange(const TNewLumGrid& g) {
  if (g.bPlanes) return g.planeEnd - g.planeStart;
  switch (g.symmetry) {
    case 0: return 360;
    case 2:
    case 3: return 180;
    default: return 90;
  }
}

}  // namespace

TNewLumGrid DefaultCGrid() { return {}; }

TNewLumGrid DefaultBGrid() {
  TNewLumGrid g;
  g.bPlanes = true;
  g.planeStart = 0;
  g.planeStep = 15;
  g.planeEnd = 360;
  g.angleStart = 0;
  g.angleStep = 15;
  g.angleEnd = 90;
  return g;
}

void SetCSymmetry(TNewLumGrid& g, int s) {
  g.symmetry = s;
  if (s == 1) {
    g.planeStart = g.planeStep = g.planeEnd = 0;
    return;
  }
  if (g.planeStep == 0) g.planeStep = 15;
  switch (s) {
    case 2: g.planeStart = 0, g.planeEnd = 180; break;
    case 3: g.planeStart = 90, g.planeEnd = 270; break;
    case 4: g.planeStart = 0, g.planeEnd = 90; break;
    default: g.symmetry = 0, g.planeStart = 0, g.planeEnd = 360 - g.planeStep; break;
  }
  // A step kept from another symmetry must still fit the new range.
  if (!IsMultiple(Tenths(g.planeStep), Tenths(PlaneRange(g)))) {
    g.planeStep = 15;
    if (s == 0) g.planeEnd = 345;
  }
}

void SetBSymmetryEntry(TNewLumGrid& g, int entry) {
  g.planeStep = 5;
  switch (entry) {
    case 1: g.symmetry = 2, g.planeStart = -90, g.planeEnd = 90; break;
    case 2: g.symmetry = 4, g.planeStart = 0, g.planeEnd = 90; break;
    default: g.symmetry = 0, g.planeStart = 0, g.planeEnd = 360; break;
  }
}

std::string SetPlaneStep(TNewLumGrid& g, double step) {
  if (!g.bPlanes && g.symmetry == 1) return {};  // one plane, no step
  if (!std::isfinite(step) || !IsMultiple(Tenths(step), Tenths(PlaneRange(g)))) return "EM_INVCS";
  g.planeStep = step;
  if (!g.bPlanes && g.symmetry == 0) g.planeEnd = 360 - step;
  return {};
}

std::string SetAngleStart(TNewLumGrid& g, double start) {
  if (!std::isfinite(start) || start >= g.angleEnd || start < AngleMin(g)) return "EM_INVG1";
  g.angleStart = start;
  if (!IsMultiple(Tenths(g.angleStep), Tenths(g.angleEnd - start))) g.angleStep = g.angleEnd - start;
  return {};
}

std::string SetAngleEnd(TNewLumGrid& g, double end) {
  if (!std::isfinite(end) || end <= g.angleStep || end > AngleMax(g)) return "EM_INVGE";
  // An end at or below the start leaves no range to divide.
  if (end <= g.angleStart) return "EM_INVG1";
  g.angleEnd = end;
  if (!IsMultiple(Tenths(g.angleStep), Tenths(end - g.angleStart))) g.angleStep = end - g.angleStart;
  return {};
}

std::string SetAngleStep(TNewLumGrid& g, double step) {
  if (!std::isfinite(step) || !IsMultiple(Tenths(step), Tenths(g.angleEnd - g.angleStart))) return "EM_INVGS";
  g.angleStep = step;
  return {};
}

int PlaneCount(const TNewLumGrid& g) {
  if (!g.bPlanes && g.symmetry == 1) return 1;
  const int step = Tenths(g.planeStep);
  return step > 0 ? Tenths(g.planeEnd - g.planeStart) / step + 1 : 1;
}

int AngleCount(const TNewLumGrid& g) {
  const int step = Tenths(g.angleStep);
  return step > 0 ? Tenths(g.angleEnd - g.angleStart) / step + 1 : 1;
}

std::string CheckNewLumGrid(const TNewLumGrid& grid) {
  TNewLumGrid g = grid;
  if (g.bPlanes) {
    if (g.symmetry != 0 && g.symmetry != 2 && g.symmetry != 4) return "EM_INVSYM";
    SetBSymmetryEntry(g, g.symmetry / 2);
  } else {
    if (g.symmetry < 0 || g.symmetry > 4) return "EM_INVSYM";
    SetCSymmetry(g, g.symmetry);
  }
  if (std::string e = SetPlaneStep(g, grid.planeStep); !e.empty()) return e;
  const double start = grid.angleStart, end = grid.angleEnd, step = grid.angleStep;
  if (!std::isfinite(start) || start < AngleMin(g) || !(start < end)) return "EM_INVG1";
  if (!std::isfinite(end) || end > AngleMax(g) || end <= step) return "EM_INVGE";
  if (!std::isfinite(step) || !IsMultiple(Tenths(step), Tenths(end - start))) return "EM_INVGS";
  return {};
}

bool MakeNewLuminaire(const TNewLuminaire& wanted, const std::string& fileName, TLUM32& lum) {
  const TNewLumGrid& g = wanted.grid;
  const int planes = PlaneCount(g), angles = AngleCount(g);
  if (!lum.CreateNew(fileName, g.bPlanes ? psBBeta : psCGamma, static_cast<std::uint8_t>(g.symmetry), 0, planes,
                     static_cast<float>(g.planeStart), static_cast<float>(g.planeStep),
                     static_cast<float>(g.planeEnd), {}, angles, static_cast<float>(g.angleStart),
                     static_cast<float>(g.angleStep), static_cast<float>(g.angleEnd), {}))
    return false;
  lum.SetFileName(fileName);
  lum.BlockSize = 2432;
  lum.BlockFlags = 7;
  lum.Manufacturer = wanted.manufacturer;
  lum.LumName = wanted.lumName;
  lum.LampSetCount = 1;
  lum.LampSets[0].LampCount = 1;
  lum.LampSets[0].LampType = "NN";
  lum.LampSets[0].SetFlux = 1000;
  lum.LampSets[0].SetWatt = 1;
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  lum.FileDate = 25569.0 + std::chrono::duration<double>(now).count() / 86400.0;
  if (wanted.luxInput) {
    lum.LampQuantity = 1;
    lum.MeasLampFlux[0] = static_cast<float>(wanted.totalFlux);
    lum.MeasTotalFlux = static_cast<float>(wanted.totalFlux);
    lum.MeasDistance = static_cast<float>(wanted.distance);
  }
  return true;
}

}  // namespace kandelo
