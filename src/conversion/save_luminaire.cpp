#include "conversion/save_luminaire.h"

#include "evaluation/export_ugr.h"
#include "evaluation/litg.h"
#include "evaluation/tm5.h"
#include "frame/settings.h"
#include "frame/strutil.h"
#include "photometry/conversion.h"
#include "photometry/format_io.h"
#include "photometry/lum32.h"
#include "platform/text.h"

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

std::uint8_t SaveAsFormat(const std::string& chosenName, std::uint8_t filterCode) {
  const std::string ext = ExtensionKey(chosenName);
  const bool iesFilter = filterCode == fmtIes86 || filterCode == fmtIes91 || filterCode == fmtIes95;
  // Only the whole extension names a format (".IESX" is no IES name).
  if (platform::upper1252(ExtractFileExt(chosenName)).size() != 4) return filterCode;
  if (ext == "LDT") return filterCode == fmtEulumdat2 ? filterCode : std::uint8_t(fmtEulumdat);
  if (ext == "L32") return fmtLum32;
  if (ext == "CIB") return fmtTm14;
  if (ext == "IES") return iesFilter ? filterCode : std::uint8_t(fmtIes95);
  return filterCode;
}

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
