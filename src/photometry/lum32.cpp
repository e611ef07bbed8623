// TLUM32 lifecycle, file dispatch and table access.
#include "photometry/lum32.h"

#include <algorithm>
#include <cmath>

#include "frame/msgbox.h"
#include "frame/strutil.h"
#include "photometry/format_io.h"
#include "platform/fileio.h"

namespace kandelo {

TLUM32::TLUM32() { Clear(); }

TLUM32::~TLUM32() = default;

void TLUM32::Clear() {
  Table.reset();
  AuxObject.reset();
  // Reading zero images resets every persistent field and the kept images.
  static const std::array<unsigned char, kBlock1Size> zero{};
  ReadBlock1(zero.data());
  ReadBlock2(zero.data());
  ReadBlock3(zero.data());
  SetFileName("");
  SavedBlockFlags = 0;
  MinGammaStep = MinCStep = 0;
  FluxValid = 0;
  ZonesValid = 0;
  MaxValid = 1;
  Valid = 0;
  // Without a table the intensity functions must not look at it.
  intensity_ = intensityBB_ = &TLUM32::IntensityZero;
  meanIntensity_ = &TLUM32::MeanZero;
  weightsReported_ = false;
  computeNotes_ = {};
}

void TLUM32::SetFileName(const std::string& name) {
  FileName = name;
  ShortName = Cut(NameWithoutExt(name), 12);
}

bool TLUM32::CreateTable(int planes, int gammas) {
  Table.reset();
  if (planes < 1 || gammas < 1 || planes > 65535 || gammas > 65535) return false;
  Table = TSglArray::Create(std::uint32_t(planes) + 1, std::uint32_t(gammas) + 1);
  if (!Table) return false;
  CPlaneCount = static_cast<std::uint16_t>(planes);
  GammaCount = static_cast<std::uint16_t>(gammas);
  return true;
}

bool TLUM32::TableUsable() const {
  return Table && CPlaneCount >= 1 && GammaCount >= 1 && Table->Rows() > CPlaneCount &&
         Table->Cols() > GammaCount;
}

bool TLUM32::AnglesAscending() const {
  if (!TableUsable()) return false;
  for (int j = 2; j <= GammaCount; ++j)
    if (!(Table->At(0, j) > Table->At(0, j - 1))) return false;
  for (int i = 2; i <= CPlaneCount; ++i)
    if (!(Table->At(i, 0) > Table->At(i - 1, 0))) return false;
  return true;
}

bool TLUM32::ValuesFinite() const {
  if (!TableUsable()) return false;
  for (int i = 0; i <= CPlaneCount; ++i)
    for (int j = 0; j <= GammaCount; ++j)
      if (!std::isfinite(Table->At(i, j))) return false;
  return true;
}

bool TLUM32::ValuesInRange() const {
  if (!TableUsable()) return false;
  auto fits = [](float v) { return std::isfinite(v) && std::fabs(v) <= kMaxTableValue; };
  for (int i = 0; i <= CPlaneCount; ++i)
    for (int j = 0; j <= GammaCount; ++j)
      if (!fits(Table->At(i, j))) return false;
  for (int k = 0; k < std::min<int>(LampSetCount, kMaxLampSets); ++k)
    if (!fits(LampSets[k].SetFlux) || !fits(LampSets[k].LampFlux)) return false;
  return fits(LOR) && fits(DFF);
}

bool TLUM32::CreateNew(const std::string& fileName, std::uint8_t planeSystem, std::uint8_t symmetry,
                       std::uint8_t gridFlags, int planeCount, float cStart, float cStep, float cEnd,
                       const std::vector<float>& planeAngles, int gammaCount, float gammaStart,
                       float gammaStep, float gammaEnd, const std::vector<float>& gammaAngles) {
  Clear();
  FileName = fileName;
  FormatCode = fmtLum32;
  if (!CreateTable(planeCount, gammaCount)) return false;
  CStart = cStart;
  CStep = cStep;
  CEnd = cEnd;
  GammaStart = gammaStart;
  GammaStep = gammaStep;
  GammaEnd = gammaEnd;
  Symmetry = symmetry;
  GridFlags = gridFlags;
  PlaneSystem = planeSystem;
  for (int j = 1; j <= gammaCount; ++j)
    Table->At(0, j) = std::size_t(j) <= gammaAngles.size() ? gammaAngles[j - 1]
                                                             : gammaStart + gammaStep * float(j - 1);
  for (int i = 1; i <= planeCount; ++i)
    Table->At(i, 0) = std::size_t(i) <= planeAngles.size() ? planeAngles[i - 1]
                                                             : cStart + cStep * float(i - 1);
  SelectIntensityFunctions(symmetry);
  Valid = 1;
  return true;
}

bool TLUM32::Save(std::uint8_t formatCode) {
  WriterFn w = WriterForCode(formatCode);
  return w ? w(*this, formatCode) : false;
}

bool TLUM32::SaveAs(std::uint8_t formatCode, const std::string& name) {
  std::string old = FileName;
  SetFileName(name);
  bool ok = Save(formatCode);
  SetFileName(old);
  return ok;
}

namespace {
// Index arguments come as int; the array addresses with 16 bits.
bool ToIndex(int v, std::uint16_t& out) {
  if (v < 0 || v > 65535) return false;
  out = static_cast<std::uint16_t>(v);
  return true;
}
}  // namespace

float TLUM32::GetValue(int plane, int gamma) const {
  std::uint16_t i, j;
  if (!Table) return 0;
  if (!ToIndex(plane, i) || !ToIndex(gamma, j)) {
    ShowError("GetItem : index out of range ! " + std::to_string(plane) + " " + std::to_string(gamma));
    return 0;
  }
  return Table->GetItem(i, j);
}

void TLUM32::SetValue(int plane, int gamma, float value) {
  std::uint16_t i, j;
  if (!Table) return;
  if (!ToIndex(plane, i) || !ToIndex(gamma, j)) {
    ShowError("SetItem : index out of range ! " + std::to_string(plane) + " " + std::to_string(gamma));
    return;
  }
  Table->SetItem(i, j, value);
}

float TLUM32::GammaAngle(int j) const { return GetValue(0, j); }
float TLUM32::CAngle(int i) const { return GetValue(i, 0); }

}  // namespace kandelo
