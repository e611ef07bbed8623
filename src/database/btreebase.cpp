// Object layer of the indexed-file engine (TGenBase, TBTreeBase).

#include "database/btreebase.h"

#include <chrono>
#include <new>
#include <thread>

#include "database/isam_internal.h"
#include "frame/msgbox.h"
#include "frame/strutil.h"
#include "frame/ui_services.h"
#include "platform/fileio.h"

namespace kandelo {

namespace pf = kandelo::platform;
using namespace isam;

// ---- TGenBase ---------------------------------------------------------------------

TGenBase::~TGenBase() {
  if (!started_) return;
  int err = StopEngine();
  if (err != 0) ShowError("Data Base Error  " + std::to_string(err));
}

bool TGenBase::Create(int pageBuffers) {
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

int TGenBase::TakeError() {
  const int engineError = TakeEngineError();
  const int e = error_ ? error_ : engineError;
  error_ = 0;
  return e;
}

namespace {
std::unique_ptr<TGenBase>& GlobalEngine() {
  static std::unique_ptr<TGenBase> engine;
  return engine;
}
}  // namespace

int InitDatabaseEngine(int pageBuffers) {
  auto& g = GlobalEngine();
  if (g) return kErrAlreadyStarted;
  auto e = std::make_unique<TGenBase>();
  if (!e->Create(pageBuffers)) {
    int err = e->TakeError();
    ShowError("Database initialization error : " + std::to_string(err));
    return err;
  }
  g = std::move(e);
  return 0;
}

void ReleaseDatabaseEngine() { GlobalEngine().reset(); }

TGenBase* DatabaseEngine() { return GlobalEngine().get(); }

// ---- TBTreeBase -----------------------------------------------------------------

bool SharedByStations(const std::string& basePath) {
  std::string dir = ParentPath(DataFilePath(basePath));
  if (dir.empty() || dir == DataFilePath(basePath)) dir = pf::fs().currentDirectory();
  return pf::networkModeFor(dir);
}

TBTreeBase::TBTreeBase(const std::string& basePath, bool networkOption, unsigned char* recordBuffer,
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

TBTreeBase::~TBTreeBase() {
  if (file_) Close();
}

int TBTreeBase::CheckOpen() {
  if (!ready_ || !file_) return Fail(kErrNotReady);
  return 0;
}

int TBTreeBase::DefineKey(int keyNumber, int length, bool allowDuplicates) {
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

int TBTreeBase::CheckLayout() {
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

// Network mode: another station's change keeps a lock for a moment. Ten
// tries, 250 ms apart, the user interface staying responsive meanwhile.
// `err` is the result of the first try.
template <typename Try>
int WithRetries(int busyError, int err, Try attempt) {
  for (int tries = 1; err == busyError && tries < 10; ++tries) {
    for (int slice = 0; slice < 10; ++slice) {
      ui().processEvents();
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    err = attempt();
  }
  return err;
}

}  // namespace

int TBTreeBase::Open() {
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

int TBTreeBase::CreateFiles() {
  if (!ready_) return Fail(kErrNotReady);
  if (file_) return Fail(kErrKeyDefinedWhileOpen);
  if (int err = CreateIndexedFile(basePath_, recordLength_, keys_)) return Fail(err);
  return Open();
}

int TBTreeBase::Close() {
  if (int err = CheckOpen()) return err;
  int err = CloseIndexedFile(file_);
  file_ = nullptr;
  return Fail(err);
}

int TBTreeBase::Flush() {
  if (int err = CheckOpen()) return err;
  return Fail(FlushIndexedFile(file_));
}

int TBTreeBase::Rebuild(const RebuildProgress& progress) {
  if (!ready_) return Fail(kErrNotReady);
  if (file_) {
    if (int err = Close()) return err;
  }
  dropped_ = 0;
  return Fail(RebuildIndexedFile(basePath_, recordLength_, keys_, keyOf_, progress, check_, &dropped_));
}

int TBTreeBase::SelectKey(int keyNumber) {
  if (!ready_) return Fail(kErrNotReady);
  if (keyNumber < 1 || keyNumber > static_cast<int>(keys_.size())) return Fail(kErrSelectKey);
  currentKey_ = keyNumber;
  return Fail(0);
}

int TBTreeBase::ReadRecord(std::int32_t recordNumber) {
  if (int err = CheckOpen()) return err;
  if (int err = GetRecord(file_, recordNumber, buffer_)) return Fail(err);
  copy_.assign(buffer_, buffer_ + recordLength_);
  currentRecord_ = recordNumber;
  return Fail(0);
}

int TBTreeBase::RereadRecord() { return ReadRecord(currentRecord_); }

int TBTreeBase::PeekRecord(const unsigned char*& record) {
  record = nullptr;
  if (int err = CheckOpen()) return err;
  return Fail(ViewRecord(file_, currentRecord_, record));
}

int TBTreeBase::PutRecord(std::int32_t recordNumber) {
  if (int err = CheckOpen()) return err;
  return Fail(WithWriteLockDo([&] { return isam::PutRecord(file_, recordNumber, buffer_); }));
}

int TBTreeBase::KeyOf(const unsigned char* record, int k, std::string& key) {
  key = keyOf_ ? keyOf_(record, k) : std::string();
  if (key.size() > static_cast<std::size_t>(keys_[static_cast<std::size_t>(k - 1)].length)) return kErrKeyTooLong;
  return 0;
}

int TBTreeBase::WithWriteLockDo(const std::function<int()>& change) {
  if (!IsNetworkMode(file_)) return change();
  struct Changing {
    bool& flag;
    bool was;
    explicit Changing(bool& f) : flag(f), was(f) { flag = true; }
    ~Changing() { flag = was; }
  } changing(changing_);
  auto lock = [&] { return LockFile(file_) == 0 ? 0 : static_cast<int>(kErrWriteLock); };
  if (int first = lock()) {
    // The events processed while waiting may read records through this
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

int TBTreeBase::Add() {
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

int TBTreeBase::Delete() {
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

int TBTreeBase::Update() {
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

int TBTreeBase::ResetKey() {
  if (int err = CheckOpen()) return err;
  return Fail(ClearKey(file_, currentKey_));
}

int TBTreeBase::FindKey(std::string& key) {
  if (int err = CheckOpen()) return err;
  std::int32_t rec = 0;
  if (int err = isam::FindKey(file_, currentKey_, key, rec)) return Fail(err);
  currentRecord_ = rec;
  currentKeyString_ = key;
  return Fail(0);
}

int TBTreeBase::SearchKey(std::string& key) {
  if (int err = CheckOpen()) return err;
  std::int32_t rec = 0;
  if (int err = isam::SearchKey(file_, currentKey_, key, rec)) return Fail(err);
  currentRecord_ = rec;
  currentKeyString_ = key;
  return Fail(0);
}

int TBTreeBase::NextKey(std::string& key) {
  if (int err = CheckOpen()) return err;
  std::int32_t rec = 0;
  if (int err = isam::NextKey(file_, currentKey_, rec, key)) return Fail(err);
  currentRecord_ = rec;
  currentKeyString_ = key;
  return Fail(0);
}

int TBTreeBase::PrevKey(std::string& key) {
  if (int err = CheckOpen()) return err;
  std::int32_t rec = 0;
  if (int err = isam::PrevKey(file_, currentKey_, rec, key)) return Fail(err);
  currentRecord_ = rec;
  currentKeyString_ = key;
  return Fail(0);
}

std::int32_t TBTreeBase::RecordCount() {
  if (CheckOpen()) return 0;
  std::int32_t n = UsedRecords(file_);
  Fail(TakeEngineError());
  return n < 0 ? 0 : n;
}

std::int32_t TBTreeBase::EntryCount() {
  if (CheckOpen()) return 0;
  std::int32_t n = UsedKeys(file_, currentKey_);
  Fail(TakeEngineError());
  return n < 0 ? 0 : n;
}

int TBTreeBase::KeyCount() {
  if (CheckOpen()) return 0;
  return KeyCountOf(file_);
}

int TBTreeBase::SavePosition() {
  if (!ready_) return Fail(kErrNotReady);
  saved_.valid = true;
  saved_.buffer.assign(buffer_, buffer_ + recordLength_);
  saved_.copy = copy_;
  saved_.record = currentRecord_;
  saved_.key = currentKey_;
  saved_.keyString = currentKeyString_;
  return Fail(0);
}

int TBTreeBase::RestorePosition() {
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
