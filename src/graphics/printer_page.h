// Printer pages in twips: the mapping every printed page is drawn in, and the
// program's page margins (body 25 mm from the left and 10 mm from the top edge
// of the paper, ending 5 mm before the printable area's right edge).
#pragma once

#include <cstdint>

#include "graphics/device.h"

namespace kandelo {

// round(mm × 1440 / 25.4), ties to even.
std::int32_t MmToTwips(double mm);

// Saves the device state and maps one logical unit to one twip, origin at the
// top left of the printable area, y downward; returns (0, 0, width, height)
// of the printable area in twips.
TRect BeginTwipsPage(TDevice& printer);
// Restores the state saved by BeginTwipsPage.
void EndTwipsPage(TDevice& printer);

struct TPageMargins {
  std::int32_t left = 0;   // twips from the printable area's left edge
  std::int32_t top = 0;
  std::int32_t right = 0;  // twips taken off the printable area's right edge
};
// Read at the start of a print job from the printing offset and resolution.
TPageMargins PrintJobMargins(const TDevice& printer);
TRect ApplyPageMargins(const TRect& page, const TPageMargins& margins);

}  // namespace kandelo
