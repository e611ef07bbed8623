// Small luminaires for the diagram tests, built from a formula.
#pragma once

#include <cmath>
#include <functional>

#include "photometry/lum32.h"
#include "photometry/numeric.h"

namespace kandelo::test {

// C-γ luminaire with γ 0..180 in 5° steps; planes every `cStep` degrees
// (one plane when rotational). I(γ, C) in cd/klm.
inline TLUM32 MakeLuminaire(const std::function<double(double, double)>& intensity, float cStep = 15,
                            bool rotational = false, float gammaStart = 0, float gammaEnd = 180) {
  TLUM32 lum;
  const int planes = rotational ? 1 : static_cast<int>(std::lround(360 / cStep));
  const int gammas = static_cast<int>(std::lround((gammaEnd - gammaStart) / 5)) + 1;
  lum.CreateNew("fixture.l32", psCGamma, rotational ? symRotational : symNone, 0, planes, 0,
                rotational ? 0 : cStep, rotational ? 0 : 360 - cStep, {}, gammas, gammaStart, 5, gammaEnd, {});
  for (int i = 1; i <= planes; ++i)
    for (int j = 1; j <= gammas; ++j)
      lum.SetValue(i, j, static_cast<float>(intensity(lum.GammaAngle(j), lum.CAngle(i))));
  lum.CalcFlux();
  lum.FindMaxIntensity();
  return lum;
}

inline double CosDeg(double a) { return std::cos(a * kDegToRad); }

// Downward cosine distribution, Imax 1000.
inline TLUM32 Downlight() {
  return MakeLuminaire([](double g, double) { return g <= 90 ? 1000 * CosDeg(g) : 0.0; }, 15, true);
}
// Upward cosine distribution.
inline TLUM32 Uplight() {
  return MakeLuminaire([](double g, double) { return g >= 90 ? -1000 * CosDeg(g) : 0.0; }, 15, true);
}
// Wide lobes up and down: extents beyond 175 per mille both ways.
inline TLUM32 DirectIndirect() {
  return MakeLuminaire([](double g, double) { return 600 + 400 * std::fabs(CosDeg(g)); }, 15, true);
}

}  // namespace kandelo::test
