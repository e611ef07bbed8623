// The evaluation types of the evaluation window (0 ... 12) and what the
// window, its clipboard copy, its file exports and the command line share:
// one parameter set with the results computed from it, the drawing of a type
// into a rectangle, the picture size of a type and the accepted ranges of the
// user's entries.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "evaluation/cone.h"
#include "evaluation/evaluation_picture.h"
#include "evaluation/isolux.h"
#include "graphics/device.h"

namespace kandelo {

class TLUM32;
struct TProgramSettings;

enum TEvaluationType : int {
  etPolar = 0,
  etUgr = 1,
  etUtfDin = 2,
  etUtfTm5 = 3,
  etUtfNb = 4,
  etGlareCurves = 5,
  etIsolux = 7,
  etCone = 8,
  etGlareTable = 9,
  etCartesian = 10,
  etCount = 11,
  etFloor = 12,
};

// Every type that draws, in the order of the window's tabs and radio items.
const std::vector<TEvaluationType>& EvaluationTypes();
// "polar", "ugr", "utf-din", ... (the command line's kinds).
const char* EvaluationTypeName(TEvaluationType type);
std::optional<TEvaluationType> EvaluationTypeFromName(const std::string& name);
// True for the types drawn from luminances (UGR, glare curves and table).
bool NeedsLuminance(TEvaluationType type);

// The parameters of every evaluation and the results computed from them.
struct TEvaluationSet {
  std::vector<float> planes;   // plane list of the intensity diagrams
  double gammaMax = 0;         // cartesian range
  bool showEta = true;
  TIsoluxRecord isolux;
  TConeRecord cone;
  TEvalPicture tables;         // floor curves, luminaire count, UGR, η_R
  bool luminance = false;      // luminance evaluations possible
  bool usable = false;         // the luminaire holds data to evaluate
};

// The set as the window opens it for the luminaire, with the settings'
// heading, η and mounting options and the message file: starting plane list,
// γ range, isolux area 10 m at 5 m with the lamp flux, cone on its first
// distance set.
void InitEvaluationSet(const TLUM32& lum, const TProgramSettings& settings, const std::string& languageFile,
                       TEvaluationSet& set);
// The computations the drawings read: flux and maximum, the CIBSE and NB
// bytes, UGR (when luminances allow), the room utilization, the luminaire
// count and the floor curves. False with the text of the first failure; what
// did compute stays usable.
bool ComputeEvaluationSet(TLUM32& lum, TEvaluationSet& set, std::string* error = nullptr);

// Draws the type into `rect` of a drawing context (the standalone flag as the
// caller set it). Luminance types of a luminaire without luminances write
// "no glare rating possible" at the logical point (100, 400); a luminaire
// without usable data draws nothing.
void DrawEvaluationType(const TLUM32& lum, const TEvaluationSet& set, TEvaluationType type, TDevice& dc,
                        const TRect& rect, bool boldHeading);

// Size of the clipboard picture and of the metafile export in metafile units
// (1000 per inch).
TSize EvaluationPictureSize(TEvaluationType type);
// The type drawn standalone into (0, 0, size) with the standalone flag set,
// as the clipboard and the metafile record it.
void DrawEvaluationPicture(const TLUM32& lum, const TEvaluationSet& set, TEvaluationType type, TDevice& dc,
                           bool boldHeading);
// The same picture centred on a device of deviceWidth × deviceHeight units.
void DrawEvaluationPictureCentred(const TLUM32& lum, const TEvaluationSet& set, TEvaluationType type, TDevice& dc,
                                  int deviceWidth, int deviceHeight, bool boldHeading);
// Writes the picture as a placeable metafile; false when it cannot be written.
bool SaveEvaluationTypeMetafile(const TLUM32& lum, const TEvaluationSet& set, TEvaluationType type,
                                const std::string& fileName, bool boldHeading);
// The graphics export directory of the type in the settings.
const std::string& ExportDirectoryOf(const TProgramSettings& settings, TEvaluationType type);

// Ranges of the values a user enters; `whole` asks for an integer.
struct TValueRange {
  double low, high;
  bool lowExclusive = false;
  bool whole = false;
};
constexpr TValueRange kHeightRange{0, 100, true};            // light-point heights, m
constexpr TValueRange kIlluminanceRange{1, 65535, false, true};  // nominal illuminances, lx
constexpr TValueRange kMaintenanceRange{0, 1, true};         // maintenance factor
constexpr TValueRange kSectionRange{-1000, 1000};            // floor-curve section ends, m
constexpr TValueRange kIsoluxLengthRange{kIsoluxMinLength, kIsoluxMaxLength};  // isolux side and height, m
constexpr TValueRange kFluxRange{0, 1e7, true};                    // lamp flux, lm
constexpr TValueRange kFluxFactorRange{0, 1000};             // factor on the lamp flux
constexpr TValueRange kGammaMaxRange{1, 180};                // cartesian range, degrees

bool InRange(const TValueRange& range, double value);
// A number typed by the user ("," or "." as the separator, blanks around it);
// nullopt when it is no number or lies outside the range.
std::optional<double> ParseUserValue(const std::string& text, const TValueRange& range);

}  // namespace kandelo
