#include "evaluation/quick_planning_diagram.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "evaluation/atf.h"
#include "evaluation/table_frame.h"
#include "frame/msgmanager.h"
#include "frame/strutil.h"
#include "photometry/lum32.h"

namespace kandelo {
namespace {

double LampFlux(const TLUM32& lum) {
  const double f = lum.LampSets[0].SetFlux;
  return std::isfinite(f) ? f : 0.0;
}

std::string LampText(const TLUM32& lum) {
  return std::to_string(lum.LampSets[0].LampCount) + " x " + lum.LampSets[0].LampType;
}

// Value labels of the logarithmic scale: integers from 1 up, one decimal below.
std::string ScaleLabel(double v, char sep) { return Fixed(v, v < 1 ? 1 : 0, sep); }

}  // namespace

int SectionLabelDecimals(double left, double right, int divisions) {
  // The fewest decimals (up to three) that write every division exactly; else
  // two, or three when two would show neighbours alike.
  const double step = (right - left) / divisions;
  for (int d = 0; d <= 3; ++d) {
    const double unit = std::pow(10.0, d);
    bool exact = true;
    for (int i = 0; i <= divisions && exact; ++i) {
      const double a = (left + i * step) * unit;
      exact = std::fabs(a - std::nearbyint(a)) < 1e-6 * std::max(1.0, std::fabs(a));
    }
    if (exact) return d;
  }
  return std::fabs(step) >= 0.01 ? 2 : 3;
}

namespace {

}  // namespace

void DrawFloorCurves(const TLUM32& lum, TDevice& target, const TRect& rect, bool boldHeading,
                     const std::string& languageFile, const TFloorCurveParams& record,
                     const TFloorCurveResult& result, bool datasheetMode, const TRect&) {
  TSimpleDC dc(target, DiagramState().standalone);
  TMsgManager m(languageFile);
  const char sep = LanguageDecimalSeparator(languageFile);
  const TRect box = AspectBox(rect, kFloorAspect, 10);
  TBoxDC b(dc, box);
  const bool row = record.Count >= 2;
  const double fitShare = row ? 0.6 : 0.62;
  BeginBoxDrawing(dc, box, RoundEven(fitShare * 0.8 * box.Width()),
                  row ? "Bodenbeleuchtungskurven eines Lichtbandes" : "Bodenbeleuchtungskurven einer Einzelleuchte",
                  datasheetMode);
  const TDiagramState& st = DiagramState();
  const int W = b.W(), H = b.H(), lw = st.lineWidth;

  // Heading.
  const int y1 = RoundEven(0.079 * H);
  b.Font(10, boldHeading);
  b.Text(W / 2, y1 - y1 / 3, m.GetText("OUTTXT", row ? "HDBBK2" : "HDBBK"), gdi::TA_CENTER, gdi::TA_BASELINE);
  dc.Pen().SetWidth(lw);
  b.Line(0, y1, W, y1);

  // Axes. The verticals and their distance labels share the curves' span
  // gl … gr, so that a label stands over the distance it names.
  const int gx = RoundEven(0.0747 * W), gr = W - RoundEven(0.03 * W), gl = RoundEven(0.0841 * W);
  // The top leaves room for the unit above the scale, below the heading line.
  const int yBase = RoundEven(0.75 * H), yTop = RoundEven(0.16 * H), yLow = RoundEven(0.77 * H);
  b.Line(gx, yBase, gr, yBase);
  b.Line(gr, yTop, gr, yLow);
  b.Line(gl, yTop, gl, yLow);
  dc.Pen().SetWidth(0);
  b.Font(8);
  const int w0 = b.TextWidth("0");
  const int textDrop = RoundEven(0.35 * dc.Font().GetHeight());
  const int decimals = SectionLabelDecimals(record.Left, record.Right, 8);
  for (int i = 0; i <= 8; ++i) {
    const int x = gl + RoundEven(i * (gr - gl) / 8.0);
    if (i > 0 && i < 8) b.Line(x, yTop, x, yLow);
    const double a = record.Left + i * (static_cast<double>(record.Right) - record.Left) / 8;
    b.Text(x, yLow + RoundEven(0.005 * H), Fixed(a, decimals, sep), gdi::TA_CENTER, gdi::TA_TOP);
  }
  b.ArrowH(RoundEven(0.0345 * W), RoundEven(0.9 * W), RoundEven(0.84 * H));
  b.Text(RoundEven(0.9 * W) + RoundEven(0.0345 * W) + w0, RoundEven(0.84 * H) + textDrop, "a (m)", gdi::TA_LEFT,
         gdi::TA_BASELINE);

  // Logarithmic illuminance scale.
  const TFloorScale scale = FloorScale(record);
  auto yOf = [&](double e) {
    return std::clamp(LogAxisY(yTop, yBase, scale.low, scale.high, e), yTop, yBase);
  };
  double lastLabel = 0;
  for (double decade = scale.low; decade < scale.high * 0.999; decade *= 10) {
    for (int mant = 1; mant <= 9; ++mant) {
      const double v = decade * mant;
      if (v > scale.high * 1.0001) break;
      if (mant == 7 || mant == 9) continue;
      const int y = yOf(v);
      if (mant > 1 || decade > scale.low) b.Line(gx, y, gr, y);
      if (mant == 1 || mant == 2 || mant == 5) {
        b.Text(gx - w0, y + textDrop, ScaleLabel(v, sep), gdi::TA_RIGHT, gdi::TA_BASELINE);
        lastLabel = v;
      }
    }
  }
  // The upper end, unless a decade step has labelled it already.
  if (lastLabel < scale.high * 0.999) {
    const int y = yOf(scale.high);
    b.Line(gx, y, gr, y);
    b.Text(gx - w0, y + textDrop, ScaleLabel(scale.high, sep), gdi::TA_RIGHT, gdi::TA_BASELINE);
  }
  // The unit over the column of scale values, clear of the top value.
  b.Text(gx - w0, yTop - dc.Font().GetHeight() * 7 / 10, "E (lx)", gdi::TA_RIGHT, gdi::TA_BOTTOM);

  // Curves: h1 solid, h2 dashed, h3 dotted, all in the curve width, so that
  // they differ by pattern on the screen as on paper.
  const int cw = st.curveWidth;
  const TDash styles[3] = {{0, 0}, {6 * cw, 3 * cw}, {cw, 2 * cw}};
  dc.Pen().SetWidth(cw);
  for (int j = 0; j < 3; ++j) {
    std::vector<TPoint> pts;
    pts.reserve(kFloorPoints);
    for (int k = 0; k < kFloorPoints; ++k)
      pts.push_back({gl + RoundEven(k * (gr - gl) / 320.0), yOf(result[std::size_t(j)][std::size_t(k)])});
    if (j == 0)
      b.Polyline(pts);
    else
      b.DashedPolyline(pts, styles[j].dash, styles[j].gap);
  }

  // Sketch: ceiling with hatching, the luminaire, the floor and the height.
  dc.Pen().SetWidth(0);
  const int cx0 = RoundEven(0.35 * W), cx1 = RoundEven(0.5 * W), cy = RoundEven(0.835 * H);
  b.Line(cx0, cy, cx1, cy);
  for (int i = 0; i < 12; ++i) {
    const int x = cx0 + RoundEven((i + 0.5) * (cx1 - cx0) / 12.0);
    b.Line(x, cy, x + RoundEven(0.006 * W), RoundEven(0.82 * H));
  }
  const int lx0 = RoundEven(0.4 * W), lx1 = RoundEven(0.43 * W);
  b.Rectangle(lx0, cy, lx1, RoundEven(0.86 * H));
  b.Line(cx0, RoundEven(0.95 * H), cx1, RoundEven(0.95 * H));
  const int mid = (lx0 + lx1) / 2;
  b.Line(mid, RoundEven(0.86 * H), mid, RoundEven(0.96 * H));
  // The section direction C0, a short line from the vertical towards its label.
  b.Line(mid, RoundEven(0.91 * H), RoundEven(0.455 * W), RoundEven(0.91 * H));
  b.Font(9);
  b.Text(mid - w0 / 2, RoundEven(0.905 * H), "h", gdi::TA_RIGHT, gdi::TA_BOTTOM);
  b.Text(cx0, RoundEven(0.98 * H), "-a", gdi::TA_LEFT, gdi::TA_BASELINE);
  b.Text(cx1, RoundEven(0.98 * H), "+a", gdi::TA_RIGHT, gdi::TA_BASELINE);
  b.Text(RoundEven(0.46 * W), RoundEven(0.93 * H), "C0", gdi::TA_LEFT, gdi::TA_BASELINE);

  // Legends.
  b.Font(8);
  const int legendX = RoundEven(0.6 * W), valueRight = RoundEven(0.85 * W);
  b.Text(legendX, RoundEven(0.85 * H), m.GetText("OUTTXT", "GLSTYP"), gdi::TA_LEFT, gdi::TA_BASELINE);
  b.Text(legendX, RoundEven(0.9 * H), LampText(lum), gdi::TA_LEFT, gdi::TA_BASELINE);
  b.Text(legendX, RoundEven(0.95 * H), m.GetText("OUTTXT", "GLSFLX"), gdi::TA_LEFT, gdi::TA_BASELINE);
  b.Text(valueRight, RoundEven(0.95 * H), std::to_string(RoundEven(LampFlux(lum))) + " lm", gdi::TA_RIGHT,
         gdi::TA_BASELINE);
  const double sampleY[3] = {0.85, 0.9, 0.95};
  for (int j = 0; j < 3; ++j) {
    const int y = RoundEven(sampleY[j] * H);
    const std::vector<TPoint> sample = {{gx, y - textDrop}, {gx + RoundEven(0.07 * W), y - textDrop}};
    dc.Pen().SetWidth(cw);
    if (j == 0)
      b.Polyline(sample);
    else
      b.DashedPolyline(sample, styles[j].dash, styles[j].gap);
    b.Text(gx + RoundEven(0.08 * W), y, "h = " + Fixed(record.Heights[std::size_t(j)], 2, sep) + " m", gdi::TA_LEFT,
           gdi::TA_BASELINE);
  }
  // The maintenance factor the values include, and the emergency scale.
  dc.Pen().SetWidth(0);
  const std::string note = m.GetText("OUTTXT", "SRTFT") + " " + Fixed(record.Maintenance, 2, sep);
  b.Text(gx, RoundEven(0.99 * H), b.dc().FitText(note, RoundEven(0.34 * W) - gx), gdi::TA_LEFT, gdi::TA_BASELINE);
  if (record.Emergency)
    b.Text(gr, yTop - dc.Font().GetHeight() * 7 / 10, b.dc().FitText(m.GetText("OUTTXT", "BBKNOT"), RoundEven(0.5 * W)),
           gdi::TA_RIGHT, gdi::TA_BOTTOM);
  if (row) {
    // Below the height legend, at the bottom of the box.
    b.Text(legendX, RoundEven(0.99 * H),
           m.GetText("OUTTXT", "BBKFT") + " " + std::to_string(record.Count) + " " + m.GetText("OUTTXT", "BBKFT2"),
           gdi::TA_LEFT, gdi::TA_BASELINE);
  }
}

void DrawLuminaireCount(const TLUM32& lum, TDevice& target, const TRect& rect, bool boldHeading,
                        const std::string& languageFile, const TLuminaireCountParams& record,
                        const TLuminaireCountResult& result, bool datasheetMode, const TRect&) {
  TSimpleDC dc(target, DiagramState().standalone);
  TMsgManager m(languageFile);
  const char sep = LanguageDecimalSeparator(languageFile);
  const TRect box = AspectBox(rect, kCountAspect);
  TBoxDC b(dc, box);
  BeginBoxDrawing(dc, box, RoundEven(0.6 * box.Width()), "Leuchtenanzahl im Raum: (Refl.   50/30/10) XXXXX",
                  datasheetMode);
  const TDiagramState& st = DiagramState();
  const int lw = st.lineWidth, half = lw / 2;
  const int W = b.W() - half, H = b.H();
  dc.Pen().SetWidth(lw);
  b.Rectangle(half, half, b.W() - half, H - half);
  const int x0 = RoundEven(0.2272 * W), xE = RoundEven(0.10909 * W);
  const double colW = (W - x0) / 8.0;
  auto colRight = [&](int c) { return x0 + RoundEven((c + 1) * colW); };
  const int y1 = RoundEven(0.079 * H), y2 = RoundEven(0.201 * H), y3 = RoundEven(0.94 * H);

  b.Font(10);
  const int wL = b.TextWidth("L");
  const int c = std::clamp(static_cast<int>(record.Reflectances), 0, 14);
  const int* refl = kLitgReflectances[c];
  const std::string heading = m.GetText("OUTTXT", "HDSRT") + " " + std::to_string(refl[0]) + "/" +
                              std::to_string(refl[2]) + "/" + std::to_string(refl[3]) + ")";
  b.Font(10, boldHeading);
  b.Text(wL, y1 - y1 / 3, heading, gdi::TA_LEFT, gdi::TA_BASELINE);
  b.Line(0, y1, W, y1);

  // Lines: thick under the header, left of the counts and at the bottom.
  b.Line(0, y2, W, y2);
  b.Line(x0, y1, x0, y3);
  b.Line(0, y3, W, y3);
  dc.Pen().SetWidth(0);
  b.Line(xE, y1, xE, y3);
  const double hr = (y2 - y1) / 3.0, rh = (y3 - y2) / 9.0;
  b.Line(x0, y1 + RoundEven(hr), W, y1 + RoundEven(hr));
  for (int i = 0; i < 7; ++i) b.Line(colRight(i), y1 + RoundEven(2 * hr), colRight(i), y3);
  for (int r = 1; r < 9; ++r) {
    const int y = y2 + RoundEven(r * rh);
    if (r % 3 == 0) {
      dc.Pen().SetWidth(lw);
      b.Line(0, y, W, y);
      dc.Pen().SetWidth(0);
    } else {
      b.Line(xE, y, W, y);
    }
  }

  // Header.
  b.Font(8);
  // Right-aligned numbers keep a digit's width from the line to their right.
  const int w0 = b.TextWidth("0"), wI = w0;
  const int textDrop = RoundEven(0.35 * dc.Font().GetHeight());
  auto headerY = [&](int r) { return y1 + RoundEven((r + 0.5) * hr) + textDrop; };
  b.Text(x0 + w0, headerY(0), LampText(lum) + " / " + std::to_string(RoundEven(LampFlux(lum))) + " lm", gdi::TA_LEFT,
         gdi::TA_BASELINE);
  const char* const left[3][2] = {{"E", "Lph"}, {"in", "in"}, {"lx", "m"}};
  for (int r = 0; r < 3; ++r) {
    b.Text(xE / 2, headerY(r), left[r][0], gdi::TA_CENTER, gdi::TA_BASELINE);
    b.Text((xE + x0) / 2, headerY(r), left[r][1], gdi::TA_CENTER, gdi::TA_BASELINE);
  }
  b.Text(x0 + (W - x0) / 2, headerY(1), m.GetText("OUTTXT", "SRTH2"), gdi::TA_CENTER, gdi::TA_BASELINE);
  const int set = std::clamp(static_cast<int>(record.AreaSet), 0, 3);
  for (int a = 0; a < 8; ++a)
    b.Text(colRight(a) - wI, headerY(2), Fixed(kRoomAreaSets[set][a], 0), gdi::TA_RIGHT, gdi::TA_BASELINE);

  // Body: three illuminance groups of three heights.
  for (int e = 0; e < 3; ++e)
    for (int h = 0; h < 3; ++h) {
      const int r = 3 * e + h;
      const int y = y2 + RoundEven((r + 0.5) * rh) + textDrop;
      if (h == 1)
        b.Text(xE - wI, y, std::to_string(record.Illuminances[std::size_t(e)]), gdi::TA_RIGHT, gdi::TA_BASELINE);
      b.Text(x0 - wI, y, Fixed(record.Heights[std::size_t(h)], 2, sep), gdi::TA_RIGHT, gdi::TA_BASELINE);
      for (int a = 0; a < 8; ++a) {
        const float n = result[std::size_t(h)][std::size_t(e)][std::size_t(a)];
        b.Text(colRight(a) - wI, y, n < 0 ? std::string("-") : std::to_string(ShownCount(n)), gdi::TA_RIGHT,
               gdi::TA_BASELINE);
      }
    }

  b.Text(wL, H - RoundEven(0.4 * (H - y3)), m.GetText("OUTTXT", "SRTFT") + " : " + Fixed(record.Maintenance, 1, sep),
         gdi::TA_LEFT, gdi::TA_BASELINE);
}

}  // namespace kandelo
