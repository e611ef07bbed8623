// TLUM32: the in-memory luminaire. Texts, dimensions, up to five lamp sets,
// the intensity table in cd per 1000 lm with its angle grid and symmetry, the
// values derived from it, and the intensity functions every evaluation reads
// through. The three persistent blocks are the LUM32 file layout (lum32_blocks.cpp).
//
// Conventions: texts are 1252 strings cut to their field size when stored in a
// file; lengths in mm, angles in degrees, fluxes in lm; arrays that the file
// numbers 1 … n are 0-based here (Height[0] is the C0 side).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "frame/diagnostics.h"
#include "photometry/sglarray.h"

namespace kandelo {

// Symmetry codes (the same codes serve B-β data with their own meaning).
enum SymmetryCode : std::uint8_t {
  symNone = 0,        // all planes C0 … 360 − ΔC
  symRotational = 1,  // one plane; not used for B-β
  symC0C180 = 2,      // planes C0 … C180   (B-β: symmetric in β)
  symC90C270 = 3,     // planes C90 … C270  (B-β: symmetric in B)
  symQuadrant = 4,    // planes C0 … C90    (B-β: both)
};

enum PlaneSystemCode : std::uint8_t { psCGamma = 0, psBBeta = 1, psAAlpha = 2 };

// Index into the export-format table (format_io.h).
enum FormatCodeValue : std::uint8_t {
  fmtEulumdat = 0, fmtLum = 1, fmtLum32 = 2, fmtEulumdat2 = 3, fmtTm14 = 4,
  fmtIes86 = 5, fmtIes91 = 6, fmtIes95 = 7, fmtCalculux = 8, fmtLtli = 9,
  fmtPhillum = 10, fmtUnknown = 11,
};

// GridFlags bits.
constexpr std::uint8_t kGammaNotEquidistant = 1;
constexpr std::uint8_t kCNotEquidistant = 2;

// Sizes of the persistent blocks and of their counted strings.
constexpr std::size_t kBlock1Size = 1024;
constexpr std::size_t kBlock2Size = 640;
constexpr std::size_t kBlock3Size = 768;
constexpr std::size_t kLampSetSize = 76;
constexpr int kMaxLampSets = 5;
constexpr float kMaxTableValue = 1e30f;

struct TLampSet {
  std::uint8_t LampCount = 0;
  std::string LampType;       // 40
  float LampFlux = 0;         // flux of one lamp
  float SetFlux = 0;          // flux of the whole set
  std::string ColourText;     // 16
  std::string RenderingText;  // 6
  std::int16_t SetWatt = 0;   // including ballast
};

// Owned helper object of other layers (freed by Clear; not copied).
struct TLumAuxObject {
  virtual ~TLumAuxObject() = default;
};
class TLumAuxPtr : public std::unique_ptr<TLumAuxObject> {
 public:
  using std::unique_ptr<TLumAuxObject>::unique_ptr;
  TLumAuxPtr() = default;
  TLumAuxPtr(const TLumAuxPtr&) : std::unique_ptr<TLumAuxObject>() {}
  TLumAuxPtr& operator=(const TLumAuxPtr&) { reset(); return *this; }
  TLumAuxPtr(TLumAuxPtr&&) = default;
  TLumAuxPtr& operator=(TLumAuxPtr&&) = default;
};

// C planes whose weights in the mean over the planes do not add up to the
// range they cover (the stored planes disagree with CStart/CEnd): the means
// and the flux are then scaled to the range, which the user should know.
struct UnbalancedWeights {
  double sum = 0;    // of the plane weights, degrees
  double range = 0;  // covered by the planes, degrees
};
// "C-plane weights add up to 180.00° instead of 170.00°" (1252 text).
std::string UnbalancedWeightsText(const UnbalancedWeights& w);

class TLUM32 {
 public:
  TLUM32();
  ~TLUM32();
  // Deep copies (the table is copied; the auxiliary object is not).
  TLUM32(const TLUM32& other) = default;
  TLUM32& operator=(const TLUM32& other) = default;

  // ---- State (not persistent) -------------------------------------------
  TSglArrayPtr Table;  // (CPlaneCount + 1) x (GammaCount + 1), see below
  std::uint8_t FormatCode = 0;
  std::string FileName;              // full path
  std::uint16_t SavedBlockFlags = 0;
  std::uint8_t Valid = 0, FluxValid = 0, ZonesValid = 0, MaxValid = 1;
  float MinGammaStep = 0, MinCStep = 0;
  TLumAuxPtr AuxObject;
  std::uint8_t OemTexts = 0;             // LTLI texts are OEM (converted on reading)
  std::uint8_t WriteCibseExtension = 0;  // TM14 writer appends "CIBSE/2"

