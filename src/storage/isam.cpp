// Indexed-file engine, file layer: engine instance, files, headers, records.
//
// ============================================================================
// ON-DISK FORMAT (all integers little-endian; strings are counted: a length
// byte, then the characters)
// ============================================================================
//
// An indexed file is a data file "<base>.DAT" and, when it has keys, an index
// file "<base>.IDX". "data;index" in the base path names them separately.
//
// Data file: records of R bytes (R >= 21); record n (n >= 1) at n * R.
//   Record 0 is the header, zero apart from:
//     0  int32  first free record, -1 when none
//     4  int32  number of free records
//     8  int32  highest record number ever allocated
//    12  int32  record length R
//    16  int32  number of keys K (0..12; only the low byte counts)
//    20  byte   open-for-writing flag
//   A record in use starts with int32 0. A free record starts with the number
//   of the next free record (-1 ends the chain); its other bytes are stale.
//
// Index file: rows of T = P1 + ... + PK bytes, Pk = 62 * (Lk + 9) + 6 for a
//   key of length Lk (1..150). Key k owns bytes [Ok, Ok + Pk) of every row,
//   Ok = P1 + ... + P(k-1). Row 0 holds the key headers, row n page n of each
//   key (each key numbers its own pages from 1).
//   Key header (26 bytes at Ok of row 0):
//     0  int32  first free page, -1 when none
//     4  int32  number of free pages
//     8  int32  highest page number ever allocated
//    12  int32  page size Pk (the key length is derived from it)
//    16  int32  root page, 0 for an empty index
//    20  byte   1 duplicates allowed, 0 unique
//    21  byte   0
//    22  int32  number of entries
//   Page (at n * T + Ok):
//     0  uint16 item count c (1..62)
//     2  int32  child with the entries below item 1 (0 in a leaf)
//     6  c items of Lk + 9 bytes: int32 record, int32 child with the entries
//        between this item and the next (0 in a leaf), counted string in
//        Lk + 1 bytes (the tail after the characters is zero when written by
//        this engine).
//   A free page starts with the next free page (-1 ends the chain).
//
// ============================================================================
// INVARIANTS (checked on opening where cheap, and by every page access)
// ============================================================================
//
//  - highest >= 0; 0 <= free count <= highest; first free is -1 exactly when
//    the free count is 0, else in 1..highest; following the chain visits
//    free-count distinct numbers and ends in -1 (walked when opening: a
//    cyclic or dangling chain gives 10170).
//  - The data file holds at least highest + 1 records; the index file at
//    least max(highest page) + 1 complete rows (else 10070 / 10120).
//  - root is 0 exactly when the entry count is 0.
//  - B-tree of order 31: every page holds 1..62 items, every page but the
//    root at least 31; all leaves lie at the same depth (at most 9 levels);
//    in a page either every child is 0 (leaf) or every child is in
//    1..highest; string lengths are <= Lk. A page that breaks these gives
//    10140 when it is read, never undefined behaviour.
//  - Entries are ordered by string (bytewise, unsigned, prefix first) and in
//    a key with duplicates by record number; (string, record) is unique, and
//    a unique key holds every string once.
//
// ============================================================================
// LIFE CYCLE OF AN OPEN FILE
// ============================================================================
//
//   Closed --Open--> Clean --first change--> Changed --Flush--> Clean
//                      |                        |
//                      +--------Close-----------+--> Closed
//
//   The first change after opening or flushing writes byte 20 of the data
//   header as 1 before anything else is written. Flushing writes the changed
//   pages, the key headers, then the data header with the flag 0, last. A
//   crash in Changed leaves the flag at 1, so the next Open gives 10010 and
//   the owner rebuilds. Records are written straight to the data file (added,
//   written and deleted records reach the file before the operation returns),
//   so the rebuild, which keeps every record whose first four bytes are zero,
//   finds every record whose AddRecord succeeded; headers and index pages are
//   only trusted after a clean close.
//
// ============================================================================
// PAGE CACHE
// ============================================================================
//
//   A ring of buffers in least-recently-used order, looked up by (file, key,
//   page). A miss takes the least recently used buffer that is not pinned by
//   the operation in progress, writing it back first when it was changed.
//   A buffer mirrors the whole page slot. When written back it writes every
//   byte that any state of the page since its last write-back used (its
//   "span"): in the usual case that is the used part of the page, and it
//   makes the bytes on disk equal to the buffer, so the files that result
//   from a sequence of operations do not depend on how many buffers there
//   are or when pages were evicted. A buffer takes its memory when first used.
//
//   In local mode the data file is read through a record cache of 64 KiB
//   blocks (at most 64 MiB per file, least recently used out). Every write
//   to the data file goes through it as well and reaches the file at once, so
//   the cache never holds anything the file does not.
//
// Local mode opens the data file exclusively (an open-file-description lock
// on the data file; a second opener gets 9908). Network mode needs the
// coordination layer (SetNetworkHooks); without it every file is local.

