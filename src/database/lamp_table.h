// The default lamp table: ExtData + "DEFLAMPS" (.DAT, .IDX), an indexed file of
// 34-byte lamp records with two unique keys (type + wattage, wattage + type).
// The record editor opens it while it is open.
#pragma once

#include <string>

#include "storage/indexed_table.h"
#include "database/lamp_record.h"

namespace kandelo {

// Opens (creating when missing) the lamp table on a path without extension,
// with the catalogue's repairs; the index entries must match the record count.
// `fault`, when given, gets the text for the user when the engine cannot
// take the table: "Base not Init : " + number.
bool OpenLampTable(const std::string& path, std::string* fault = nullptr);
void CloseLampTable();
// The open lamp table and its record buffer; nullptr when closed.
IndexedTable* LampTable();
TLampRecord& LampBuffer();

// The record number of a lamp of the open table with the type of `lamp` but
// for case and trailing blanks, at the same wattage; 0 when there is none.
// The unique key compares exact bytes, so "HIE metal halide" and "hie METAL
// halide" would both be stored: callers refuse such a twin. Only the index is
// read; the table's key and position are kept.
std::int32_t FindLampTwin(const TLampRecord& lamp);

// ExtData + "DEFLAMPS".
std::string DefaultLampTablePath();

}  // namespace kandelo
