#include "evaluation/isolux_diagram.h"

#include <algorithm>
#include <cmath>

#include "evaluation/diagram_common.h"
#include "frame/msgmanager.h"
#include "frame/strutil.h"

namespace kandelo {
namespace {

constexpr TColor kWhite = 0xFFFFFF;
// Labels keep this far from the frame, and this many line points apart.
constexpr int kLabelInset = 100;
constexpr int kLabelPointGap = 100;

std::string Metres(double v) { return TrimBlanks(FormatFixed(v, 1)); }

std::string LevelText(float level) { return TrimBlanks(FormatFixed(level, 1)); }

// Label boxes along each line, the lines taken in the collection's order;
// each line keeps its own, `placed` all of them. A box is at least as large
// as its text, so that labels never overlap.
void PlaceLabels(TSimpleDC& dc, tisocoll& lines, const TRect& area, trectcoll& placed) {
  const TRect inset{area.left + kLabelInset, area.top + kLabelInset, area.right - kLabelInset, area.bottom - kLabelInset};
  for (int i = 0; i < lines.Count(); ++i) {
    tisoline* line = lines.Line(i);
    const std::string text = LevelText(line->level);
    const int hw = std::max(area.Width() / 30, dc.TextWidth(text) / 2 + dc.TextWidth(" ") / 2);
    const int hh = std::max(area.Height() / 60, dc.TextHeight(text) / 2);
    line->labels.Clear();
    line->labels.key = line->level;
    int last = -kLabelPointGap;
    for (int k = 0; k < line->screen.NumPoints(); ++k) {
      if (k - last < kLabelPointGap) continue;
      const TPoint p = line->screen.GetPoint(k);
      const TRect box{p.x - hw, p.y - hh, p.x + hw, p.y + hh};
      if (!BoxInRect({box.left, box.top, box.right, box.bottom}, inset) || placed.Intersects(box)) continue;
      line->labels.AddRect(box);
      placed.AddRect(box);
      last = k;
    }
  }
}

// The luminaire's outline to scale: its box, and drawn when `dc` is given.
TRect LuminaireOutline(TSimpleDC* dc, const TLUM32& lum, TPoint centre, double perMm) {
  if (lum.Length == 0) {
    const double diameter = lum.Diameter > 0 ? lum.Diameter : 100.0;
    const int r = std::max(1, RoundEven(diameter * perMm / 2));
    if (dc) dc->Circle(centre.x, centre.y, r);
    return {centre.x - r, centre.y - r, centre.x + r, centre.y + r};
  }
  // The length runs across the C 0 plane, the width along it.
  const int hx = std::max(1, RoundEven(lum.Width * perMm / 2)), hy = std::max(1, RoundEven(lum.Length * perMm / 2));
  if (dc) dc->Rectangle(centre.x - hx, centre.y - hy, centre.x + hx, centre.y + hy);
  return {centre.x - hx, centre.y - hy, centre.x + hx, centre.y + hy};
}

void DrawScales(TSimpleDC& dc, const TRect& area, const TRect& square, int tick, double side) {
  const std::string lo = Metres(-side / 2), mid = Metres(0), hi = Metres(side / 2) + " m";
  const int gap = tick / 2;
  const int xs[3] = {area.left, area.left + area.Width() / 2, area.right};
  const std::string bottomTexts[3] = {lo, mid, hi};
  dc.SetTextAlign(gdi::TA_CENTER, gdi::TA_TOP);
  for (int k = 0; k < 3; ++k) {
    dc.Line(xs[k], area.bottom, xs[k], area.bottom + tick);
    // The last text with its unit would reach past the diagram's edge.
    const int half = dc.TextWidth(bottomTexts[k]) / 2;
    dc.TextOut(std::min(xs[k], square.right - half), area.bottom + tick + gap, bottomTexts[k]);
  }
  const int ys[3] = {area.bottom, area.top + area.Height() / 2, area.top};
  const int half = dc.Font().GetHeight() / 2;
  dc.SetTextAlign(gdi::TA_RIGHT, gdi::TA_TOP);
  for (int k = 0; k < 3; ++k) {
    dc.Line(area.left - tick, ys[k], area.left, ys[k]);
    dc.TextOut(area.left - tick - gap, ys[k] - half, bottomTexts[k]);
  }
}

}  // namespace

TMatrix4 IsoluxViewMatrix(double side, const TRect& area) {
  TCamera cam;
  cam.kind = 1;
  cam.target = {0, 0, 0};
  // Looking down the z axis: x stays to the right, y goes up the page.
  cam.eye = {0, 0, static_cast<float>(side)};
  cam.windowWidth = cam.windowHeight = static_cast<float>(side);
  cam.distance = cam.eyeDistance = static_cast<float>(side);
  cam.viewLeft = static_cast<float>(area.left);
  cam.viewTop = static_cast<float>(area.top);
  cam.viewRight = static_cast<float>(area.right);
  cam.viewBottom = static_cast<float>(area.bottom);
  return ViewMatrix(cam);
}

TRect IsoluxDrawingArea(const TRect& rect) {
  const TRect sq = DiagramSquare(rect);
  const int s = sq.Width();
  const int left = sq.left + RoundEven(0.13 * s), top = sq.top + RoundEven(0.1 * s);
  return {left, top, left + RoundEven(0.83 * s), top + RoundEven(0.8 * s)};
}

void DrawIsolux(const TLUM32& lum, TDevice& target, const TRect& rect, bool boldHeading,
                const std::string& languageFile, const TIsoluxRecord& rec, bool datasheetMode, const TRect& /*rect2*/) {
  TDiagramState& st = DiagramState();
  TSimpleDC dc(target, st.standalone);
  TMsgManager messages(languageFile);
  const TRect sq = DiagramSquare(rect);
  const int s = sq.Width();
  const TRect area = IsoluxDrawingArea(rect);
  st.baseFontSize = 35;
  if (st.standalone) {
    dc.SetMapMode(gdi::MM_ANISOTROPIC);
    dc.SetWindowExt(std::max(1, s), std::max(1, s));
    dc.SetWindowOrg(0, 0);
  }
  FitHeadingFont(dc, RoundEven((datasheetMode ? 0.2 : 0.3) * s), kLvkHeading);
  const int base = st.baseFontSize;
  const int lw = st.lineWidth;

  // Texts above the area.
  const int textY = area.top - RoundEven(0.02 * s);
  const std::string parameters =
      "H = " + Metres(rec.height) + " m        " + std::to_string(RoundEven(rec.flux)) + " lm        E (lx)";
  if (st.standalone) {
    dc.Font().SetHeight(10 * base);
    dc.Font().SetStyle(boldHeading ? fsBold : 0);
    dc.SetTextAlign(gdi::TA_LEFT, gdi::TA_BOTTOM);
    dc.TextOut(area.left, textY, messages.GetText("OUTTXT", "HDISO"));
    dc.Font().SetStyle(0);
    dc.Font().SetHeight(8 * base);
    dc.SetTextAlign(gdi::TA_RIGHT, gdi::TA_BOTTOM);
    dc.TextOut(area.right, textY, parameters);
  } else {
    dc.Font().SetHeight(8 * base);
    dc.SetTextAlign(gdi::TA_LEFT, gdi::TA_BOTTOM);
    dc.TextOut(area.left, textY, parameters);
    if (!datasheetMode) {
      dc.SetTextAlign(gdi::TA_RIGHT, gdi::TA_BOTTOM);
      dc.TextOut(area.right, textY, lum.LumName);
    }
  }

  dc.Font().SetHeight(8 * base);
  dc.Pen().SetWidth(0);
  DrawScales(dc, area, sq, RoundEven(0.02 * s), rec.side);

  const std::unique_ptr<teliso> iso = ComputeIsolux(lum, rec.side, rec.height, rec.flux / 1000.0);
  const TRect view{area.left, area.top, area.right - lw, area.bottom - lw};
  const TMatrix4 matrix = IsoluxViewMatrix(iso ? rec.side : 1.0, view);
  if (iso) {
    iso->lines.Project(matrix);
    TDrawRecord record{&dc};
    iso->lines.Draw(record);

    // No label over the luminaire.
    const TPoint centre = ProjectPoint(matrix, {0, 0, 0});
    const double perMm = area.Width() / (rec.side * 1000.0);
    trectcoll placed;
    placed.AddRect(LuminaireOutline(nullptr, lum, centre, perMm));
    PlaceLabels(dc, iso->lines, area, placed);
    dc.SetTextAlign(gdi::TA_CENTER, gdi::TA_BOTTOM);
    for (int i = 0; i < iso->lines.Count(); ++i) {
      const tisoline* line = iso->lines.Line(i);
      const std::string text = LevelText(line->level);
      for (int k = 0; k < line->labels.Count(); ++k) {
        const TRect box = line->labels.RectOf(k);
        dc.Pen().SetStyle(gdi::PS_NULL);
        dc.Brush().SetBrush(gdi::BS_SOLID, 0, kWhite);
        dc.Rectangle(box.left, box.top, box.right, box.bottom);
        dc.TextOut((box.left + box.right) / 2, box.bottom, text);
      }
    }
    dc.Brush().SetStyle(gdi::BS_NULL);
    dc.Pen().SetStyle(gdi::PS_SOLID);
    LuminaireOutline(&dc, lum, centre, perMm);
  }
  dc.Pen().SetWidth(lw);
  dc.Brush().SetStyle(gdi::BS_NULL);
  dc.RectangleRect(area);
}

}  // namespace kandelo
