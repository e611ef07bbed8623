// The isolux diagram: the floor area in top view with the lines of equal
// illuminance, their value labels, the luminaire's outline to scale, scales
// and texts.
#pragma once

#include <string>

#include "evaluation/isolux.h"
#include "graphics/device.h"

namespace kandelo {

// The parallel top view of the area (side A, centred on the luminaire)
// filling `area`: x to the right, y up the page.
TMatrix4 IsoluxViewMatrix(double side, const TRect& area);

// The drawing area inside the diagram square of `rect`.
TRect IsoluxDrawingArea(const TRect& rect);

// `rect2` is accepted for the callers' sake and not read.
void DrawIsolux(const TLUM32& lum, TDevice& dc, const TRect& rect, bool boldHeading, const std::string& languageFile,
                const TIsoluxRecord& record, bool datasheetMode, const TRect& rect2);

}  // namespace kandelo