#include "storage/isam.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>
#include <cstring>
#include <limits>
#include <new>

#include "storage/isam_internal.h"
#include "platform/fileio.h"

namespace kandelo::isam {

namespace pf = kandelo::platform;
using namespace detail;

namespace detail {

Engine& engine() {
  // Never destroyed: an engine instance that is itself a static object may
  // stop the engine during static destruction, in any order.
  static Engine* e = new Engine;
  return *e;
}

int Call::enter() {
  Engine& e = engine();
  if (!e.started) return kErrNotStarted;
  if (e.busy) return kErrReentered;
  e.busy = true;
  entered_ = true;
  return kOk;
}

int Call::enter(const IndexedFile* file) {
  if (int err = enter()) return err;
  const auto& files = engine().files;
  if (!file || std::find(files.begin(), files.end(), file) == files.end()) return kErrNotValidFile;
  return kOk;
}

Call::~Call() {
  if (entered_) engine().busy = false;
}

int Call::done(int error) {
  engine().lastError = error;
  return error;
}

int ReadAt(pf::FileHandle& h, std::int64_t offset, void* buf, std::size_t n) {
  if (offset < 0) return kErrIO;
  long long got = h.readAt(offset, buf, n);
  if (got < 0) return kErrIO;
  if (static_cast<std::size_t>(got) != n) return kErrShortRead;
  return kOk;
}

int WriteAt(pf::FileHandle& h, std::int64_t offset, const void* buf, std::size_t n) {
  if (offset < 0) return kErrIO;
  return h.writeAt(offset, buf, n) ? kOk : kErrShortWrite;
}

int BeginRead(IndexedFile& f) {
  Engine& e = engine();
  if (!f.network || !e.hooks || f.readOnly || e.hooks->holdsWriteLock(f)) return kOk;
  return e.hooks->beginRead(f);
}

int EndOperation(IndexedFile& f, int error) {
  Engine& e = engine();
  if (!f.network || !e.hooks) return error;
  int err = e.hooks->endOperation(f);
  return error ? error : err;
}

int BeginChange(IndexedFile& f, int part) {
  if (f.readOnly) return kErrNetIO;
  Engine& e = engine();
  if (f.network && e.hooks) {
    if (!e.hooks->holdsWriteLock(f)) return kErrNoWriteLock;
    // Published by UnlockFile, which writes these parts and tells the others.
    if (part >= 0) f.changedParts |= 1u << part;
    f.changedParts |= 1u << (f.keys.size() + 1);
    return kOk;
  }
  if (f.changed) return kOk;
  const unsigned char one = 1;
  if (int err = WriteData(f, 20, &one, 1)) return err;
  f.changed = true;
  return kOk;
}

}  // namespace detail

namespace {

bool PathTooLong(const std::string& base) { return base.empty() || base.size() > kMaxPathLength; }

std::string DataBase(const std::string& base) {
  auto semi = base.find(';');
  return semi == std::string::npos ? base : base.substr(0, semi);
}

std::string IndexBase(const std::string& base) {
  auto semi = base.find(';');
  return semi == std::string::npos ? base : base.substr(semi + 1);
}

// After a failed open of an existing file: the process ran out of handles
// (9901), else the file is held or protected (9908).
int OpenFailure() { return errno == EMFILE || errno == ENFILE ? kErrTooManyOpenFiles : kErrAccessDenied; }

// 9900 when the directory is missing, else 9903.
int MissingFileError(const std::string& path) {
  std::string dir = ParentPath(path);
  if (!dir.empty() && dir != path && !pf::fs().isDirectory(dir)) return kErrPathNotFound;
  return kErrFileNotFound;
}

void EncodeDataHeader(const IndexedFile& f, unsigned char* h) {
  namespace dh = data_header;
  PutI32(h + dh::kFirstFree, f.firstFree);
  PutI32(h + dh::kFreeCount, f.freeCount);
  PutI32(h + dh::kHighest, f.highest);
  PutI32(h + dh::kRecordLength, f.recordLength);
  PutI32(h + dh::kKeyCount, static_cast<std::int32_t>(f.keys.size()));
  h[dh::kOpenFlag] = f.changed ? 1 : 0;
}

void EncodeKeyHeader(const KeyState& k, unsigned char* h) {
  PutI32(h + 0, k.firstFree);
  PutI32(h + 4, k.freeCount);
  PutI32(h + 8, k.highest);
  PutI32(h + 12, k.pageSize);
  PutI32(h + 16, k.root);
  h[20] = k.def.duplicates ? 1 : 0;
  h[21] = 0;
  PutI32(h + 22, k.entries);
}

int WriteHeaders(IndexedFile& f) {
  unsigned char h[kKeyHeaderSize];
  for (const KeyState& k : f.keys) {
    EncodeKeyHeader(k, h);
    if (int err = WriteAt(*f.idx, k.offset, h, kKeyHeaderSize)) return err;
  }
  if (f.idx && !f.idx->flush()) return kErrFlush;
  bool wasChanged = f.changed;
  f.changed = false;
  EncodeDataHeader(f, h);
  if (int err = WriteData(f, 0, h, kDataHeaderSize)) {
    f.changed = wasChanged;
    return err;
  }
  return kOk;
}

// Walks a free chain: count distinct links in 1..highest, then -1.
template <typename ReadLink>
int CheckFreeChain(std::int32_t first, std::int32_t count, std::int32_t highest, ReadLink readLink) {
  if (highest < 0 || count < 0 || count > highest) return kErrFreeChain;
  if ((first == -1) != (count == 0)) return kErrFreeChain;
  std::vector<bool> seen(static_cast<std::size_t>(highest) + 1, false);
  std::int32_t n = first;
  for (std::int32_t i = 0; i < count; ++i) {
    if (n < 1 || n > highest || seen[static_cast<std::size_t>(n)]) return kErrFreeChain;
    seen[static_cast<std::size_t>(n)] = true;
    std::int32_t link = 0;
    if (int err = readLink(n, link)) return err;
    n = link;
  }
  return n == -1 ? kOk : kErrFreeChain;
}

int ReadKeyHeaders(IndexedFile& f, int keyCount) {
  std::int64_t offset = 0;
  f.keys.assign(static_cast<std::size_t>(keyCount), KeyState{});
  unsigned char h[kKeyHeaderSize];
  for (KeyState& k : f.keys) {
    if (int err = ReadAt(*f.idx, offset, h, kKeyHeaderSize)) return err == kErrShortRead ? kErrBadPageSize : err;
    std::int32_t p = GetI32(h + 12);
    if (p < kPageHead + kItemsPerPage || (p - kPageHead) % kItemsPerPage != 0) return kErrBadPageSize;
    int length = (p - kPageHead) / kItemsPerPage - 9;
    if (length < 1 || length > kMaxKeyLength) return kErrBadKeyLength;
    k.def.length = length;
    k.def.duplicates = h[20] != 0;
    k.pageSize = p;
    k.itemSize = length + 9;
    k.offset = offset;
    k.firstFree = GetI32(h + 0);
    k.freeCount = GetI32(h + 4);
    k.highest = GetI32(h + 8);
    k.root = GetI32(h + 16);
    k.entries = GetI32(h + 22);
    offset += p;
  }
  f.rowSize = offset;
  return kOk;
}

int CheckKeyHeaders(IndexedFile& f) {
  std::int64_t size = f.idx->size();
  if (size < 0) return kErrIO;
  f.rows = size / f.rowSize;
  if (f.rows < 1) return kErrBadPageSize;
  for (KeyState& k : f.keys) {
    if (k.highest < 0 || k.highest > f.rows - 1) return kErrBadPageSize;
    if (k.root < 0 || k.root > k.highest || k.entries < 0 || (k.root == 0) != (k.entries == 0))
      return kErrBadPageSize;
    int err = CheckFreeChain(k.firstFree, k.freeCount, k.highest, [&](std::int32_t n, std::int32_t& link) {
      unsigned char b[4];
      int e = ReadAt(*f.idx, n * f.rowSize + k.offset, b, 4);
      link = GetI32(b);
      return e;
    });
    if (err) return err;
    if (k.root != 0 && k.freeCount > 0) {
      // The root must not sit on the free chain.
      std::int32_t n = k.firstFree;
      for (std::int32_t i = 0; i < k.freeCount && n > 0; ++i) {
        if (n == k.root) return kErrFreeChain;
        unsigned char b[4];
        if (int e = ReadAt(*f.idx, n * f.rowSize + k.offset, b, 4)) return e;
        n = GetI32(b);
      }
    }
  }
  return kOk;
}

void Unregister(IndexedFile* f) {
  auto& files = engine().files;
  files.erase(std::remove(files.begin(), files.end(), f), files.end());
}

}  // namespace

std::string DataFilePath(const std::string& base) { return ChangeFileExt(DataBase(base), ".DAT"); }
std::string IndexFilePath(const std::string& base) { return ChangeFileExt(IndexBase(base), ".IDX"); }
std::string SaveFilePath(const std::string& base) { return ChangeFileExt(DataBase(base), ".SAV"); }
std::string MessageFilePath(const std::string& base) { return ChangeFileExt(DataBase(base), ".MSG"); }

DataFileState InspectDataFile(const std::string& base) {
  const std::string dat = DataFilePath(base);
  if (!pf::fs().exists(dat))
    return pf::fs().exists(IndexFilePath(base)) && !pf::fs().exists(SaveFilePath(base)) ? DataFileState::Missing
                                                                                          : DataFileState::Sound;
  // Beside the "SAV" file of a rebuild that did not finish, a short data
  // file is that rebuild's partial copy: the repair recovers from "SAV".
  if (pf::fs().exists(SaveFilePath(base))) return DataFileState::Sound;
  auto h = pf::fs().open(dat, pf::OpenMode::Read);
  if (!h) return DataFileState::Sound;  // unreadable: the open says why
  const std::int64_t size = h->size();
  unsigned char hd[kDataHeaderSize];
  if (size < kDataHeaderSize || h->readAt(0, hd, kDataHeaderSize) != kDataHeaderSize) return DataFileState::Short;
  namespace dh = data_header;
  const std::int64_t highest = GetI32(hd + dh::kHighest), length = GetI32(hd + dh::kRecordLength);
  if (hd[dh::kOpenFlag] != 0 || length < kMinRecordLength || highest < 0) return DataFileState::Sound;
  return size < (highest + 1) * length ? DataFileState::Short : DataFileState::Sound;
}
std::string CoordinationFilePath(const std::string& base) { return ChangeFileExt(DataBase(base), ".DIA"); }
std::string JournalFilePath(const std::string& base) { return ChangeFileExt(DataBase(base), ".JNL"); }

// ---- engine -------------------------------------------------------------------

int StartEngine(int bufferCount) {
  Engine& e = engine();
  if (e.started) return e.lastError = kErrAlreadyStarted;
  if (bufferCount < kMinPageBuffers) return e.lastError = kErrTooFewBuffers;
  if (int err = e.cache.start(bufferCount)) return e.lastError = err;
  e.started = true;
  e.busy = false;
  return e.lastError = kOk;
}

int StopEngine() {
  Engine& e = engine();
  if (!e.started) return e.lastError = kErrNotStarted;
  if (e.busy) return e.lastError = kErrReentered;
  int first = kOk;
  while (!e.files.empty()) {
    int err = CloseFile(e.files.back());
    if (!first) first = err;
  }
  e.cache.stop();
  e.started = false;
  return e.lastError = first;
}

bool EngineStarted() { return engine().started; }

int TakeEngineError() {
  int e = engine().lastError;
  engine().lastError = 0;
  return e;
}

int PeekEngineError() { return engine().lastError; }

void SetNetworkHooks(NetworkHooks* hooks) { engine().hooks = hooks; }

// ---- creating, opening, closing ---------------------------------------------------

namespace detail {

int CheckLayout(int recordLength, const KeyTable& keys) {
  if (recordLength < kMinRecordLength) return kErrRecordLength;
  if (keys.size() > static_cast<std::size_t>(kMaxKeys)) return kErrTooManyKeys;
  for (const KeyDef& k : keys)
    if (k.length < 1 || k.length > kMaxKeyLength) return kErrKeyLength;
  return kOk;
}

int CreateFiles(const std::string& base, int recordLength, const KeyTable& keys) {
  if (PathTooLong(base)) return kErrPathNotFound;
  if (int err = CheckLayout(recordLength, keys)) return err;

  const std::string dat = DataFilePath(base), idx = IndexFilePath(base);
  // The coordination file of a hold carries the hold's lock: emptied (a
  // fresh start for the stations), not deleted, so that the lock goes on
  // keeping every opener out.
  auto held = engine().exclusive.find(base);
  if (held != engine().exclusive.end()) {
    if (!held->second.first->truncate(0)) return kErrAccessDenied;
  } else if (pf::fs().exists(CoordinationFilePath(base)) && !pf::fs().removeFile(CoordinationFilePath(base))) {
    return kErrAccessDenied;
  }
  for (const std::string& p : {idx, JournalFilePath(base), dat})
    if (pf::fs().exists(p) && !pf::fs().removeFile(p)) return kErrAccessDenied;

  IndexedFile f;
  f.recordLength = recordLength;
  f.keys.resize(keys.size());
  std::int64_t offset = 0;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    KeyState& k = f.keys[i];
    k.def = keys[i];
    k.pageSize = PageSizeForKeyLength(keys[i].length);
    k.offset = offset;
    offset += k.pageSize;
  }

