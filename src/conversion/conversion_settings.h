// The conversion settings the browser keeps and the conversion dialog edits,
// and the dialog's destination list. Header only: the dialog uses them
// without linking the conversion itself.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kandelo {

struct ConversionSettings {
  int DstFormat = 1;               // entry 0 … 6 of ConversionDestinations()
  std::string DstDir;              // destination directory
  std::int32_t DstPathIndex = 0;   // its number in the path list (for AddToCatalogue)
  bool AddToCatalogue = false;
  std::string DstExt = "LDT";      // extension of the written files, without the dot
};

struct ConversionDestination {
  const char* caption;    // "LUM32 (QVM Lindqvart)", "EULUM-DAT", …
  std::uint8_t code;      // format code written (the export-format table's)
  const char* extension;  // default extension without dot ("" for LTLI)
};

// The destination list of the dialog, in its order.
inline const std::array<ConversionDestination, 7>& ConversionDestinations() {
  static const std::array<ConversionDestination, 7> list = {{
      {"LUM32 (QVM Lindqvart)", 2, "L32"},
      {"EULUM-DAT", 0, "LDT"},
      {"TM14", 4, "CIB"},
      {"IES LM 63-86", 5, "IES"},
      {"IES LM 63-91", 6, "IES"},
      {"IES LM 63-95", 7, "IES"},
      {"LTLI", 9, ""},
  }};
  return list;
}

// Entry of a format code; -1 when the code is not a destination.
inline int DestinationOfCode(std::uint8_t code) {
  const auto& list = ConversionDestinations();
  for (std::size_t i = 0; i < list.size(); ++i)
    if (list[i].code == code) return static_cast<int>(i);
  return -1;
}

}  // namespace kandelo
