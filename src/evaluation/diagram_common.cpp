#include "evaluation/diagram_common.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "frame/strutil.h"
#include "photometry/numeric.h"

namespace kandelo {

const char* const kLvkHeading = "Lichtst\xE4rkeverteilung";

TDiagramState& DiagramState() {
  static TDiagramState state;
  return state;
}

std::int32_t RoundEven(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return 2147483647;
  if (v <= -2147483648.0) return -2147483647 - 1;
  return static_cast<std::int32_t>(std::nearbyint(v));
}

std::int32_t Trunc(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return 2147483647;
  if (v <= -2147483648.0) return -2147483647 - 1;
  return static_cast<std::int32_t>(v);
}

TNiceScale NiceScale(double x) {
  static const TNiceScale table[] = {
      {10, 5}, {12, 6}, {12.5, 5}, {14, 7}, {15, 5}, {16, 4}, {17.5, 7}, {20, 5}, {24, 6}, {25, 5}, {28, 7},
      {30, 6}, {35, 7}, {40, 4},   {50, 5}, {60, 6}, {70, 7}, {75, 5},   {80, 4}, {90, 6}, {100, 5}};
  if (!(x > 0) || !std::isfinite(x)) return {1, 5};
  const double e = std::floor(Lg(x) - 1);
  const double unit = std::pow(10.0, e);
  const double m = x / unit;
  // A relative tolerance keeps 100 at 100 despite the rounding of 10^e.
  const TNiceScale* row = &table[20];
  for (const TNiceScale& r : table) {
    if (r.fullScale >= m * (1 - 1e-12)) {
      row = &r;
      break;
    }
  }
  return {unit * row->fullScale, row->divisions};
}

TNiceScale NiceScaleWithHeadroom(double x) {
  const TNiceScale s = NiceScale(x);
  if (RoundEven(100 * x) == RoundEven(100 * s.fullScale)) return NiceScale(1.05 * x);
  return s;
}

void FitHeadingFont(TSimpleDC& dc, int width, std::string_view text) {
  TDiagramState& st = DiagramState();
  dc.SetBkMode(gdi::TRANSPARENT);
  dc.Brush().SetStyle(gdi::BS_NULL);
  dc.Pen().SetStyle(gdi::PS_SOLID);
  dc.Pen().SetColor(0);
  dc.Pen().SetWidth(0);
  dc.Font().SetName(st.fontName);
  if (st.standalone) {
    st.baseFontSize = 18;
    st.lineWidth = 14;
    dc.Font().SetStyle(dc.Font().GetStyle() & ~fsBold);
    dc.Font().SetHeight(st.baseFontSize * 10);
    DiagramLineWidths(dc);
    return;
  }
  TPoint px[2] = {{0, 0}, {2, 0}};
  dc.DPtoLP(px, 2);
  st.lineWidth = std::abs(px[1].x - px[0].x);
  DiagramLineWidths(dc);
  st.baseFontSize = 35;
  dc.Font().SetStyle(dc.Font().GetStyle() | fsBold);
  auto ratio = [&](std::uint16_t& measured) {
    dc.Font().SetHeight(st.baseFontSize * 10);
    measured = dc.TextWidth(text);
    return width > 0 ? static_cast<double>(measured) / width : 1e9;
  };
  // Beyond this size the 16-bit text width wraps around.
  constexpr int kLargest = 2000;
  std::uint16_t measured = 0;
  double r = ratio(measured);
  if (r <= 0.95) {
    while (r < 0.95 && measured != 0 && st.baseFontSize < kLargest) {
      ++st.baseFontSize;
      r = ratio(measured);
    }
  } else {
    while (r > 0.95 && st.baseFontSize > 1) {
      --st.baseFontSize;
      r = ratio(measured);
    }
  }
  dc.Font().SetHeight(st.baseFontSize * 10);
  dc.Font().SetStyle(dc.Font().GetStyle() & ~fsBold);
}

void DiagramLineWidths(TSimpleDC& dc) {
  TDiagramState& st = DiagramState();
  if (st.standalone) {
    // A picture of a few thousand units whose device is not known yet (a
    // metafile): the curve keeps the line width, the grid a third of it.
    st.gridWidth = std::max(1, st.lineWidth / 3);
    st.curveWidth = std::max(st.lineWidth, 2 * st.gridWidth);
    return;
  }
  // Logical units per device pixel and per millimetre on the device.
  TPoint p[2] = {{0, 0}, {1000, 0}};
  dc.DPtoLP(p, 2);
  const double perPixel = std::abs(p[1].x - p[0].x) / 1000.0;
  const int dpi = dc.Target().GetDeviceCaps(gdi::LOGPIXELSX);
  const double perMm = perPixel * (dpi > 0 ? dpi : 96) / 25.4;
  auto atLeast = [](double a, double b) { return static_cast<int>(std::ceil(std::max(a, b) - 1e-9)); };
  st.gridWidth = std::max(1, atLeast(perPixel, 0.1 * perMm));
  st.curveWidth = atLeast(std::max(2 * perPixel, 2.0 * st.gridWidth), 0.5 * perMm);
}

namespace {

std::int32_t LogOffset(std::int32_t p0, std::int32_t p1, double vmin, double vmax, double v) {
  const double span = Lg(vmax) - Lg(vmin);
  if (span == 0 || !std::isfinite(span)) return 0;
  return RoundEven((Lg(v) - Lg(vmin)) * (static_cast<double>(p1) - p0) / span);
}

}  // namespace

std::int32_t LogAxisX(std::int32_t p0, std::int32_t p1, double vmin, double vmax, double v) {
  return p0 + std::max(0, LogOffset(p0, p1, vmin, vmax, v));
}

std::int32_t LogAxisY(std::int32_t p0, std::int32_t p1, double vmin, double vmax, double v) {
  return p1 - LogOffset(p0, p1, vmin, vmax, v);
}

namespace {

// Arrow along an axis: `dir` (±1, 0) or (0, ±1) from the point to the tip.
void DrawArrow(TSimpleDC& dc, int length, TPoint p, int dx, int dy) {
  const std::int32_t width = dc.Pen().GetWidth();
  const int base = RoundEven(0.57 * length);
  const int half = RoundEven(0.15 * length) / 2;
  const TPoint tip{p.x + dx * length, p.y + dy * length};
  const TPoint b{p.x + dx * base, p.y + dy * base};
  dc.Line(p.x, p.y, tip.x, tip.y);
  const TPoint head[3] = {{b.x + dy * half, b.y + dx * half}, tip, {b.x - dy * half, b.y - dx * half}};
  dc.Polyline(head, 3);
  dc.Pen().SetWidth(width);
}

}  // namespace

void DrawArrowH(TSimpleDC& dc, int length, TPoint point, bool pointsLeft) {
  DrawArrow(dc, length, point, pointsLeft ? -1 : 1, 0);
}

void DrawArrowV(TSimpleDC& dc, int length, TPoint point, bool pointsUp) {
  DrawArrow(dc, length, point, 0, pointsUp ? -1 : 1);
}

int ScaleDecimals(double x) { return DecimalsFor(2, x); }

std::string ScaleText(double x, char decimalSep) { return TrimBlanks(FormatFixed(x, ScaleDecimals(x), decimalSep)); }

char LanguageDecimalSeparator(const std::string& language) {
  std::string tail = language.size() >= 4 ? language.substr(language.size() - 4) : language;
  for (char& ch : tail) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return tail == ".GER" || tail == ".FRA" ? ',' : '.';
}

TDash PlaneDash(int planeIndex) {
  static const TDash table[4] = {{255, 0}, {1, 4}, {2, 4}, {5, 2}};
  return table[((planeIndex % 4) + 4) % 4];
}

std::vector<float> PlanesOrDefault(const std::vector<float>* planes) {
  if (!planes || planes->empty()) return {0.0f, 90.0f};
  return *planes;
}

TRect DiagramSquare(const TRect& rect) {
  const std::int32_t side = std::max(0, std::min(rect.Width(), rect.Height()));
  const std::int32_t left = rect.left + (rect.Width() - side) / 2;
  const std::int32_t top = rect.top + (rect.Height() - side) / 2;
  return {left, top, left + side, top + side};
}

}  // namespace kandelo
