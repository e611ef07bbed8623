// IES LM-63 files (1986, 1991, 1995; later editions read like 1995).
// ReadIES and WriteIES themselves are declared in format_io.h; this header
// names the pieces the reader is built from.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "photometry/lum32.h"
#include "photometry/textfile.h"

namespace kandelo {

// The IES edition chosen in the settings (IesType 0 LM63-1986, 1 LM63-1991,
// 2 LM63-1995) as a format code; values out of range give 1986.
std::uint8_t IesFormatForSetting(std::int32_t iesType);
// The extension of written IES files from the setting IesExt (3 characters,
// without the dot); blank gives ".IES".
std::string IesExtensionForSetting(std::string_view iesExt);

// The LM-63 keyword vocabulary, in its fixed order.
const std::array<const char*, 19>& IesKeywords();

// Format code from the first line: "IESNA91" → 6, "IESNA:LM-63-1995" and the
// later editions ("IESNA:LM-63-2002", "IESNA: LM-63-2002", "IES:LM-63-2019",
// "IESNA:LM-63-2019") → 7, anything else → 5 (LM-63-1986 with free labels).
std::uint8_t IesVersionCode(std::string_view firstLine);

// True when the trimmed line starts with "TILT=" (in any case).
bool IsTiltLine(std::string_view line);

// Text of a keyword line before the TILT line ("" when absent): the first line
// whose first word (a blank inserted behind the first "]") equals the keyword,
// the rest of it trimmed. "[MORE]" lines right behind it continue the text.
// Rewinds the reader.
std::string FindKeyword(TTextReader& in, std::string_view keyword);

// Luminous opening (signed width, length, height in mm) onto the luminaire's
// AreaShape and dimensions.
void MapIesOpening(TLUM32& lum, long long w, long long l, long long h);

// Grid fields of B-β (or A-α) data whose table is filled (planes in column 0,
// angles in row 0): starts, ends, steps, MinCStep/MinGammaStep and the
// symmetry from the first two angles. TM14 type B files use it too.
void SetTypeBGrid(TLUM32& lum);

}  // namespace kandelo
