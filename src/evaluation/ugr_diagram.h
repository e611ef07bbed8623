// The UGR table as a drawing: 19 rooms × 5 reflectance combinations viewed
// crosswise and endwise, the variation with the observer position and the
// reference shape, all corrected for the lamp flux.
#pragma once

#include <string>

#include "evaluation/ugr.h"
#include "graphics/device.h"

namespace kandelo {

constexpr double kUgrAspect = 0.9;

// Draws `results` (the shared result set of the last ComputeUgr); nullptr
// when the luminaire has no UGR: the frame, headings and reflectances only.
void DrawUgrTable(const TLUM32& lum, const UgrResultSet* results, TDevice& dc, const TRect& rect, bool boldHeading,
                  const std::string& languageFile, bool printMode, const TRect& rect2);

}  // namespace kandelo
