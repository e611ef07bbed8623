// Direct glare by the luminance limiting curve method: the luminance profile
// of a luminaire between γ 45° and 85°, whether a plane shows luminous sides,
// and the limiting luminances of the quality classes and nominal
// illuminances.
#pragma once

#include <array>

namespace kandelo {

class TLUM32;

// Element 0 the minimum, elements 1 … 161 the luminance in cd/m² at
// γ = 45° + 0.25°·(n − 1).
constexpr int kProfileSteps = 161;
using TLuminanceProfile = std::array<float, kProfileSteps + 1>;

inline double ProfileGamma(int n) { return 45.0 + 0.25 * (n - 1); }

// L = I(γ, C)·Φ/1000 over the luminous area projected towards (γ, C). A
// direction without projected luminous area, or an intensity that is not a
// number, gives 0 rather than infinity or NaN.
TLuminanceProfile LuminanceProfile(const TLUM32& lum, double c, double flux);

// True when the luminaire has a luminous-side height and the plane is a
// crosswise one (C < 45°, C > 315°, 135° < C < 225°), or the luminaire is
// round, or its luminous area is shorter than twice its width.
bool HasLuminousSides(const TLUM32& lum, double c);

// Limiting luminance in cd/m² for class value G and illuminance E (lx): the
// curve is vertical at L(75°) above 75°, straight in (lg L, γ) between 75°
// and 45°, and L(45°) below 45°.
double LimitLuminance(double gamma, bool sided, double g, double e);

// The class table: quality class, second letter, class value G and the nine
// curve cells (nominal illuminance in lx, "--" or empty).
struct TGlareClassRow {
  const char* cls;
  const char* letter;
  double g;
  const char* cells[9];
};
extern const TGlareClassRow kGlareClassTable[4];

// Limiting curve k (1 … 9): the first row whose cell k holds a number gives
// G and the illuminance; 300 lx is evaluated as 250 lx.
struct TLimitCurve {
  int row = -1;       // 0 … 3, −1 when no row has a number in the column
  double g = 0;
  int illuminance = 0;   // as shown in the table
  double evaluated = 0;  // as computed
};
TLimitCurve LimitCurve(int k);

// The curve families drawn: without luminous sides unless both C0 and C90
// have them; with luminous sides when at least one has.
struct TGlareFamilies {
  bool sidedC0 = false, sidedC90 = false;
  bool plain = false, sided = false;
};
TGlareFamilies GlareFamilies(const TLUM32& lum);

}  // namespace kandelo
