// The glare evaluation as drawings: the luminance limiting curves with the
// luminaire's luminance profiles over them, and the luminance table.
#pragma once

#include <string>

#include "graphics/device.h"

namespace kandelo {

class TLUM32;

constexpr double kGlareAspect = 1.877;

void DrawGlareCurves(const TLUM32& lum, TDevice& dc, const TRect& rect, bool boldHeading,
                     const std::string& languageFile, bool datasheetMode, const TRect& rect2);
void DrawGlareTable(const TLUM32& lum, TDevice& dc, const TRect& rect, bool boldHeading,
                    const std::string& languageFile, bool datasheetMode, const TRect& rect2);

// The box both drawings use inside `rect`.
TRect GlareBox(const TRect& rect);

}  // namespace kandelo
