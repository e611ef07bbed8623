#include "evaluation/glare.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "photometry/lum32.h"
#include "photometry/numeric.h"

namespace kandelo {

const TGlareClassRow kGlareClassTable[4] = {
    {"A", "A", 1.15, {"1000", "750", "500", "--", "300", "", "", "", ""}},
    {"1", "B", 1.5, {"2000", "1500", "1000", "750", "500", "300", "", "", ""}},
    {"2", "D", 2.2, {"", "", "", "", "2000", "1000", "500", "300", ""}},
    {"3", "E", 2.55, {"", "", "", "", "", "2000", "1000", "500", "300"}},
};

TLuminanceProfile LuminanceProfile(const TLUM32& lum, double c, double flux) {
  TLuminanceProfile p{};
  const double ab = lum.BottomArea(), as1 = lum.SideArea(true), as2 = lum.SideArea(false);
  const double cc = std::fabs(std::cos(c * kDegToRad)), sc = std::fabs(std::sin(c * kDegToRad));
  float minimum = 0;
  for (int n = 1; n <= kProfileSteps; ++n) {
    const double g = ProfileGamma(n) * kDegToRad;
    const double sg = std::fabs(std::sin(g));
    const double area = std::fabs(std::cos(g)) * ab + cc * sg * as1 + sc * sg * as2;
    const double l = area > 0 ? lum.Intensity(ProfileGamma(n), c) * flux / 1000.0 / area : 0.0;
    p[std::size_t(n)] = std::isfinite(l) ? static_cast<float>(l) : 0.0f;
    minimum = n == 1 ? p[1] : std::min(minimum, p[std::size_t(n)]);
  }
  p[0] = minimum;
  return p;
}

bool HasLuminousSides(const TLUM32& lum, double c) {
  const auto& h = lum.LumAreaHeight;
  if (*std::max_element(h.begin(), h.end()) == 0) return false;
  const bool crosswise = c < 45 || c > 315 || (c > 135 && c < 225);
  const bool round = lum.LumAreaDiameter != 0;
  const bool shortArea = 2.0 * lum.LumAreaWidth > lum.LumAreaLength;  // length/width < 2 without dividing
  return crosswise || round || shortArea;
}

namespace {

double LimitAt(bool at45, bool sided, double d) {
  double e;
  if (!sided)
    e = at45 ? Lg(1.5) + 3 + 0.4 * d * d : 3 + 0.15 * d * d;
  else
    e = at45 ? Lg(1.275) + 3 + 0.26 * d * d : Lg(0.85) + 3 + 0.07 * d * d;
  return std::pow(10.0, e);
}

}  // namespace

double LimitLuminance(double gamma, bool sided, double g, double e) {
  const double d = g - 1.16 * Lg(e / 1000);
  const double l45 = LimitAt(true, sided, d), l75 = LimitAt(false, sided, d);
  if (gamma >= 75) return l75;
  if (gamma <= 45) return l45;
  const double t = (gamma - 45) / 30;
  return std::pow(10.0, Lg(l45) + t * (Lg(l75) - Lg(l45)));
}

TLimitCurve LimitCurve(int k) {
  TLimitCurve curve;
  if (k < 1 || k > 9) return curve;
  for (int row = 0; row < 4; ++row) {
    const std::string cell = kGlareClassTable[row].cells[k - 1];
    std::string digits;
    for (char ch : cell)
      if (ch >= '0' && ch <= '9' && digits.size() < 5) digits += ch;
    if (digits.empty()) continue;
    curve.row = row;
    curve.g = kGlareClassTable[row].g;
    curve.illuminance = std::atoi(digits.c_str());
    curve.evaluated = curve.illuminance == 300 ? 250 : curve.illuminance;
    return curve;
  }
  return curve;
}

TGlareFamilies GlareFamilies(const TLUM32& lum) {
  TGlareFamilies f;
  f.sidedC0 = HasLuminousSides(lum, 0);
  f.sidedC90 = HasLuminousSides(lum, 90);
  f.plain = !(f.sidedC0 && f.sidedC90);
  f.sided = f.sidedC0 || f.sidedC90;
  return f;
}

}  // namespace kandelo
