// Photometric file formats: the export-format table, the reader and writer
// interface every format unit implements, the dispatch by extension that
// LoadLuminaire and TLUM32::Save use, and LoadLuminaire itself.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "frame/diagnostics.h"
#include "photometry/lum32.h"

namespace kandelo {

class TMsgManager;

// ---- Format table ---------------------------------------------------------
// The one list of the formats: names, extensions and the file dialogs'
// filters are all derived from it.
struct FormatInfo {
  std::uint8_t code;
  const char* name;       // "EULUM-DAT", "LUM32 (QVM)", …
  const char* extension;  // ".LDT", … (".XXX" for "N/A", "." for Calculux)
  int saveFilterIndex;    // 1 … 7 in the save dialog, 0 when not offered
  bool openFilter;        // offered in the open dialog's filter
};
// Indexed by format code 0 … 11.
const std::array<FormatInfo, 12>& ExportFormats();
// Name and extension of a code; codes above 11 give the "N/A" entry.
const FormatInfo& FormatByCode(std::uint8_t code);
// Format codes in the order of the save dialog's filter (0, 2, 4, 5, 6, 7, 9).
const std::array<std::uint8_t, 7>& SaveFilterCodes();
// Display name ("EULUM-DAT", ...) and file extension (".LDT", ...) of a format
// code as a catalogue record holds it: "N/A" and "" outside 0 … 11.
std::string FormatDisplayName(int code);
std::string FormatExtension(int code);
// Filter texts of the file dialogs: "description|pattern|..." with texts from
// section "Files" of the message catalogue; the open filter ends with all files.
std::string OpenFileTypes(const TMsgManager& msgs);
std::string SaveFileTypes(const TMsgManager& msgs);

// Known photometric extensions (".LDT", ".PIN", ".LVE", ".LUM", ".L32",
// ".IES", ".CIB", ".LTL", ".PHL", ".MSX", ".LTM").
bool IsKnownPhotometricExtension(std::string_view ext);
// The file name to write a luminaire in a format: no extension (or only ".")
// gets the format's extension; a known extension that belongs to another
// format is replaced by it; any other extension is kept.
std::string TargetNameForFormat(const std::string& name, std::uint8_t formatCode);
// Batch conversion target: for an LTLI source the last path component with
// its first "." removed, cut to 8 characters; otherwise the last component
// without its extension; then "." + dstExt, below dstDir.
std::string ConversionTargetName(const std::string& sourcePath, std::uint8_t sourceFormat,
                                 const std::string& dstDir, const std::string& dstExt);

// ---- Reader / writer interface ---------------------------------------------
//
// Contract of every reader:
// - It is called with a cleared luminaire whose FileName (and ShortName) are set,
//   and reads FileName through platform::fs() (TTextReader for text formats).
// - NotMine: the file is not of this format (or cannot be opened). No message;
//   the luminaire may be left half filled, the caller clears it before trying
//   the next reader.
// - Failed: the file was recognised but is broken. The reader has added one
//   error with the format's text to the diagnostics; the caller stops probing
//   and the load fails (no second reader gets to complain about the same file).
// - A reader never shows anything; a field it replaces by its default while
//   reading on is a warning in the diagnostics.
// - Ok: the table, grid, symmetry and texts are filled and
//   SelectIntensityFunctions has run; `code` is the format code read.
//   FluxValid stays 0 (LoadLuminaire runs CalcFlux), except LTLI.
// - Every count read from a file is checked before anything is allocated for it
//   (CountFitsFile, TLUM32::CreateTable); a short file ends in Failed, never in
//   a crash or a half-filled table reported as Ok.
enum class ReadStatus { Ok, NotMine, Failed };
struct ReadResult {
  ReadStatus status = ReadStatus::NotMine;
  std::uint8_t code = fmtUnknown;
};
inline ReadResult ReadOk(std::uint8_t code) { return {ReadStatus::Ok, code}; }
inline ReadResult NotMine() { return {ReadStatus::NotMine, fmtUnknown}; }
inline ReadResult ReadFailed() { return {ReadStatus::Failed, fmtUnknown}; }

// Contract of every writer: writes the luminaire to FileName (the caller has
// set it) in the format `code`; true when the file was written completely.
// Writers may change only what their format description says (EULUMDAT
// DateUser, IES set 1 SetFlux/LampCount, LUM32 BlockSize/BlockFlags/SavedBlockFlags).
using ReaderFn = ReadResult (*)(TLUM32& lum, Diagnostics& diag);
using WriterFn = bool (*)(TLUM32& lum, std::uint8_t code);

// This unit (photometry): EULUMDAT, LUM32, LUM.
ReadResult ReadLDT(TLUM32& lum, Diagnostics& diag);  // eulumdat.cpp, code 0
bool WriteLDT(TLUM32& lum, std::uint8_t code);  // codes 0 and 3
// Both luminaires have usable tables on the same grid: plane system,
// symmetry, counts and every plane and γ angle.
bool SameGrid(const TLUM32& a, const TLUM32& b);
// An edit of an EULUMDAT file in place: `text` is the file as it was read
// into `before`, `after` the same luminaire edited. The lines of the fields
// in which `after` differs (texts, dimensions, lamp sets, intensities) take
// the new values; every other line stays byte for byte, line ends included.
// Changed intensities bring the light output ratio, the downward flux
// fraction and the direct ratios of `after` with them. Empty when the edit
// is not one of values in place (another grid, symmetry or plane system, or
// a text that does not hold the lines `before` was read from): such a
// luminaire is written whole.
std::optional<std::string> EditedLDTText(const std::string& text, const TLUM32& before, const TLUM32& after);
ReadResult ReadL32(TLUM32& lum, Diagnostics& diag);  // lum32_file.cpp, code 2
bool WriteL32(TLUM32& lum, std::uint8_t code);
ReadResult ReadLUM(TLUM32& lum, Diagnostics& diag);  // lum_file.cpp, code 1

// The IES, TM14 and LTLI units.
ReadResult ReadIES(TLUM32& lum, Diagnostics& diag);  // code 5, 6 or 7 by the version line
bool WriteIES(TLUM32& lum, std::uint8_t code);  // codes 5, 6, 7
ReadResult ReadTM14(TLUM32& lum, Diagnostics& diag);  // code 4
bool WriteTM14(TLUM32& lum, std::uint8_t code);
ReadResult ReadLTLI(TLUM32& lum, Diagnostics& diag);  // code 9

// ---- Dispatch ---------------------------------------------------------------
struct FormatIo {
  const char* extKey;  // upper-case extension without dot, first 3 characters ("" = none)
  std::uint8_t code;   // the code this reader stands for in the probing order
  ReaderFn read;       // nullptr: cannot be read
};
// Readers in the fixed probing order: EULUMDAT, LTLI, IES, TM14, LUM32, LUM.
const std::vector<FormatIo>& ReaderTable();
// The reader named by an extension key ("L32", "LUM", "LDT", "IES", "CIB"),
// nullptr for any other.
const FormatIo* ReaderForExtension(std::string_view extKey);
// The reader whose format the first bytes of the file show beyond doubt: a
// TM14 first line ("CIBSE/"), an IES version line ("IESNA", "IES:LM-63"),
// the LUM32 or LUM magic; nullptr otherwise. LoadLuminaire asks it when the
// extension names no reader, before the probing order, whose weaker tests
// (a "TILT=" line anywhere) could take a file of another format.
const FormatIo* ReaderForContent(const std::string& path);
// Writer of a format code; nullptr when the code is not written (1, 8 … 11).
WriterFn WriterForCode(std::uint8_t code);
// Extension key as LoadLuminaire uses it: extension without dot, 3 characters, upper case.
std::string ExtensionKey(const std::string& name);

// ---- Loading --------------------------------------------------------------
// Why a load failed, for callers that word their own message.
enum class LoadFault : std::uint8_t {
  None,        // loaded
  NotFound,    // no such file, or a directory
  NotRegular,  // a FIFO, device or socket: never opened
  Unknown,     // no reader took it
  Damaged,     // a reader took it and refused it (its message says why)
  OutOfRange,  // read, but values beyond the table's range
};
// What loading a file gave: why it failed (None when it loaded), the format
// read, and the readers' messages for the caller to show or keep (a loaded
// file may bring warnings; a failed one brings its reason, except Unknown).
struct LoadResult {
  LoadFault fault = LoadFault::None;
  std::uint8_t format = fmtUnknown;
  Diagnostics messages;
  bool ok() const { return fault == LoadFault::None; }
};
// What a load leaves in the luminaire beyond what the file holds.
enum class LoadValues : std::uint8_t {
  Derived,  // the flux values and the maximum intensity are computed
  AsRead,   // only what the file holds: for writing it again unchanged
};
// Reads `path` into `lum` with the reader its extension names, else the one
// its first bytes show, else the first in the probing order that takes it.
// A failure leaves `lum` cleared (with the file name). Shows nothing.
LoadResult LoadLuminaire(const std::string& path, TLUM32& lum, LoadValues values = LoadValues::Derived);

}  // namespace kandelo
