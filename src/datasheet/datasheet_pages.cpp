// The pages of the datasheet: frame, first page, diagram pages, intensity
// tables, and the catalogue summary block. All lengths are millimetres in
// twips; "absolute" heights are measured from the top of the printable area.
#include <algorithm>
#include <cmath>

#include "datasheet/datasheet.h"
#include "evaluation/cartesian_diagram.h"
#include "evaluation/diagram_common.h"
#include "evaluation/polar_diagram.h"
#include "frame/msgmanager.h"
#include "frame/strutil.h"
#include "graphics/printer_page.h"
#include "graphics/simpledc.h"
#include "photometry/lum32.h"

namespace kandelo {
namespace {

std::int32_t Mm(double mm) { return MmToTwips(mm); }

// Numbers take the decimal separator of the document's language.
std::string Num(double v, int decimals, char decimalSep) {
  return FormatFixed(std::isfinite(v) ? v : 0.0, decimals, decimalSep);
}

const char kDegree[] = "\xB0";

// The first page's rows: label, ":" and a value left at +37 mm or right at +55 mm.
class TRowWriter {
 public:
  TRowWriter(TSimpleDC& dc, const TMsgManager& msg) : dc_(dc), msg_(msg) {}
  std::string Label(const char* key) const { return msg_.GetText("FirstPage", key); }
  // `maxWidth` > 0: the text is cut with an ellipsis to stay in its cell.
  void Text(int x, int y, const std::string& s, int align = gdi::TA_LEFT, int maxWidth = 0) {
    dc_.SetTextAlign(align, gdi::TA_BOTTOM);
    dc_.TextOut(x, y, maxWidth > 0 ? dc_.FitText(s, maxWidth) : s);
  }
  void Heading(int x, int y, const std::string& s) {
    dc_.Font().SetStyle(fsBold);
    Text(x, y, s);
    dc_.Font().SetStyle(0);
  }
  // A left-aligned value may run to `right` (0: to the right-aligned column).
  void Row(int x, int y, const std::string& label, const std::string& value, bool rightAligned, int right = 0) {
    Text(x, y, label, gdi::TA_LEFT, Mm(34));
    Text(x + Mm(35), y, ":");
    if (rightAligned)
      Text(x + Mm(55), y, value, gdi::TA_RIGHT, Mm(17));
    else
      Text(x + Mm(37), y, value, gdi::TA_LEFT, (right > 0 ? right : x + Mm(74)) - (x + Mm(37)));
  }

