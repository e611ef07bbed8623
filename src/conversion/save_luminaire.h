// The core of the interactive "save as": the file dialog is the caller's.
#pragma once

#include <cstdint>
#include <string>

namespace kandelo {

class TLUM32;

// Computes what the writer of a format needs: B-β/A-α data resampled for
// EULUMDAT, the flux, the partial fluxes (EULUMDAT direct ratios) and, for
// TM14 with Tm14Version2 set, the CIBSE results and the export UGR table.
// False when the data cannot be prepared (the resampling failed).
bool PrepareLuminaireForFormat(TLUM32& lum, std::uint8_t code);

// The format a "save as" writes: the one the extension of the typed name
// stands for when that format can be written (".LDT", ".L32", ".CIB", ".IES";
// an IES name keeps the filter's edition when the filter is an IES one and
// takes the newest otherwise), else the filter's. The name written is then
// TargetNameForFormat(chosenName, that format): the caller shows it first
// when it differs from what the user typed.
std::uint8_t SaveAsFormat(const std::string& chosenName, std::uint8_t filterCode);

struct SaveAsResult {
  std::string written;  // the name written (and loaded again); empty when nothing was written
  std::string error;    // why not (1252 text)
};

// Saves the luminaire in the format under the chosen name, its extension
// adjusted by the format table's rules, and loads it again from the new file.
// A format without writer (LTLI) is refused before anything is written or
// loaded; a failed write leaves the luminaire as it was.
SaveAsResult SaveLuminaireAs(TLUM32& lum, std::uint8_t code, const std::string& chosenName);

}  // namespace kandelo
