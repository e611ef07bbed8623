// The utilization factor tables as drawings: DIN (LiTG room utilization
// factors × light output ratio), CIBSE TM5 (with BZ classes and SHR) and NB.
// The TM5 and NB tables are read from the bytes stored in the luminaire.
#pragma once

#include <string>

#include "evaluation/litg.h"
#include "graphics/device.h"

namespace kandelo {

class TLUM32;

// Aspect (width : height) of the table box.
constexpr double kUtilizationAspect = 1.3;

// `roomUtil` is η_R of the luminaire; `suspended` selects the mounting note.
void DrawUtilizationDIN(const TLUM32& lum, const RoomUtilTableT& roomUtil, bool suspended, TDevice& dc,
                        const TRect& rect, bool boldHeading, const std::string& languageFile, const TRect& rect2);
void DrawUtilizationTM5(const TLUM32& lum, TDevice& dc, const TRect& rect, bool boldHeading,
                        const std::string& languageFile, const TRect& rect2);
void DrawUtilizationNB(const TLUM32& lum, TDevice& dc, const TRect& rect, bool boldHeading,
                       const std::string& languageFile, const TRect& rect2);

}  // namespace kandelo
