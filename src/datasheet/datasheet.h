// The datasheet: the printed document of one luminaire. A first page with the
// master data beside the polar diagram, pages of polar and cartesian
// diagrams, intensity tables and one page per chosen evaluation, each in the
// same frame (luminaire name, page title, company name and address, page
// number). The output settings record chooses the pages; every page is drawn
// in twips on a page of a TPageJob.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "graphics/device.h"
#include "graphics/output_settings.h"
#include "graphics/page_job.h"

namespace kandelo {

class TLUM32;
class TMsgManager;
struct TCatalogueRecord;

// What the datasheet reads from the settings, passed in so that tests and the
// command line can choose them.
struct TDatasheetOptions {
  bool boldHeading = true;   // BoldFont
  bool showEta = true;       // ShowLor
  int utilMode = 0;          // UtilMode
  std::string userName;      // UserName: the company, bottom left
  std::string userAddr;      // UserAddr
  std::string userLogo;      // UserLogo: path of the company's logo image, top left; empty: none
  std::string languageFile;  // the "ORVMSG" file the diagrams read their texts from
};
// The options as the program's settings hold them.
TDatasheetOptions DatasheetOptionsFromSettings();

// One printed page: its kind (output type), and for diagram pages the first
// plane of the list it shows, for table pages the first plane and γ index.
struct TDatasheetPage {
  int kind = otMain;
  int firstPlane = 0;  // diagram pages: 0-based index into the plane list; table pages: 1-based plane index
  int planeCount = 0;  // diagram pages: planes on this page (at most 24)
  int firstGamma = 0;  // table pages: 1-based γ index
};

// Kinds in the order they are printed.
extern const std::array<int, kOutputTypeCount> kDatasheetOrder;
constexpr int kPlanesPerDiagram = 4;
constexpr int kDiagramsPerPage = 6;
constexpr int kTableGammas = 37;
constexpr int kTablePlanes = 8;

// The pages the settings print for the luminaire, in print order; the page
// total is its size. UGR and glare need `luminance` (LuminanceAvailable);
// polar and cartesian pages need a plane in the list.
std::vector<TDatasheetPage> PlanDatasheet(const TLUM32& lum, const TOutputSettings& settings, bool luminance);

// The UTE classification, kept with the datasheet's results (memory only).
struct TUteResult {
  std::uint8_t count = 0;     // number of class letters
  std::uint8_t indirect = 0;  // an upward part is present
  std::array<std::uint8_t, 10> classes{};  // 1 … 10 = "A" … "J"
  float down = 0, up = 0;
  std::array<long double, 5> zoneFlux{};   // Z1 … Z5, lm
  std::array<long double, 5> perKlm{};     // F1 … F5, per 1000 lm
  std::array<long double, 5> share{};      // S1 … S5, per mille of the downward flux
  std::string text;
};
// Classifies the luminaire; computes its flux values first when the light
// output ratio is 0. `decimalSep` is the separator of the text's numbers.
void ComputeUteClass(TLUM32& lum, TUteResult& ute, char decimalSep);
// The text of a classification (also stored in ute.text by ComputeUteClass).
std::string UteText(const TUteResult& ute, char decimalSep);

// What the first page states beyond the file's own texts, computed once per job.
struct TMainPageFacts {
  TUteResult ute;
  double lampFlux = 0;       // lm, all lamp sets; 0 when the file gives none
  double luminaireFlux = 0;  // lm, lamp flux × light output ratio; 0 when unknown
  double power = 0;          // W, all lamp sets with ballast; 0 when unknown
  double beamC0 = 0, beamC90 = 0;  // half-value beam angles over C0-C180 and C90-C270
  // Nominal spacing-to-height ratio; 0 when there is none (upward light only).
  // It is the largest spacing of the series 0.5, 0.75, … 3.0 (in mounting
  // heights above the working plane) at which a square array of the
  // luminaires still lights the working plane with a uniformity ratio above
  // 0.7, as the CIBSE TM5 method computes it (TM5OBJ::ComputeShr).
  double shrNominal = 0;
  bool ugrValid = false;
  double ugrCrosswise = 0, ugrEndwise = 0;  // 4H × 8H, reflectances 70/50/20
};

// The file name the first page prints: the last part of the path the
// luminaire came from, its short name when it has none.
std::string DatasheetFileName(const TLUM32& lum);

// ---- Page drawing (twips, y downward); each makes its own drawing context.
// Header and footer of a page; `page` becomes the body (25 mm from the top of
// the printable area to 18 mm above the page bottom). With a logo the
// luminaire's name keeps clear of LogoBox.
void DrawPageFrame(TDevice& dc, TRect& page, int pageNumber, int pageTotal, const TMsgManager& msg,
                   const TLUM32& lum, const std::string& title, const TDatasheetOptions& options);
// Where the company's logo goes on a page (twips): top left, above the header line.
TRect LogoBox(const TRect& page);
void DrawMainPage(const TLUM32& lum, TDevice& dc, const TRect& body, const TMsgManager& msg,
                  const TMainPageFacts& facts, const TDatasheetOptions& options);
// The luminaire's outline and luminous area to scale, elevation above plan,
// with the scale below; nothing when the file gives no dimensions.
void DrawDimensionSketch(const TLUM32& lum, TDevice& dc, const TRect& box, const TMsgManager& msg,
                         char decimalSep);
// The denominator N of the scale 1:N (1, 2, 2.5, 5; from 10 on 1, 2, 2.5, 3,
// 4, 5, 7.5 times a power of ten) that draws `real` millimetres into at most
// `room` millimetres.
double SketchScale(double real, double room);
// Up to 24 planes in up to six diagrams of four; `polar` or cartesian.
void DrawDiagramPage(const TLUM32& lum, TDevice& dc, const TRect& body, const std::vector<float>& planes,
                     bool polar, const TDatasheetOptions& options);
// The cells of a diagram page with m diagrams (1 … 6) in the drawing area.
std::vector<TRect> DiagramCells(const TRect& area, int m);
// 8 planes × 37 γ angles from the 1-based plane p and γ index g.
void DrawTablePage(const TLUM32& lum, TDevice& dc, const TRect& body, int firstPlane, int firstGamma,
                   char decimalSep);
// The six-row catalogue summary of a luminaire (German texts and numbers).
void DrawListBlock(const TLUM32& lum, TDevice& dc, const TRect& rect);

// ---- The document
enum class TDatasheetStatus {
  Printed,
  NoData,      // the luminaire holds no usable data: no job was started
  NoPages,     // the settings choose no page this luminaire can print: no job was started
  JobFailed,   // the printer or the file could not be opened or written
  Failed,      // a computation failed (error text given): nothing was printed
};

struct TDatasheetResult {
  TDatasheetStatus status = TDatasheetStatus::NoData;
  int pages = 0;
  std::string error;
};

// Prints one luminaire as one job. The catalogue record (may be null) gives
// the luminous area; the computations leave their results in the luminaire.
TDatasheetResult PrintDatasheet(TLUM32& lum, const TCatalogueRecord* record, const TOutputSettings& settings,
                                const TMsgManager& msg, TPageJob& job, const TDatasheetOptions& options);

}  // namespace kandelo