  // Evaluation results kept with the luminaire (not persistent, not cleared).
  std::array<std::array<std::uint8_t, 9>, 10> CibseUF{};  // round(100·UF), 255 = N/A
  std::array<std::uint8_t, 9> CibseBz{};
  float ShrNom = 0, ShrMax = 0;
  std::array<std::array<std::uint8_t, 9>, 10> NbUF{};
  std::array<float, 190> ExportUgr{};  // 19 x 5 crosswise, then 19 x 5 endwise

  // ---- Block 1 (1024 bytes) ----------------------------------------------
  std::uint16_t BlockSize = 0;
  std::uint16_t BlockFlags = 0;  // bit 0 block 1, bit 1 block 2, bit 2 block 3
  std::string ShortName;         // 12
  double FileDate = 0;           // days since 30 Dec 1899
  std::string Manufacturer, LumName, LumNumber;  // 80 each
  std::string InfoText1, InfoText2, InfoText3, InfoText4, InfoText5;  // 40 each
  std::uint8_t LampQuantity = 0;
  std::uint8_t AreaShape = 0;
  std::uint16_t Length = 0, Width = 0, Diameter = 0;
  std::array<std::uint16_t, 4> Height{};  // C0, C90, C180, C270
  std::uint16_t LumAreaLength = 0, LumAreaWidth = 0, LumAreaDiameter = 0;
  std::array<std::uint16_t, 4> LumAreaHeight{};
  std::uint8_t LampSetCount = 0;
  std::array<TLampSet, kMaxLampSets> LampSets;
  std::uint16_t CPlaneCount = 0, GammaCount = 0;
  float CStart = 0, CStep = 0, CEnd = 0;
  float GammaStart = 0, GammaStep = 0, GammaEnd = 0;
  std::uint8_t Symmetry = 0;
  std::uint8_t GridFlags = 0;
  float LOR = 0;  // percent
  float Imax = 0, ImaxC = 0, ImaxGamma = 0;
  std::uint8_t DistributionKind = 0;  // 0 direct, 1 indirect, 2 direct-indirect
  std::uint8_t LuminaireType = 0;     // EULUMDAT Ityp
  std::string DateUser;               // 40
  std::uint8_t PlaneSystem = 0;
  float Tm14Value = 0;

  // ---- Block 2 (640 bytes) -----------------------------------------------
  float RefFlux = 0, LumFlux = 0, UpFlux = 0, DownFlux = 0;
  float DFF = 0;  // fraction 0 … 1 (the EULUMDAT reader stores percent until CalcFlux)
  float DownDirectRatio = 0, UpDirectRatio = 0;
  std::string ClassCode;  // 7
  std::array<float, 10> CeilingDirectFlux{}, UpperWallFlux{}, LowerWallFlux{}, UtilValues{};
  std::array<float, 36> ZonalFlux{};
  std::array<std::uint8_t, 5> CieFluxCode{};
  std::array<std::uint8_t, 9> BzClasses{};
  std::uint8_t PartialFluxValid = 0;

  // ---- Block 3 (768 bytes, measurement data) -----------------------------
  std::uint8_t MeasurementPresent = 0;
  float MeasDistance = 0;           // m
  std::uint8_t MeasFromLum = 0;     // offset 5: 1 when filled from a LUM file
  std::string MeasuredBy;           // 40
  std::string ReportNumber;         // 40
  std::array<std::string, 5> MeasLampName;  // 25 each
  std::array<float, 5> MeasLampFlux{};
  float MeasTotalFlux = 0, MeasTemperature = 0;
  float MeasValue396 = 0, MeasValue400 = 0;  // further measurement values, by offset
  std::array<std::string, 2> MeasText;       // 40 each, offsets 404 and 445
  float MeasVoltage = 0;
  float MeasValue490 = 0, MeasValue494 = 0;
  float MeasCurrent = 0;
  float MeasValue502 = 0, MeasValue506 = 0, MeasValue510 = 0;
  float CircuitWatts = 0;
  float MeasValue526 = 0;
  std::uint8_t AuxReceiver = 0;
  float BallastFactor = 0;

