#include "conversion/save_luminaire.h"

#include "evaluation/export_ugr.h"
#include "evaluation/litg.h"
#include "evaluation/tm5.h"
#include "frame/settings.h"
#include "photometry/conversion.h"
#include "photometry/format_io.h"
#include "photometry/lum32.h"

namespace kandelo {

namespace {

// The CIBSE section of version-2 TM14 files; false when the tables are missing.
bool StoreTm14Version2(TLUM32& lum) {
  try {
    TM5OBJ tm5;
    tm5.SetLuminaire(&lum);
    tm5.StoreCibse();
    ComputeExportUgr(lum);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

void AfterFlux(TLUM32& lum, std::uint8_t code) {
  CalcPartialFluxes(lum);  // a failure leaves the direct ratios as read
  lum.WriteCibseExtension = code == fmtTm14 && Settings().Tm14Version2 && StoreTm14Version2(lum) ? 1 : 0;
}

}  // namespace

bool PrepareLuminaireForFormat(TLUM32& lum, std::uint8_t code) {
  if (!PrepareForFormat(lum, code)) return false;
  lum.CalcFlux();
  AfterFlux(lum, code);
  return true;
}

SaveAsResult SaveLuminaireAs(TLUM32& lum, std::uint8_t code, const std::string& chosenName) {
  SaveAsResult r;
  if (!WriterForCode(code)) {
    r.error = std::string(FormatByCode(code).name) + " files cannot be written";
    return r;
  }
  try {
    r.written = SaveLuminaireInFormat(lum, code, chosenName, [code](TLUM32& l) { AfterFlux(l, code); });
  } catch (const std::exception&) {
    r.written.clear();
  }
  if (r.written.empty()) r.error = "cannot write " + TargetNameForFormat(chosenName, code);
  return r;
}

}  // namespace kandelo
