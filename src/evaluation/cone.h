// The cone diagram: the light cone between the luminaire's axis and its
// half-value angle, cut at several distances, with the axis illuminance, the
// mean illuminance inside the cone and the cone diameter at each.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "evaluation/diagram_common.h"  // LanguageDecimalSeparator
#include "graphics/device.h"
#include "photometry/lum32.h"

namespace kandelo {

// The half-value angle in plane C (degrees): the first γ from 0° in steps of
// 0.1° at which the intensity has fallen to half the reference; the
// reference is Imax when I(0°) rounds to Imax, else (I(0°) + 2·Imax)/3.
// The scan starts counting once the intensity has been above half the
// reference, so that a batwing whose axis lies below it gets the angle of
// its flank rather than 0°. 90° when it never falls within 90°; 0° when it
// never rises above half the reference (no light downwards).
double HalfValueAngle(const TLUM32& lum, double c);

// Distance sets: the largest distance in m and the number of steps.
struct TDistanceSet {
  double largest;
  int steps;
};
constexpr int kDistanceSetCount = 13;
const TDistanceSet& DistanceSet(int index);  // index clamped to 0 … 12
// The window's text of a set ("2 m", "7.5 m", …) with the decimal separator
// of the user interface's language ("," for German and French).
std::string DistanceSetText(int index);
std::string DistanceSetText(int index, char decimalSep);
// The set whose largest distance is `metres`; −1 when none is.
int FindDistanceSet(double metres);

struct TConeRecord {
  std::uint8_t distanceSet = 5;  // "10 m"
  std::uint8_t planeCount = 1;   // 1 for a rotationally symmetric luminaire, else 2
  float angleC0 = 0, angleC90 = 0;
  float lampFlux = 1000;
};

// The luminaire's lamp flux (sum of its lamp sets; 1000 lm when it has none).
double LampFluxOf(const TLUM32& lum);
// The record as the evaluation window fills it when it opens.
TConeRecord MakeConeRecord(const TLUM32& lum, int distanceSet, double lampFlux);

struct TConeStep {
  double distance = 0;         // m
  double axisIlluminance = 0;  // E0, lx
  double meanIlluminance = 0;  // Em inside the cone of the C 0 angle, lx
  double meanIlluminance2 = 0; // the same for the C 90 angle (two planes only)
  double diameter = 0;         // 2r, m
  double diameter2 = 0;        // the same for the C 90 angle (two planes only)
  bool hasCone = false;        // false when the half-value angle leaves no finite cone
};
// Luminous flux in lm per 1000 lm between the axis and γ = α.
double ConeFlux(const TLUM32& lum, double alpha);
std::vector<TConeStep> ComputeCone(const TLUM32& lum, const TConeRecord& record);

// "0 decimals above 10 lx, 1 above 5 lx, else 2", followed by " lx".
std::string IlluminanceText(double lx, char decimalSep = '.');

// The beam angle (sum of the half-value angles of the plane and of its
// opposite): C0–C180 for `c` 0, C90–C270 for 90.
double BeamAngle(const TLUM32& lum, double c);

// `rect2` is accepted for the callers' sake and not read.
void DrawCone(const TLUM32& lum, TDevice& dc, const TRect& rect, const std::string& languageFile,
              const TConeRecord& record, const TRect& rect2);

}  // namespace kandelo