 private:
  TSimpleDC& dc_;
  const TMsgManager& msg_;
};

}  // namespace

std::string DatasheetFileName(const TLUM32& lum) {
  // The path the luminaire was read from holds the real, long name; the
  // 12-character short name is only the catalogue's key.
  const std::size_t slash = lum.FileName.find_last_of("/\\");
  std::string name = slash == std::string::npos ? lum.FileName : lum.FileName.substr(slash + 1);
  return name.empty() ? lum.ShortName : name;
}

TRect LogoBox(const TRect& page) { return {page.left, Mm(3), page.left + Mm(50), Mm(19)}; }

void DrawPageFrame(TDevice& dc, TRect& page, int pageNumber, int pageTotal, const TMsgManager& msg,
                   const TLUM32& lum, const std::string& title, const TDatasheetOptions& options) {
  {
    TSimpleDC sdc(dc, false);
    FitHeadingFont(sdc, 1440, "HELLO WORLD HERE I AM");
    sdc.Pen().SetWidth(5);
    const int headerY = Mm(20), footerY = page.bottom - Mm(15);
    sdc.Line(page.left, headerY, page.right, headerY);
    sdc.Line(page.left, footerY, page.right, footerY);

    std::string name = lum.LumName;
    if (!lum.LumName.empty() && !lum.LumNumber.empty()) name += " / " + lum.LumNumber;
    sdc.Font().SetHeight(220);
    sdc.SetTextAlign(gdi::TA_RIGHT, gdi::TA_BOTTOM);
    const int nameRoom = page.right - (options.userLogo.empty() ? page.left : LogoBox(page).right + Mm(3));
    sdc.TextOut(page.right, Mm(19), sdc.FitText(name, nameRoom));
    sdc.Font().SetHeight(180);
    sdc.SetTextAlign(gdi::TA_RIGHT, gdi::TA_TOP);
    sdc.TextOut(page.right, Mm(21), title);

    sdc.Font().SetHeight(200);
    const std::string pageText =
        msg.GetText("OUTTXT", "PG_STR") + " " + std::to_string(pageNumber) + " / " + std::to_string(pageTotal);
    // The company's texts keep clear of the page number.
    const int companyRoom = page.right - page.left - sdc.TextWidth(pageText) - Mm(5);
    sdc.SetTextAlign(gdi::TA_RIGHT, gdi::TA_TOP);
    sdc.TextOut(page.right, page.bottom - Mm(14), pageText);
    sdc.Font().SetHeight(220);
    sdc.SetTextAlign(gdi::TA_LEFT, gdi::TA_BOTTOM);
    sdc.TextOut(page.left, page.bottom - Mm(16), sdc.FitText(options.userName, companyRoom));
    sdc.Font().SetHeight(160);
    sdc.SetTextAlign(gdi::TA_LEFT, gdi::TA_TOP);
    sdc.TextOut(page.left, page.bottom - Mm(14), sdc.FitText(options.userAddr, companyRoom));
  }
  page.top = Mm(25);
  page.bottom -= Mm(18);
}

void DrawMainPage(const TLUM32& lum, TDevice& dc, const TRect& body, const TMsgManager& msg,
                  const TMainPageFacts& facts, const TDatasheetOptions& options) {
  int yE = body.top, ySketch = body.top;
  const char sep = LanguageDecimalSeparator(options.languageFile);
  auto Num = [sep](double v, int decimals) { return kandelo::Num(v, decimals, sep); };
  {
    TSimpleDC sdc(dc, false);
    sdc.SetBkMode(gdi::TRANSPARENT);
    sdc.Font().SetName("Arial");
    sdc.Font().SetHeight(180);
    sdc.Font().SetStyle(0);
    TRowWriter w(sdc, msg);
    const int x0 = body.left, x1 = x0 + Mm(75);
    const int row = Mm(5);
    const std::string mm = " " + w.Label("MM");
    const std::string deg = std::string(" ") + kDegree;
    int y = body.top + Mm(5);
    w.Row(x0, y, w.Label("filename"), DatasheetFileName(lum), false, body.right);
    w.Row(x0, y += row, w.Label("MNUM"), lum.ReportNumber, false, body.right);
    w.Row(x0, y += row, w.Label("LNUM"), lum.LumNumber, false, body.right);
    w.Row(x0, y += row, w.Label("DATEOP"), lum.DateUser, false, body.right);
    // A heading 9 mm below the last row, its first row 5 mm below it.
    auto section = [&](const char* key) {
      w.Heading(x0, y + Mm(9), w.Label(key));
      y += Mm(14);
    };
    // Files write "0" where they know no colour temperature or rendering.
    auto orDash = [](const std::string& text) {
      const std::string t = TrimBlanks(text);
      return t.empty() || t == "0" ? std::string("-") : text;
    };

    section("DEFLAMP");
    // Six columns; a text stays in its own (2 mm apart).
    const int lampColumn[7] = {x0,           x0 + Mm(16),  x0 + Mm(76),       x0 + Mm(101),
                               x0 + Mm(121), x0 + Mm(147), body.right + Mm(2)};
    auto lampRow = [&](const std::string (&cells)[6]) {
      for (int c = 0; c < 6; ++c)
        w.Text(lampColumn[c], y, cells[c], gdi::TA_LEFT, lampColumn[c + 1] - lampColumn[c] - Mm(2));
    };
    lampRow({w.Label("LNr"), w.Label("LTYP"), w.Label("LFlux"), w.Label("LPOWER"), w.Label("LCCT"), w.Label("LCRI")});
    const int sets = std::min<int>(lum.LampSetCount, static_cast<int>(lum.LampSets.size()));
    for (int i = 0; i < sets; ++i) {
      const TLampSet& set = lum.LampSets[static_cast<std::size_t>(i)];
      y += row;
      lampRow({std::to_string(set.LampCount), set.LampType, Num(set.LampFlux, 0) + " lm",
               std::to_string(set.SetWatt) + " W", orDash(set.ColourText), orDash(set.RenderingText)});
    }

    section("DIM");
    w.Text(x0, y, w.Label("PDIM"));
    w.Text(x1, y, w.Label("LDIM"));
    auto dimensions = [&](int x, int yStart, int diameter, int length, int width, int height) {
      int yy = yStart;
      auto dim = [&](const char* key, int value) {
        yy += row;
        w.Row(x, yy, w.Label(key), std::to_string(value) + mm, true);
      };
      if (diameter != 0) {
        dim("DIA", diameter);
      } else {
        dim("LEN", length);
        dim("WID", width);
      }
      dim("HGT", height);
      return yy;
    };
    const int yLum = dimensions(x0, y, lum.Diameter, lum.Length, lum.Width, lum.Height[0]);
    const int yArea = dimensions(x1, y, lum.LumAreaDiameter, lum.LumAreaLength, lum.LumAreaWidth, lum.LumAreaHeight[0]);
    y = std::max(yLum, yArea);

    section("CSYS");
    auto pair = [&](const std::string& left, const std::string& lv, const std::string& right, const std::string& rv) {
      w.Row(x0, y, left, lv, true);
      w.Row(x1, y, right, rv, true);
    };
    pair(w.Label("PNUM"), std::to_string(lum.CPlaneCount), w.Label("NUMA"), std::to_string(lum.GammaCount));
    y += row;
    pair(w.Label("PL1"), Num(lum.CStart, 1) + deg, w.Label("AN1"), Num(lum.GammaStart, 1) + deg);
    y += row;
    // Planes or angles at unequal distances have no step.
    auto step = [&](float value, std::uint8_t unequal) {
      return (lum.GridFlags & unequal) != 0 || value == 0 ? std::string("-") : Num(value, 1) + deg;
    };
    pair(w.Label("STP"), step(lum.CStep, kCNotEquidistant), w.Label("STP"), step(lum.GammaStep, kGammaNotEquidistant));
    y += row;
    pair(w.Label("PLX"), Num(lum.CEnd, 1) + deg, w.Label("ANX"), Num(lum.GammaEnd, 1) + deg);
    y += row;
    // Nothing stands right of the symmetry: its text may run to the edge.
    w.Row(x0, y, w.Label("SYM"), msg.GetText("OUTTXT", "sym" + std::to_string(std::min<int>(lum.Symmetry, 4))), false,
          body.right);

    section("EVL");
    auto unit = [&Num](double v, int decimals, const std::string& u) {
      return std::isfinite(v) && v > 0 ? Num(v, decimals) + (u.empty() ? "" : " " + u) : std::string("-");
    };
    pair(w.Label("LOR"), Num(lum.LOR, 1) + " %", w.Label("LUMFLUX"), unit(facts.luminaireFlux, 0, "lm"));
    y += row;
    pair(w.Label("DFF"), Num(100.0 * lum.DFF, 1) + " %", w.Label("EFFIC"),
         facts.power > 0 ? unit(facts.luminaireFlux / facts.power, 1, "lm/W") : std::string("-"));
    y += row;
    pair(w.Label("UFF"), Num(100.0 * (1.0 - lum.DFF), 1) + " %", w.Label("SHRNOM"), unit(facts.shrNominal, 2, ""));
    y += row;
    w.Text(x0, y, w.Label("BEAM"));
    y += row;
    pair("C0 - C180", unit(facts.beamC0, 1, kDegree), "C90 - C270", unit(facts.beamC90, 1, kDegree));
    y += row;
    w.Text(x0, y, w.Label("UGRROOM"));
    y += row;
    auto ugr = [&](double v) { return facts.ugrValid && std::isfinite(v) ? Num(v, 1) : std::string("-"); };
    pair(w.Label("UGRCW"), ugr(facts.ugrCrosswise), w.Label("UGRLW"), ugr(facts.ugrEndwise));

    yE = y + Mm(9);
    y += Mm(9);
    w.Heading(x0, y, w.Label("CLS"));
    y += row;
    w.Row(x0, y, "LiTG / DIN", lum.ClassCode, false);
    // A luminaire that two UTE classes fit has a long text: it goes on as
    // many rows as it needs, broken between the classes.
    {
      const int room = Mm(74) - Mm(37);
      std::vector<std::string> rows{""};
      const std::string& ute = facts.ute.text;
      for (std::size_t start = 0; start <= ute.size();) {
        std::size_t end = ute.find(" / ", start);
        if (end == std::string::npos) end = ute.size();
        const std::string part = ute.substr(start, end - start);
        const std::string joined = rows.back().empty() ? part : rows.back() + " / " + part;
        if (rows.back().empty() || sdc.TextWidth(joined + " /") <= room)
          rows.back() = joined;
        else
          rows.push_back(part);
        start = end + 3;
      }
      for (std::size_t i = 0; i + 1 < rows.size(); ++i) rows[i] += " /";
      w.Row(x0, y += row, "UTE", rows[0], false);
      for (std::size_t i = 1; i < rows.size(); ++i) w.Text(x0 + Mm(37), y += row, rows[i], gdi::TA_LEFT, room);
    }
    std::string cie;
    for (std::size_t i = 0; i < lum.CieFluxCode.size(); ++i)
      cie += (i ? " " : "") + std::to_string(lum.CieFluxCode[i]);
    w.Row(x0, y += row, "CIE", cie, false);
    std::string bz = "-";
    if (lum.DistributionKind == 0 || lum.DistributionKind == 2) {
      bz.clear();
      for (std::uint8_t c : lum.BzClasses) bz += std::to_string(c) + " ";
    }
    w.Row(x0, y += row, "BZ", bz, false);
    ySketch = y + Mm(4);
  }
  const TRect sketch{body.left, ySketch, body.left + Mm(72), body.bottom - Mm(5)};
  if (sketch.bottom - sketch.top >= Mm(20)) DrawDimensionSketch(lum, dc, sketch, msg, sep);
  std::vector<float> planes{0.0f};
  if (lum.Symmetry != 1) planes.push_back(90.0f);
  const TRect polar{body.left + Mm(75), yE - Mm(4), body.right, body.bottom - Mm(5)};
  if (polar.right > polar.left && polar.bottom > polar.top)
    DrawLVKPolar(lum, &planes, dc, options.boldHeading, options.languageFile, options.showEta, true, polar, body);
}

double SketchScale(double real, double room) {
  if (!(real > 0) || !(room > 0)) return 1;
  const double needed = real / room;
  // The scales of technical drawings: 1:1, 1:2, 1:2.5, 1:5, then from 1:10
  // on 1, 2, 2.5, 3, 4, 5 and 7.5 times each power of ten.
  for (double m : {1.0, 2.0, 2.5, 5.0})
    if (m >= needed) return m;
  for (double decade = 10;; decade *= 10)
    for (double m : {1.0, 2.0, 2.5, 3.0, 4.0, 5.0, 7.5})
      if (m * decade >= needed) return m * decade;
}

void DrawDimensionSketch(const TLUM32& lum, TDevice& dc, const TRect& box, const TMsgManager& msg, char decimalSep) {
  const bool round = lum.Diameter != 0;
  const double length = round ? lum.Diameter : lum.Length, width = round ? lum.Diameter : lum.Width;
  const double height = lum.Height[0];
  if (!(length > 0) || !(width > 0)) return;
  const bool areaRound = lum.LumAreaDiameter != 0;
  const double areaLength = areaRound ? lum.LumAreaDiameter : lum.LumAreaLength;
  const double areaWidth = areaRound ? lum.LumAreaDiameter : lum.LumAreaWidth;

  TSimpleDC sdc(dc, false);
  sdc.SetBkMode(gdi::TRANSPARENT);
  sdc.Font().SetName("Arial");
  sdc.Font().SetHeight(160);
  sdc.Font().SetStyle(0);
  const double twipsPerMm = MmToTwips(100) / 100.0;
  // Room for the view labels (left), the gap between the views and the scale line.
  const int labelW = Mm(24), gap = Mm(5), scaleH = Mm(5);
  const double roomW = (box.right - box.left - labelW) / twipsPerMm;
  const double roomH = (box.bottom - box.top - gap - scaleH) / twipsPerMm;
  const double n = std::max(SketchScale(length, roomW), SketchScale(width + height, roomH));
  auto len = [&](double realMm) { return static_cast<int>(std::lround(realMm / n * twipsPerMm)); };

  const int left = box.left + labelW;
  const int cx = left + len(length) / 2;
  // Elevation (front view) above, plan (top view) below.
  const int eTop = box.top, eBottom = eTop + len(height);
  const int pTop = eBottom + gap, pBottom = pTop + len(width), pcy = (pTop + pBottom) / 2;
  const TColor kArea = RGBColor(255, 220, 90);
  sdc.Pen().SetWidth(15);
  sdc.Brush().SetBrush(gdi::BS_SOLID, 0, RGBColor(235, 235, 235));
  if (len(height) > 0)
    sdc.Rectangle(left, eTop, left + len(length), eBottom);
  else
    sdc.Line(left, eTop, left + len(length), eTop);
  if (round)
    sdc.Circle(cx, pcy, len(length) / 2);
  else
    sdc.Rectangle(left, pTop, left + len(length), pBottom);
  // The luminous area, centred in the plan and along the bottom of the elevation.
  if (areaLength > 0 && areaWidth > 0) {
    sdc.Brush().SetBrush(gdi::BS_SOLID, 0, kArea);
    sdc.Pen().SetWidth(10);
    if (areaRound)
      sdc.Circle(cx, pcy, len(areaLength) / 2);
    else
      sdc.Rectangle(cx - len(areaLength) / 2, pcy - len(areaWidth) / 2, cx + len(areaLength) / 2,
                    pcy + len(areaWidth) / 2);
    const int strip = std::max(Mm(0.6), len(lum.LumAreaHeight[0]));
    sdc.Rectangle(cx - len(areaLength) / 2, eBottom - strip, cx + len(areaLength) / 2, eBottom);
  }
  sdc.Brush().SelectNull();
  sdc.SetTextAlign(gdi::TA_LEFT, gdi::TA_BASELINE);
  const int labelRoom = labelW - Mm(2);
  sdc.TextOut(box.left, std::max(eTop + Mm(2.5), eBottom), sdc.FitText(msg.GetText("FirstPage", "ELEV"), labelRoom));
  sdc.TextOut(box.left, pcy + Mm(1), sdc.FitText(msg.GetText("FirstPage", "PLAN"), labelRoom));
  const std::string scale = n == std::floor(n) ? std::to_string(static_cast<long long>(n)) : Num(n, 1, decimalSep);
  sdc.SetTextAlign(gdi::TA_LEFT, gdi::TA_TOP);
  sdc.TextOut(left, pBottom + Mm(1.5), msg.GetText("FirstPage", "SCALE") + " 1:" + scale);
}

std::vector<TRect> DiagramCells(const TRect& area, int m) {
  const int top = area.top, bottom = area.bottom, left = area.left, right = area.right;
  const double H = bottom - top, W = right - left;
  std::vector<TRect> cells;
  auto R = [](double v) { return static_cast<int>(std::lround(v)); };
  switch (std::clamp(m, 1, 6)) {
    case 1: cells.push_back(area); break;
    case 2: {
      const double h = H / 2.1;
      cells.push_back({left, top, right, top + R(h)});
      cells.push_back({left, bottom - R(h), right, bottom});
      break;
    }
    case 3: {
      const double h = H / 3.2;
      cells.push_back({left, top, right, top + R(h)});
      cells.push_back({left, top + R(1.1 * h), right, top + R(2.1 * h)});
      cells.push_back({left, bottom - R(h), right, bottom});
      break;
    }
    case 4: {
      const double h = H / 2.1, w = W / 2.1;
      cells.push_back({left, top, left + R(w), top + R(h)});
      cells.push_back({right - R(w), top, right, top + R(h)});
      cells.push_back({left, bottom - R(h), left + R(w), bottom});
      cells.push_back({right - R(w), bottom - R(h), right, bottom});
      break;
    }
    case 5:
    case 6: {
      const double h = H / 3.2, w = W / 2.1;
      const int rows[3][2] = {{top, top + R(h)}, {top + R(1.1 * h), top + R(2.1 * h)}, {bottom - R(h), bottom}};
      for (int r = 0; r < 2; ++r) {
        cells.push_back({left, rows[r][0], left + R(w), rows[r][1]});
        cells.push_back({right - R(w), rows[r][0], right, rows[r][1]});
      }
      if (m == 5) {
        cells.push_back({left + R(0.55 * w), bottom - R(h), left + R(1.55 * w), bottom});
      } else {
        cells.push_back({left, rows[2][0], left + R(w), rows[2][1]});
        cells.push_back({right - R(w), rows[2][0], right, rows[2][1]});
      }
      break;
    }
  }
  return cells;
}

void DrawDiagramPage(const TLUM32& lum, TDevice& dc, const TRect& body, const std::vector<float>& planes,
                     bool polar, const TDatasheetOptions& options) {
  if (planes.empty()) return;
  const TRect area{body.left, body.top + Mm(10), body.right, body.bottom - Mm(10)};
  const int count = std::min<int>(static_cast<int>(planes.size()), kPlanesPerDiagram * kDiagramsPerPage);
  const int m = (count + kPlanesPerDiagram - 1) / kPlanesPerDiagram;
  const std::vector<TRect> cells = DiagramCells(area, m);
  for (int d = 0; d < m; ++d) {
    const auto first = planes.begin() + d * kPlanesPerDiagram;
    const std::vector<float> four(first, first + std::min(kPlanesPerDiagram, count - d * kPlanesPerDiagram));
    const TRect& cell = cells[static_cast<std::size_t>(d)];
    if (polar)
      DrawLVKPolar(lum, &four, dc, options.boldHeading, options.languageFile, options.showEta, true, cell, body);
    else
      DrawLVKCartesian(lum, &four, dc, options.languageFile, 0, cell, body);
  }
}

void DrawTablePage(const TLUM32& lum, TDevice& dc, const TRect& body, int firstPlane, int firstGamma, char decimalSep) {
  const int p = firstPlane, g = firstGamma;
  if (p < 1 || g < 1 || p > lum.CPlaneCount || g > lum.GammaCount) return;
  TSimpleDC sdc(dc, false);
  sdc.SetBkMode(gdi::TRANSPARENT);
  sdc.Brush().SelectNull();
  sdc.Font().SetName("Arial");
  sdc.Font().SetHeight(180);
  sdc.Font().SetStyle(0);
  auto R = [](double v) { return static_cast<int>(std::lround(v)); };
  const int left = body.left;
  const double cw = (body.right - body.left) / 9.0;
  const double rh = (body.bottom - body.top - Mm(20)) / 39.0;
  const int k = std::min(lum.CPlaneCount - p + 1, kTablePlanes) + 1;
  const int q = std::min(lum.GammaCount - g + 1, kTableGammas) + 2;
  const int y0 = body.top + Mm(10);
  const int right = left + R(k * cw), bottom = body.top + Mm(10) + R(q * rh);

  sdc.Pen().SetWidth(20);
  sdc.FrameRect(left, y0, right, bottom);
  sdc.Line(left + R(cw), y0, left + R(cw), bottom);
  sdc.Line(left, y0 + R(rh), right, y0 + R(rh));
  sdc.Line(left, bottom - R(rh), right, bottom - R(rh));
  sdc.Pen().SetWidth(0);
  for (int a = 2; a <= k - 1; ++a) sdc.Line(left + R(a * cw), y0, left + R(a * cw), bottom - R(rh));
  for (int a = 2; a <= q - 1; ++a) sdc.Line(left, y0 + R(a * rh), right, y0 + R(a * rh));

  sdc.SetTextAlign(gdi::TA_CENTER, gdi::TA_TOP);
  for (int j = 0; j <= k - 2; ++j)
    sdc.TextOut(left + R((j + 1.5) * cw), y0 + R(0.15 * rh), "C " + Num(lum.CAngle(p + j), 1, decimalSep));
  sdc.SetTextAlign(gdi::TA_RIGHT, gdi::TA_TOP);
  for (int i = 0; i <= q - 3; ++i) {
    const int y = y0 + R((i + 1.15) * rh);
    sdc.TextOut(left + R(0.9 * cw), y, Num(lum.GammaAngle(g + i), 1, decimalSep) + kDegree);
    for (int j = 0; j <= k - 2; ++j) sdc.TextOut(left + R((j + 1.9) * cw), y, Num(lum.GetValue(p + j, g + i), 2, decimalSep));
  }
  sdc.TextOut(right - R(0.1 * cw), bottom - R(0.85 * rh), "cd / klm");
}

void DrawListBlock(const TLUM32& lum, TDevice& dc, const TRect& rect) {
  const TDiagramState& st = DiagramState();
  TSimpleDC sdc(dc, st.standalone);
  TRect r = rect;
  if (st.standalone) {
    sdc.SetMapMode(gdi::MM_ANISOTROPIC);
    sdc.SetWindowExt(rect.right - rect.left, rect.bottom - rect.top);
    sdc.SetWindowOrg(0, 0);
    r = {0, 0, rect.right - rect.left, rect.bottom - rect.top};
  }
  sdc.SetBkMode(gdi::TRANSPARENT);
  sdc.Brush().SelectNull();
  const int lw = st.lineWidth;
  const TRect f{r.left + lw, r.top + lw, r.right - lw, r.bottom - lw};
  const int w = r.right - r.left;
  const double s = (f.bottom - f.top) / 6.0;
  auto R = [](double v) { return static_cast<int>(std::lround(v)); };
  sdc.Pen().SetWidth(0);
  sdc.FrameRect(f.left, f.top, f.right, f.bottom);
  for (int i = 1; i <= 5; ++i) sdc.Line(f.left, f.top + R(i * s), f.right, f.top + R(i * s));
  const int xd = R(0.46 * w);
  sdc.Line(xd, f.top, xd, f.top + R(2 * s));
  sdc.Line(xd, f.top + R(3 * s), xd, f.bottom);

  sdc.Font().SetName("Arial");
  sdc.Font().SetHeight(140);
  sdc.SetTextAlign(gdi::TA_LEFT, gdi::TA_TOP);
  const TLampSet& set = lum.LampSets[0];
  const char* leftLabels[6] = {"Serie", "Bestell-Nr.", "Bezeichnung", "Lichtstrom (lm)", "Wirkungsgrad (%)",
                               "L\xE4nge/Durchm. (mm)"};
  const std::string leftValues[6] = {"XXXXXXXXXXX",
                                     lum.LumNumber,
                                     lum.LumName,
                                     Num(set.SetFlux, 0, ','),
                                     Num(lum.LOR, 1, ','),
                                     std::to_string(lum.Diameter != 0 ? lum.Diameter : lum.Length)};
  const char* rightLabels[6] = {"Typ", "Best\xFC" "ckung", nullptr, "Leistung (W)", "Breite (mm)", "H\xF6he (mm)"};
  const std::string rightValues[6] = {"XXXXXXXXXXXXXXXXXXXXXXXX",
                                      std::to_string(set.LampCount) + " x " + set.LampType,
                                      "",
                                      std::to_string(set.SetWatt),
                                      lum.Diameter != 0 ? std::string("0") : std::to_string(lum.Width),
                                      std::to_string(lum.Height[0])};
  for (int i = 0; i < 6; ++i) {
    const int y = f.top + 12 + R(i * s);
    sdc.Font().SetStyle(fsBold);
    sdc.TextOut(f.left + 30, y, leftLabels[i]);
    if (rightLabels[i]) sdc.TextOut(xd + 30, y, rightLabels[i]);
    sdc.Font().SetStyle(0);
    sdc.TextOut(R(0.27 * w), y, leftValues[i]);
    if (rightLabels[i]) sdc.TextOut(R(0.62 * w), y, rightValues[i]);
  }
}

}  // namespace kandelo
