// The output settings record: which datasheet pages are printed and with which
// evaluation parameters. The browser owns one for the whole run; the output
// selection editor edits a copy; the datasheet reads it. Memory only.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kandelo {

// Page kinds; the number is the bit in TOutputSettings::OutputSet.
enum TOutputType : int {
  otMain = 0, otPolar, otKart, otTable, otGlUgr, otGlDin, otRtDin, otRtTm5, otRtNb,
  otIso, otCone, otSrt, otBbk,
};
constexpr int kOutputTypeCount = 13;

// Keys of the page kinds ("OUTSEL" display texts) and their page-title keys
// ("OUTTXT"), in bit order.
extern const std::array<const char*, kOutputTypeCount> kOutputTypeKeys;
extern const std::array<const char*, kOutputTypeCount> kOutputTitleKeys;

using TPlaneList = std::vector<float>;

struct TOutputSettings {
  std::uint16_t OutputSet = 0;                 // bit n = page kind n
  std::shared_ptr<TPlaneList> Planes;          // plane angles C; owned by the record's owner
  float IsoSide = 0, IsoHeight = 0, IsoFlux = 0, IsoKValue = 0;
  std::uint8_t ConeDistanceSet = 0;
  std::array<std::uint16_t, 3> CountIlluminances{};
  std::int32_t CountIlluminancePreset = 0;
  std::array<float, 3> CountHeights{};
  std::int32_t CountHeightPreset = 0;
  std::int32_t CountRoomAreaSet = 0;
  std::int32_t CountReflectances = 0;
  float CountMaintenance = 0;
  std::array<float, 3> FloorHeights{};
  std::int32_t FloorHeightPreset = 0;
  std::array<float, 2> FloorSectionEnds{};
  std::int32_t FloorDistancePreset = 0;
  std::int32_t FloorLuminaireCount = 0;
  std::uint8_t Emergency = 0;
  float FloorMaintenance = 0;

  bool Has(int type) const { return type >= 0 && type < kOutputTypeCount && (OutputSet >> type) & 1u; }
  void Set(int type, bool on);
};

// A record with the initial values of a new run (first page only, empty plane list).
TOutputSettings InitialOutputSettings();

// Copies every field of src into dst, the plane list's contents included, while
// dst keeps its own plane list object (the editor's copy is not shared).
void CopyOutputSettings(const TOutputSettings& src, TOutputSettings& dst);

}  // namespace kandelo
