#include "photometry/conversion.h"

#include <cmath>

#include "photometry/format_io.h"

namespace kandelo {

bool PrepareForFormat(TLUM32& lum, std::uint8_t formatCode) {
  if ((formatCode != fmtEulumdat && formatCode != fmtEulumdat2 && formatCode != fmtLtli) ||
      lum.PlaneSystem == psCGamma)
    return true;
  double s = std::fabs(lum.CStep);
  if (s == 0) s = 1;
  return lum.ResampleToC(lum.Symmetry, 180, 0, s, 15);
}

std::string SaveLuminaireInFormat(TLUM32& lum, std::uint8_t formatCode, const std::string& chosenName,
                                  const std::function<void(TLUM32&)>& computePartialFluxes) {
  std::string name = TargetNameForFormat(chosenName, formatCode);
  if (!WriterForCode(formatCode) || !PrepareForFormat(lum, formatCode)) return {};
  lum.CalcFlux();
  if (computePartialFluxes) computePartialFluxes(lum);
  if (!lum.SaveAs(formatCode, name)) return {};
  lum.LoadFromFile(name);
  return name;
}

}  // namespace kandelo
