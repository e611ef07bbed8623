// The record editor's rules without its window: the fields of the general
// page read from and written into a luminaire and its catalogue record, the
// page check, the units of the intensity table and the storing of a cell.
// The window (and tests) drive these; they never show anything themselves.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "database/catalogue_record.h"
#include "photometry/lum32.h"

namespace kandelo {

struct TLampRow {
  int count = 1;
  std::string type;
  double flux = 0;
  int watt = 0;
  bool operator==(const TLampRow&) const = default;
};

// What the general page shows and edits.
struct TGeneralFields {
  std::string lumNumber, lumName, manufacturer, reportNumber;
  std::string dateUser;                   // EULUMDAT
  std::string measuredBy;                 // LUM32
  double fileDate = 0;                    // LUM32, display only
  std::vector<std::string> commentLines;  // LUM32 info texts
  std::array<TLampRow, 3> lamps;
  int length = 0, width = 0, height = 0;              // luminaire, mm (length = diameter when width 0)
  int areaLength = 0, areaWidth = 0, areaHeight = 0;  // luminous area, mm
  int symmetry = 0;
};

// The fields of a loaded luminaire (lamp rows 2 and 3 empty when the
// luminaire has fewer sets: count 1, no type, flux 0). Texts are whole; the
// comment keeps its empty lines between texts, so that it stores back in place.
TGeneralFields FieldsOfLuminaire(const TLUM32& lum);
// The fields of a record alone (a new entry, or a file that does not load).
TGeneralFields FieldsOfRecord(const TCatalogueRecord& rec);

// Writes the fields into the luminaire: texts, date or measurer by format,
// dimensions (a width of 0 makes the length a diameter), and the lamp rows
// with count > 0, a type and flux ≥ 1 as consecutive lamp sets. Only what
// differs from the luminaire's own fields is stored: a field left as it was
// keeps its value as read (a long lamp type, four different luminous-area
// heights, a lamp set the rows do not show, a set without flux).
void StoreFieldsInLuminaire(const TGeneralFields& fields, TLUM32& lum);

// Writes an edited luminaire over its file, changing in the file only what
// the edit changed. `loaded` is the luminaire as read from the file, whose
// bytes are `fileText` (none after a new file was chosen: the luminaire is
// written whole). An EULUMDAT file keeps every line the edit did not touch;
// other formats keep the values computed from the intensities (flux, ratios,
// maximum, partial fluxes) as read while the intensities and their grid are
// unchanged, and take the recomputed ones otherwise. False when the file
// cannot be written (it stays as it was).
bool WriteEditedLuminaire(TLUM32& edited, const TLUM32* loaded, const std::string& fileText, const std::string& path);

// The record takes the fields: numbers, name, manufacturer, lamp row 1,
// dimensions, and the format code given.
void RecordTakesFields(const TGeneralFields& fields, std::uint8_t formatCode, TCatalogueRecord& rec);

// The check before leaving the general page or OK: empty when it passes,
// else the key of the message in "DEFAULT MESSAGES" ("DM_NOFILE", "DM_NOBEST",
// "DM_NOLAMP", "DM_NOLDIM", "DM_NOLLDIM"), in that order.
std::string CheckGeneralPage(const TCatalogueRecord& rec);

// A new entry's record: zero bytes with the two preset values.
TCatalogueRecord NewEntryRecord();

// The units of the intensity table: cd/klm as stored, cd and lx (at the
// measuring distance) with the measuring lamps' flux.
enum class TableUnit { CdPerKlm, Candela, Lux };
// Whether a unit can be chosen for the luminaire (it needs the measuring flux,
// lux also the distance).
bool TableUnitAvailable(const TLUM32& lum, TableUnit unit);
// shown = stored / factor.
double TableUnitFactor(const TLUM32& lum, TableUnit unit);
// Stores an entered value (in the unit shown) in the cell (plane k, angle r,
// from 1); for C-γ data a value at γ 0° or 180° goes into every plane, as
// all planes meet there. True when a whole row changed.
bool StoreTableValue(TLUM32& lum, int k, int r, double entered, double factor);

}  // namespace kandelo