  // ---- Block images -------------------------------------------------------
  // Fill the fields from a block image and keep the image, so that reserved
  // bytes (and bytes behind the end of counted strings) are written back as
  // they were read. The writers lay the fields over the kept image.
  void ReadBlock1(const unsigned char* p);
  void ReadBlock2(const unsigned char* p);
  void ReadBlock3(const unsigned char* p);
  void WriteBlock1(unsigned char* p) const;
  void WriteBlock2(unsigned char* p) const;
  void WriteBlock3(unsigned char* p) const;
  // Raw reserved bytes, for readers that fill parts of a block by offset.
  std::array<unsigned char, kBlock1Size>& RawBlock1() { return raw1_; }
  std::array<unsigned char, kBlock2Size>& RawBlock2() { return raw2_; }
  std::array<unsigned char, kBlock3Size>& RawBlock3() { return raw3_; }

  // ---- Lifecycle -----------------------------------------------------------
  // Frees the table and the auxiliary object, zeroes the three blocks, empty
  // FileName, FluxValid 0, ZonesValid 0, MaxValid 1, Valid 0.
  void Clear();
  // A luminaire with a zero table on the given grid (angle lists may be empty:
  // then start + step·k). FormatCode 2, Valid 1. False when the table cannot
  // be created (counts 0 or above 65535, or no memory).
  bool CreateNew(const std::string& fileName, std::uint8_t planeSystem, std::uint8_t symmetry,
                 std::uint8_t gridFlags, int planeCount, float cStart, float cStep, float cEnd,
                 const std::vector<float>& planeAngles, int gammaCount, float gammaStart,
                 float gammaStep, float gammaEnd, const std::vector<float>& gammaAngles);
  // Files are read by LoadLuminaire (format_io.h).
  // Writes FileName in the format (0/3 EULUMDAT, 2 LUM32, 4 TM14, 5/6/7 IES;
  // other codes write nothing and give false). FormatCode stays.
  bool Save(std::uint8_t formatCode);
  // Save under another name; FileName is restored afterwards.
  bool SaveAs(std::uint8_t formatCode, const std::string& name);
  // FileName := name; ShortName := last path component up to its first ".", 12 characters.
  void SetFileName(const std::string& name);

  // Table of (planes + 1) x (gammas + 1) cells for a reader; sets
  // CPlaneCount and GammaCount. False (no table) for counts outside
  // 1 … 65535 or when memory is short.
  bool CreateTable(int planes, int gammas);
  // A table whose size fits CPlaneCount and GammaCount.
  bool TableUsable() const;
  // Row 0 (γ) and column 0 (planes) strictly ascending; readers refuse
  // tables that are not, because every interpolation searches them.
  bool AnglesAscending() const;
  // Every angle and value of the table is a finite number.
  bool ValuesFinite() const;
  // Every angle and value of the table, the lamp fluxes, LOR and DFF are
  // finite and at most kMaxTableValue in size: the flux integral over such a
  // table stays far inside the single-precision range. LoadLuminaire refuses
  // a file that fails it, whatever its format.
  bool ValuesInRange() const;

  // ---- Intensity functions -------------------------------------------------
  // Fills the three slots for PlaneSystem, the symmetry and GridFlags.
  void SelectIntensityFunctions(std::uint8_t symmetry);
  // Intensity in cd/klm in the direction (γ, C), whatever the file's system.
  float Intensity(double gamma, double c) const { return (this->*intensity_)(gamma, c); }
  // Intensity(gamma, c[k]) for k < n, with the γ cell found once. `from`, when
  // given, holds n plane numbers kept between calls (start with 1s): a
  // searched plane list starts at the plane found for the same k last time.
  void IntensitiesAt(double gamma, const double* c, float* out, int n, int* from = nullptr) const;
  // B-β data: intensity at (β, B).
  float IntensityBB(double beta, double b) const { return (this->*intensityBB_)(beta, b); }
  // Mean over the planes at γ, weighted by the plane spacing.
  float MeanIntensity(double gamma) const { return (this->*meanIntensity_)(gamma); }
  // MeanIntensity at every stored γ angle, with the plane weights and folds
  // worked out once instead of for every angle.
  void StoredMeans(std::vector<double>& means) const;

  // ---- Table access (indices from 1) ---------------------------------------
  float GetValue(int plane, int gamma) const;
  void SetValue(int plane, int gamma, float value);
  float GammaAngle(int j) const;
  float CAngle(int i) const;

