// Luminaires made from a formula, for the evaluation tests.
#pragma once

#include <cmath>
#include <functional>
#include <memory>

#include "photometry/lum32.h"

namespace kandelo::test {

// Intensity I(γ, C) in cd/klm on γ 0 … gammaEnd (step 1°); rotationally
// symmetric (one plane) or with 24 planes C 0 … 345. A 600 × 600 mm flat
// luminous area, one lamp set of 1000 lm; flux values computed.
inline std::unique_ptr<TLUM32> MakeLum(const std::function<double(double, double)>& f, bool rotational = true,
                                       double gammaEnd = 180) {
  auto lum = std::make_unique<TLUM32>();
  int gammas = int(gammaEnd) + 1;
  int planes = rotational ? 1 : 24;
  lum->CreateNew("formula.l32", psCGamma, rotational ? symRotational : symNone, 0, planes, 0, rotational ? 0 : 15,
                 rotational ? 0 : 345, {}, gammas, 0, 1, float(gammaEnd), {});
  for (int i = 1; i <= planes; ++i)
    for (int j = 1; j <= gammas; ++j) lum->SetValue(i, j, float(f(j - 1.0, rotational ? 0.0 : 15.0 * (i - 1))));
  lum->LumAreaLength = 600;
  lum->LumAreaWidth = 600;
  lum->Length = 600;
  lum->Width = 600;
  lum->LampSetCount = 1;
  lum->LampSets[0].LampCount = 1;
  lum->LampSets[0].SetFlux = 1000;
  lum->LampSets[0].LampFlux = 1000;
  lum->LampSets[0].SetWatt = 40;
  lum->CalcFlux();
  lum->FindMaxIntensity();
  return lum;
}

inline double CosD(double g) { return std::cos(g * M_PI / 180); }

// Downward Lambertian emitter of 1000 lm per klm: I = 1000/π·cos γ.
inline double Lambert(double g, double) { return g <= 90 ? 1000 / M_PI * CosD(g) : 0; }

}  // namespace kandelo::test
