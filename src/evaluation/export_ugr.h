// The simpler UGR table written into version-2 TM14 files, and the lines of
// the "CIBSE/2" section that carry it with the CIBSE utilization factors.
#pragma once

#include <string>
#include <vector>

namespace kandelo {

class TLUM32;

// Fills lum.ExportUgr (19 rooms × 5 columns crosswise, then endwise) from
// the luminaire's zonal fluxes, intensities and projected areas.
void ComputeExportUgr(TLUM32& lum);

// The lines of the "CIBSE/2" section (without line ends), from the values
// stored in the luminaire: StoreCibse (CIBSE bytes, BZ classes, SHRs) and
// ComputeExportUgr must have run. Only luminaire fields are read, so the TM14
// writer can call it without running any computation.
std::vector<std::string> CibseExtensionLines(const TLUM32& lum);

}  // namespace kandelo
