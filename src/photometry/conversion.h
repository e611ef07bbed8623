// Saving a luminaire in another format without the dialogs: the part of
// the interactive "save as" and of the batch conversion that the core does.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "photometry/lum32.h"

namespace kandelo {

// EULUMDAT and LTLI hold C-γ data only: B-β and A-α data are resampled first
// on 15° planes from γ 0 to 180°, with the step of the B planes as γ step
// (1° when the planes are uneven). False when the resampling fails.
bool PrepareForFormat(TLUM32& lum, std::uint8_t formatCode);

// Writes the luminaire under the chosen name in the format: the name gets the
// format's extension by the rules of TargetNameForFormat, the data are
// prepared, the flux (and, through the hook, the partial fluxes of the
// evaluation layer) computed, the file written and read back. Returns the
// name written, or "" when nothing was written; then the luminaire keeps its
// data (a file that was not written is not loaded).
std::string SaveLuminaireInFormat(TLUM32& lum, std::uint8_t formatCode, const std::string& chosenName,
                                  const std::function<void(TLUM32&)>& computePartialFluxes = {});

}  // namespace kandelo
