// The simpler UGR table written into version-2 TM14 files. The TM14 writer
// (WriteCibse2Section) puts it into the "CIBSE/2" section together with the
// CIBSE results of TM5OBJ::StoreCibse; the converter runs both first.
#pragma once

namespace kandelo {

class TLUM32;

// Fills lum.ExportUgr (19 rooms × 5 columns crosswise, then endwise) from
// the luminaire's zonal fluxes, intensities and projected areas.
void ComputeExportUgr(TLUM32& lum);

}  // namespace kandelo
