// File layer of the indexed-file engine: data file of fixed-length records,
// index file with up to 12 B-trees, page cache, rebuild. The byte layout, the
// invariants and the life cycle are described at the top of isam.cpp.
//
// Every function returns an error number of isam_errors.h (0 = success) and
// also leaves it as the engine's last error (TakeEngineError). The engine is
// single-threaded and refuses re-entry (10446), e.g. from a key callback.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "storage/isam_errors.h"

namespace kandelo::isam {

struct KeyDef {
  int length = 0;          // 1..150 characters
  bool duplicates = false; // equal strings allowed (ordered by record number)
};
using KeyTable = std::vector<KeyDef>;  // key k is KeyTable[k - 1]

// Computes key keyNumber (1-based) of a record; at most the key's length characters.
// Must depend on the record's bytes only.
using KeyCallback = std::function<std::string(const unsigned char* record, int keyNumber)>;

// Rebuild progress: phase 1 copies records, phase 2 builds key `key`; `done` of
// `total`. Returning false stops the rebuild with 10460.
using RebuildProgress = std::function<bool(int phase, int key, std::int32_t done, std::int32_t total)>;

// Checks a record in use before a rebuild copies it: empty when it is sound,
// otherwise why not. A record that fails is dropped and reported in the
// "MSG" file, as a record a unique key refuses is.
using RecordCheck = std::function<std::string(const unsigned char* record)>;

class IndexedFile;  // an open indexed file (opaque)

// ---- engine -----------------------------------------------------------------
// Starts the page cache with bufferCount buffers (at least 8, else 10000);
// 10450 when already started. The file contents never depend on bufferCount.
int StartEngine(int bufferCount = kDefaultPageBuffers);
// Flushes and closes every open file and stops the engine; the first error met.
int StopEngine();
bool EngineStarted();
// Returns the last error of any engine operation and clears it.
int TakeEngineError();
int PeekEngineError();

// ---- files ------------------------------------------------------------------
// "base;indexbase" names data and index file separately; extensions are replaced.
std::string DataFilePath(const std::string& basePath);   // ".DAT"
std::string IndexFilePath(const std::string& basePath);  // ".IDX"
std::string SaveFilePath(const std::string& basePath);   // ".SAV" (rebuild)
std::string MessageFilePath(const std::string& basePath);// ".MSG" (rebuild report)

// Data lost by an outside hand, which no repair may paper over: the data file
// is gone while its index is still there, or it was closed properly and yet
// holds fewer records than its header counts (it was cut short); either only
// when no "SAV" file of an unfinished rebuild can take its place. A file that was not closed
// properly is Sound here: its repair is the rebuild after a crash.
enum class DataFileState { Sound, Missing, Short };
DataFileState InspectDataFile(const std::string& basePath);
std::string CoordinationFilePath(const std::string& basePath);  // ".DIA"
// Network mode: the redo journal of the last change (".JNL", isam_journal.h).
// A station that dies while writing a change to the files leaves it marked
// as unfinished, and the next station to take the write lock (or a local
// opener) writes the change's new bytes again.
std::string JournalFilePath(const std::string& basePath);

// Brings a data file of shorter records to recordLength: every record, the
// header record too, is padded with zero bytes and the header's record length
// set; the file is replaced in one step (a ".HHX" file renamed over it). The
// extension of path becomes ".DAT". True when there is no such file or it has
// that length already; false when it could not be converted, or holds longer
// records (they would be cut) or a header no data file has: it is then left
// as it was. The file must not be open.
bool UpgradeRecordLength(const std::string& path, std::uint32_t recordLength);

// Whether stations of network mode have the file open (they hold their
// station numbers in the ".DIA" file): then it must not be replaced or deleted.
bool StationsOpen(const std::string& basePath);

// Refused with 9908 while stations have the file open.
int CreateIndexedFile(const std::string& basePath, int recordLength, const KeyTable& keys);
// network: the caller's network flag (remote drive and network option); it only
// takes effect when network coordination is installed (SetNetworkHooks).
int OpenIndexedFile(const std::string& basePath, bool readOnly, bool network, IndexedFile*& file);
int CloseIndexedFile(IndexedFile* file);
int FlushIndexedFile(IndexedFile* file);

int RecordLengthOf(const IndexedFile* file);
int KeyCountOf(const IndexedFile* file);
KeyDef KeyDefOf(const IndexedFile* file, int keyNumber);
bool IsNetworkMode(const IndexedFile* file);
// Network mode: how many refreshes found changes of other stations so far
// (a reader compares it with what it saw, to know when to show anew).
std::uint64_t ForeignChanges(const IndexedFile* file);
// Network mode: the station number (1..25) under which this open file works;
// 0 in local mode and for a station that opened the file read-only.
int StationNumberOf(const IndexedFile* file);

// ---- records ----------------------------------------------------------------
int AddRecord(IndexedFile* file, const unsigned char* record, std::int32_t& recordNumber);
int GetRecord(IndexedFile* file, std::int32_t recordNumber, unsigned char* buffer);
// The record's bytes where the engine holds them, without a copy. They stay
// valid until the next call on this file and must not be changed.
int ViewRecord(IndexedFile* file, std::int32_t recordNumber, const unsigned char*& record);
int PutRecord(IndexedFile* file, std::int32_t recordNumber, const unsigned char* record);
int DeleteRecord(IndexedFile* file, std::int32_t recordNumber);
std::int32_t UsedRecords(IndexedFile* file);   // -1 on error

// ---- keys -------------------------------------------------------------------
// Each key of an open file has one position. It is kept by value, so it
// survives changes of the tree: NextKey/PrevKey continue from the entry it
// stands on, or from its place when that entry was deleted. AddKey leaves the
// key on the new entry; reaching either end, and ClearKey, clear it (the next
// NextKey gives the first entry, the next PrevKey the last). After an error
// while stepping, stepping gives 10255/10265 until the key is positioned anew.
int AddKey(IndexedFile* file, int keyNumber, std::int32_t recordNumber, const std::string& key);
int DeleteKey(IndexedFile* file, int keyNumber, std::int32_t recordNumber, const std::string& key);
// Exact match; for duplicates the first in order. Positions the key there.
int FindKey(IndexedFile* file, int keyNumber, const std::string& key, std::int32_t& recordNumber);
// First entry not smaller than key; key receives the entry's string.
int SearchKey(IndexedFile* file, int keyNumber, std::string& key, std::int32_t& recordNumber);
int NextKey(IndexedFile* file, int keyNumber, std::int32_t& recordNumber, std::string& key);
int PrevKey(IndexedFile* file, int keyNumber, std::int32_t& recordNumber, std::string& key);
int ClearKey(IndexedFile* file, int keyNumber);
int FindKeyAndRef(IndexedFile* file, int keyNumber, const std::string& key, std::int32_t recordNumber);
// Like FindKey, but leaves the key's position alone.
int LookupKey(IndexedFile* file, int keyNumber, const std::string& key, std::int32_t& recordNumber);
std::int32_t UsedKeys(IndexedFile* file, int keyNumber);  // -1 on error

// ---- rebuild ----------------------------------------------------------------
// `dropped` (when given) counts the records dropped by the check or a unique key.
int RebuildIndexedFile(const std::string& basePath, int recordLength, const KeyTable& keys,
                       const KeyCallback& keyOf, const RebuildProgress& progress = {},
                       const RecordCheck& check = {}, std::int32_t* dropped = nullptr);

// ---- network mode -----------------------------------------------------------
// Exclusive access for a change; no effect in local mode.
int LockFile(IndexedFile* file);
int UnlockFile(IndexedFile* file);

// Coordination of files in network mode plugs in here. Without hooks every
// file is opened in local mode (exclusively), whatever its drive.
class NetworkHooks {
 public:
  virtual ~NetworkHooks() = default;
  // Before the headers are read; onOpened follows with the result of the
  // reading (and must undo what onOpen did when it or the reading failed).
  virtual int onOpen(IndexedFile& file, bool readOnly) = 0;
  virtual int onOpened(IndexedFile& file, int error) {
    (void)file;
    return error;
  }
  virtual int onClose(IndexedFile& file) = 0;
  virtual int beginRead(IndexedFile& file) = 0;      // refresh
  virtual int endOperation(IndexedFile& file) = 0;
  virtual int lock(IndexedFile& file) = 0;
  virtual int unlock(IndexedFile& file) = 0;
  virtual bool holdsWriteLock(const IndexedFile& file) const = 0;
};
void SetNetworkHooks(NetworkHooks* hooks);

// The coordination of several stations through the ".DIA" file and
// byte-range locks (isam_network.cpp); the engine instance installs it.
NetworkHooks& NetworkCoordination();
// Completes a change whose station died while writing it to the files, from
// its journal; nothing when there is no such journal. Only while no other
// station is inside the file (the write lock, or local mode).
int RecoverJournal(const std::string& basePath);

}  // namespace kandelo::isam
