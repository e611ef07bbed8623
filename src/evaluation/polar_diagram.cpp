#include "evaluation/polar_diagram.h"

#include <algorithm>
#include <cmath>

#include "frame/msgmanager.h"
#include "frame/strutil.h"
#include "photometry/numeric.h"

namespace kandelo {
namespace {

constexpr TColor kYellow = 0x00FFFF;
constexpr TColor kWhite = 0xFFFFFF;

double Radians(double deg) { return deg * kDegToRad; }

// Photometric placement: γ = 0° points down the page.
TPoint Photometric(TPoint c, double angle, double r) {
  const double a = Radians(angle);
  return {c.x + Trunc(r * std::sin(a)), c.y + Trunc(r * std::cos(a))};
}

// Math placement: 0° to +x, counterclockwise.
TPoint MathPoint(TPoint c, double angle, double r) {
  const double a = Radians(angle);
  return {c.x + RoundEven(r * std::cos(a)), c.y - RoundEven(r * std::sin(a))};
}

double Finite(double v) { return std::isfinite(v) ? v : 0.0; }

// Hostile tables must not push coordinates out of the integer range.
constexpr double kFarAway = 1e7;

// Radius of an intensity on the scale, never negative.
double ScaledRadius(double intensity, const TPolarLayout& lay) {
  return std::clamp(Finite(Finite(intensity) / lay.scale.fullScale * lay.radius), 0.0, kFarAway);
}

std::vector<float> GammaList(const TLUM32& lum) {
  std::vector<float> list;
  for (int j = 1; j <= lum.GammaCount; ++j) list.push_back(lum.GammaAngle(j));
  return list;
}

// The curve of a plane (C-γ: the plane on the right, its opposite on the left;
// B-β: one plane over β from −180° to 180°).
std::vector<TPoint> PlaneCurve(const TLUM32& lum, const TPolarLayout& lay, float plane) {
  std::vector<TPoint> pts;
  if (lay.bBeta) {
    pts.reserve(721);
    for (int i = 0; i <= 720; ++i) {
      const double beta = -180.0 + 0.5 * i;
      pts.push_back(Photometric(lay.centre, beta, ScaledRadius(lum.IntensityBB(beta, plane), lay)));
    }
    return pts;
  }
  const TPlanePair pair = PairPlane(plane);
  pts.reserve(720);
  for (int i = 0; i <= 360; ++i) {
    const double g = -180.0 + 0.5 * i;
    pts.push_back(Photometric(lay.centre, g, ScaledRadius(lum.Intensity(-g, pair.left), lay)));
  }
  for (int i = 1; i <= 359; ++i) {
    const double g = 0.5 * i;
    pts.push_back(Photometric(lay.centre, g, ScaledRadius(lum.Intensity(g, pair.right), lay)));
  }
  return pts;
}

std::string LegendText(const TLUM32& lum, float plane, bool bBeta, char decimalSep) {
  std::string text(1, bBeta ? 'B' : 'C');
  const double frac = lum.CStep - std::trunc(lum.CStep);
  text += FormatFixed(plane, bBeta || RoundEven(10 * frac) != 0 ? 1 : 0, decimalSep);
  return text;
}

bool Inside(const TRect& r, TPoint p) { return p.x >= r.left && p.x <= r.right && p.y >= r.top && p.y <= r.bottom; }

}  // namespace

TPlanePair PairPlane(float c) {
  float opposite = c + 180.0f;
  if (opposite >= 360.0f) opposite -= 360.0f;
  const std::int32_t tenth = RoundEven(10.0 * c);
  if (tenth > 900 && tenth <= 2700) return {opposite, c};
  return {c, opposite};
}

TPolarLayout ComputePolarLayout(const TLUM32& lum, const std::vector<float>& planes, const TRect& rect) {
  TPolarLayout lay;
  lay.bBeta = lum.PlaneSystem != 0;
  lay.square = DiagramSquare(rect);
  const int w = lay.square.Width(), h = lay.square.Height();
  TRect& in = lay.inner;
  in.left = lay.square.left + RoundEven(0.1 * w);
  in.right = in.left + RoundEven(0.8 * w);
  in.top = lay.square.top + RoundEven(0.1 * h);
  in.bottom = lay.square.bottom - RoundEven(0.075 * h);
  const int F = in.Width(), G = in.Height();

  // Extent of the curves in per mille of Imax.
  const double imax = lum.Imax;
  auto permille = [&](double i) {
    return imax == 0 ? 1000.0 : std::clamp(Finite(Finite(i) / imax * 1000.0), 0.0, kFarAway);
  };
  int minX = 0, maxX = 0, minY = 0, maxY = 0;
  auto keep = [&](double angle, double r) {
    const TPoint p = Photometric({0, 0}, angle, r);
    minX = std::min(minX, p.x);
    maxX = std::max(maxX, p.x);
    minY = std::min(minY, p.y);
    maxY = std::max(maxY, p.y);
  };
  std::vector<float> angles = GammaList(lum);
  if (lay.bBeta && !angles.empty() && angles.front() >= 0) {
    const std::size_t n = angles.size();
    for (std::size_t i = 0; i < n; ++i) angles.push_back(-angles[i]);
  }
  for (float plane : planes) {
    for (float a : angles) {
      if (lay.bBeta) {
        keep(a, permille(lum.IntensityBB(a, plane)));
      } else {
        const TPlanePair pair = PairPlane(plane);
        keep(a, permille(lum.Intensity(a, pair.right)));
        keep(-a, permille(lum.Intensity(a, pair.left)));
      }
    }
  }
  lay.wmax = std::max(-minX, maxX);
  lay.up = -minY;
  lay.down = maxY;

  const double flux = lum.LumFlux;
  if (flux == 0 || lum.UpFlux / flux < 0.05)
    lay.position = TCentrePosition::High;
  else if (lum.DownFlux / flux <= 0.05)
    lay.position = TCentrePosition::Low;
  else if (lay.up != 0 && 990.0 / lay.up > 5.666)
    lay.position = TCentrePosition::High;
  else if (lay.down != 0 && 990.0 / lay.down > 5.666)
    lay.position = TCentrePosition::Low;
  else
    lay.position = TCentrePosition::Middle;
  lay.centre.x = in.left + F / 2;
  switch (lay.position) {
    case TCentrePosition::High: lay.centre.y = in.top + RoundEven(0.15 * G); break;
    case TCentrePosition::Middle: lay.centre.y = in.top + G / 2; break;
    case TCentrePosition::Low: lay.centre.y = in.top + RoundEven(0.85 * G); break;
  }

  lay.radius = lay.position == TCentrePosition::Low ? lay.centre.y - in.top : in.bottom - lay.centre.y;
  if (lay.radius <= 0) return lay;
  const double q = (F / 2.0) / lay.radius;
  double basis = imax;
  if (lay.position != TCentrePosition::Middle) {
    const double p = lay.wmax / (lay.bBeta ? 990.0 : 925.0);
    if (p > q && q > 0) basis = p * imax / q;
  }
  lay.scale = lay.bBeta ? NiceScale(basis) : NiceScaleWithHeadroom(basis);
  lay.ringStep = lay.scale.fullScale / lay.scale.divisions;
  lay.ringSpacing = lay.radius / lay.scale.divisions;
  if (lay.ringSpacing > 0)
    lay.ringCount = RoundEven(std::sqrt((F / 2.0) * (F / 2.0) + double(lay.radius) * lay.radius)) / lay.ringSpacing;
  return lay;
}

void DrawLVKPolar(const TLUM32& lum, const std::vector<float>* planeList, TDevice& target, bool boldHeading,
                  const std::string& languageFile, bool showEta, bool printMode, const TRect& rect,
                  const TRect& /*rect2*/) {
  TDiagramState& st = DiagramState();
  const std::vector<float> planes = PlanesOrDefault(planeList);
  TSimpleDC dc(target, st.standalone);
  TMsgManager messages(languageFile);
  const char sep = LanguageDecimalSeparator(languageFile);
  const TPolarLayout lay = ComputePolarLayout(lum, planes, rect);
  const TRect& in = lay.inner;
  const int w = lay.square.Width(), h = lay.square.Height();
  const int F = in.Width();

  st.baseFontSize = 35;
  if (st.standalone) {
    dc.SetMapMode(gdi::MM_ANISOTROPIC);
    dc.SetWindowExt(std::max(1, w), std::max(1, h));
    dc.SetWindowOrg(0, 0);
  }
  FitHeadingFont(dc, RoundEven(0.5 * w), kLvkHeading);
  const int base = st.baseFontSize;
  const int lw = st.lineWidth;
  if (st.standalone && !lay.bBeta) {
    dc.Font().SetHeight(base * 10);
    dc.Font().SetStyle(boldHeading ? fsBold : 0);
    dc.SetTextAlign(gdi::TA_LEFT, gdi::TA_BASELINE);
    dc.TextOut(in.left, in.top - (in.top - lay.square.top) / 3, messages.GetText("OUTTXT", "LVK_HD"));
    dc.Font().SetStyle(0);
  }

  dc.Pen().SetWidth(lw);
  dc.RectangleRect(in);
  if (planes.empty() || lay.ringSpacing <= 0 || lay.scale.fullScale <= 0) return;

  // Curves, computed once and drawn twice.
  std::vector<std::vector<TPoint>> curves;
  curves.reserve(planes.size());
  for (float plane : planes) curves.push_back(PlaneCurve(lum, lay, plane));

  dc.Font().SetHeight(7 * base);
  dc.Brush().SetBrush(gdi::BS_SOLID, 0, kYellow);
  dc.Pen().SetStyle(gdi::PS_NULL);
  for (const auto& c : curves) dc.Polygon(c.data(), static_cast<int>(c.size()));

  dc.Brush().SetStyle(gdi::BS_NULL);
  dc.Font().SetName(st.fontName);
  dc.Font().SetHeight(7 * base);
  dc.Pen().SetStyle(gdi::PS_SOLID);
  dc.Pen().SetColor(0);
  const int cw = st.curveWidth;
  dc.Pen().SetWidth(cw);

  // Legend.
  dc.SetTextAlign(gdi::TA_LEFT, gdi::TA_TOP);
  const int sampleLength = RoundEven(0.08 * w);
  for (std::size_t k = 0; k < planes.size(); ++k) {
    const int x0 = in.left + RoundEven(F / 4.0) * static_cast<int>(k);
    const int y = in.bottom + RoundEven(0.025 * h);
    TPoint sample[31];
    for (int i = 0; i < 31; ++i) sample[i] = {x0 + sampleLength * i / 30, y};
    const TDash d = PlaneDash(static_cast<int>(k));
    dc.DashedPolyline(sample, 31, d.dash * cw, d.gap * cw);
    dc.TextOut(x0 + sampleLength + RoundEven(0.02 * w), in.bottom + RoundEven(0.01 * h),
               LegendText(lum, planes[k], lay.bBeta, sep));
  }

  // Radial grid, from the first ring to the frame.
  dc.Pen().SetWidth(st.gridWidth);
  const TPoint c = lay.centre;
  const double dr = in.right - c.x - lw / 2.0, dl = c.x - in.left;
  const double dt = c.y - in.top, db = in.bottom - c.y - lw / 2.0;
  const double aTR = std::atan2(dt, dr) / kDegToRad, aTL = 180.0 - std::atan2(dt, dl) / kDegToRad;
  const double aBL = 180.0 + std::atan2(db, dl) / kDegToRad, aBR = 360.0 - std::atan2(db, dr) / kDegToRad;
  const int s = lay.ringSpacing;
  for (int a = 0; a < 360; a += 15) {
    const TPoint from = MathPoint(c, a, s);
    if (!Inside(in, from)) continue;
    const double rad = Radians(a);
    TPoint to;
    if (a <= aTR || a > aBR)
      to = {c.x + RoundEven(dr), c.y - RoundEven(dr * std::tan(rad))};
    else if (a <= aTL)
      to = {c.x + RoundEven(dt * std::cos(rad) / std::sin(rad)), c.y - RoundEven(dt)};
    else if (a <= aBL)
      to = {c.x - RoundEven(dl), c.y + RoundEven(dl * std::tan(rad))};
    else
      to = {c.x - RoundEven(db * std::cos(rad) / std::sin(rad)), c.y + RoundEven(db)};
    dc.Line(from.x, from.y, to.x, to.y);
  }

  // γ labels where the rays meet the left and right sides.
  dc.Font().SetHeight(7 * base);
  const int wq = dc.TextWidth("Q");
  const double halfF = F / 2.0;
  const double gLow = in.bottom - c.y > 0 ? std::atan(halfF / (in.bottom - c.y)) / kDegToRad : 90.0;
  const double gHigh = c.y - in.top > 0 ? 180.0 - std::atan(halfF / (c.y - in.top)) / kDegToRad : 90.0;
  for (int g = 0; g < 360; g += 15) {
    if (!(g > gLow && g < gHigh)) continue;
    const int y = c.y + RoundEven(std::tan(Radians(90.0 - g)) * halfF);
    const std::string text = std::to_string(g) + "\xB0";
    dc.SetTextAlign(gdi::TA_LEFT, gdi::TA_BASELINE);
    dc.TextOut(in.right + wq / 3, y, text);
    dc.SetTextAlign(gdi::TA_RIGHT, gdi::TA_BASELINE);
    dc.TextOut(in.left - wq / 3, y, text);
  }

  // Rings: full circles inside the frame, arcs per quadrant beyond it.
  const double nearest = std::min({dr, dl, dt, db});
  for (int j = 1; j <= lay.ringCount; ++j) {
    const double r = static_cast<double>(j) * s;
    if (r < nearest) {
      dc.Circle(c.x, c.y, static_cast<int>(r));
      continue;
    }
    // (first axis angle, distance along the first axis, along the second)
    const double quads[4][3] = {{0, dr, dt}, {90, dt, dl}, {180, dl, db}, {270, db, dr}};
    for (const auto& quad : quads) {
      if (std::hypot(quad[1], quad[2]) <= r) continue;
      const double start = quad[0] + (quad[1] < r ? std::acos(quad[1] / r) / kDegToRad : 0.0);
      const double end = quad[0] + 90.0 - (quad[2] < r ? std::acos(quad[2] / r) / kDegToRad : 0.0);
      if (end > start) dc.ArcPolyline(c.x, c.y, static_cast<float>(start), static_cast<float>(end), static_cast<int>(r));
    }
  }

  // The curves over the grid.
  dc.Pen().SetWidth(cw);
  for (std::size_t k = 0; k < curves.size(); ++k) {
    const TDash d = PlaneDash(static_cast<int>(k));
    dc.DashedPolyline(curves[k].data(), static_cast<int>(curves[k].size()), d.dash * cw, d.gap * cw);
  }
  dc.Pen().SetWidth(st.gridWidth);

  // Ring values on the vertical axis.
  const bool above = lay.position != TCentrePosition::High;
  const double iaxis = Finite(lum.Intensity(above ? 180.0 : 0.0, 0.0));
  dc.Font().SetHeight(8 * base);
  const int a = dc.TextWidth("0");
  dc.SetTextAlign(gdi::TA_CENTER, gdi::TA_BASELINE);
  for (int j = 2; j <= lay.ringCount; ++j) {
    if (j == lay.scale.divisions) continue;
    const TPoint p{c.x, above ? c.y - j * s : c.y + j * s};
    const double v = j * lay.ringStep;
    if (!Inside(in, p) || std::fabs(iaxis - v) <= 0.25 * lay.ringStep) continue;
    dc.Pen().SetStyle(gdi::PS_NULL);
    dc.Brush().SetBrush(gdi::BS_SOLID, 0, v < iaxis ? kYellow : kWhite);
    dc.Rectangle(p.x - 2 * a, p.y - a, p.x + 2 * a, p.y + a);
    dc.TextOut(p.x, p.y + 2 * a * 3 / 10, ScaleText(v, sep));
  }

  // Unit box and η box.
  dc.Pen().SetStyle(gdi::PS_SOLID);
  dc.Pen().SetWidth(0);
  const int boxBottom = in.bottom - (lw + 2);
  const int boxTop = boxBottom - RoundEven(2.5 * a);
  dc.Brush().SetBrush(gdi::BS_SOLID, 0, printMode ? kWhite : kYellow);
  dc.Rectangle(in.left + lw, boxTop, in.left + lw + 9 * a, boxBottom);
  dc.Font().SetHeight(7 * base);
  dc.SetTextAlign(gdi::TA_LEFT, gdi::TA_BOTTOM);
  dc.TextOut(in.left + lw + a, boxBottom - lw, "I (cd/klm)");
  if (showEta) {
    const int right = in.right - (lw + 2);
    const std::string value = std::to_string(RoundEven(lum.LOR)) + " %";
    dc.Font().SetHeight(8 * base);
    // The box holds the text however small the diagram: at a few pixels a
    // line width is large beside a letter, and "100 %" took more than the
    // nine digits' width ("n" measures like the Greek letter).
    // Half a digit spare on each side: the Greek letter may come from
    // another face, wider than the measured "n".
    const int text = dc.TextWidth("n = " + value);
    const int inset = std::max(3 * lw, a / 2);
    const int width = std::max(9 * a, text + inset + 2 * lw + a / 2);
    dc.Brush().SetBrush(gdi::BS_SOLID, 0, printMode ? kWhite : kYellow);
    dc.Rectangle(right - width, boxTop, right, boxBottom);
    dc.SetTextAlign(gdi::TA_RIGHT, gdi::TA_BOTTOM);
    // The Greek letter itself; metafiles turn it into the Symbol face.
    dc.TextOutUtf8(right - inset, boxBottom - lw, "\xCE\xB7 = " + value);
  }
}

}  // namespace kandelo