  auto dh = pf::fs().open(dat, pf::OpenMode::Create);
  if (!dh) return MissingFileError(dat);
  std::vector<unsigned char> rec(static_cast<std::size_t>(recordLength), 0);
  EncodeDataHeader(f, rec.data());
  int err = WriteAt(*dh, 0, rec.data(), rec.size());
  if (!dh->close() && !err) err = kErrClose;
  if (err) return err;

  if (!keys.empty()) {
    auto ih = pf::fs().open(idx, pf::OpenMode::Create);
    if (!ih) return MissingFileError(idx);
    std::vector<unsigned char> row(static_cast<std::size_t>(offset), 0);
    for (const KeyState& k : f.keys) EncodeKeyHeader(k, row.data() + k.offset);
    err = WriteAt(*ih, 0, row.data(), row.size());
    if (!ih->close() && !err) err = kErrClose;
  }
  return err;
}

namespace {

// Reads and checks the headers of a file whose handles are open (opening
// the index file when the header names keys).
int LoadHeaders(IndexedFile& f, pf::OpenMode mode) {
  unsigned char h[kDataHeaderSize];
  if (int err = ReadData(f, 0, h, kDataHeaderSize)) return err;
  namespace dh = data_header;
  const int keyCount = h[dh::kKeyCount];
  if (keyCount > kMaxKeys) return kErrTooManyKeysInFile;
  f.firstFree = GetI32(h + dh::kFirstFree);
  f.freeCount = GetI32(h + dh::kFreeCount);
  f.highest = GetI32(h + dh::kHighest);
  f.recordLength = GetI32(h + dh::kRecordLength);
  const bool flagSet = h[dh::kOpenFlag] != 0;

  if (keyCount > 0) {
    if (!pf::fs().exists(f.indexPath)) return kErrBadPageSize;  // data without index: rebuild, never re-create
    errno = 0;
    if (!f.idx) f.idx = pf::fs().open(f.indexPath, mode);
    if (!f.idx) return OpenFailure();
    if (int err = ReadKeyHeaders(f, keyCount)) return err;
  }
  if (flagSet) return kErrNotClosedProperly;
  if (f.recordLength < kMinRecordLength) return kErrRecordLength;

  const std::int64_t size = f.dat->size();
  if (size < 0) return kErrIO;
  if (!f.network) f.datCache.enable(size);
  if (f.highest < 0 || size / f.recordLength < std::int64_t{f.highest} + 1) return kErrShortRead;
  int err = CheckFreeChain(f.firstFree, f.freeCount, f.highest, [&](std::int32_t n, std::int32_t& link) {
    unsigned char b[4];
    int e2 = ReadData(f, std::int64_t{n} * f.recordLength, b, 4);
    link = GetI32(b);
    return e2;
  });
  if (err) return err;
  if (keyCount > 0)
    if (int kerr = CheckKeyHeaders(f)) return kerr;
  return kOk;
}

}  // namespace

int OpenFile(const std::string& base, bool readOnly, bool network, IndexedFile*& out) {
  out = nullptr;
  if (PathTooLong(base)) return kErrPathNotFound;
  auto f = std::make_unique<IndexedFile>();
  f->basePath = base;
  f->dataPath = DataFilePath(base);
  f->indexPath = IndexFilePath(base);
  Engine& e = engine();
  f->network = network && e.hooks != nullptr;

  if (!pf::fs().exists(f->dataPath)) return MissingFileError(f->dataPath);
  auto attrs = pf::fs().attributes(f->dataPath);
  f->readOnly = readOnly || (attrs && (*attrs & pf::faReadOnly));
  const pf::OpenMode mode = f->readOnly ? pf::OpenMode::Read : pf::OpenMode::ReadWrite;
  // The gate: a rebuild, recovery or creation that holds the file keeps every
  // opener out until it is done, and none starts while anybody has it open.
  // A reader in a directory it cannot write opens without it.
  if (!e.exclusive.count(base)) {
    f->gate = pf::fs().open(CoordinationFilePath(base), f->readOnly ? pf::OpenMode::Read : pf::OpenMode::OpenOrCreate);
    pf::LockResult r = f->gate ? f->gate->lockRange(kGateByte, 1, false) : pf::LockResult::Error;
    for (int waited = 0; r == pf::LockResult::Busy && waited < 20; ++waited) {  // a hold that is only tried
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      r = f->gate->lockRange(kGateByte, 1, false);
    }
    if (r == pf::LockResult::Busy) return f->network ? kErrNetOpen : kErrAccessDenied;
  }
  errno = 0;
  f->dat = pf::fs().open(f->dataPath, mode);
  if (!f->dat) return OpenFailure();
  // Local mode holds the data file exclusively. The stations of network mode
  // share it: their shared lock keeps a local opener out, and a local
  // holder's exclusive lock keeps them out.
  if (f->dat->lockRange(0, 0, !f->readOnly && !f->network) == pf::LockResult::Busy) return kErrAccessDenied;

  if (!f->network) {
    // A station of network mode that died in the middle of a change left
    // its journal; nobody else has the file open now (the lock above).
    if (!f->readOnly)
      if (int err = RecoverJournal(base)) return err;
    if (int err = LoadHeaders(*f, mode)) return err;
  } else {
    // The coordination takes the opening lock, under which no station
    // changes the file while its headers are read.
    if (int err = e.hooks->onOpen(*f, f->readOnly)) return err;
    int err = LoadHeaders(*f, mode);
    err = e.hooks->onOpened(*f, err);
    if (err) return err;
  }

  f->id = e.nextId++;
  e.files.push_back(f.get());
  out = f.release();
  return kOk;
}

int ReloadParts(IndexedFile& f, std::uint32_t parts) {
  if (parts & 1u) {
    unsigned char h[kDataHeaderSize];
    if (int err = ReadData(f, 0, h, kDataHeaderSize)) return err;
    namespace dh = data_header;
    const std::int32_t first = GetI32(h + dh::kFirstFree), count = GetI32(h + dh::kFreeCount),
                       highest = GetI32(h + dh::kHighest);
    const std::int64_t size = f.dat->size();
    if (highest < 0 || count < 0 || count > highest || (first == -1) != (count == 0) || first < -1 ||
        first > highest || size < 0 || size / f.recordLength < std::int64_t{highest} + 1)
      return kErrFreeChain;
    f.firstFree = first;
    f.freeCount = count;
    f.highest = highest;
  }
  bool anyKey = false;
  for (std::size_t i = 0; i < f.keys.size(); ++i) anyKey |= (parts >> (i + 1)) & 1u;
  if (!anyKey) return kOk;
  const std::int64_t size = f.idx->size();
  if (size < 0) return kErrIO;
  f.rows = size / f.rowSize;
  unsigned char h[kKeyHeaderSize];
  for (std::size_t i = 0; i < f.keys.size(); ++i) {
    if (!((parts >> (i + 1)) & 1u)) continue;
    KeyState& k = f.keys[i];
    engine().cache.drop(f, static_cast<int>(i + 1));
    k.pos.pathValid = false;
    if (int err = ReadAt(*f.idx, k.offset, h, kKeyHeaderSize)) return err;
    if (GetI32(h + 12) != k.pageSize) return kErrBadPageSize;
    const std::int32_t first = GetI32(h + 0), count = GetI32(h + 4), highest = GetI32(h + 8),
                       root = GetI32(h + 16), entries = GetI32(h + 22);
    if (highest < 0 || highest > f.rows - 1 || count < 0 || count > highest || (first == -1) != (count == 0) ||
        root < 0 || root > highest || entries < 0 || (root == 0) != (entries == 0))
      return kErrBadPageSize;
    k.firstFree = first;
    k.freeCount = count;
    k.highest = highest;
    k.root = root;
    k.entries = entries;
  }
  return kOk;
}

int WriteParts(IndexedFile& f, std::uint32_t parts) {
  if (int err = engine().cache.flush(f)) return err;
  unsigned char h[kKeyHeaderSize];
  for (std::size_t i = 0; i < f.keys.size(); ++i) {
    if (!((parts >> (i + 1)) & 1u)) continue;
    EncodeKeyHeader(f.keys[i], h);
    if (int err = WriteAt(*f.idx, f.keys[i].offset, h, kKeyHeaderSize)) return err;
  }
  if (parts & 1u) {
    EncodeDataHeader(f, h);
    if (int err = WriteData(f, 0, h, kDataHeaderSize)) return err;
  }
  return kOk;
}

int FlushFile(IndexedFile& f) {
  // A local file that was not changed since the last flush has nothing to
  // make durable: its flag is 0 on disk and every page was written back.
  const bool changed = f.changed || f.network;
  int err = engine().cache.flush(f);
  if (!err && f.changed) err = WriteHeaders(f);
  if (!err && !f.readOnly && changed && !f.dat->flush()) err = kErrFlush;
  return err;
}

int CloseFile(IndexedFile* f) {
  Engine& e = engine();
  int err = kOk;
  if (f->network && e.hooks) err = e.hooks->onClose(*f);
  int ferr = FlushFile(*f);
  if (!err) err = ferr;
  e.cache.drop(*f);
  if (f->idx && !f->idx->close() && !err) err = kErrClose;
  if (f->dat && !f->dat->close() && !err) err = kErrClose;
  if (f->gate) f->gate->close();
  Unregister(f);
  delete f;
  return err;
}

int AddRecordRaw(IndexedFile& f, const unsigned char* record, std::int32_t& number) {
  number = 0;
  if (int err = BeginChange(f, 0)) return err;
  std::int32_t n, next = f.firstFree;
  if (f.firstFree == -1) {
    if (f.highest == std::numeric_limits<std::int32_t>::max()) return kErrIO;
    n = f.highest + 1;
  } else {
    n = f.firstFree;
    unsigned char b[4];
    if (n < 1 || n > f.highest) return kErrFreeChain;
    if (int err = ReadData(f, std::int64_t{n} * f.recordLength, b, 4)) return err;
    next = GetI32(b);
    if (next == 0 || next < -1 || next > f.highest || next == n || f.freeCount < 1) return kErrFreeChain;
  }
  // The first four bytes belong to the engine: a record in use starts with 0.
  std::vector<unsigned char> rec(record, record + f.recordLength);
  PutI32(rec.data(), 0);
  if (int err = WriteData(f, std::int64_t{n} * f.recordLength, rec.data(), rec.size())) return err;
  if (f.firstFree == -1) {
    f.highest = n;
  } else {
    f.firstFree = next;
    --f.freeCount;
  }
  number = n;
  return kOk;
}

int DeleteRecordRaw(IndexedFile& f, std::int32_t n) {
  if (n < 1 || n > f.highest) return kErrDeleteOutOfRange;
  if (int err = BeginChange(f, 0)) return err;
  unsigned char b[4];
  if (int err = ReadData(f, std::int64_t{n} * f.recordLength, b, 4)) return err;
  if (GetI32(b) != 0) return kErrDeleteOutOfRange;  // already free: a second delete would knot the chain
  PutI32(b, f.firstFree);
  if (int err = WriteData(f, std::int64_t{n} * f.recordLength, b, 4)) return err;
  f.firstFree = n;
  ++f.freeCount;
  return kOk;
}

}  // namespace detail

