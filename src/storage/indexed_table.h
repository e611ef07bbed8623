// Object layer of the indexed-file engine.
//
// StorageEngine is the engine instance (one per run): it starts and stops the
// page cache. IndexedTable binds one indexed file to the owner's record buffer
// and a key callback and keeps all keys in step with the records. Results are
// the error numbers of isam_errors.h (0 = success); the last one is also kept.
// Nothing here shows anything: the callers report the numbers, with the texts
// below where they have no better one.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "storage/isam.h"
#include "storage/isam_errors.h"

namespace kandelo {

using isam::KeyCallback;
using isam::KeyDef;
using isam::KeyTable;

class StorageEngine {
 public:
  StorageEngine() = default;
  // Destroying stops the engine (Stop) when it still runs; its error is lost.
  ~StorageEngine();
  StorageEngine(const StorageEngine&) = delete;
  StorageEngine& operator=(const StorageEngine&) = delete;

  // Starts the engine; false on failure (number through TakeError).
  bool Create(int pageBuffers = isam::kDefaultPageBuffers);
  bool IsStarted() const { return started_; }
  // Flushes and closes every file still open and stops the engine; the first
  // error met (0 also when it was not started).
  int Stop();
  // Returns the engine's last error and clears it.
  int TakeError();
  // Always on: files on a remote drive open in network mode.
  bool NetworkOption() const { return true; }

 private:
  bool started_ = false;
  int error_ = 0;
};

// Start-up and shutdown of the program's engine instance; both return the
// engine's error number (0 = success).
int InitDatabaseEngine(int pageBuffers = isam::kDefaultPageBuffers);
int ReleaseDatabaseEngine();
StorageEngine* DatabaseEngine();  // nullptr when not started

// The fixed texts under which the program reports a failed start
// ("Database initialization error : " + number) and a failed stop
// ("Data Base Error  " + number) of the engine.
std::string EngineStartErrorText(int error);
std::string EngineStopErrorText(int error);

// Network mode: a change or an opening that finds another station's lock
// waits up to ten times 250 ms, calling the hook about every 25 ms (the
// window lets its events run there; the command line installs none). What
// runs in the hook may read through the waiting table, which goes on from the
// buffers and position it was given, but must not change it. An empty hook
// removes the one installed.
using LockWaitHook = std::function<void()>;
void SetLockWaitHook(LockWaitHook hook);

// Whether an indexed file on this base path opens in network mode (shared by
// several stations): KANDELO_NETWORK_MODE, else whether its directory (the
// current one for a bare name) lies on a network file system.
bool SharedByStations(const std::string& basePath);

class IndexedTable {
 public:
  // recordBuffer: the owner's buffer of recordLength bytes (not owned).
  // networkOption: the engine's network option; network mode also needs the
  // base path's directory to lie on a remote drive.
  IndexedTable(const std::string& basePath, bool networkOption, unsigned char* recordBuffer,
             bool autoCreate, KeyCallback keyCallback, int recordLength);
  // Flushes and closes the files.
  ~IndexedTable();
  IndexedTable(const IndexedTable&) = delete;
  IndexedTable& operator=(const IndexedTable&) = delete;

  bool IsReady() const { return ready_; }
  bool IsOpen() const { return file_ != nullptr; }
  int LastError() const { return lastError_; }

  // Adds key keyNumber (1..12, in order) to the key table; 7777 while open.
  int DefineKey(int keyNumber, int length, bool allowDuplicates);
  const KeyTable& Keys() const { return keys_; }

  int Open();          // auto-creates on 9903 when asked to; 10180 on a different key layout
  int CreateFiles();   // new empty files from the key table, then open
  int Close();
  int Flush();
  int Rebuild(const isam::RebuildProgress& progress = {});  // closes first, leaves closed
  // The check every record must pass to be kept by a rebuild (none by default),
  // and the records the last rebuild dropped (by the check or a unique key).
  void SetRecordCheck(isam::RecordCheck check) { check_ = std::move(check); }
  std::int32_t DroppedByRebuild() const { return dropped_; }

  int SelectKey(int keyNumber);  // 10176 above the number of keys
  int CurrentKeyNumber() const { return currentKey_; }
  std::int32_t CurrentRecordNumber() const { return currentRecord_; }
  const std::string& CurrentKeyString() const { return currentKeyString_; }

  int ReadRecord(std::int32_t recordNumber);  // into the buffer and the internal copy
  int RereadRecord();
  // The current record (as the last key step or find left it) where the
  // engine holds it: no copy into the record buffer or the internal copy.
  // Valid until the next call on this table; for listings in key order.
  int PeekRecord(const unsigned char*& record);
  // Writes the record buffer to a record without touching any key (version label).
  int PutRecord(std::int32_t recordNumber);
  int Add();     // new record from the buffer with all keys; becomes current
  int Delete();  // the current record with the keys computed from the buffer
  int Update();  // writes the buffer to the current record, re-keys changed keys

  int ResetKey();
  // On the current key; the string buffer is input (Find, Search) and output.
  int FindKey(std::string& key);
  int SearchKey(std::string& key);
  int NextKey(std::string& key);
  int PrevKey(std::string& key);

  std::int32_t RecordCount();  // records in use (0 and 8888 when not open)
  std::int32_t EntryCount();   // entries of the current key
  int KeyCount();              // keys recorded in the open file

  int SavePosition();
  int RestorePosition();

  const std::string& BasePath() const { return basePath_; }
  int RecordLength() const { return recordLength_; }
  bool NetworkMode() const { return network_; }
  // A change waits for the write lock (network mode), calling the lock-wait
  // hook meanwhile: true while it does, so the hook starts no other change.
  bool InChange() const { return changing_; }
  unsigned char* RecordBuffer() const { return buffer_; }
  isam::IndexedFile* File() const { return file_; }

 private:
  int Fail(int error) { lastError_ = error; return error; }
  int CheckOpen();
  int CheckLayout();
  int KeyOf(const unsigned char* record, int keyNumber, std::string& key);
  // Network mode: the change runs under the file's write lock (10 tries).
  int WithWriteLockDo(const std::function<int()>& change);

  std::string basePath_;
  bool network_ = false;
  unsigned char* buffer_;
  bool autoCreate_;
  KeyCallback keyOf_;
  isam::RecordCheck check_;
  std::int32_t dropped_ = 0;
  int recordLength_;
  bool ready_ = false;
  int lastError_ = 0;
  bool changing_ = false;
  KeyTable keys_;
  std::vector<unsigned char> copy_;  // record as last read or written
  isam::IndexedFile* file_ = nullptr;
  std::int32_t currentRecord_ = 0;
  int currentKey_ = 1;
  std::string currentKeyString_;

  struct Position {
    bool valid = false;
    std::vector<unsigned char> buffer, copy;
    std::int32_t record = 0;
    int key = 1;
    std::string keyString;
  } saved_;
};

}  // namespace kandelo
