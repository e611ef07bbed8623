// The cartesian intensity distribution diagram: intensity over γ with the
// opposite plane mirrored to the left of the axis.
#pragma once

#include <string>
#include <vector>

#include "evaluation/diagram_common.h"
#include "graphics/device.h"
#include "photometry/lum32.h"

namespace kandelo {

struct TCartesianLayout {
  TRect square, inner;
  double reference = 0;  // K: 0° or 180°
  double end = 0;        // E
  double range = 0;      // |E − K|
  int axisCentre = 0;
  int steps = 0;         // Q, 0.1° steps per half
  TNiceScale scale;
  int divisionHeight = 0;
  double angleStep = 0;  // t of the angle ticks
  int angleTicks = 0;    // n
};

TCartesianLayout ComputeCartesianLayout(const TLUM32& lum, double gammaMax, const TRect& rect);

// B-β luminaires get the polar diagram instead. `rect2` is not read.
void DrawLVKCartesian(const TLUM32& lum, const std::vector<float>* planes, TDevice& dc,
                      const std::string& languageFile, double gammaMax, const TRect& rect, const TRect& rect2);

}  // namespace kandelo
