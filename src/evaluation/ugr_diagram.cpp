#include "evaluation/ugr_diagram.h"

#include <cmath>

#include "evaluation/table_frame.h"
#include "evaluation/tm5.h"
#include "frame/msgmanager.h"
#include "photometry/lum32.h"

namespace kandelo {
namespace {

// NB combinations of the five reflectance columns.
const int kUgrColumns[5] = {1, 2, 4, 5, 7};

std::string Value(double v, char sep) { return Fixed(std::isfinite(v) ? v : 0.0, 1, sep); }

}  // namespace

void DrawUgrTable(const TLUM32& lum, const UgrResultSet* results, TDevice& target, const TRect& rect,
                  bool boldHeading, const std::string& languageFile, bool printMode, const TRect&) {
  TSimpleDC dc(target, DiagramState().standalone);
  TMsgManager m(languageFile);
  const char sep = LanguageDecimalSeparator(languageFile);
  const TRect box = AspectBox(rect, kUgrAspect);
  TBoxDC b(dc, box);
  BeginBoxDrawing(dc, box, RoundEven((printMode ? 0.6 : 0.7) * box.Width()),
                  "Blendbewertung nach UGR f\xFCr XXXXXXXXXXXXXXXXX");
  const TDiagramState& st = DiagramState();
  const int W = b.W(), H = b.H(), lw = st.lineWidth;
  b.Font(10);
  const int a = b.TextWidth("L");
  const double corr = UgrFluxCorrection(lum);

  dc.Pen().SetWidth(lw);
  b.Rectangle(0, 0, W, H);
  const int y1 = RoundEven(0.08256 * W);
  b.Line(0, y1, W - lw, y1);
  b.Font(10, boldHeading);
  b.Text(a, y1 - y1 / 3, m.GetText("OUTTXT", "UGR_HD"), gdi::TA_LEFT, gdi::TA_BASELINE);

  const int x0 = RoundEven(0.2272 * W);
  const double colW = (W - x0) / 10.0;
  auto colRight = [&](int c) { return x0 + RoundEven((c + 1) * colW); };  // c = 0 … 9
  auto valueX = [&](int c) { return colRight(c) - RoundEven(colW / 7); };
  const int y2 = RoundEven(0.21005 * W), y4 = RoundEven(0.97321 * H);
  const double q = (y4 - y2) / 32.0;
  const int yMainEnd = y2 + RoundEven(23.5 * q), P = y2 + RoundEven(24.5 * q);

  // Reflectance block.
  const double rh = (y2 - y1) / 3.0;
  dc.Pen().SetWidth(0);
  for (int r = 1; r < 3; ++r) b.Line(x0, y1 + RoundEven(r * rh), W - lw, y1 + RoundEven(r * rh));
  for (int r = 0; r < 3; ++r) {
    const int y = y1 + RoundEven((r + 1) * rh) - RoundEven(rh / 5);
    b.Font(9);
    b.TextUtf8(a, y, "\xCF\x81", gdi::TA_LEFT, gdi::TA_BASELINE);
    b.Text(2 * a, y, m.GetText("OUTTXT", "UTF_R" + std::to_string(r + 1)), gdi::TA_LEFT, gdi::TA_BASELINE);
    b.Font(8);
    for (int c = 0; c < 10; ++c)
      b.Text(valueX(c), y, std::to_string(kNbReflectances[kUgrColumns[c % 5] - 1][r]), gdi::TA_RIGHT,
             gdi::TA_BASELINE);
  }

  // Lines of the main block: thick at x0 and between the halves, thin grid.
  dc.Pen().SetWidth(lw);
  b.Line(0, y2, W - lw, y2);
  b.Line(0, y4, W - lw, y4);
  b.Line(x0, y1, x0, yMainEnd);
  b.Line(x0, P, x0, y4);
  b.Line(colRight(4), y1, colRight(4), yMainEnd);
  b.Line(colRight(4), P, colRight(4), y4);
  dc.Pen().SetWidth(0);
  b.Line(0, y2 + RoundEven(2.5 * q), W - lw, y2 + RoundEven(2.5 * q));
  // Thin column lines in the reflectance block and the room rows, not
  // through the headings between them.
  for (int c = 0; c < 9; ++c)
    if (c != 4) {
      b.Line(colRight(c), y1, colRight(c), y2);
      b.Line(colRight(c), y2 + RoundEven(2.5 * q), colRight(c), yMainEnd);
    }
  b.Line(0, yMainEnd, W - lw, yMainEnd);
  b.Line(0, P, W - lw, P);

  // Headings of the main block.
  b.Font(9);
  const int hy = y2 + RoundEven(1.2 * q);
  b.Text(x0 / 2, hy, m.GetText("OUTTXT", "UGR_DIM"), gdi::TA_CENTER, gdi::TA_BOTTOM);
  b.Text(RoundEven(0.4 * x0), y2 + RoundEven(2.3 * q), "X", gdi::TA_RIGHT, gdi::TA_BOTTOM);
  b.Text(RoundEven(0.9 * x0), y2 + RoundEven(2.3 * q), "Y", gdi::TA_RIGHT, gdi::TA_BOTTOM);
  b.Text(x0 + (W - x0) / 4, hy + RoundEven(0.6 * q), m.GetText("OUTTXT", "UGR_CW"), gdi::TA_CENTER, gdi::TA_BOTTOM);
  b.Text(x0 + 3 * (W - x0) / 4, hy + RoundEven(0.6 * q), m.GetText("OUTTXT", "UGR_LW"), gdi::TA_CENTER,
         gdi::TA_BOTTOM);

  // 19 rooms in four groups of X.
  b.Font(8);
  int lastX = 0;
  for (int i = 0; i < 19; ++i) {
    const int X = kUgrRooms[i][0], Y = kUgrRooms[i][1];
    const int g = X == 2 ? 0 : X == 4 ? 1 : X == 8 ? 2 : 3;
    const int y = y2 + RoundEven((i + 2.5 + g / 2.0 + 1) * q);
    if (X != lastX) {
      b.Text(RoundEven(0.4 * x0), y, std::to_string(X) + "H", gdi::TA_RIGHT, gdi::TA_BASELINE);
      if (i > 0) {
        dc.Pen().SetWidth(0);
        b.Line(0, y - RoundEven(1.25 * q), W - lw, y - RoundEven(1.25 * q));
      }
    }
    lastX = X;
    b.Text(RoundEven(0.9 * x0), y, std::to_string(Y) + "H", gdi::TA_RIGHT, gdi::TA_BASELINE);
    if (!results) continue;
    for (int c = 0; c < 10; ++c) {
      const int index = c < 5 ? 5 * i + c : 95 + 5 * i + c - 5;
      b.Text(valueX(c), y, Value(results->table[std::size_t(index)] + corr, sep), gdi::TA_RIGHT, gdi::TA_BASELINE);
    }
  }

  // Variation with the observer position.
  b.Font(8);
  b.Text(RoundEven(1.5 * a), P - a / 5, m.GetText("OUTTXT", "UGR_VAR"), gdi::TA_LEFT, gdi::TA_BOTTOM);
  const std::string spacing[3] = {Fixed(1.0, 1, sep) + "H", Fixed(1.5, 1, sep) + "H", Fixed(2.0, 1, sep) + "H"};
  for (int s = 0; s < 3; ++s) {
    const int y = P + RoundEven((s + 1 + 0.2) * q);
    if (s == 0) b.Text(RoundEven(0.4 * x0), y, "S =", gdi::TA_RIGHT, gdi::TA_BASELINE);
    b.Text(RoundEven(0.9 * x0), y, spacing[s], gdi::TA_RIGHT, gdi::TA_BASELINE);
    if (!results) continue;
    const auto& v = results->variation;
    b.Text(x0 + RoundEven(2.4 * colW), y, "+" + Value(v[std::size_t(3 * s + 1)], sep) + " /", gdi::TA_RIGHT,
           gdi::TA_BASELINE);
    b.Text(x0 + RoundEven(3.7 * colW), y, Value(v[std::size_t(3 * s)], sep), gdi::TA_RIGHT, gdi::TA_BASELINE);
    b.Text(x0 + RoundEven(6.4 * colW), y, "+" + Value(v[std::size_t(9 + 3 * s + 1)], sep) + " /", gdi::TA_RIGHT,
           gdi::TA_BASELINE);
    b.Text(x0 + RoundEven(7.7 * colW), y, Value(v[std::size_t(9 + 3 * s)], sep), gdi::TA_RIGHT, gdi::TA_BASELINE);
  }

  // Reference shape.
  dc.Pen().SetWidth(0);
  b.Line(0, P + RoundEven(3.5 * q), W - lw, P + RoundEven(3.5 * q));
  const double lineY[4] = {4.5, 5.3, 6.5, 7.3};
  for (int i = 0; i < 4; ++i)
    b.Text(a, P + RoundEven(lineY[i] * q), m.GetText("OUTTXT", "UGR_L" + std::to_string(i + 1)), gdi::TA_LEFT,
           gdi::TA_BOTTOM);
  const UgrShapeMatch none;
  const UgrShapeMatch* matches[2] = {results ? &results->matchCross : &none, results ? &results->matchEnd : &none};
  const double shapeX[2] = {2.5, 7.5};
  for (int d = 0; d < 2; ++d) {
    const int x = x0 + RoundEven(shapeX[d] * colW);
    const UgrShapeMatch& match = *matches[d];
    const bool found = match.found && match.shape < 15;
    b.Text(x, P + RoundEven(5.3 * q), found ? kUgrShapeNames[match.shape] : "----", gdi::TA_CENTER, gdi::TA_BOTTOM);
    b.Text(x, P + RoundEven(7.3 * q), found ? Value(match.offset + corr, sep) : "----", gdi::TA_CENTER, gdi::TA_BOTTOM);
  }

  b.Font(8);
  b.Text(a, H - a / 3, m.GetText("OUTTXT", "UGR_L5") + "  " + Fixed(lum.LampSets[0].SetFlux, 0) + " lm",
         gdi::TA_LEFT, gdi::TA_BOTTOM);
}

}  // namespace kandelo
