#include "photometry/numeric.h"

#include <climits>
#include <cmath>

#include "frame/strutil.h"

namespace kandelo {

int FloorInt(double x) {
  if (std::isnan(x)) return 0;
  double f = std::floor(x);
  if (f >= double(INT_MAX)) return INT_MAX;
  if (f <= double(INT_MIN)) return INT_MIN;
  return static_cast<int>(f);
}

bool IsMultiple(int a, int b) { return a != 0 && a <= b && b % a == 0; }

double Lg(double x) { return std::log10(x < 1e-10 ? 1e-10 : x); }

double PowerOf(double exponent, double base) { return std::pow(base < 1e-10 ? 1e-10 : base, exponent); }

int DecimalsFor(int digits, double x) {
  if (x == 0 || std::fabs(x) < 1e-10) return 0;
  int c = FloorInt(Lg(std::fabs(x)));
  return c < digits ? digits - c - 1 : 0;
}

// The arctan forms of the original formulas; the divisions by zero at the
// ends of the range give the limits instead.
double ArcCos(double x) {
  if (x == 0) return kPi / 2;
  double r = 1 - x * x;
  return std::atan(std::sqrt(r < 0 ? 0 : r) / x);
}

double ArcSin(double x) {
  double r = 1 - x * x;
  if (r <= 0) return x > 0 ? kPi / 2 : -kPi / 2;
  return std::atan(x / std::sqrt(r));
}

double TanDeg(double x) { return std::tan(x * kDegToRad); }

int Sign(double x) { return x > 0 ? 1 : (x < 0 ? -1 : 0); }

int StrToIntSafe(std::string_view text) {
  long long v = 0;
  if (!ParseInt(text, v) || v > INT_MAX || v < INT_MIN) return 0;
  return static_cast<int>(v);
}

double StrToFloatDot(std::string_view text) {
  double v = 0;
  return ParseDouble(text, v) ? v : 0.0;
}

}  // namespace kandelo
