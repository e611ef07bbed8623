// The browser's small polar intensity diagram: the planes C0-C180 and C90-C270
// of the loaded luminaire in cd/klm, on a circular grid with a rounded scale.
#pragma once

#include <string>

#include "graphics/gdi_types.h"

namespace kandelo {

class TDevice;
class TLUM32;

void DrawBrowserPolar(TDevice& dc, const TRect& rect, const TLUM32& lum, const std::string& msgFile);

// The smallest of 1, 2, 2.5, 5 times a power of ten that is not below v.
double RoundScale(double v);

}  // namespace kandelo
