#include "evaluation/cone.h"

#include <algorithm>
#include <cmath>

#include "evaluation/diagram_common.h"
#include "frame/msgmanager.h"
#include "frame/settings.h"
#include "frame/strutil.h"
#include "photometry/numeric.h"

namespace kandelo {
namespace {

constexpr TColor kYellow = 0x00FFFF;

const TDistanceSet kDistanceSets[kDistanceSetCount] = {
    {2, 4}, {3, 3}, {4, 4}, {5, 2}, {7.5, 3}, {10, 4}, {15, 3}, {20, 4}, {30, 3}, {40, 4}, {50, 2}, {75, 3}, {100, 4}};

double Finite(double v) { return std::isfinite(v) ? v : 0.0; }

// The half of a flat ellipse (half-height a tenth of its half-width) to the
// right of (cx, cy), from top to bottom.
constexpr int kHalfEllipsePoints = 37;
std::vector<TPoint> HalfEllipse(int cx, int cy, int a) {
  std::vector<TPoint> pts;
  const double b = a / 10.0;
  for (int k = 0; k < kHalfEllipsePoints; ++k) {
    const double phi = kPi * (static_cast<double>(k) / (kHalfEllipsePoints - 1) - 0.5);
    pts.push_back({cx + RoundEven(a * std::cos(phi)), cy + RoundEven(b * std::sin(phi))});
  }
  return pts;
}

// Beyond this the cone has no finite cut (and no edge is drawn).
bool FiniteCone(double alpha) { return alpha > 0 && std::fabs(alpha - 90.0) > 0.5 && alpha < 90.0; }

}  // namespace

double HalfValueAngle(const TLUM32& lum, double c) {
  const double i0 = Finite(lum.Intensity(0.0, c));
  const double imax = Finite(lum.Imax);
  const double reference = std::lround(i0) == std::lround(imax) ? imax : (i0 + 2 * imax) / 3;
  const double half = reference / 2;
  bool above = false;
  for (int k = 0; k <= 900; ++k) {
    const double gamma = k / 10.0;
    const double i = Finite(lum.Intensity(gamma, c));
    if (i > half) {
      above = true;
    } else if (above) {
      return gamma;
    }
  }
  return above ? 90.0 : 0.0;
}

const TDistanceSet& DistanceSet(int index) { return kDistanceSets[std::clamp(index, 0, kDistanceSetCount - 1)]; }

std::string DistanceSetText(int index) { return DistanceSetText(index, LanguageDecimalSeparator(Settings().UiLangExt)); }

std::string DistanceSetText(int index, char decimalSep) {
  const double d = DistanceSet(index).largest;
  return FormatFixed(d, d == std::floor(d) ? 0 : 1, decimalSep) + " m";
}

double BeamAngle(const TLUM32& lum, double c) {
  return HalfValueAngle(lum, c) + HalfValueAngle(lum, std::fmod(c + 180.0, 360.0));
}

int FindDistanceSet(double metres) {
  for (int i = 0; i < kDistanceSetCount; ++i)
    if (std::fabs(kDistanceSets[i].largest - metres) < 1e-6) return i;
  return -1;
}

double LampFluxOf(const TLUM32& lum) {
  double flux = 0;
  for (int i = 0; i < std::min<int>(lum.LampSetCount, kMaxLampSets); ++i) flux += Finite(lum.LampSets[static_cast<std::size_t>(i)].SetFlux);
  return flux > 0 ? flux : 1000.0;
}

TConeRecord MakeConeRecord(const TLUM32& lum, int distanceSet, double lampFlux) {
  TConeRecord r;
  r.distanceSet = static_cast<std::uint8_t>(std::clamp(distanceSet, 0, kDistanceSetCount - 1));
  // Only a rotationally symmetric luminaire has one beam angle.
  r.planeCount = lum.Symmetry == symRotational ? 1 : 2;
  r.angleC0 = static_cast<float>(HalfValueAngle(lum, 0));
  r.angleC90 = r.planeCount == 2 ? static_cast<float>(HalfValueAngle(lum, 90)) : r.angleC0;
  r.lampFlux = static_cast<float>(lampFlux);
  return r;
}

double ConeFlux(const TLUM32& lum, double alpha) {
  if (lum.PlaneSystem == psCGamma) return Finite(lum.ZoneFlux(0.0, alpha));
  // The zonal flux covers C-γ tables only; other systems are integrated
  // over the cone through the intensity function (midpoint rule).
  const int nGamma = std::max(1, static_cast<int>(std::ceil(alpha / 0.5))), nC = 72;
  const double dg = alpha / nGamma * kDegToRad, dc = 2 * kPi / nC;
  double sum = 0;
  for (int i = 0; i < nGamma; ++i) {
    const double g = (i + 0.5) * dg;
    double ring = 0;
    for (int k = 0; k < nC; ++k) ring += Finite(lum.Intensity(g / kDegToRad, (k + 0.5) * 360.0 / nC));
    sum += ring * std::sin(g);
  }
  return sum * dg * dc;
}

std::vector<TConeStep> ComputeCone(const TLUM32& lum, const TConeRecord& rec) {
  const TDistanceSet& set = DistanceSet(rec.distanceSet);
  const double klm = Finite(rec.lampFlux) / 1000.0;
  const double i0 = Finite(lum.Intensity(0.0, 0.0));
  const double flux1 = FiniteCone(rec.angleC0) ? ConeFlux(lum, rec.angleC0) * klm : 0.0;
  const double flux2 = rec.planeCount == 2 && FiniteCone(rec.angleC90) ? ConeFlux(lum, rec.angleC90) * klm : 0.0;
  auto mean = [&](double flux, double r) { return r > 0 ? flux / (kPi * r * r) : 0.0; };
  std::vector<TConeStep> steps;
  for (int j = 1; j <= set.steps; ++j) {
    TConeStep s;
    s.distance = j * set.largest / set.steps;
    s.axisIlluminance = i0 * klm / (s.distance * s.distance);
    s.hasCone = FiniteCone(rec.angleC0);
    if (s.hasCone) {
      const double r = s.distance * std::tan(rec.angleC0 * kDegToRad);
      s.diameter = 2 * r;
      s.meanIlluminance = mean(flux1, r);
      if (rec.planeCount == 2 && FiniteCone(rec.angleC90)) {
        const double r2 = s.distance * std::tan(rec.angleC90 * kDegToRad);
        s.diameter2 = 2 * r2;
        s.meanIlluminance2 = mean(flux2, r2);
      }
    }
    steps.push_back(s);
  }
  return steps;
}

std::string IlluminanceText(double lx, char decimalSep) {
  const int decimals = lx > 10 ? 0 : lx > 5 ? 1 : 2;
  return TrimBlanks(FormatFixed(lx, decimals, decimalSep)) + " lx";
}

void DrawCone(const TLUM32& lum, TDevice& target, const TRect& rect, const std::string& languageFile,
              const TConeRecord& rec, const TRect& /*rect2*/) {
  TDiagramState& st = DiagramState();
  TSimpleDC dc(target, st.standalone);
  TMsgManager messages(languageFile);
  const char sep = LanguageDecimalSeparator(languageFile);
  const TRect sq = DiagramSquare(rect);
  const int s = sq.Width();
  const TRect fr{sq.left + RoundEven(0.25 * s), sq.top + RoundEven(0.1 * s), sq.right - RoundEven(0.15 * s),
                 sq.bottom - RoundEven(0.075 * s)};
  st.baseFontSize = 35;
  if (st.standalone) {
    dc.SetMapMode(gdi::MM_ANISOTROPIC);
    dc.SetWindowExt(std::max(1, s), std::max(1, s));
    dc.SetWindowOrg(0, 0);
  }
  FitHeadingFont(dc, RoundEven(0.5 * s), std::string(kLvkHeading) + " XXX");
  const int base = st.baseFontSize;
  const int lw = st.lineWidth;
  dc.Font().SetHeight(10 * base);
  const int wq = dc.TextWidth("Q");
  const double alpha = rec.angleC0;
  auto number = [&](double v, int decimals) { return FormatFixed(v, decimals, sep); };

  // The beam angle; an asymmetric luminaire has one per plane pair. The
  // heading stays above the frame, from its left to its right edge: on one
  // line down to 8/10 of the type size, else on two (the label above the
  // angles) down to 6/10, else cut.
  const std::string label = messages.GetText("OUTTXT", "ASW");
  const std::string angles = rec.planeCount == 2 ? "C0-C180 " + number(BeamAngle(lum, 0), 1) + "\xB0, C90-C270 " +
                                                       number(BeamAngle(lum, 90), 1) + "\xB0"
                                                 : number(2 * alpha, 1) + "\xB0";
  {
    const int room = fr.Width(), above = fr.top - sq.top - wq / 2, step = std::max(1, base / 2);
    std::vector<std::string> lines;
    auto fits = [&](const std::vector<std::string>& candidate, int font) {
      dc.Font().SetHeight(font);
      for (const std::string& line : candidate)
        if (dc.TextWidth(line) > room) return false;
      return static_cast<int>(candidate.size()) * dc.TextHeight("Q") <= above;
    };
    for (int f = 10 * base; lines.empty() && f >= 8 * base; f -= step)
      if (fits({label + " " + angles}, f)) lines = {label + " " + angles};
    for (int f = 10 * base; lines.empty() && f >= 6 * base; f -= step)
      if (fits({label, angles}, f)) lines = {label, angles};
    if (lines.empty()) {
      dc.Font().SetHeight(6 * base);
      lines = {dc.FitText(label + " " + angles, room)};
    }
    dc.SetTextAlign(gdi::TA_LEFT, gdi::TA_BOTTOM);
    const int lineHeight = dc.TextHeight("Q");
    for (std::size_t k = 0; k < lines.size(); ++k)
      dc.TextOut(fr.left, fr.top - wq / 2 - static_cast<int>(lines.size() - 1 - k) * lineHeight, lines[k]);
  }
  dc.Font().SetHeight(10 * base);
  dc.Pen().SetWidth(lw);
  dc.RectangleRect(fr);
  if (fr.Width() <= 0 || fr.Height() <= 0) return;

  // The cone's edge from the apex at the top left corner.
  if (std::fabs(alpha - 90.0) > 0.5 && alpha > 0) {
    const double corner = std::atan2(fr.Width(), fr.Height()) / kDegToRad;
    const double t = std::tan(alpha * kDegToRad);
    if (alpha < corner)
      dc.Line(fr.left, fr.top, fr.left + RoundEven(fr.Height() * t), fr.bottom);
    else if (alpha < 90)
      dc.Line(fr.left, fr.top, fr.right, fr.top + RoundEven(fr.Width() / t));
  }

  const std::vector<TConeStep> steps = ComputeCone(lum, rec);
  const double p = static_cast<double>(fr.Height()) / (static_cast<double>(steps.size()) + 1);
  // The row texts beside the frame: smaller type when the widest would cross
  // it (large diameters and illuminances), never more than half a row high.
  std::vector<std::string> leftTexts, rightTexts;
  for (const TConeStep& step : steps) {
    leftTexts.push_back("H : " + number(step.distance, 1) + " m");
    leftTexts.push_back(IlluminanceText(step.axisIlluminance, sep));
    if (!step.hasCone) continue;
    std::string d = "\xD8" + number(step.diameter, 1);
    std::string e = IlluminanceText(step.meanIlluminance, sep);
    if (rec.planeCount == 2 && step.diameter2 > 0) {
      d += " / " + number(step.diameter2, 1);
      e = TrimBlanks(FormatFixed(step.meanIlluminance, step.meanIlluminance > 10 ? 0 : 1, sep)) + " / " +
          IlluminanceText(step.meanIlluminance2, sep);
    }
    rightTexts.push_back(d + " m");
    rightTexts.push_back(e);
  }
  const int leftRoom = fr.left - wq - sq.left, rightRoom = sq.right - wq / 2 - (fr.right + wq / 2);
  int font = 10 * base;
  auto widest = [&](const std::vector<std::string>& texts) {
    int w = 0;
    for (const std::string& t : texts) w = std::max<int>(w, dc.TextWidth(t));
    return w;
  };
  const int rowLimit = std::max(1, RoundEven(0.45 * p));
  while (font > 4 * base && (font > rowLimit || widest(leftTexts) > leftRoom || widest(rightTexts) > rightRoom)) {
    font -= std::max(1, base / 2);
    dc.Font().SetHeight(font);
  }
  const int gap = std::max(1, dc.TextWidth("Q") / 2);
  dc.Pen().SetWidth(0);
  std::size_t right = 0;
  for (std::size_t k = 0; k < steps.size(); ++k) {
    const TConeStep& st2 = steps[k];
    const int y = fr.top + RoundEven(static_cast<double>(k + 1) * p);
    dc.Line(fr.left - 15, y, fr.right + 30, y);
    dc.SetTextAlign(gdi::TA_RIGHT, gdi::TA_TOP);
    dc.TextOut(fr.left - gap, y + gap, dc.FitText(leftTexts[2 * k + 1], leftRoom));
    if (st2.hasCone) dc.TextOut(sq.right - wq / 2, y + gap, dc.FitText(rightTexts[right + 1], rightRoom));
    dc.SetTextAlign(gdi::TA_RIGHT, gdi::TA_BOTTOM);
    dc.TextOut(fr.left - gap, y - gap, dc.FitText(leftTexts[2 * k], leftRoom));
    if (st2.hasCone) {
      dc.TextOut(sq.right - wq / 2, y - gap, dc.FitText(rightTexts[right], rightRoom));
      right += 2;
    }
  }

  // Cross-sections of the cone: the half on the cone's side of the axis, so
  // that the flat ellipses stay inside the frame instead of covering the
  // distance texts left of it; a section wider than the frame is cut at its
  // right side.
  if (FiniteCone(alpha)) {
    const double t = std::tan(alpha * kDegToRad);
    dc.Brush().SetBrush(gdi::BS_SOLID, 0, kYellow);
    dc.Pen().SetColor(0);
    for (std::size_t k = 0; k < steps.size(); ++k) {
      const double radius = std::min(static_cast<double>(k + 1) * p * t, static_cast<double>(fr.Width()));
      const int y = fr.top + RoundEven(static_cast<double>(k + 1) * p);
      std::vector<TPoint> half = HalfEllipse(fr.left, y, RoundEven(radius));
      for (TPoint& pt : half) pt.x = std::min(pt.x, fr.right);
      dc.Polygon(half.data(), kHalfEllipsePoints);
    }
    dc.Brush().SetStyle(gdi::BS_NULL);
  }
  dc.Pen().SetWidth(lw);
  dc.RectangleRect(fr);
}

}  // namespace kandelo
