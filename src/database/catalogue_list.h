// The list of catalogue entries the filter dialog exports: the list file
// (ExportAll / ExportKeyRange, 512-byte records) read back as list entries,
// and the tab-separated ".TXT" list written from it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "database/catalogue_record.h"

#include "platform/fileio.h"

namespace kandelo {

struct TListEntry {
  std::string manufacturer, name, number, fileName, format;
  std::string info;  // the additional text line (offset 268), trimmed
};

// The entry of a record: fields as stored; the file name is the file's real
// name (a long name rather than its 8.3-style alias); the format's display name.
TListEntry ListEntryOf(const TCatalogueRecord& rec);

// The records of a list file in file order; nullopt when it cannot be read.
// A cut last record (a damaged file) is left out.
std::optional<std::vector<TListEntry>> ReadListFile(const std::string& path);

// "Hersteller\tLeuchtentyp\tLeuchtennummer\tDateiname\tFormat".
extern const char* const kListTextHeader;

// LumDb with the extension ".TXT".
std::string ListTextPath();

// Writes the text file from the list file and deletes the list file: the
// header, then one line per record with manufacturer, name, number, file name
// (the real one) and format, tab-separated, lines ended by CR LF. The text
// file is written under a temporary name and renamed into place, so a failed
// write leaves no partial file (and an older list stays whole). False with
// the reason in `error`.
bool WriteListText(const std::string& listFile, const std::string& textFile, std::string& error);

// The same text file written during the walk of key k (all entries, or the
// range as ExportKeyRange takes it), without the list file in between. The
// count; 0 writes no file; -1 with the reason in `error` leaves no partial
// file and an older text file whole; `why` (when given) tells why the file
// could not be written.
std::int32_t ExportListText(int keyNo, bool all, const std::string& from, const std::string& prefix,
                            const std::string& textFile, std::string& error,
                            platform::WriteError* why = nullptr);

}  // namespace kandelo
