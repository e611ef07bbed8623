// Object layer of the indexed-file engine (TGenBase, TBTreeBase).

#include "database/btreebase.h"

#include <chrono>
#include <new>
#include <thread>

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
  if (networkOption) {
    std::string dir = ParentPath(DataFilePath(basePath_));
    if (dir.empty() || dir == DataFilePath(basePath_)) dir = pf::fs().currentDirectory();
    network_ = pf::fs().isRemote(dir);
  }
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

int TBTreeBase::Open() {
  if (!ready_) return Fail(kErrNotReady);
  if (file_) return Fail(0);
  int err = OpenIndexedFile(basePath_, false, network_, file_);
  if (err == kErrFileNotFound && autoCreate_) {
    err = CreateIndexedFile(basePath_, recordLength_, keys_);
    if (!err) err = OpenIndexedFile(basePath_, false, network_, file_);
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
  int err = kErrNoWriteLock;
  for (int attempt = 0; attempt < 10; ++attempt) {
    if (LockFile(file_) == 0) {
      err = 0;
      break;
    }
    // 250 ms, the user interface staying responsive meanwhile.
    for (int slice = 0; slice < 10; ++slice) {
      ui().processEvents();
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
  }
  if (err) return kErrNoWriteLock;
  err = change();
  int uerr = 0;
  for (int attempt = 0; attempt < 5; ++attempt)
    if ((uerr = UnlockFile(file_)) == 0) break;
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
