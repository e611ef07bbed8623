#include "evaluation/isolux_diagram.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

#include "evaluation/diagram_common.h"
#include "frame/msgmanager.h"
#include "frame/strutil.h"

namespace kandelo {
namespace {

constexpr TColor kWhite = 0xFFFFFF;
// Labels keep this far from the frame, and this many line points apart.
constexpr int kLabelInset = 100;
constexpr int kLabelPointGap = 100;

std::string Metres(double v, char sep) { return TrimBlanks(FormatFixed(v, 1, sep)); }

std::string LevelText(float level, char sep) { return TrimBlanks(FormatFixed(level, 1, sep)); }

// Whether the segment a–b runs through the box (ends inside it, or its line
// parts the box's corners while their extents overlap).
bool SegmentHitsBox(TPoint a, TPoint b, const TRect& r) {
  auto inside = [&](TPoint p) { return p.x >= r.left && p.x <= r.right && p.y >= r.top && p.y <= r.bottom; };
  if (inside(a) || inside(b)) return true;
  if (std::max(a.x, b.x) < r.left || std::min(a.x, b.x) > r.right || std::max(a.y, b.y) < r.top ||
      std::min(a.y, b.y) > r.bottom)
    return false;
  const double dx = b.x - a.x, dy = b.y - a.y;
  auto side = [&](int x, int y) {
    const double c = dx * (y - a.y) - dy * (x - a.x);
    return (c > 0) - (c < 0);
  };
  const int s1 = side(r.left, r.top), s2 = side(r.right, r.top), s3 = side(r.left, r.bottom),
            s4 = side(r.right, r.bottom);
  return !(s1 != 0 && s1 == s2 && s2 == s3 && s3 == s4);
}

// How many lines other than `own` run through the box (counting stops at
// three): a label's white ground hides what it covers.
int OtherLinesCovered(tisocoll& lines, const std::vector<TRect>& bounds, int own, const TRect& box) {
  int covered = 0;
  auto hits = [&](int j) {
    const tline_tp& screen = lines.Line(j)->screen;
    for (int k = 1; k < screen.NumPoints(); ++k)
      if (SegmentHitsBox(screen.GetPoint(k - 1), screen.GetPoint(k), box)) return true;
    return screen.NumPoints() > 2 && SegmentHitsBox(screen.GetPoint(screen.NumPoints() - 1), screen.GetPoint(0), box);
  };
  for (int j = 0; j < lines.Count() && covered < 3; ++j) {
    const TRect& o = bounds[static_cast<std::size_t>(j)];
    if (j == own || o.right < box.left || o.left > box.right || o.bottom < box.top || o.top > box.bottom) continue;
    if (hits(j)) ++covered;
  }
  return covered;
}

// Label boxes along each line, the lines taken in the collection's order;
// each line keeps its own, `placed` all of them. A box is at least as large
// as its text, so that labels never overlap. Where the lines lie closer than
// a label is high (a narrow beam), a label that would sit across a bundle of
// them (three or more lines besides its own) is left out rather than hide
// them; a neighbour or two, cut briefly, stay readable. `compact`: a second
// pass in the smaller type of the dc over the lines still without a label,
// each box just as large as its text.
void PlaceLabels(TSimpleDC& dc, tisocoll& lines, const TRect& area, trectcoll& placed, char sep, bool compact) {
  const TRect inset{area.left + kLabelInset, area.top + kLabelInset, area.right - kLabelInset, area.bottom - kLabelInset};
  std::vector<TRect> bounds;  // of each line's screen points
  for (int i = 0; i < lines.Count(); ++i) {
    const tline_tp& screen = lines.Line(i)->screen;
    TRect b{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (int k = 0; k < screen.NumPoints(); ++k) {
      const TPoint p = screen.GetPoint(k);
      b = {std::min(b.left, p.x), std::min(b.top, p.y), std::max(b.right, p.x), std::max(b.bottom, p.y)};
    }
    bounds.push_back(b);
  }
  for (int i = 0; i < lines.Count(); ++i) {
    tisoline* line = lines.Line(i);
    if (compact && line->labels.Count() > 0) continue;
    const std::string text = LevelText(line->level, sep);
    const int hw = compact ? dc.TextWidth(text) / 2 + dc.TextWidth(" ") / 4
                           : std::max(area.Width() / 30, dc.TextWidth(text) / 2 + dc.TextWidth(" ") / 2);
    const int hh = compact ? dc.TextHeight(text) / 2 : std::max(area.Height() / 60, dc.TextHeight(text) / 2);
    line->labels.Clear();
    line->labels.key = line->level;
    int last = -kLabelPointGap;
    for (int k = 0; k < line->screen.NumPoints(); ++k) {
      if (k - last < kLabelPointGap) continue;
      const TPoint p = line->screen.GetPoint(k);
      const TRect box{p.x - hw, p.y - hh, p.x + hw, p.y + hh};
      if (!BoxInRect({box.left, box.top, box.right, box.bottom}, inset) || placed.Intersects(box) ||
          OtherLinesCovered(lines, bounds, i, box) >= 3)
        continue;
      line->labels.AddRect(box);
      placed.AddRect(box);
      last = k;
    }
  }
}

// Whether any line runs through the box.
bool AnyLineIn(tisocoll& lines, const TRect& box) {
  for (int j = 0; j < lines.Count(); ++j) {
    const tline_tp& screen = lines.Line(j)->screen;
    for (int k = 1; k < screen.NumPoints(); ++k)
      if (SegmentHitsBox(screen.GetPoint(k - 1), screen.GetPoint(k), box)) return true;
  }
  return false;
}

// The levels of lines packed too close for any label (a narrow beam on a
// large side), listed in a corner of the area where no line runs:
// "E (lx): 10  20  50  100", wrapped within a third of the area's width.
// Their lines lie nested round the luminaire, the highest innermost.
void DrawLevelLegend(TSimpleDC& dc, tisocoll& lines, const TRect& area, const trectcoll& placed,
                     const std::vector<float>& levels, char sep) {
  const int room = area.Width() / 3, space = dc.TextWidth("  ");
  std::vector<std::string> rows{"E (lx):"};
  for (float level : levels) {
    const std::string text = LevelText(level, sep);
    if (dc.TextWidth(rows.back() + "  " + text) <= room || rows.back() == "E (lx):")
      rows.back() += "  " + text;
    else
      rows.push_back(text);
  }
  int width = 0;
  for (const std::string& row : rows) width = std::max<int>(width, dc.TextWidth(row));
  const int lineHeight = dc.TextHeight("Q");
  const int w = width + space, h = static_cast<int>(rows.size()) * lineHeight + lineHeight / 3;
  const int inset = kLabelInset;
  const TRect corners[4] = {
      {area.left + inset, area.top + inset, area.left + inset + w, area.top + inset + h},
      {area.right - inset - w, area.top + inset, area.right - inset, area.top + inset + h},
      {area.left + inset, area.bottom - inset - h, area.left + inset + w, area.bottom - inset},
      {area.right - inset - w, area.bottom - inset - h, area.right - inset, area.bottom - inset}};
  const TRect* box = &corners[0];
  for (const TRect& c : corners)
    if (!AnyLineIn(lines, c) && !placed.Intersects(c)) {
      box = &c;
      break;
    }
  dc.Pen().SetStyle(gdi::PS_NULL);
  dc.Brush().SetBrush(gdi::BS_SOLID, 0, kWhite);
  dc.Rectangle(box->left, box->top, box->right, box->bottom);
  dc.SetTextAlign(gdi::TA_LEFT, gdi::TA_TOP);
  for (std::size_t r = 0; r < rows.size(); ++r)
    dc.TextOut(box->left + space / 2, box->top + lineHeight / 6 + static_cast<int>(r) * lineHeight, rows[r]);
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

void DrawScales(TSimpleDC& dc, const TRect& area, const TRect& square, int tick, double side, char sep) {
  const std::string lo = Metres(-side / 2, sep), mid = Metres(0, sep), hi = Metres(side / 2, sep) + " m";
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
  const char sep = LanguageDecimalSeparator(languageFile);
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
      "H = " + Metres(rec.height, sep) + " m        " + std::to_string(RoundEven(rec.flux)) + " lm        E (lx)";
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
  DrawScales(dc, area, sq, RoundEven(0.02 * s), rec.side, sep);

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
    PlaceLabels(dc, iso->lines, area, placed, sep, false);
    // Lines too close for a label of the diagram's type get a smaller one
    // where it fits; the levels still without any label are listed in a
    // free corner.
    std::vector<bool> small(static_cast<std::size_t>(iso->lines.Count()));
    for (int i = 0; i < iso->lines.Count(); ++i) small[static_cast<std::size_t>(i)] = iso->lines.Line(i)->labels.Count() == 0;
    dc.Font().SetHeight(6 * base);
    PlaceLabels(dc, iso->lines, area, placed, sep, true);
    std::vector<float> unlabelled;
    for (int i = 0; i < iso->lines.Count(); ++i) {
      const float level = iso->lines.Line(i)->level;
      bool labelled = false;
      for (int j = 0; j < iso->lines.Count(); ++j)
        labelled |= iso->lines.Line(j)->level == level && iso->lines.Line(j)->labels.Count() > 0;
      if (!labelled && std::find(unlabelled.begin(), unlabelled.end(), level) == unlabelled.end())
        unlabelled.push_back(level);
    }
    std::sort(unlabelled.begin(), unlabelled.end());
    if (!unlabelled.empty()) {
      dc.Font().SetHeight(7 * base);
      DrawLevelLegend(dc, iso->lines, area, placed, unlabelled, sep);
    }
    dc.SetTextAlign(gdi::TA_CENTER, gdi::TA_BOTTOM);
    for (int i = 0; i < iso->lines.Count(); ++i) {
      const tisoline* line = iso->lines.Line(i);
      const std::string text = LevelText(line->level, sep);
      dc.Font().SetHeight((small[static_cast<std::size_t>(i)] ? 6 : 8) * base);
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