// Every opener, local or station, holds a lock in the ".DIA" file (the gate)
// while it has the file open, stations also their numbers.
bool StationsOpen(const std::string& basePath) {
  const std::string dia = CoordinationFilePath(basePath);
  if (!pf::fs().exists(dia)) return false;
  auto h = pf::fs().open(dia, pf::OpenMode::ReadWrite);
  if (!h) return false;
  // This process's own exclusive hold of the gate is nobody else.
  if (!engine().exclusive.count(basePath)) return h->lockRange(0, 0, true) == pf::LockResult::Busy;
  return h->lockRange(0, kGateByte, true) == pf::LockResult::Busy ||
         h->lockRange(kGateByte + 1, 0, true) == pf::LockResult::Busy;
}

int HoldExclusively(const std::string& basePath) {
  Engine& e = engine();
  if (auto it = e.exclusive.find(basePath); it != e.exclusive.end()) {
    ++it->second.second;
    return kOk;
  }
  // This process's own open files of it count as well: their owner closes them first.
  for (IndexedFile* open : e.files)
    if (open->basePath == basePath) return kErrAccessDenied;
  auto h = pf::fs().open(CoordinationFilePath(basePath), pf::OpenMode::OpenOrCreate);
  if (!h) return kErrAccessDenied;
  if (h->lockRange(kGateByte, 1, true) != pf::LockResult::Locked) return kErrAccessDenied;
  // An opener that came before the gate existed (or could not be created
  // then) holds the data file or a station number: it counts as well.
  if (h->lockRange(0, kGateByte, true) == pf::LockResult::Busy ||
      h->lockRange(kGateByte + 1, 0, true) == pf::LockResult::Busy)
    return kErrAccessDenied;
  h->unlockRange(0, kGateByte);
  h->unlockRange(kGateByte + 1, 0);
  if (auto dat = pf::fs().open(DataFilePath(basePath), pf::OpenMode::Read))
    if (dat->lockRange(0, 0, true) == pf::LockResult::Busy) return kErrAccessDenied;
  e.exclusive.emplace(basePath, std::make_pair(std::move(h), 1));
  return kOk;
}

