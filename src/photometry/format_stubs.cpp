// Placeholders for the IES, TM14 and LTLI units until they are built:
// their files are never recognised and nothing is written. This file goes
// when the real units arrive.
#include "photometry/format_io.h"

namespace kandelo {

ReadResult ReadIES(TLUM32&) { return NotMine(); }
bool WriteIES(TLUM32&, std::uint8_t) { return false; }
ReadResult ReadTM14(TLUM32&) { return NotMine(); }
bool WriteTM14(TLUM32&, std::uint8_t) { return false; }
ReadResult ReadLTLI(TLUM32&) { return NotMine(); }
void TLUM32::RotateDistribution(double, double, double) {}

}  // namespace kandelo
