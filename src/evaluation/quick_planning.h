// Two quick-planning evaluations: the floor illuminance along a section
// across one luminaire or a row of luminaires for three mounting heights,
// and the number of luminaires a room needs for three illuminances × three
// heights × eight room areas, from the LiTG room utilization factors.
#pragma once

#include <array>
#include <cstdint>

#include "evaluation/litg.h"

namespace kandelo {

class TLUM32;

constexpr int kFloorPoints = 321;

struct TFloorCurveParams {
  std::int32_t HeightPreset = 0;  // 0 … 2 presets, larger = user values
  std::array<float, 3> Heights{1.65f, 2.15f, 2.65f};  // m
  std::int32_t DistancePreset = 0;  // 0, 1 presets, larger = user values
  float Left = -2, Right = 6;       // section ends, m
  std::uint8_t Emergency = 0;
  float Maintenance = 0.8f;
  float Maximum = 0;  // result: the largest illuminance of the three curves
  std::int32_t Count = 1;  // 1 = single luminaire, more = a row
};
// Illuminance in lx per height at the section points.
using TFloorCurveResult = std::array<std::array<float, kFloorPoints>, 3>;

extern const float kFloorHeightPresets[3][3];
extern const float kFloorSectionPresets[2][2];

// Position of section point k (0 … 320), m.
double FloorSectionPoint(const TFloorCurveParams& p, int k);
// Fills the result and the record's maximum. The row lies along the
// luminaire axis, centred on the section line.
void ComputeFloorCurves(TFloorCurveParams& p, TFloorCurveResult& result, const TLUM32& lum);

// Ends of the logarithmic illuminance scale for the record's maximum.
struct TFloorScale {
  double low = 1, high = 1000;
};
TFloorScale FloorScale(const TFloorCurveParams& p);

struct TLuminaireCountParams {
  std::int32_t AreaSet = 0;       // 0 … 3
  std::int32_t Reflectances = 0;  // 0 … 14, into the LiTG combinations
  std::int32_t HeightPreset = 0;
  std::array<float, 3> Heights{1.65f, 2.15f, 2.65f};  // light-point heights, m
  std::int32_t IlluminancePreset = 0;
  std::array<std::uint16_t, 3> Illuminances{20, 50, 100};  // lx
  float Maintenance = 0.8f;
};
// count[height][illuminance][area]; kCountUndefined where the count has no
// value (zero utilization factor, light output ratio, flux or maintenance).
using TLuminaireCountResult = std::array<std::array<std::array<float, 8>, 3>, 3>;
constexpr float kCountUndefined = -1.0f;

extern const std::uint16_t kCountIlluminancePresets[3][3];
extern const float kRoomAreaSets[4][8];

// Room index of area A (m², length 1.6 × width) at height h (m).
double RoomIndexFor(double area, double height);
// η_R for the record's combination, interpolated in the room index.
double RoomUtilization(const TLuminaireCountParams& p, const RoomUtilTableT& table, double area, double height);
void ComputeLuminaireCount(const TLuminaireCountParams& p, TLuminaireCountResult& result, const TLUM32& lum,
                           const RoomUtilTableT& table);
// The whole number of luminaires shown for an exact count: the next one up
// unless the fraction is at most 0.001.
int ShownCount(double n);

}  // namespace kandelo
