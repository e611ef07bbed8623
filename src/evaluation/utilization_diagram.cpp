#include "evaluation/utilization_diagram.h"

#include <array>
#include <cmath>
#include <functional>
#include <vector>

#include "evaluation/atf.h"
#include "evaluation/table_frame.h"
#include "evaluation/tm5.h"
#include "frame/msgmanager.h"
#include "frame/strutil.h"
#include "photometry/lum32.h"

namespace kandelo {
namespace {

// LiTG combinations of the DIN table, in column order.
const int kDinCombinations[8] = {1, 2, 11, 7, 12, 13, 14, 15};

const char kRho[] = "\xCF\x81";  // ρ

// Row labels of the DIN reflectance block: built-in texts, replaced by the
// catalogue's once it has them (and kept for later drawings).
std::array<std::string, 3>& DinRowLabels() {
  static std::array<std::string, 3> labels = {" -ceiling", " -walls", " -floor"};
  return labels;
}

struct TFrame {
  int W, H, a, y1, lw, base;
};

// Box, heading fit, outline, heading line and heading; returns the measures.
TFrame BeginTable(TSimpleDC& dc, TBoxDC& b, const TRect& box, int fitWidth, const char* fitText,
                  const std::string& heading, bool boldHeading) {
  BeginBoxDrawing(dc, box, fitWidth, fitText);
  const TDiagramState& st = DiagramState();
  TFrame f{b.W(), b.H(), 0, RoundEven(0.079 * b.H()), st.lineWidth, st.baseFontSize};
  b.Font(10);
  f.a = b.TextWidth("0");
  dc.Pen().SetWidth(f.lw);
  b.Rectangle(0, 0, f.W, f.H);
  b.Line(0, f.y1, f.W - f.lw, f.y1);
  b.Font(10, boldHeading);
  b.Text(f.a, f.y1 - f.y1 / 3, heading, gdi::TA_LEFT, gdi::TA_BASELINE);
  return f;
}

// Only the DIN table has a built-in heading for a catalogue without the text.
std::string Heading(const TMsgManager& m, const char* suffix, bool builtIn = false) {
  const std::string text = m.GetText("OUTTXT", "UTF_HD");
  return (text.empty() && builtIn ? std::string("utilization factors") : text) + suffix;
}

// Value right aligned in a column, one seventh of the column from its right edge.
int ValueX(int x0, double colW, int column) {
  return x0 + RoundEven((column + 1) * colW) - RoundEven(colW / 7);
}

// DIN and NB: reflectance block of three rows over `columns` columns, then
// ten rows of room indices k.
// `footer`: a row under the table for a note (DIN); without one the rows
// reach the frame.
void DrawKTable(TSimpleDC& dc, TBoxDC& b, const TFrame& f, int columns, const std::array<std::string, 3>& labels,
                const std::function<int(int row, int column)>& reflectance,
                const std::function<std::string(int k, int column)>& cell, bool footer, char sep) {
  const int x0 = RoundEven(0.2272 * f.W);
  const double colW = static_cast<double>(f.W - x0) / columns;
  const int y2 = RoundEven(0.201 * f.H), y3 = footer ? RoundEven(0.94 * f.H) : f.H;
  const double rh = (y2 - f.y1) / 3.0;

  // Lines: thick under the reflectance block and left of the values, thin grid.
  dc.Pen().SetWidth(f.lw);
  b.Line(0, y2, f.W - f.lw, y2);
  b.Line(x0, f.y1, x0, y3);
  if (footer) b.Line(0, y3, f.W - f.lw, y3);
  dc.Pen().SetWidth(0);
  for (int i = 1; i < columns; ++i) b.Line(x0 + RoundEven(i * colW), f.y1, x0 + RoundEven(i * colW), y3);
  for (int r = 1; r < 3; ++r) b.Line(x0, f.y1 + RoundEven(r * rh), f.W - f.lw, f.y1 + RoundEven(r * rh));
  const double kh = (y3 - y2) / 10.0;
  const int kLeft = RoundEven(0.0909 * f.W);
  for (int r = 1; r < 10; ++r) b.Line(kLeft, y2 + RoundEven(r * kh), f.W - f.lw, y2 + RoundEven(r * kh));
  b.Line(kLeft, y2, kLeft, y3);

  // Texts stand in the middle of their rows.
  b.Font(8);
  const int drop = RoundEven(0.35 * dc.Font().GetHeight());
  for (int r = 0; r < 3; ++r) {
    const int y = f.y1 + RoundEven((r + 0.5) * rh) + drop;
    b.Font(8);
    b.TextUtf8(f.a, y, kRho, gdi::TA_LEFT, gdi::TA_BASELINE);
    b.Text(2 * f.a, y, labels[std::size_t(r)], gdi::TA_LEFT, gdi::TA_BASELINE);
    for (int c = 0; c < columns; ++c)
      b.Text(ValueX(x0, colW, c), y, std::to_string(reflectance(r, c)), gdi::TA_RIGHT, gdi::TA_BASELINE);
  }
  b.Font(9);
  b.Text(RoundEven(0.0451 * f.W), (y2 + y3) / 2, "k", gdi::TA_CENTER, gdi::TA_BASELINE);
  b.Font(8);
  const int kx = kLeft + (x0 - kLeft) / 4;
  for (int k = 0; k < 10; ++k) {
    const int y = y2 + RoundEven((k + 0.5) * kh) + drop;
    b.Text(kx, y, Fixed(kNbRoomIndex[k], k == 3 ? 2 : 1, sep), gdi::TA_LEFT, gdi::TA_BASELINE);
    for (int c = 0; c < columns; ++c) b.Text(ValueX(x0, colW, c), y, cell(k, c), gdi::TA_RIGHT, gdi::TA_BASELINE);
  }
}

}  // namespace

void DrawUtilizationDIN(const TLUM32& lum, const RoomUtilTableT& roomUtil, bool suspended, TDevice& target,
                        const TRect& rect, bool boldHeading, const std::string& languageFile, const TRect&) {
  TSimpleDC dc(target, DiagramState().standalone);
  TMsgManager m(languageFile);
  const TRect box = AspectBox(rect, kUtilizationAspect);
  TBoxDC b(dc, box);
  const TFrame f = BeginTable(dc, b, box, RoundEven(0.7 * box.Width()), "utilization factors for XXXXXXXXXXXXXXXX",
                              Heading(m, " / DIN", true), boldHeading);
  std::array<std::string, 3>& labels = DinRowLabels();
  for (int r = 0; r < 3; ++r) {
    const std::string text = m.GetText("OUTTXT", "UTF_R" + std::to_string(r + 1));
    if (!text.empty()) labels[std::size_t(r)] = Cut(text, 12);
  }
  const double eta = std::isfinite(lum.LOR) ? lum.LOR : 0.0;
  DrawKTable(
      dc, b, f, 8, labels,
      [](int row, int c) {
        const int* r = kLitgReflectances[kDinCombinations[c] - 1];
        return row == 0 ? r[0] : row == 1 ? r[2] : r[3];
      },
      [&](int k, int c) {
        const double v = roomUtil[std::size_t(k)][std::size_t(kDinCombinations[c] - 1)] * eta;
        return Fixed(std::isfinite(v) ? v : 0.0, 0);
      },
      true, LanguageDecimalSeparator(languageFile));
  const int y3 = RoundEven(0.94 * f.H);
  std::string note = m.GetText("OUTTXT", suspended ? "UTF_MP" : "UTF_MD");
  if (note.empty()) note = suspended ? "luminaires suspended" : "surface mounting of luminaires";
  b.Font(8);
  b.Text(f.a, f.H - RoundEven(0.4 * (f.H - y3)), note, gdi::TA_LEFT, gdi::TA_BASELINE);
}

void DrawUtilizationNB(const TLUM32& lum, TDevice& target, const TRect& rect, bool boldHeading,
                       const std::string& languageFile, const TRect&) {
  TSimpleDC dc(target, DiagramState().standalone);
  TMsgManager m(languageFile);
  const TRect box = AspectBox(rect, kUtilizationAspect);
  TBoxDC b(dc, box);
  const TFrame f = BeginTable(dc, b, box, box.Width(), "utilization factors for XXXXXXXXXXXXXXXXXXXXXXXXXXXX",
                              Heading(m, " / NB"), boldHeading);
  std::array<std::string, 3> labels;
  for (int r = 0; r < 3; ++r) labels[std::size_t(r)] = m.GetText("OUTTXT", "UTF_R" + std::to_string(r + 1));
  DrawKTable(
      dc, b, f, 9, labels, [](int row, int c) { return kNbReflectances[c][row]; },
      [&](int k, int c) { return std::to_string(lum.NbUF[std::size_t(k)][std::size_t(c)]); }, false,
      LanguageDecimalSeparator(languageFile));
}

void DrawUtilizationTM5(const TLUM32& lum, TDevice& target, const TRect& rect, bool boldHeading,
                        const std::string& languageFile, const TRect&) {
  TSimpleDC dc(target, DiagramState().standalone);
  TMsgManager m(languageFile);
  const char sep = LanguageDecimalSeparator(languageFile);
  const std::string notApplicable = m.GetText("OUTTXT", "UTF_NA");
  const TRect box = AspectBox(rect, kUtilizationAspect);
  TBoxDC b(dc, box);
  const TFrame f = BeginTable(dc, b, box, box.Width(), "utilization factors for XXXXXXXXXXXXXXXXXXXXXXXXXXX",
                              Heading(m, " / TM5"), boldHeading);
  const int x0 = RoundEven(0.23 * f.W);
  const double colW = static_cast<double>(f.W - x0) / 9;
  const int yA = RoundEven(0.15 * f.H), yB = RoundEven(0.22 * f.H), yE = RoundEven(0.94 * f.H);
  const double rh = (yE - yB) / 11.0;

  b.Font(9);
  b.Text(x0 + (f.W - x0) / 2, yA - RoundEven(0.02 * f.H), m.GetText("OUTTXT", "UTF_IDX"), gdi::TA_CENTER,
         gdi::TA_BASELINE);
  b.Text(x0 / 2, yA - RoundEven(0.02 * f.H), m.GetText("OUTTXT", "UTF_REF"), gdi::TA_CENTER, gdi::TA_BASELINE);
  const std::vector<std::string> sub = {m.GetText("OUTTXT", "UTF_RS1"), m.GetText("OUTTXT", "UTF_RS2"),
                                        m.GetText("OUTTXT", "UTF_RS3")};
  const int subX[3] = {x0 / 6, x0 / 2, 5 * x0 / 6};
  // Smaller when a translation does not fit its third of the column.
  b.FitFont(9, sub, x0 / 3 - f.a / 2);
  for (int i = 0; i < 3; ++i)
    b.Text(subX[i], yB - RoundEven(0.02 * f.H), sub[std::size_t(i)], gdi::TA_CENTER, gdi::TA_BASELINE);
  b.Font(9);
  for (int i = 0; i < 9; ++i)
    b.Text(x0 + RoundEven((i + 0.5) * colW), yB - RoundEven(0.02 * f.H),
           Fixed(kCibseRoomIndex[i], i == 0 || i == 2 ? 2 : 1, sep), gdi::TA_CENTER, gdi::TA_BASELINE);

  dc.Pen().SetWidth(f.lw);
  b.Line(0, yB, f.W - f.lw, yB);
  b.Line(x0, yA, f.W - f.lw, yA);
  b.Line(x0, f.y1, x0, yE);
  b.Line(0, yB + RoundEven(10 * rh), f.W - f.lw, yB + RoundEven(10 * rh));
  b.Line(0, yE, f.W - f.lw, yE);
  dc.Pen().SetWidth(0);
  for (int i = 1; i < 9; ++i) b.Line(x0 + RoundEven(i * colW), yA, x0 + RoundEven(i * colW), yE);
  for (int r = 1; r < 10; ++r) b.Line(0, yB + RoundEven(r * rh), f.W - f.lw, yB + RoundEven(r * rh));

  b.Font(8);
  for (int r = 0; r < 11; ++r) {
    const int y = yB + RoundEven((r + 1) * rh) - RoundEven(rh / 5);
    if (r < 10) {
      for (int m3 = 1; m3 <= 3; ++m3)
        b.Text(RoundEven(0.23 * f.W * (2 * m3 - 1) / 6), y, std::to_string(kCibseReflectances[r][m3 - 1]),
               gdi::TA_CENTER, gdi::TA_BASELINE);
    } else {
      b.Text(x0 / 2, y, m.GetText("OUTTXT", "UTF_BZ"), gdi::TA_CENTER, gdi::TA_BASELINE);
    }
    for (int i = 0; i < 9; ++i) {
      const int v = r < 10 ? lum.CibseUF[std::size_t(r)][std::size_t(i)] : lum.CibseBz[std::size_t(i)];
      b.Text(ValueX(x0, colW, i), y, v == 255 ? notApplicable : std::to_string(v), gdi::TA_RIGHT,
             gdi::TA_BASELINE);
    }
  }
  const int yS = RoundEven(0.985 * f.H);
  b.Text(RoundEven(0.23 * f.W), yS, "SHRnom : " + Fixed(lum.ShrNom, 2, sep), gdi::TA_LEFT, gdi::TA_BASELINE);
  b.Text(RoundEven(0.55 * f.W), yS, "SHRmax : " + Fixed(lum.ShrMax, 3, sep), gdi::TA_LEFT, gdi::TA_BASELINE);
}

}  // namespace kandelo
