// What every evaluation diagram shares: the diagram state (standalone flag,
// base font size, line width, font name) and the small drawing helpers
// (scale choice, heading-font fit, logarithmic axes, arrows, millimetres).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "graphics/printer_page.h"  // MmToTwips
#include "graphics/simpledc.h"

namespace kandelo {

struct TDiagramState {
  // True while one diagram is drawn on its own (evaluation window export,
  // metafile): the diagram sets its own mapping and measures text on the
  // measuring context. False when a datasheet places diagrams on a page.
  bool standalone = false;
  // Label fonts are multiples of it (height = base × factor).
  int baseFontSize = 35;
  // Width of frames and outlines, logical units.
  int lineWidth = 1;
  // Grid lines and rings, and the intensity curves drawn over them: the
  // curves are at least twice as wide as the grid on every device, so that
  // they stay the boldest lines on paper as on the screen.
  int gridWidth = 0;
  int curveWidth = 1;
  std::string fontName = "Arial";
};
TDiagramState& DiagramState();

// Sets the standalone flag for the lifetime of the object.
class TStandaloneScope {
 public:
  TStandaloneScope() : old_(DiagramState().standalone) { DiagramState().standalone = true; }
  ~TStandaloneScope() { DiagramState().standalone = old_; }
  TStandaloneScope(const TStandaloneScope&) = delete;
  TStandaloneScope& operator=(const TStandaloneScope&) = delete;

 private:
  bool old_;
};

// Round to nearest, ties to even; trunc toward zero; both saturate.
std::int32_t RoundEven(double v);
std::int32_t Trunc(double v);

struct TNiceScale {
  double fullScale = 1;
  int divisions = 5;
};
// The smallest "nice" full scale ≥ x and its number of divisions.
TNiceScale NiceScale(double x);
// NiceScale, retried with 1.05·x when x is itself a nice value, so that a
// curve does not touch the full-scale line.
TNiceScale NiceScaleWithHeadroom(double x);

// Sets transparent background, no brush, a thin black pen and the diagram
// font; chooses the base font size so that `text` in bold at 10 × base fills
// 95 % of `width`, and the line width (2 device pixels). Standalone drawings
// use base 18 and line width 14 without measuring. Sets the grid and curve
// widths too (DiagramLineWidths).
void FitHeadingFont(TSimpleDC& dc, int width, std::string_view text);

// Grid and curve widths for the device: the grid at least one device pixel
// and 0.1 mm, the curves at least two pixels, 0.5 mm and twice the grid.
void DiagramLineWidths(TSimpleDC& dc);

std::int32_t LogAxisX(std::int32_t p0, std::int32_t p1, double vmin, double vmax, double v);
std::int32_t LogAxisY(std::int32_t p0, std::int32_t p1, double vmin, double vmax, double v);

// A line of `length` from `point` ending in an open arrow head (base at
// 0.57 × length, half-width round(0.15 × length) div 2).
void DrawArrowH(TSimpleDC& dc, int length, TPoint point, bool pointsLeft);
void DrawArrowV(TSimpleDC& dc, int length, TPoint point, bool pointsUp);

// Decimals of scale values: 1 for 1 ≤ |x| < 10, 2 for 0.1 ≤ |x| < 1, none from 10 up.
int ScaleDecimals(double x);
// The value in fixed notation with ScaleDecimals, without blanks.
std::string ScaleText(double x, char decimalSep = '.');

// The decimal separator of the language a drawing or page is printed in
// (".ENG", ".GER", a language file's path): "," for German and French, "."
// otherwise. Numbers follow the document's language, not the machine's.
char LanguageDecimalSeparator(const std::string& languageExtOrFile);

// Dash table (dash, gap in line widths) by plane index modulo 4.
struct TDash {
  int dash, gap;
};
TDash PlaneDash(int planeIndex);

// The plane list of a diagram call: a missing or empty list is 0° and 90°.
std::vector<float> PlanesOrDefault(const std::vector<float>* planes);

// The square inscribed in `rect` and centred in it.
TRect DiagramSquare(const TRect& rect);

// "Lichtstärkeverteilung" in the 1252 code page.
extern const char* const kLvkHeading;

}  // namespace kandelo
