#include "evaluation/glare_diagram.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "evaluation/glare.h"
#include "evaluation/table_frame.h"
#include "frame/msgmanager.h"
#include "photometry/lum32.h"
#include "photometry/numeric.h"

namespace kandelo {
namespace {

const char kFitText[] = "Blendbewertung f. Nennbeleuchtungsst\xE4rke (lx)";
constexpr double kLMin = 800, kLMax = 40000;

double LampFlux(const TLUM32& lum) {
  const double f = lum.LampSets[0].SetFlux;
  return std::isfinite(f) ? f : 0.0;
}

// Box, mapping and heading fit of both drawings.
void BeginGlare(TSimpleDC& dc, const TRect& box, bool datasheetMode) {
  if (datasheetMode) dc.Font().SetName(DiagramState().fontName);
  BeginBoxDrawing(dc, box, RoundEven(0.56 * 0.8 * box.Width()), kFitText);
}

struct TGlareAxes {
  int F, G, top, bottom;
  int X(double l) const { return std::min(LogAxisX(F, G, kLMin, kLMax, l), G); }
  int Y(double gamma) const { return top + RoundEven((85.0 - gamma) / 40.0 * (bottom - top)); }
};

// A limiting or sample line in the family's style: the first family solid,
// the second dotted.
void FamilyLine(TBoxDC& b, const std::vector<TPoint>& pts, bool dotted, int lw) {
  if (dotted)
    b.DashedPolyline(pts, std::max(1, lw), std::max(2, 2 * lw));
  else
    b.Polyline(pts);
}

}  // namespace

TRect GlareBox(const TRect& rect) { return AspectBox(rect, kGlareAspect, 10); }

void DrawGlareCurves(const TLUM32& lum, TDevice& target, const TRect& rect, bool boldHeading,
                     const std::string& languageFile, bool datasheetMode, const TRect&) {
  TSimpleDC dc(target, DiagramState().standalone);
  TMsgManager m(languageFile);
  const TRect box = GlareBox(rect);
  TBoxDC b(dc, box);
  BeginGlare(dc, box, datasheetMode);
  const TDiagramState& st = DiagramState();
  const int W = b.W(), H = b.H(), lw = st.lineWidth;
  b.Font(8);
  const int wI = b.TextWidth("I");

  // Class table.
  const int tTop = RoundEven(0.003 * H), tBottom = RoundEven(0.24643 * H), ym = RoundEven(0.079 * H);
  const int f = RoundEven(0.14206 * W);
  const double colW = (W - 5 - f - lw) / 9.0;
  const double rowH = (tBottom - ym) / 4.0;
  auto colLeft = [&](int k) { return 5 + f + RoundEven(k * colW); };  // k = 0 … 9
  dc.Pen().SetWidth(lw);
  b.Rectangle(5, tTop, W - 5 - lw, tBottom);
  b.Line(5, ym, W - 5 - lw, ym);
  b.Line(5 + f, tTop, 5 + f, tBottom);
  dc.Pen().SetWidth(0);
  b.Line(5 + f / 2, ym, 5 + f / 2, tBottom);
  for (int k = 1; k < 9; ++k) b.Line(colLeft(k), ym, colLeft(k), tBottom);
  for (int r = 1; r < 4; ++r) b.Line(5, ym + RoundEven(r * rowH), W - 5 - lw, ym + RoundEven(r * rowH));
  b.Font(10, boldHeading);
  b.Text(5 + f + (W - 5 - f) / 2, ym - ym / 3, m.GetText("OUTTXT", "GLSHD"), gdi::TA_CENTER, gdi::TA_BASELINE);
  const std::string classHeading = m.GetText("OUTTXT", "GLSCLS");
  b.FitFont(10, {classHeading}, f - 2 * wI, boldHeading);
  b.Text(5 + f / 2, ym - ym / 3, classHeading, gdi::TA_CENTER, gdi::TA_BASELINE);
  b.Font(8);
  const int textDrop = RoundEven(0.35 * dc.Font().GetHeight());
  for (int r = 0; r < 4; ++r) {
    const TGlareClassRow& row = kGlareClassTable[r];
    const int y = ym + RoundEven((r + 0.5) * rowH) + textDrop;
    b.Text(RoundEven(0.25 * f) + 5, y, row.cls, gdi::TA_CENTER, gdi::TA_BASELINE);
    b.Text(RoundEven(0.75 * f) + 5, y, row.letter, gdi::TA_CENTER, gdi::TA_BASELINE);
    for (int k = 0; k < 9; ++k) {
      const std::string cell = row.cells[k];
      if (cell.empty()) continue;
      if (cell.find('-') != std::string::npos) {
        b.Text((colLeft(k) + colLeft(k + 1)) / 2, y, cell, gdi::TA_CENTER, gdi::TA_BASELINE);
        continue;
      }
      const int right = colLeft(k + 1) - 2 * wI;
      b.Text(right, y, cell, gdi::TA_RIGHT, gdi::TA_BASELINE);
      if (cell.find('3') != std::string::npos)
        b.TextUtf8(right - b.TextWidth(cell) - wI, y, "\xE2\x89\xA4", gdi::TA_RIGHT, gdi::TA_BASELINE);
    }
  }

  // Diagram frame and axes.
  const TGlareAxes ax{RoundEven(0.0635 * W), RoundEven(0.71 * W), RoundEven(0.37719 * H), RoundEven(0.85965 * H)};
  dc.Pen().SetWidth(lw);
  b.Rectangle(ax.F, ax.top, ax.G, ax.bottom);
  dc.Pen().SetWidth(0);
  b.Font(8);
  for (double l = 1000; l <= 30000; l += l < 10000 ? 1000 : 10000) {
    const int mantissa = static_cast<int>(l / (l < 10000 ? 1000 : 10000));
    if (l < 10000 && (mantissa == 7 || mantissa == 9)) continue;
    const int x = ax.X(l);
    b.Line(x, ax.top, x, ax.bottom + RoundEven(0.015 * H));
    b.Text(x, ax.bottom + RoundEven(0.02 * H), std::to_string(RoundEven(l / 1000)), gdi::TA_CENTER, gdi::TA_TOP);
  }
  // The angle labels end left of the short ticks at 85° and 45°, which
  // would otherwise strike through them.
  const int tick = RoundEven(0.0091 * W);
  for (int g = 45; g <= 85; g += 10) {
    const int y = ax.Y(g);
    if (g == 45 || g == 85)
      b.Line(ax.F - tick, y, ax.F, y);
    else
      b.Line(ax.F, y, ax.G, y);
    b.Text(ax.F - tick - wI / 2, y + textDrop, std::to_string(g) + "\xB0", gdi::TA_RIGHT, gdi::TA_BASELINE);
  }
  // Ratios crowd towards 90°: a label closer than a line to the last one is left out.
  int lastLabel = ax.bottom + 2 * dc.Font().GetHeight();
  for (int ratio = 2; ratio <= 8; ratio += 2) {
    const int y = ax.Y(std::atan(static_cast<double>(ratio)) / kDegToRad);
    b.Line(ax.G, y, ax.G + RoundEven(0.0091 * W), y);
    if (lastLabel - y < std::abs(dc.Font().GetHeight())) continue;
    b.Text(ax.G + RoundEven(0.0091 * W), y + textDrop, " " + std::to_string(ratio), gdi::TA_LEFT, gdi::TA_BASELINE);
    lastLabel = y;
  }

  // Limiting curves of the families.
  const TGlareFamilies families = GlareFamilies(lum);
  int drawn = 0;
  for (int family = 0; family < 2; ++family) {
    const bool sided = family == 1;
    if (sided ? !families.sided : !families.plain) continue;
    const bool dotted = drawn++ > 0;
    for (int k = 1; k <= 9; ++k) {
      const TLimitCurve curve = LimitCurve(k);
      if (curve.row < 0) continue;
      const double l75 = LimitLuminance(75, sided, curve.g, curve.evaluated);
      const double l45 = LimitLuminance(45, sided, curve.g, curve.evaluated);
      std::vector<TPoint> pts;
      pts.push_back({(colLeft(k - 1) + colLeft(k)) / 2, tBottom});
      pts.push_back({ax.X(l75), ax.Y(85)});
      pts.push_back({ax.X(l75), ax.Y(75)});
      if (l45 <= kLMax) {
        pts.push_back({ax.X(l45), ax.Y(45)});
      } else {
        // Where the straight line in (lg L, γ) meets the right edge.
        const double t = (Lg(kLMax) - Lg(l75)) / (Lg(l45) - Lg(l75));
        pts.push_back({ax.G, ax.Y(75 - 30 * t)});
      }
      FamilyLine(b, pts, dotted, lw);
    }
  }

  // Luminance profiles of the luminaire: the curves, bolder than the grid
  // and the limiting curves, as the intensity diagrams draw theirs.
  const bool rotational = lum.Symmetry == symRotational;
  const double flux = LampFlux(lum);
  const int cw = std::max(lw, st.curveWidth);
  dc.Pen().SetWidth(cw);
  bool belowScale = false;  // a profile runs below the scale's start, along the left edge
  for (int plane = 0; plane < (rotational ? 1 : 2); ++plane) {
    const TLuminanceProfile p = LuminanceProfile(lum, plane == 0 ? 0 : 90, flux);
    std::vector<TPoint> pts;
    pts.reserve(kProfileSteps);
    for (int n = 1; n <= kProfileSteps; ++n) {
      const double l = std::max(static_cast<double>(p[std::size_t(n)]), 1e-3);
      belowScale |= l < kLMin;
      pts.push_back({std::min(ax.X(l), ax.G - cw), ax.Y(ProfileGamma(n))});
    }
    if (plane == 0)
      b.Polyline(pts);
    else
      b.DashedPolyline(pts, 3 * cw, 2 * cw);
  }

  // Annotations.
  dc.Pen().SetWidth(0);
  b.ArrowV(RoundEven(0.0345 * W), RoundEven(0.01963 * W), RoundEven(H / 3.0));
  b.Font(9);
  b.TextUtf8(RoundEven(0.01963 * W) + wI, RoundEven(H / 3.0), "\xCE\xB3", gdi::TA_LEFT, gdi::TA_BASELINE);
  b.Font(8);
  const int pitch = RoundEven(1.1 * dc.TextHeight("G"));
  const int lx = RoundEven(0.75 * W), sample = RoundEven(0.04 * W);
  int y = RoundEven(0.44 * H);
  b.Text(lx, y, m.GetText("OUTTXT", "GLSCRV"), gdi::TA_LEFT, gdi::TA_BASELINE);
  dc.Pen().SetWidth(cw);
  y += pitch;
  b.Polyline({{lx, y - textDrop}, {lx + sample, y - textDrop}});
  b.Text(lx + sample, y, " C0-C180", gdi::TA_LEFT, gdi::TA_BASELINE);
  if (!rotational) {
    y += pitch;
    b.DashedPolyline({{lx, y - textDrop}, {lx + sample, y - textDrop}}, 3 * cw, 2 * cw);
    b.Text(lx + sample, y, " C90-C270", gdi::TA_LEFT, gdi::TA_BASELINE);
  }
  dc.Pen().SetWidth(0);
  y += pitch;
  if (belowScale) {
    const std::string note = m.GetText("OUTTXT", "GLSLOW");
    b.FitFont(7, {note}, W - lx);
    b.Text(lx, y, b.dc().FitText(note, W - lx), gdi::TA_LEFT, gdi::TA_BASELINE);
    b.Font(8);
  }
  y += pitch;
  b.Text(lx, y, m.GetText("OUTTXT", "GLSTYP"), gdi::TA_LEFT, gdi::TA_BASELINE);
  y += pitch;
  b.Text(lx, y, std::to_string(lum.LampSets[0].LampCount) + " x " + lum.LampSets[0].LampType, gdi::TA_LEFT,
         gdi::TA_BASELINE);
  y += pitch;
  b.Text(lx, y, std::to_string(RoundEven(flux)) + " lm", gdi::TA_LEFT, gdi::TA_BASELINE);

  // The a/h_s scale: "a" over "hs", and the arrows of both axes.
  const int fx = RoundEven(0.745 * W);
  b.Text(fx, RoundEven(0.8 * H), "a", gdi::TA_CENTER, gdi::TA_BOTTOM);
  b.Line(fx - wI, RoundEven(0.8 * H), fx + 2 * wI, RoundEven(0.8 * H));
  b.Text(fx, RoundEven(0.8 * H), "hs", gdi::TA_CENTER, gdi::TA_TOP);
  b.ArrowV(RoundEven(0.0345 * W), RoundEven(0.7243 * W), RoundEven(0.82456 * H));
  b.ArrowH(RoundEven(0.0345 * W), RoundEven(0.7196 * W), RoundEven(0.903 * H));
  b.TextUtf8(ax.G + RoundEven(0.06 * W), RoundEven(0.903 * H) + textDrop, "L (kcd/m\xC2\xB2)", gdi::TA_LEFT,
             gdi::TA_BASELINE);

  // Family samples.
  const int fy = RoundEven(0.95614 * H), fs = RoundEven(0.045 * W);
  int sx = ax.F;
  drawn = 0;
  for (int family = 0; family < 2; ++family) {
    const bool sided = family == 1;
    if (sided ? !families.sided : !families.plain) continue;
    FamilyLine(b, {{sx, fy - textDrop}, {sx + fs, fy - textDrop}}, drawn++ > 0, lw);
    const std::string text = m.GetText("OUTTXT", sided ? "GLSLMB" : "GLSLMA");
    b.Text(sx + fs + wI, fy, text, gdi::TA_LEFT, gdi::TA_BASELINE);
    sx += fs + 2 * wI + b.TextWidth(text) + 3 * wI;
  }
}

void DrawGlareTable(const TLUM32& lum, TDevice& target, const TRect& rect, bool boldHeading,
                    const std::string& languageFile, bool datasheetMode, const TRect&) {
  TSimpleDC dc(target, DiagramState().standalone);
  TMsgManager m(languageFile);
  const TRect box = GlareBox(rect);
  TBoxDC b(dc, box);
  BeginGlare(dc, box, datasheetMode);
  const TDiagramState& st = DiagramState();
  const int W = b.W(), H = b.H(), lw = st.lineWidth;
  const int left = RoundEven(0.05 * W), right = RoundEven(0.95 * W);
  const int top = RoundEven(0.1 * H), bottom = RoundEven(0.925 * H);
  dc.Pen().SetWidth(lw);
  b.Rectangle(left, top, right, bottom);
  b.Font(st.standalone ? 12 : 10, boldHeading);
  b.Text(W / 2, top - RoundEven(0.025 * H), m.GetText("OUTTXT", "HDLTAB"), gdi::TA_CENTER, gdi::TA_BOTTOM);
  b.Text(W / 2, bottom + RoundEven(0.025 * H), m.GetText("OUTTXT", "HDLVAL"), gdi::TA_CENTER, gdi::TA_TOP);

  const double unit = (right - left) / 9.0, rowH = (bottom - top) / 10.0;
  auto unitX = [&](double u) { return left + RoundEven(u * unit); };
  dc.Pen().SetWidth(lw);
  b.Line(left, top + RoundEven(rowH), right, top + RoundEven(rowH));
  b.Line(unitX(1), top, unitX(1), bottom);
  dc.Pen().SetWidth(0);
  for (int c = 1; c < 4; ++c) b.Line(unitX(1 + 2 * c), top, unitX(1 + 2 * c), bottom);
  for (int r = 2; r < 10; ++r) b.Line(left, top + RoundEven(r * rowH), right, top + RoundEven(r * rowH));

  b.Font(8);
  const int textDrop = RoundEven(0.35 * dc.Font().GetHeight());
  const double planes[4] = {0, 90, 180, 270};
  auto rowY = [&](int r) { return top + RoundEven((r + 0.5) * rowH) + textDrop; };
  b.Text(unitX(0.8), rowY(0), "gamma", gdi::TA_RIGHT, gdi::TA_BASELINE);
  const int margin = RoundEven(0.02 * W);
  const double flux = LampFlux(lum);
  for (int c = 0; c < 4; ++c) {
    const int colRight = unitX(3 + 2 * c);
    b.Text(colRight - margin, rowY(0), "C " + std::to_string(static_cast<int>(planes[c])), gdi::TA_RIGHT,
           gdi::TA_BASELINE);
    const TLuminanceProfile p = LuminanceProfile(lum, planes[c], flux);
    for (int r = 1; r < 10; ++r) {
      const int gamma = 40 + 5 * r;
      b.Text(colRight - margin, rowY(r), Fixed(p[std::size_t((gamma - 45) * 4 + 1)], 1, LanguageDecimalSeparator(languageFile)), gdi::TA_RIGHT,
             gdi::TA_BASELINE);
    }
  }
  for (int r = 1; r < 10; ++r)
    b.Text(unitX(0.8), rowY(r), std::to_string(40 + 5 * r) + "\xB0", gdi::TA_RIGHT, gdi::TA_BASELINE);
}

}  // namespace kandelo
