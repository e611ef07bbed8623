// The quick-planning evaluations as drawings: floor illuminance curves on a
// logarithmic scale with a sketch of the geometry, and the luminaire count
// table.
#pragma once

#include <string>

#include "evaluation/quick_planning.h"
#include "graphics/device.h"

namespace kandelo {

constexpr double kFloorAspect = 1.877;
constexpr double kCountAspect = 1.3;

// Decimals of the section labels a = left … right in `divisions` steps: as
// many as make every label exact, so that no two read alike.
int SectionLabelDecimals(double left, double right, int divisions);

void DrawFloorCurves(const TLUM32& lum, TDevice& dc, const TRect& rect, bool boldHeading,
                     const std::string& languageFile, const TFloorCurveParams& record,
                     const TFloorCurveResult& result, bool datasheetMode, const TRect& rect2);
void DrawLuminaireCount(const TLUM32& lum, TDevice& dc, const TRect& rect, bool boldHeading,
                        const std::string& languageFile, const TLuminaireCountParams& record,
                        const TLuminaireCountResult& result, bool datasheetMode, const TRect& rect2);

}  // namespace kandelo
