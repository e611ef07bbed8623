// The three persistent blocks of TLUM32 in their file layout (little-endian,
// no padding, counted strings with a length byte). Fields are laid over the
// image kept from reading, so reserved bytes go back to the file unchanged.
#include <algorithm>
#include <cstring>

#include "frame/strutil.h"
#include "photometry/lum32.h"

namespace kandelo {
namespace {

std::string GetStr(const unsigned char* p, std::size_t cap) {
  std::size_t n = std::min<std::size_t>(p[0], cap);
  return std::string(reinterpret_cast<const char*>(p + 1), n);
}

// Writes the length byte and the characters; bytes behind them stay as they are.
void PutStr(unsigned char* p, std::size_t cap, const std::string& s) {
  std::size_t n = std::min(s.size(), cap);
  p[0] = static_cast<unsigned char>(n);
  std::memcpy(p + 1, s.data(), n);
}

template <std::size_t N>
void GetF32s(const unsigned char* p, std::array<float, N>& a) {
  for (std::size_t i = 0; i < N; ++i) a[i] = GetF32(p + 4 * i);
}
template <std::size_t N>
void PutF32s(unsigned char* p, const std::array<float, N>& a) {
  for (std::size_t i = 0; i < N; ++i) PutF32(p + 4 * i, a[i]);
}
void GetU16s(const unsigned char* p, std::array<std::uint16_t, 4>& a) {
  for (std::size_t i = 0; i < 4; ++i) a[i] = GetU16(p + 2 * i);
}
void PutU16s(unsigned char* p, const std::array<std::uint16_t, 4>& a) {
  for (std::size_t i = 0; i < 4; ++i) PutU16(p + 2 * i, a[i]);
}

}  // namespace

void TLUM32::ReadBlock1(const unsigned char* p) {
  std::memcpy(raw1_.data(), p, kBlock1Size);
  BlockSize = GetU16(p);
  BlockFlags = GetU16(p + 2);
  ShortName = GetStr(p + 4, 12);
  FileDate = GetF64(p + 17);
  Manufacturer = GetStr(p + 25, 80);
  LumName = GetStr(p + 106, 80);
  LumNumber = GetStr(p + 187, 80);
  InfoText1 = GetStr(p + 268, 40);
  InfoText2 = GetStr(p + 309, 40);
  InfoText3 = GetStr(p + 350, 40);
  InfoText4 = GetStr(p + 391, 40);
  InfoText5 = GetStr(p + 432, 40);
  LampQuantity = p[473];
  AreaShape = p[474];
  Length = GetU16(p + 475);
  Width = GetU16(p + 477);
  Diameter = GetU16(p + 479);
  GetU16s(p + 481, Height);
  LumAreaLength = GetU16(p + 489);
  LumAreaWidth = GetU16(p + 491);
  LumAreaDiameter = GetU16(p + 493);
  GetU16s(p + 495, LumAreaHeight);
  LampSetCount = p[503];
  for (int k = 0; k < kMaxLampSets; ++k) {
    const unsigned char* q = p + 504 + k * kLampSetSize;
    TLampSet& s = LampSets[k];
    s.LampCount = q[0];
    s.LampType = GetStr(q + 1, 40);
    s.LampFlux = GetF32(q + 42);
    s.SetFlux = GetF32(q + 46);
    s.ColourText = GetStr(q + 50, 16);
    s.RenderingText = GetStr(q + 67, 6);
    s.SetWatt = static_cast<std::int16_t>(GetU16(q + 74));
  }
  CPlaneCount = GetU16(p + 884);
  GammaCount = GetU16(p + 886);
  CStart = GetF32(p + 888);
  CStep = GetF32(p + 892);
  CEnd = GetF32(p + 896);
  GammaStart = GetF32(p + 900);
  GammaStep = GetF32(p + 904);
  GammaEnd = GetF32(p + 908);
  Symmetry = p[912];
  GridFlags = p[913];
  LOR = GetF32(p + 914);
  Imax = GetF32(p + 918);
  ImaxC = GetF32(p + 922);
  ImaxGamma = GetF32(p + 926);
  DistributionKind = p[930];
  LuminaireType = p[931];
  DateUser = GetStr(p + 932, 40);
  PlaneSystem = p[973];
  Tm14Value = GetF32(p + 974);
}

void TLUM32::WriteBlock1(unsigned char* p) const {
  std::memcpy(p, raw1_.data(), kBlock1Size);
  PutU16(p, BlockSize);
  PutU16(p + 2, BlockFlags);
  PutStr(p + 4, 12, ShortName);
  PutF64(p + 17, FileDate);
  PutStr(p + 25, 80, Manufacturer);
  PutStr(p + 106, 80, LumName);
  PutStr(p + 187, 80, LumNumber);
  PutStr(p + 268, 40, InfoText1);
  PutStr(p + 309, 40, InfoText2);
  PutStr(p + 350, 40, InfoText3);
  PutStr(p + 391, 40, InfoText4);
  PutStr(p + 432, 40, InfoText5);
  p[473] = LampQuantity;
  p[474] = AreaShape;
  PutU16(p + 475, Length);
  PutU16(p + 477, Width);
  PutU16(p + 479, Diameter);
  PutU16s(p + 481, Height);
  PutU16(p + 489, LumAreaLength);
  PutU16(p + 491, LumAreaWidth);
  PutU16(p + 493, LumAreaDiameter);
  PutU16s(p + 495, LumAreaHeight);
  p[503] = LampSetCount;
  for (int k = 0; k < kMaxLampSets; ++k) {
    unsigned char* q = p + 504 + k * kLampSetSize;
    const TLampSet& s = LampSets[k];
    q[0] = s.LampCount;
    PutStr(q + 1, 40, s.LampType);
    PutF32(q + 42, s.LampFlux);
    PutF32(q + 46, s.SetFlux);
    PutStr(q + 50, 16, s.ColourText);
    PutStr(q + 67, 6, s.RenderingText);
    PutU16(q + 74, static_cast<std::uint16_t>(s.SetWatt));
  }
  PutU16(p + 884, CPlaneCount);
  PutU16(p + 886, GammaCount);
  PutF32(p + 888, CStart);
  PutF32(p + 892, CStep);
  PutF32(p + 896, CEnd);
  PutF32(p + 900, GammaStart);
  PutF32(p + 904, GammaStep);
  PutF32(p + 908, GammaEnd);
  p[912] = Symmetry;
  p[913] = GridFlags;
  PutF32(p + 914, LOR);
  PutF32(p + 918, Imax);
  PutF32(p + 922, ImaxC);
  PutF32(p + 926, ImaxGamma);
  p[930] = DistributionKind;
  p[931] = LuminaireType;
  PutStr(p + 932, 40, DateUser);
  p[973] = PlaneSystem;
  PutF32(p + 974, Tm14Value);
}

void TLUM32::ReadBlock2(const unsigned char* p) {
  std::memcpy(raw2_.data(), p, kBlock2Size);
  RefFlux = GetF32(p);
  LumFlux = GetF32(p + 4);
  UpFlux = GetF32(p + 8);
  DownFlux = GetF32(p + 12);
  DFF = GetF32(p + 16);
  DownDirectRatio = GetF32(p + 20);
  UpDirectRatio = GetF32(p + 24);
  ClassCode = GetStr(p + 28, 7);
  GetF32s(p + 36, CeilingDirectFlux);
  GetF32s(p + 76, UpperWallFlux);
  GetF32s(p + 116, LowerWallFlux);
  GetF32s(p + 156, UtilValues);
  GetF32s(p + 196, ZonalFlux);
  std::memcpy(CieFluxCode.data(), p + 343, 5);
  std::memcpy(BzClasses.data(), p + 348, 9);
  PartialFluxValid = p[365];
}

void TLUM32::WriteBlock2(unsigned char* p) const {
  std::memcpy(p, raw2_.data(), kBlock2Size);
  PutF32(p, RefFlux);
  PutF32(p + 4, LumFlux);
  PutF32(p + 8, UpFlux);
  PutF32(p + 12, DownFlux);
  PutF32(p + 16, DFF);
  PutF32(p + 20, DownDirectRatio);
  PutF32(p + 24, UpDirectRatio);
  PutStr(p + 28, 7, ClassCode);
  PutF32s(p + 36, CeilingDirectFlux);
  PutF32s(p + 76, UpperWallFlux);
  PutF32s(p + 116, LowerWallFlux);
  PutF32s(p + 156, UtilValues);
  PutF32s(p + 196, ZonalFlux);
  std::memcpy(p + 343, CieFluxCode.data(), 5);
  std::memcpy(p + 348, BzClasses.data(), 9);
  p[365] = PartialFluxValid;
}

void TLUM32::ReadBlock3(const unsigned char* p) {
  std::memcpy(raw3_.data(), p, kBlock3Size);
  MeasurementPresent = p[0];
  MeasDistance = GetF32(p + 1);
  MeasFromLum = p[5];
  MeasuredBy = GetStr(p + 6, 40);
  ReportNumber = GetStr(p + 47, 40);
  for (int k = 0; k < 5; ++k) MeasLampName[k] = GetStr(p + 88 + 26 * k, 25);
  GetF32s(p + 348, MeasLampFlux);
  MeasTotalFlux = GetF32(p + 388);
  MeasTemperature = GetF32(p + 392);
  MeasValue396 = GetF32(p + 396);
  MeasValue400 = GetF32(p + 400);
  MeasText[0] = GetStr(p + 404, 40);
  MeasText[1] = GetStr(p + 445, 40);
  MeasVoltage = GetF32(p + 486);
  MeasValue490 = GetF32(p + 490);
  MeasValue494 = GetF32(p + 494);
  MeasCurrent = GetF32(p + 498);
  MeasValue502 = GetF32(p + 502);
  MeasValue506 = GetF32(p + 506);
  MeasValue510 = GetF32(p + 510);
  CircuitWatts = GetF32(p + 514);
  MeasValue526 = GetF32(p + 526);
  AuxReceiver = p[530];
  BallastFactor = GetF32(p + 537);
}

void TLUM32::WriteBlock3(unsigned char* p) const {
  std::memcpy(p, raw3_.data(), kBlock3Size);
  p[0] = MeasurementPresent;
  PutF32(p + 1, MeasDistance);
  p[5] = MeasFromLum;
  PutStr(p + 6, 40, MeasuredBy);
  PutStr(p + 47, 40, ReportNumber);
  for (int k = 0; k < 5; ++k) PutStr(p + 88 + 26 * k, 25, MeasLampName[k]);
  PutF32s(p + 348, MeasLampFlux);
  PutF32(p + 388, MeasTotalFlux);
  PutF32(p + 392, MeasTemperature);
  PutF32(p + 396, MeasValue396);
  PutF32(p + 400, MeasValue400);
  PutStr(p + 404, 40, MeasText[0]);
  PutStr(p + 445, 40, MeasText[1]);
  PutF32(p + 486, MeasVoltage);
  PutF32(p + 490, MeasValue490);
  PutF32(p + 494, MeasValue494);
  PutF32(p + 498, MeasCurrent);
  PutF32(p + 502, MeasValue502);
  PutF32(p + 506, MeasValue506);
  PutF32(p + 510, MeasValue510);
  PutF32(p + 514, CircuitWatts);
  PutF32(p + 526, MeasValue526);
  p[530] = AuxReceiver;
  PutF32(p + 537, BallastFactor);
}

}  // namespace kandelo