  // ---- Derived values -------------------------------------------------------
  void FindMaxIntensity();
  void CalcFlux();
  // Set by a mean over the planes (CalcFlux computes them) whose weights do
  // not add up; cleared when another table is selected.
  const std::optional<UnbalancedWeights>& PlaneWeightsUnbalanced() const { return unbalancedWeights_; }
  float ZoneFlux(double gamma1, double gamma2) const;
  void CalcZonalFlux();
  void CalcCieFluxCode();
  // Smallest step of the angle list (3 decimals); sets/clears the grid bit.
  float CheckGammaGrid();
  float CheckCGrid();
  void ScaleValues(double factor);

  // ---- Luminous area (m²) ---------------------------------------------------
  double BottomArea() const;
  double SideArea(bool lengthSide) const;
  double ProjectedArea(double gamma, double c) const;
  // The same from the sines and cosines of γ and C, for callers that keep them.
  double ProjectedArea(double sinGamma, double cosGamma, double sinC, double cosC) const;
  bool HasLuminousArea() const;
  bool LuminanceAvailable();

  // Plane pairs for the diagram selectors: text and the smaller angle.
  std::vector<std::pair<std::string, float>> PlanePairList() const;

  // ---- Symmetry conversions (record editor, converter) ---------------------
  bool ResampleToC(std::uint8_t symmetry, double gammaEnd, double gammaStart, double gammaStep,
                   double cStep);
  void ExpandToFull(double cStep);
  void MakeRotational(bool useMean);
  void MakeSymmetricC0C180(bool average, double cStep);
  void MakeSymmetricC90C270(bool average, double cStep);
  void MakeQuadrantSymmetric(bool average, double cStep);
  // Turns the C-γ distribution (LTLI reader, coordinate page of the record
  // editor). Implemented with the LTLI reader (rotate.cpp).
  void RotateDistribution(double cTurn, double gammaTurnC0, double gammaTurnC90);

 private:
  using IntensityFn = float (TLUM32::*)(double, double) const;
  using MeanFn = float (TLUM32::*)(double) const;

  // C-γ interpolators, by symmetry, equidistant and searching forms.
  float IntensityCgEqui(double gamma, double c) const;
  float IntensityCgSearch(double gamma, double c) const;
  // The γ cell of an angle inside [GammaStart, GammaEnd]: the two columns
  // and the fraction between them, by arithmetic or by search.
  struct GammaCell {
    int j, j2;
    double frac;
  };
  bool EquiGridUsable() const;
  GammaCell FindGammaCell(double gamma, bool equidistant) const;
  double RowValue(int plane, const GammaCell& g) const;
  // The C interpolation of the two forms for a γ cell found before.
  float PlaneValueEqui(const GammaCell& g, double c) const;
  float PlaneValueSearch(const GammaCell& g, double c, int* from) const;
  float IntensityBBInterp(double beta, double b) const;
  float IntensityFromBB(double gamma, double c) const;
  float IntensityZero(double, double) const { return 0; }
  float MeanFull(double gamma) const;
  float MeanWith(double gamma, bool full, const double* weight, const unsigned char* own) const;
  double PlaneWeight(int i, bool full) const;
  float MeanPartial(double gamma) const;
  float MeanRotational(double gamma) const;
  float MeanZero(double) const { return 0; }
  float MeanWeighted(double gamma, bool full) const;
  double FoldC(double c) const;
  // B-β mean used by the flux integral.
  double MeanBB(double beta) const;
  double ZoneIntegralBB(double lo, double hi) const;
  void CalcFluxBB();
  void NoteUnbalancedWeights(double sum, double range) const;

  IntensityFn intensity_ = &TLUM32::IntensityZero;
  IntensityFn intensityBB_ = &TLUM32::IntensityZero;
  MeanFn meanIntensity_ = &TLUM32::MeanZero;
  std::uint8_t selectedSymmetry_ = 0;
  // The first unbalanced sum of plane weights since the table was selected
  // (a flux integral calls the mean once per γ angle).
  mutable std::optional<UnbalancedWeights> unbalancedWeights_;

  std::array<unsigned char, kBlock1Size> raw1_{};
  std::array<unsigned char, kBlock2Size> raw2_{};
  std::array<unsigned char, kBlock3Size> raw3_{};
};

}  // namespace kandelo
