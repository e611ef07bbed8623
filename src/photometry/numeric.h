// Numeric helpers of the photometry and the evaluations.
#pragma once

#include <string_view>

namespace kandelo {

// Largest integer ≤ x (saturates at the int range).
int FloorInt(double x);
// True when a ≠ 0, a ≤ b and b is divisible by a.
bool IsMultiple(int a, int b);
// Decimal logarithm; x below 1e-10 is taken as 1e-10.
double Lg(double x);
// base ^ exponent; base below 1e-10 is taken as 1e-10.
double PowerOf(double exponent, double base);
// Decimals needed to show x with `digits` significant digits.
int DecimalsFor(int digits, double x);
// Radians, computed as arctan forms; x = 0 and |x| = 1 give the limits
// instead of dividing by zero.
double ArcCos(double x);
double ArcSin(double x);
// tan of x degrees.
double TanDeg(double x);
int Sign(double x);

// Trimmed conversion, 0 on any error; the float accepts "." and ",".
int StrToIntSafe(std::string_view text);
double StrToFloatDot(std::string_view text);

constexpr double kPi = 3.14159265358979323846;
constexpr double kDegToRad = kPi / 180.0;

}  // namespace kandelo
