// The key figures of a luminaire in one value: what a lighting engineer asks
// of a catalogue ("3000 to 4000 lm at 4000 K, UGR below 19, beam under
// 60°"), and what the first datasheet page states. A figure the file does not
// give is NaN.
#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <string>

namespace kandelo {

class TLUM32;

struct PhotometricSummary {
  static constexpr double kUnknown = std::numeric_limits<double>::quiet_NaN();

  double luminaireFlux = kUnknown;  // lm: lamp flux × light output ratio
  double lampFlux = kUnknown;       // lm, all lamp sets
  double lor = kUnknown;            // light output ratio, %
  double dff = kUnknown;            // downward flux fraction, %
  double watt = kUnknown;           // W, all lamp sets with ballast
  double efficacy = kUnknown;       // lm/W of the luminaire flux
  double cct = kUnknown;            // K, from the first lamp set's colour text
  double cri = kUnknown;            // Ra, from the first lamp set's rendering text
  double imax = kUnknown;           // cd/klm
  double beamC0 = kUnknown;         // half-value beam angle over C0-C180, degrees
  double beamC90 = kUnknown;        // over C90-C270
  double ugrCrosswise = kUnknown;   // room 4H × 8H, reflectances 70/50/20
  double ugrEndwise = kUnknown;
  double shr = kUnknown;            // nominal spacing-to-height ratio (TM5)
  std::array<std::uint8_t, 5> cieFluxCode{};
  std::string litgClass;            // the classification code, e.g. "A40"
  // Dimensions in mm as the file gives them (0: not given).
  double length = 0, width = 0, diameter = 0, height = 0;
  double areaLength = 0, areaWidth = 0, areaDiameter = 0;
  std::uint8_t symmetry = 0;
  std::uint8_t format = 0;
  std::uint8_t lampSets = 0;
  // The file's check (filled by the caller from the validation report):
  // the number of findings and the worst severity (0 none, 1 notice,
  // 2 warning, 3 error); -1 when the file was not checked.
  int problems = -1;
  std::uint8_t worst = 0;

  // The wider of the two beam angles, the larger of the two UGR values.
  double Beam() const;
  double Ugr() const;
};

// The flux and the wattage (with ballast) of all lamp sets the file gives;
// 0 where it gives none.
struct LampTotals {
  double flux = 0, watt = 0;
};
LampTotals SumLampSets(const TLUM32& lum);

// Computes the figures of a loaded luminaire: its flux values, maximum
// intensity, TM5 spacing, classification and UGR are worked out on the way
// (the luminaire keeps them, as after the evaluations). Never throws: a
// computation that fails leaves its figures unknown. Touches no shared
// state: two threads may summarize two luminaires at once.
PhotometricSummary SummarizeLuminaire(TLUM32& lum);

// The colour temperature in a lamp's colour text ("3000K", "4000 K", "ww
// 2700", the colour code "840"); NaN when it names none ("WW" alone).
double ColourTemperatureOf(const std::string& text);
// The colour a lamp's type names: a colour code after a slash or dash
// ("TC-L 36W/840": 4000 K, Ra 80) or kelvin ("LED 3000K"); other numbers
// of a type (wattages, lumens) are not taken for it. NaN where it names none.
struct LampTypeColour {
  double cct = PhotometricSummary::kUnknown, cri = PhotometricSummary::kUnknown;
};
LampTypeColour ColourOfLampType(const std::string& type);
// The colour rendering index in a lamp's rendering text: a number ("80",
// "Ra 90", ">80"), a colour code ("840": 80) or a CIE group, taken at the
// group's lower bound (1A 90, 1B 80, 2A 70, 2B 60, 3 40, 4 20); NaN when it
// names none.
double ColourRenderingOf(const std::string& text);

}  // namespace kandelo
