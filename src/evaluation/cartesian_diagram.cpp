#include "evaluation/cartesian_diagram.h"

#include <algorithm>
#include <cmath>

#include "evaluation/polar_diagram.h"
#include "frame/msgmanager.h"
#include "frame/strutil.h"

namespace kandelo {
namespace {

constexpr TColor kYellow = 0x00FFFF;
constexpr TColor kGrey = 0x808080;

double Finite(double v) { return std::isfinite(v) ? v : 0.0; }

std::string LegendText(const TLUM32& lum, float plane, char decimalSep) {
  std::string text = "C";
  text += FormatFixed(plane, RoundEven(10 * (lum.CStep - std::trunc(lum.CStep))) != 0 ? 1 : 0, decimalSep);
  return text;
}

}  // namespace

TCartesianLayout ComputeCartesianLayout(const TLUM32& lum, double gammaMax, const TRect& rect) {
  TCartesianLayout lay;
  lay.square = DiagramSquare(rect);
  const int w = lay.square.Width(), h = lay.square.Height();
  TRect& in = lay.inner;
  in.left = lay.square.left + RoundEven(0.1 * w);
  in.right = in.left + RoundEven(0.85 * w);
  in.top = lay.square.top + RoundEven(0.1 * h);
  in.bottom = lay.square.bottom - RoundEven(0.1 * h);
  const double first = lum.GammaCount > 0 ? lum.GammaAngle(1) : 0.0;
  const double last = lum.GammaCount > 0 ? lum.GammaAngle(lum.GammaCount) : 0.0;
  if (first >= 90) {
    lay.reference = 180;
    lay.end = gammaMax == 0 ? first : 180 - gammaMax;
  } else {
    lay.reference = 0;
    lay.end = gammaMax == 0 ? last : gammaMax;
  }
  lay.range = std::fabs(lay.end - lay.reference);
  if (!std::isfinite(lay.range) || lay.range > 360) lay.range = 0;
  lay.axisCentre = in.left + in.Width() / 2;
  lay.steps = RoundEven(10 * lay.range);
  lay.scale = NiceScaleWithHeadroom(lum.Imax);
  lay.divisionHeight = in.Height() / lay.scale.divisions;
  static const double kSteps[] = {0.5, 1, 2.5, 5, 10, 15, 22.5, 30, 45, 90};
  lay.angleStep = 90;
  for (double t : kSteps) {
    if (Trunc(lay.range / t) <= 4) {
      lay.angleStep = t;
      break;
    }
  }
  lay.angleTicks = Trunc(lay.range / lay.angleStep);
  return lay;
}

void DrawLVKCartesian(const TLUM32& lum, const std::vector<float>* planeList, TDevice& target,
                      const std::string& languageFile, double gammaMax, const TRect& rect, const TRect& rect2) {
  if (lum.PlaneSystem != 0) {
    DrawLVKPolar(lum, planeList, target, true, languageFile, false, false, rect, rect2);
    return;
  }
  TDiagramState& st = DiagramState();
  const std::vector<float> planes = PlanesOrDefault(planeList);
  TSimpleDC dc(target, st.standalone);
  TMsgManager messages(languageFile);
  const char sep = LanguageDecimalSeparator(languageFile);
  const TCartesianLayout lay = ComputeCartesianLayout(lum, gammaMax, rect);
  const TRect& in = lay.inner;
  const TRect& sq = lay.square;
  const int w = sq.Width(), h = sq.Height();
  const int W = in.Width(), H = in.Height();

  st.baseFontSize = 35;
  if (st.standalone) {
    dc.SetMapMode(gdi::MM_ANISOTROPIC);
    dc.SetWindowExt(std::max(1, w), std::max(1, h));
    dc.SetWindowOrg(0, 0);
  }
  FitHeadingFont(dc, RoundEven(0.5 * w), kLvkHeading);
  const int base = st.baseFontSize;
  const int lw = st.lineWidth;
  dc.Font().SetHeight(6 * base);
  dc.Pen().SetWidth(st.gridWidth);
  dc.Line(in.left, in.bottom, in.right, in.bottom);
  if (lay.steps <= 0 || lay.divisionHeight <= 0 || W <= 0) return;

  const double fullScale = lay.scale.fullScale;
  const int divisions = lay.scale.divisions;
  auto yOf = [&](double intensity) {
    const double ratio = std::clamp(Finite(Finite(intensity) / fullScale), 0.0, 1000.0);
    return in.bottom - RoundEven(ratio * divisions * lay.divisionHeight);
  };
  const double dx = W / static_cast<double>(RoundEven(20 * lay.range));
  const double dir = lay.reference == 0 ? 1.0 : -1.0;  // from K toward E

  // Samples of one plane pair: left half from E to K, right half from K to E.
  std::vector<std::vector<TPoint>> curves;
  for (float plane : planes) {
    const TPlanePair pair = PairPlane(plane);
    std::vector<TPoint> pts;
    pts.reserve(2 * lay.steps + 4);
    for (int i = 0; i <= lay.steps; ++i) {
      const double g = lay.reference + dir * (lay.steps - i) / 10.0;
      pts.push_back({in.left + RoundEven(i * dx), yOf(lum.Intensity(g, pair.left))});
    }
    for (int i = 0; i <= lay.steps; ++i) {
      const double g = lay.reference + dir * i / 10.0;
      pts.push_back({lay.axisCentre + RoundEven(i * dx), yOf(lum.Intensity(g, pair.right))});
    }
    curves.push_back(std::move(pts));
  }

  dc.Brush().SetBrush(gdi::BS_SOLID, 0, kYellow);
  dc.Pen().SetStyle(gdi::PS_NULL);
  for (const auto& c : curves) {
    std::vector<TPoint> poly = c;
    poly.push_back({c.back().x, in.bottom});
    poly.push_back({c.front().x, in.bottom});
    dc.Polygon(poly.data(), static_cast<int>(poly.size()));
  }

  // Grid and scale values: solid lines in the grid width, dotted ones the
  // thinnest line of the device (a wide dotted pen draws solid on some).
  dc.Brush().SetStyle(gdi::BS_NULL);
  dc.SetTextAlign(gdi::TA_RIGHT, gdi::TA_BASELINE);
  for (int u = 0; u <= divisions; ++u) {
    const int y = in.bottom - u * lay.divisionHeight;
    dc.Pen().SetStyle(gdi::PS_SOLID);
    dc.Pen().SetColor(0);
    dc.Pen().SetWidth(st.gridWidth);
    dc.Line(in.left - RoundEven(0.01 * w), y, in.left, y);
    if (u >= 1) {
      dc.Pen().SetWidth(0);
      dc.Pen().SetStyle(gdi::PS_DOT);
      dc.Pen().SetColor(kGrey);
      dc.Line(in.left, y, in.right, y);
    }
    dc.TextOut(in.left - RoundEven(0.015 * w), y + RoundEven(0.01 * w), ScaleText(u * fullScale / divisions, sep));
  }
  const double t = lay.angleStep;
  const int decimals = (t == 0.5 || t == 2.5 || t == 22.5) ? 1 : 0;
  dc.SetTextAlign(gdi::TA_CENTER, gdi::TA_TOP);
  for (int j = 0; j <= lay.angleTicks; ++j) {
    const int off = RoundEven(j * t / lay.range * W / 2.0);
    const std::string label = FormatFixed(lay.reference + dir * j * t, decimals, sep) + "\xB0";
    for (int side : {1, -1}) {
      if (j == 0 && side < 0) break;
      const int x = lay.axisCentre + side * off;
      dc.Pen().SetStyle(gdi::PS_SOLID);
      dc.Pen().SetColor(0);
      dc.Pen().SetWidth(st.gridWidth);
      dc.Line(x, in.bottom, x, in.bottom + RoundEven(0.01 * H));
      dc.Pen().SetWidth(0);
      dc.Pen().SetStyle(gdi::PS_DOT);
      dc.Pen().SetColor(j == 0 ? 0 : kGrey);
      dc.Line(x, in.bottom, x, in.top);
      dc.TextOut(x, in.bottom + RoundEven(0.02 * H), label);
    }
  }
  dc.Pen().SetStyle(gdi::PS_SOLID);
  dc.Pen().SetColor(0);
  dc.Pen().SetWidth(st.gridWidth);
  dc.Line(in.left, in.top, in.left, in.bottom);
  dc.Line(in.right, in.top, in.right, in.bottom);

  // Outlines and legend.
  dc.Font().SetName(st.fontName);
  dc.Font().SetHeight(7 * base);
  const int cw = st.curveWidth;
  dc.Pen().SetWidth(cw);
  for (std::size_t k = 0; k < curves.size(); ++k) {
    const TDash d = PlaneDash(static_cast<int>(k));
    dc.DashedPolyline(curves[k].data(), static_cast<int>(curves[k].size()), d.dash * cw, d.gap * cw);
  }
  dc.SetTextAlign(gdi::TA_LEFT, gdi::TA_BASELINE);
  const int sampleLength = RoundEven(0.08 * w);
  for (std::size_t k = 0; k < planes.size(); ++k) {
    const int x0 = in.left + RoundEven(0.25 * W) * static_cast<int>(k);
    const int y = in.top - RoundEven(0.025 * h);
    TPoint sample[31];
    for (int i = 0; i < 31; ++i) sample[i] = {x0 + sampleLength * i / 30, y};
    const TDash d = PlaneDash(static_cast<int>(k));
    dc.DashedPolyline(sample, 31, d.dash * cw, d.gap * cw);
    dc.TextOut(x0 + sampleLength + RoundEven(0.02 * w), in.top - RoundEven(0.01 * h), LegendText(lum, planes[k], sep));
  }

  dc.Font().SetHeight(6 * base);
  dc.SetTextAlign(gdi::TA_LEFT, gdi::TA_TOP);
  dc.TextOut(sq.left + RoundEven(0.02 * w), sq.top + RoundEven(0.02 * h), "I (cd/klm)");
  dc.SetTextAlign(gdi::TA_CENTER, gdi::TA_BOTTOM);
  dc.TextOut(lay.axisCentre, sq.bottom - RoundEven(0.02 * h), messages.GetText("OUTTXT", "AW"));
}

}  // namespace kandelo
