// Object layer of the indexed-file engine (StorageEngine, IndexedTable).

#include "storage/indexed_table.h"

#include <chrono>
#include <new>
#include <thread>

#include "platform/fileio.h"
#include "storage/isam_internal.h"

namespace kandelo {

namespace pf = kandelo::platform;
using namespace isam;

// ---- StorageEngine ---------------------------------------------------------------------

StorageEngine::~StorageEngine() { Stop(); }

int StorageEngine::Stop() {
  if (!started_) return 0;
  started_ = false;
  return StopEngine();
}

bool StorageEngine::Create(int pageBuffers) {
  if (started_) {
    error_ = kErrAlreadyStarted;
    return false;
  }
  error_ = StartEngine(pageBuffers);
  started_ = error_ == 0;
  // The network option is always on: files shared by several stations are coordinated.
  if (started_) SetNetworkHooks(&NetworkCoordination());
  return started_;
}

int StorageEngine::TakeError() {
  const int engineError = TakeEngineError();
  const int e = error_ ? error_ : engineError;
  error_ = 0;
  return e;
}

namespace {
std::unique_ptr<StorageEngine>& GlobalEngine() {
  static std::unique_ptr<StorageEngine> engine;
  return engine;
}
}  // namespace

int InitDatabaseEngine(int pageBuffers) {
  auto& g = GlobalEngine();
  if (g) return kErrAlreadyStarted;
  auto e = std::make_unique<StorageEngine>();
  if (!e->Create(pageBuffers)) return e->TakeError();
  g = std::move(e);
  return 0;
}

int ReleaseDatabaseEngine() {
  auto& g = GlobalEngine();
  const int err = g ? g->Stop() : 0;
  g.reset();
  return err;
}

std::string EngineStartErrorText(int error) { return "Database initialization error : " + std::to_string(error); }
std::string EngineStopErrorText(int error) { return "Data Base Error  " + std::to_string(error); }

StorageEngine* DatabaseEngine() { return GlobalEngine().get(); }

// ---- IndexedTable -----------------------------------------------------------------

bool SharedByStations(const std::string& basePath) {
  std::string dir = ParentPath(DataFilePath(basePath));
  if (dir.empty() || dir == DataFilePath(basePath)) dir = pf::fs().currentDirectory();
  return pf::networkModeFor(dir);
}

IndexedTable::IndexedTable(const std::string& basePath, bool networkOption, unsigned char* recordBuffer,
                       bool autoCreate, KeyCallback keyCallback, int recordLength)
    : basePath_(basePath),
      buffer_(recordBuffer),
      autoCreate_(autoCreate),
      keyOf_(std::move(keyCallback)),
      recordLength_(recordLength) {
  if (!buffer_ || recordLength_ < kMinRecordLength) {
    lastError_ = kErrRecordLength;
    return;
  }
  try {
    copy_.assign(static_cast<std::size_t>(recordLength_), 0);
  } catch (const std::bad_alloc&) {
    lastError_ = kErrNoMemoryForCopy;
    return;
  }
  network_ = networkOption && SharedByStations(basePath_);
  ready_ = true;
}

IndexedTable::~IndexedTable() {
  if (file_) Close();
}

int IndexedTable::CheckOpen() {
  if (!ready_ || !file_) return Fail(kErrNotReady);
  return 0;
}

int IndexedTable::DefineKey(int keyNumber, int length, bool allowDuplicates) {
  if (!ready_) return Fail(kErrNotReady);
  if (file_) return Fail(kErrKeyDefinedWhileOpen);
  if (keyNumber < 1 || keyNumber > kMaxKeys) return Fail(kErrTooManyKeys);
  if (keyNumber > static_cast<int>(keys_.size()) + 1) return Fail(kErrKeyNumber);
  if (length < 1 || length > kMaxKeyLength) return Fail(kErrKeyLength);
  KeyDef def{length, allowDuplicates};
  if (keyNumber == static_cast<int>(keys_.size()) + 1)
    keys_.push_back(def);
  else
    keys_[static_cast<std::size_t>(keyNumber - 1)] = def;
  return Fail(0);
}

int IndexedTable::CheckLayout() {
  // Any difference to the defined layout is a "wrong key layout": the owner
  // rebuilds. A different record length would also overrun the record buffer.
  if (KeyCountOf(file_) != static_cast<int>(keys_.size()) || RecordLengthOf(file_) != recordLength_)
    return kErrKeyLayout;
  for (int k = 1; k <= static_cast<int>(keys_.size()); ++k) {
    KeyDef d = KeyDefOf(file_, k);
    if (d.length != keys_[static_cast<std::size_t>(k - 1)].length ||
        d.duplicates != keys_[static_cast<std::size_t>(k - 1)].duplicates)
      return kErrKeyLayout;
  }
  return 0;
}

namespace {

LockWaitHook& lockWaitHook() {
  static LockWaitHook hook;
  return hook;
}

// Network mode: another station's change keeps a lock for a moment. Ten
// tries, 250 ms apart, the lock-wait hook called meanwhile. `err` is the
// result of the first try.
template <typename Try>
int WithRetries(int busyError, int err, Try attempt) {
  for (int tries = 1; err == busyError && tries < 10; ++tries) {
    for (int slice = 0; slice < 10; ++slice) {
      if (const LockWaitHook& hook = lockWaitHook()) hook();
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    err = attempt();
  }
  return err;
}

}  // namespace

void SetLockWaitHook(LockWaitHook hook) { lockWaitHook() = std::move(hook); }

int IndexedTable::Open() {
  if (!ready_) return Fail(kErrNotReady);
  if (file_) return Fail(0);
  // The opening lock is busy while another station changes the file.
  auto open = [&] { return OpenIndexedFile(basePath_, false, network_, file_); };
  int err = WithRetries(kErrNetOpen, open(), open);
  if (err == kErrFileNotFound && autoCreate_) {
    err = isam::CreateMissingIndexedFile(basePath_, recordLength_, keys_);
    if (!err) err = WithRetries(kErrNetOpen, open(), open);
  }
  if (err) {
    file_ = nullptr;
    return Fail(err);
  }
  if (int lerr = CheckLayout()) {
    CloseIndexedFile(file_);
    file_ = nullptr;
    return Fail(lerr);
  }
  currentKey_ = 1;
  currentRecord_ = 0;
  currentKeyString_.clear();
  saved_ = Position{};
  return Fail(0);
}

int IndexedTable::CreateFiles() {
  if (!ready_) return Fail(kErrNotReady);
  if (file_) return Fail(kErrKeyDefinedWhileOpen);
  if (int err = CreateIndexedFile(basePath_, recordLength_, keys_)) return Fail(err);
  return Open();
}

int IndexedTable::Close() {
  if (int err = CheckOpen()) return err;
  int err = CloseIndexedFile(file_);
  file_ = nullptr;
  return Fail(err);
}

int IndexedTable::Flush() {
  if (int err = CheckOpen()) return err;
  return Fail(FlushIndexedFile(file_));
}

int IndexedTable::Rebuild(const RebuildProgress& progress) {
  if (!ready_) return Fail(kErrNotReady);
  if (file_) {
    if (int err = Close()) return err;
  }
  dropped_ = 0;
  return Fail(RebuildIndexedFile(basePath_, recordLength_, keys_, keyOf_, progress, check_, &dropped_));
}

int IndexedTable::SelectKey(int keyNumber) {
  if (!ready_) return Fail(kErrNotReady);
  if (keyNumber < 1 || keyNumber > static_cast<int>(keys_.size())) return Fail(kErrSelectKey);
  currentKey_ = keyNumber;
  return Fail(0);
}

int IndexedTable::ReadRecord(std::int32_t recordNumber) {
  if (int err = CheckOpen()) return err;
  if (int err = GetRecord(file_, recordNumber, buffer_)) return Fail(err);
  copy_.assign(buffer_, buffer_ + recordLength_);
  currentRecord_ = recordNumber;
  return Fail(0);
}

int IndexedTable::RereadRecord() { return ReadRecord(currentRecord_); }

int IndexedTable::PeekRecord(const unsigned char*& record) {
  record = nullptr;
  if (int err = CheckOpen()) return err;
  return Fail(ViewRecord(file_, currentRecord_, record));
}

int IndexedTable::PutRecord(std::int32_t recordNumber) {
  if (int err = CheckOpen()) return err;
  return Fail(WithWriteLockDo([&] { return isam::PutRecord(file_, recordNumber, buffer_); }));
}

int IndexedTable::KeyOf(const unsigned char* record, int k, std::string& key) {
  key = keyOf_ ? keyOf_(record, k) : std::string();
  if (key.size() > static_cast<std::size_t>(keys_[static_cast<std::size_t>(k - 1)].length)) return kErrKeyTooLong;
  return 0;
}

int IndexedTable::WithWriteLockDo(const std::function<int()>& change) {
  if (!IsNetworkMode(file_)) return change();
  struct Changing {
    bool& flag;
    bool was;
    explicit Changing(bool& f) : flag(f), was(f) { flag = true; }
    ~Changing() { flag = was; }
  } changing(changing_);
  auto lock = [&] { return LockFile(file_) == 0 ? 0 : static_cast<int>(kErrWriteLock); };
  if (int first = lock()) {
    // The hook called while waiting may read records through this
    // table: the change goes on from the buffers and position it was given.
    const std::vector<unsigned char> buffer(buffer_, buffer_ + recordLength_), copy = copy_;
    const std::int32_t record = currentRecord_;
    const int key = currentKey_;
    const int err = WithRetries(kErrWriteLock, first, lock);
    if (!file_) return kErrNotReady;  // closed meanwhile
    std::copy(buffer.begin(), buffer.end(), buffer_);
    copy_ = copy;
    currentRecord_ = record;
    currentKey_ = key;
    if (err) return kErrNoWriteLock;
  }
  int err = change();
  int uerr = 0;
  // Only a lock that would not go is worth another try: a failed
  // publication has rolled the change back and released the lock already.
  for (int attempt = 0; attempt < 5; ++attempt)
    if ((uerr = UnlockFile(file_)) != kErrReleaseWriteLock) break;
  return err ? err : uerr;
}

int IndexedTable::Add() {
  if (int err = CheckOpen()) return err;
  return Fail(WithWriteLockDo([&] {
    const int n = static_cast<int>(keys_.size());
    PutI32(buffer_, 0);  // reserved for the engine
    std::vector<std::string> keys(static_cast<std::size_t>(n));
    // Refused keys are found before anything is written, so a refused Add
    // leaves no record and no keys behind.
    for (int k = 1; k <= n; ++k) {
      std::string& key = keys[static_cast<std::size_t>(k - 1)];
      if (int err = KeyOf(buffer_, k, key)) return err;
      if (!keys_[static_cast<std::size_t>(k - 1)].duplicates) {
        std::int32_t other = 0;
        int err = LookupKey(file_, k, key, other);
        if (err == 0) return static_cast<int>(kErrDuplicateKey);
        if (err != kErrKeyNotFound) return err;
      }
    }
    std::int32_t rec = 0;
    if (int err = AddRecord(file_, buffer_, rec)) return err;
    currentRecord_ = rec;
    copy_.assign(buffer_, buffer_ + recordLength_);
    for (int k = 1; k <= n; ++k)
      if (int err = AddKey(file_, k, rec, keys[static_cast<std::size_t>(k - 1)])) return err;
    currentKeyString_ = n > 0 ? keys[static_cast<std::size_t>(currentKey_ - 1)] : std::string();
    return 0;
  }));
}

int IndexedTable::Delete() {
  if (int err = CheckOpen()) return err;
  return Fail(WithWriteLockDo([&] {
    for (int k = 1; k <= static_cast<int>(keys_.size()); ++k) {
      std::string key;
      if (int err = KeyOf(buffer_, k, key)) return err;
      if (int err = DeleteKey(file_, k, currentRecord_, key)) return err;
    }
    return DeleteRecord(file_, currentRecord_);
  }));
}

int IndexedTable::Update() {
  if (int err = CheckOpen()) return err;
  return Fail(WithWriteLockDo([&] {
    const int n = static_cast<int>(keys_.size());
    PutI32(buffer_, 0);
    std::vector<std::string> oldKeys(static_cast<std::size_t>(n)), newKeys(static_cast<std::size_t>(n));
    for (int k = 1; k <= n; ++k) {
      std::string& nk = newKeys[static_cast<std::size_t>(k - 1)];
      if (int err = KeyOf(buffer_, k, nk)) return err;
      if (int err = KeyOf(copy_.data(), k, oldKeys[static_cast<std::size_t>(k - 1)])) return err;
      // A unique key that another record holds refuses the update before anything changes.
      if (nk != oldKeys[static_cast<std::size_t>(k - 1)] && !keys_[static_cast<std::size_t>(k - 1)].duplicates) {
        std::int32_t other = 0;
        int err = LookupKey(file_, k, nk, other);
        if (err == 0 && other != currentRecord_) return static_cast<int>(kErrDuplicateKey);
        if (err != 0 && err != kErrKeyNotFound) return err;
      }
    }
    if (int err = isam::PutRecord(file_, currentRecord_, buffer_)) return err;
    for (int k = 1; k <= n; ++k) {
      const std::string& ok = oldKeys[static_cast<std::size_t>(k - 1)];
      const std::string& nk = newKeys[static_cast<std::size_t>(k - 1)];
      if (ok == nk) continue;
      if (int err = DeleteKey(file_, k, currentRecord_, ok)) return err;
      if (int err = AddKey(file_, k, currentRecord_, nk)) return err;
    }
    copy_.assign(buffer_, buffer_ + recordLength_);
    if (n > 0) currentKeyString_ = newKeys[static_cast<std::size_t>(currentKey_ - 1)];
    return 0;
  }));
}

int IndexedTable::ResetKey() {
  if (int err = CheckOpen()) return err;
  return Fail(ClearKey(file_, currentKey_));
}

int IndexedTable::FindKey(std::string& key) {
  if (int err = CheckOpen()) return err;
  std::int32_t rec = 0;
  if (int err = isam::FindKey(file_, currentKey_, key, rec)) return Fail(err);
  currentRecord_ = rec;
  currentKeyString_ = key;
  return Fail(0);
}

int IndexedTable::SearchKey(std::string& key) {
  if (int err = CheckOpen()) return err;
  std::int32_t rec = 0;
  if (int err = isam::SearchKey(file_, currentKey_, key, rec)) return Fail(err);
  currentRecord_ = rec;
  currentKeyString_ = key;
  return Fail(0);
}

int IndexedTable::NextKey(std::string& key) {
  if (int err = CheckOpen()) return err;
  std::int32_t rec = 0;
  if (int err = isam::NextKey(file_, currentKey_, rec, key)) return Fail(err);
  currentRecord_ = rec;
  currentKeyString_ = key;
  return Fail(0);
}

int IndexedTable::PrevKey(std::string& key) {
  if (int err = CheckOpen()) return err;
  std::int32_t rec = 0;
  if (int err = isam::PrevKey(file_, currentKey_, rec, key)) return Fail(err);
  currentRecord_ = rec;
  currentKeyString_ = key;
  return Fail(0);
}

std::int32_t IndexedTable::RecordCount() {
  if (CheckOpen()) return 0;
  std::int32_t n = UsedRecords(file_);
  Fail(TakeEngineError());
  return n < 0 ? 0 : n;
}

std::int32_t IndexedTable::EntryCount() {
  if (CheckOpen()) return 0;
  std::int32_t n = UsedKeys(file_, currentKey_);
  Fail(TakeEngineError());
  return n < 0 ? 0 : n;
}

int IndexedTable::KeyCount() {
  if (CheckOpen()) return 0;
  return KeyCountOf(file_);
}

int IndexedTable::SavePosition() {
  if (!ready_) return Fail(kErrNotReady);
  saved_.valid = true;
  saved_.buffer.assign(buffer_, buffer_ + recordLength_);
  saved_.copy = copy_;
  saved_.record = currentRecord_;
  saved_.key = currentKey_;
  saved_.keyString = currentKeyString_;
  return Fail(0);
}

int IndexedTable::RestorePosition() {
  if (int err = CheckOpen()) return err;
  if (!saved_.valid) return Fail(kErrNoPositionNext);
  std::copy(saved_.buffer.begin(), saved_.buffer.end(), buffer_);
  copy_ = saved_.copy;
  currentRecord_ = saved_.record;
  currentKey_ = saved_.key;
  currentKeyString_ = saved_.keyString;
  if (currentRecord_ == 0 && currentKeyString_.empty()) return Fail(ClearKey(file_, currentKey_));
  return Fail(FindKeyAndRef(file_, currentKey_, currentKeyString_, currentRecord_));
}

}  // namespace kandelo
