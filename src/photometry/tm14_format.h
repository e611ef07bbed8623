// CIBSE TM14 files (".CIB"). ReadTM14 and WriteTM14 are declared in format_io.h.
//
// Version 2 ("CIBSE/2" section, written when WriteCibseExtension is set) carries
// results of the evaluations: the CIBSE utilization factors, BZ classes and
// spacing-to-height ratios (CibseUF, CibseBz, ShrNom, ShrMax) and the export UGR
// table (ExportUgr). The writer takes them as stored in the luminaire; whoever
// asks for version 2 fills them first (StoreCibse and ComputeExportUgr in the
// converter).
#pragma once

#include "photometry/lum32.h"
#include "photometry/textfile.h"

namespace kandelo {

// Luminous area from the TM14 area line: shape code (1 rectangular, 2 circular
// with the height equal to the diameter, 3 circular, 4 other) and the areas
// seen from below, from C0 and from C90 in m².
void ApplyTm14Area(TLUM32& lum, long long shapeCode, double a0, double a1, double a2);

// Writes the "CIBSE/2" section into `out` (the hook for the evaluation results).
void WriteCibse2Section(const TLUM32& lum, TTextWriter& out);

}  // namespace kandelo
