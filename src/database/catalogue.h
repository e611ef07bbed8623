// The catalogue: one indexed file (record length 512, six keys) of the
// program's known luminaire files, opened once at start-up and held in one
// global IndexedTable with one global record buffer. The browser walks it with
// the key operations of IndexedTable (Catalogue()).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "storage/indexed_table.h"
#include "database/catalogue_record.h"

namespace kandelo {

class TLUM32;

// The open catalogue, or nullptr (before start-up, after a failed init, while
// it is rebuilt or deleted).
IndexedTable* Catalogue();
// The global record buffer the catalogue object reads into and writes from.
TCatalogueRecord& CatalogueBuffer();
const std::string& CatalogueBasePath();
// How often a catalogue was opened in this process: files kept beside the
// catalogue are opened again when it changes.
std::uint64_t CatalogueOpenings();

// The process that holds the catalogue on the base path (LumDb) open so that
// this one cannot open it, when that is another one (in network mode the
// other stations do not count): nullopt when no other process holds it, its process
// id when the platform tells it, 0 when it does not. For the messages of the
// command line and the window when the catalogue cannot be opened.
std::optional<int> CatalogueHolderPid(const std::string& lumDbBase);

// Opens or creates the catalogue on the base path (LumDb), rebuilding it when
// it was not closed properly, its index is damaged or a consistency check
// fails. True when it ended open and consistent. `fault`, when given, gets
// the text for the user when the engine failed: "Base not Init : " + number,
// "DB creation error : " + number (it stays as it was when the user declined).
//
// A data file deleted or cut short by an outside hand is not repaired in
// silence: `confirm` is asked (the question's text) whether to create a new
// catalogue or rebuild from the records left. No, or no `confirm` at all,
// leaves every file as it is and the catalogue unavailable.
using ConfirmRepair = std::function<bool(const std::string& question)>;
bool InitCatalogue(const std::string& basePath, std::string* fault = nullptr, const ConfirmRepair& confirm = {});
//
// Rebuilds the catalogue files from the data file and opens them; the engine's
// error number (0 = open again). Records that fail CheckCatalogueRecord are
// dropped and listed in the "MSG" file (Catalogue()->DroppedByRebuild() counts
// them). A missing data file gives a new, empty catalogue. `fault` as for
// InitCatalogue. It can take a while: the caller shows that it is busy.
int RebuildCatalogue(std::string* fault = nullptr);
void CloseCatalogue();
// Closes the catalogue, deletes its data file and opens a new, empty one;
// `fault` as for InitCatalogue.
bool DeleteWholeCatalogue(std::string* fault = nullptr);

// Fills a zeroed record from a loaded luminaire (its flux and maximum are
// computed when not yet valid). The directory index is the caller's. False
// when the file name cannot be kept in a record (empty or above 165 characters).
bool FillCatalogueRecord(TLUM32& lum, TCatalogueRecord& rec);

// Adds the record with all keys; the engine's error and the new record number.
int AddCatalogueRecord(const TCatalogueRecord& rec, std::int32_t& recordNumber);
bool DeleteCatalogueRecord(std::int32_t recordNumber);
// Writes the record over an existing one and re-keys changed keys; a factor
// (offset 264) whose thousandfold rounds to 0 is stored as 1.
bool UpdateCatalogueRecord(const TCatalogueRecord& rec, std::int32_t recordNumber);
bool ReadCatalogueRecord(std::int32_t recordNumber, TCatalogueRecord& rec);

// Looks the record's file (real name and directory index) up by key 6, keeping
// the current key selection. Found: true and its record number. Not found:
// false, and the record's name field is what Add must store - the name itself
// or a free alias (see catalogue_record.h); recordNumber is kNoFreeAlias when
// all 35 aliases of the name are taken in that directory.
bool FindCatalogueFile(TCatalogueRecord& rec, std::int32_t& recordNumber);
constexpr std::int32_t kNoFreeAlias = -1;

// Writes the label (at most 5 characters) into record 1 without touching any
// key, keeping the current position.
bool WriteVersionLabel(std::string_view label);

// The list file: the base path with the extension ".FIL", 512-byte records.
std::string ListFilePath();
// Writes every record in the order of key k to the list file; the count.
std::int32_t ExportAll(int keyNo);
// Writes the records of key k from the first entry not smaller than `from`
// while the entry's first prefix.size() characters are not greater than the
// prefix. Both delete an empty list file, restore the key selection and the
// current entry, and give -1 when the list file cannot be written.
std::int32_t ExportKeyRange(int keyNo, const std::string& from, const std::string& prefix);

// The walk behind both exports: every record of key k (all, or the range
// as ExportKeyRange takes it) handed to `take` as its stored bytes, valid
// only during the call. Stops when `take` says false. Restores the key
// selection and the current entry; the count, or -1 when a record cannot
// be read or `take` failed.
std::int32_t WalkListEntries(int keyNo, bool all, const std::string& from, const std::string& prefix,
                             const std::function<bool(const unsigned char*)>& take);

}  // namespace kandelo
