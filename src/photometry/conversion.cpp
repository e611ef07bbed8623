#include "photometry/conversion.h"

#include <algorithm>
#include <cmath>

#include "photometry/format_io.h"

namespace kandelo {

bool PrepareForFormat(TLUM32& lum, std::uint8_t formatCode) {
  if ((formatCode != fmtEulumdat && formatCode != fmtEulumdat2 && formatCode != fmtLtli) ||
      lum.PlaneSystem == psCGamma)
    return true;
  // The C-γ grid must be fine enough for the flux integrated over it to
  // keep the flux of the B-β data: a γ step of the B-plane step (45° in many
  // floodlight files) moved 11 % of the flux and half a cell above 90°.
  double finest = 5;
  if (std::fabs(lum.CStep) > 0) finest = std::min(finest, double(std::fabs(lum.CStep)));
  if (lum.MinGammaStep > 0) finest = std::min(finest, double(lum.MinGammaStep));
  double step = 5;
  for (double s : {2.5, 1.0, 0.5})
    if (step > finest) step = s;
  // Planes within ±90° send no light above the horizon (cos γ = cos B cos β):
  // the C-γ grid then ends at 90°, instead of a half cell of it above.
  const double gammaEnd = std::max(std::fabs(lum.CStart), std::fabs(lum.CEnd)) <= 90 ? 90 : 180;
  return lum.ResampleToC(lum.Symmetry, gammaEnd, 0, step, step);
}

std::string SaveLuminaireInFormat(TLUM32& lum, std::uint8_t formatCode, const std::string& chosenName,
                                  const std::function<void(TLUM32&)>& computePartialFluxes) {
  std::string name = TargetNameForFormat(chosenName, formatCode);
  if (!WriterForCode(formatCode) || !PrepareForFormat(lum, formatCode)) return {};
  lum.CalcFlux();
  if (computePartialFluxes) computePartialFluxes(lum);
  if (!lum.SaveAs(formatCode, name)) return {};
  // The luminaire as the file now holds it; the file was just written, so
  // a message of reading it again has nobody to tell.
  LoadLuminaire(name, lum, LoadValues::AsRead);
  return name;
}

}  // namespace kandelo