void ReleaseExclusively(const std::string& basePath) {
  Engine& e = engine();
  auto it = e.exclusive.find(basePath);
  if (it == e.exclusive.end()) return;
  if (--it->second.second > 0) return;
  it->second.first->close();
  e.exclusive.erase(it);
}

int CreateIndexedFile(const std::string& basePath, int recordLength, const KeyTable& keys) {
  Call c;
  if (int err = c.enter()) return c.done(err);
  ExclusiveHold hold(basePath);
  // Without a coordination file (none can be made there) nobody else holds
  // the file either: the creation says what is wrong with the path.
  if (hold.error() && pf::fs().exists(CoordinationFilePath(basePath))) return c.done(hold.error());
  return c.done(CreateFiles(basePath, recordLength, keys));
}

int CreateMissingIndexedFile(const std::string& basePath, int recordLength, const KeyTable& keys) {
  Call c;
  if (int err = c.enter()) return c.done(err);
  const std::string dat = DataFilePath(basePath);
  // Another opener's creation takes a moment; a rebuild's file moved aside is
  // not missing (the opening puts it back).
  for (int tries = 0; tries < 200; ++tries) {
    if (pf::fs().exists(dat) || pf::fs().exists(SaveFilePath(basePath))) return c.done(kOk);
    {
      ExclusiveHold hold(basePath);
      if (!hold.error()) {
        if (pf::fs().exists(dat) || pf::fs().exists(SaveFilePath(basePath))) return c.done(kOk);
        return c.done(CreateFiles(basePath, recordLength, keys));
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return c.done(kErrAccessDenied);
}

int OpenIndexedFile(const std::string& basePath, bool readOnly, bool network, IndexedFile*& file) {
  file = nullptr;
  Call c;
  if (int err = c.enter()) return c.done(err);
  return c.done(OpenFile(basePath, readOnly, network, file));
}

int CloseIndexedFile(IndexedFile* file) {
  Call c;
  if (int err = c.enter()) return c.done(err);
  const auto& files = engine().files;
  if (!file || std::find(files.begin(), files.end(), file) == files.end()) return c.done(kErrCloseNotOpen);
  return c.done(CloseFile(file));
}

int FlushIndexedFile(IndexedFile* file) {
  Call c;
  if (int err = c.enter(file)) return c.done(err);
  return c.done(FlushFile(*file));
}

int RecordLengthOf(const IndexedFile* file) { return file ? file->recordLength : 0; }
int KeyCountOf(const IndexedFile* file) { return file ? static_cast<int>(file->keys.size()) : 0; }
KeyDef KeyDefOf(const IndexedFile* file, int k) {
  if (!file || k < 1 || k > static_cast<int>(file->keys.size())) return {};
  return file->keys[static_cast<std::size_t>(k - 1)].def;
}
bool IsNetworkMode(const IndexedFile* file) { return file && file->network; }
std::uint64_t ForeignChanges(const IndexedFile* file) { return file ? file->foreignChanges : 0; }

// ---- records ----------------------------------------------------------------------

int AddRecord(IndexedFile* file, const unsigned char* record, std::int32_t& recordNumber) {
  recordNumber = 0;
  Call c;
  if (int err = c.enter(file)) return c.done(err);
  return c.done(AddRecordRaw(*file, record, recordNumber));
}

int GetRecord(IndexedFile* file, std::int32_t n, unsigned char* buffer) {
  Call c;
  if (int err = c.enter(file)) return c.done(err);
  if (int err = BeginRead(*file)) return c.done(EndOperation(*file, err));
  int err = kOk;
  if (n < 1 || n > file->highest)
    err = kErrShortRead;
  else
    err = ReadData(*file, std::int64_t{n} * file->recordLength, buffer,
                 static_cast<std::size_t>(file->recordLength));
  return c.done(EndOperation(*file, err));
}

int ViewRecord(IndexedFile* file, std::int32_t n, const unsigned char*& record) {
  record = nullptr;
  Call c;
  if (int err = c.enter(file)) return c.done(err);
  if (int err = BeginRead(*file)) return c.done(EndOperation(*file, err));
  IndexedFile& f = *file;
  if (n < 1 || n > f.highest) return c.done(EndOperation(f, kErrShortRead));
  const std::int64_t at = std::int64_t{n} * f.recordLength;
  const auto len = static_cast<std::size_t>(f.recordLength);
  int err = f.datCache.view(*f.dat, at, len, record);
  if (!err && !record) {  // not in one cached block: through a copy of our own
    try {
      f.viewCopy.resize(len);
    } catch (const std::bad_alloc&) {
      return c.done(EndOperation(f, kErrNoMemoryForCopy));
    }
    err = ReadData(f, at, f.viewCopy.data(), len);
    if (!err) record = f.viewCopy.data();
  }
  return c.done(EndOperation(f, err));
}

int PutRecord(IndexedFile* file, std::int32_t n, const unsigned char* record) {
  Call c;
  if (int err = c.enter(file)) return c.done(err);
  IndexedFile& f = *file;
  if (n <= 0) return c.done(kErrWriteRecordZero);
  if (n > f.highest) return c.done(kErrDeleteOutOfRange);
  if (int err = BeginChange(f, -1)) return c.done(err);
  unsigned char b[4];
  if (int err = ReadData(f, std::int64_t{n} * f.recordLength, b, 4)) return c.done(err);
  if (GetI32(b) != 0) return c.done(kErrDeleteOutOfRange);  // a free record stays free
  std::vector<unsigned char> rec(record, record + f.recordLength);
  PutI32(rec.data(), 0);
  return c.done(WriteData(f, std::int64_t{n} * f.recordLength, rec.data(), rec.size()));
}

int DeleteRecord(IndexedFile* file, std::int32_t n) {
  Call c;
  if (int err = c.enter(file)) return c.done(err);
  return c.done(DeleteRecordRaw(*file, n));
}

std::int32_t UsedRecords(IndexedFile* file) {
  Call c;
  if (int err = c.enter(file)) {
    c.done(err);
    return -1;
  }
  if (int err = BeginRead(*file)) {
    c.done(EndOperation(*file, err));
    return -1;
  }
  const std::int32_t used = file->highest - file->freeCount;
  return c.done(EndOperation(*file, kOk)) == kOk ? used : -1;
}

// ---- network mode -------------------------------------------------------------------

int LockFile(IndexedFile* file) {
  Call c;
  if (int err = c.enter(file)) return c.done(err);
  Engine& e = engine();
  if (!file->network || !e.hooks || file->readOnly) return c.done(kOk);
  return c.done(e.hooks->lock(*file));
}

int UnlockFile(IndexedFile* file) {
  Call c;
  if (int err = c.enter(file)) return c.done(err);
  Engine& e = engine();
  if (!file->network || !e.hooks || file->readOnly) return c.done(kOk);
  return c.done(e.hooks->unlock(*file));
}

}  // namespace kandelo::isam
