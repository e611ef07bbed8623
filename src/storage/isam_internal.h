// Internals shared by the parts of the file layer (files, page cache, B-tree,
// rebuild) and the object layer over them. Not for use outside src/storage/.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/bytes.h"
#include "platform/fileio.h"
#include "platform/memory.h"
#include "platform/paths.h"
#include "storage/isam.h"

namespace kandelo::isam {

using platform::ChangeFileExt;
using platform::GetI32;
using platform::GetI64;
using platform::GetU16;
using platform::GetU32;
using platform::ParentPath;
using platform::PutI32;
using platform::PutI64;
using platform::PutU16;
using platform::PutU32;

namespace detail {

constexpr int kDataHeaderSize = 21;
// Fields of the data file's header record (record 0); see isam.cpp.
namespace data_header {
constexpr int kFirstFree = 0;     // int32
constexpr int kFreeCount = 4;     // int32
constexpr int kHighest = 8;       // int32
constexpr int kRecordLength = 12; // int32
constexpr int kKeyCount = 16;     // int32, only the low byte counts
constexpr int kOpenFlag = 20;     // byte
}  // namespace data_header
constexpr int kKeyHeaderSize = 26;
constexpr int kPageHead = 6;
constexpr int kMaxPageBytes = 16382;  // largest page a buffer holds

// Where a key stands. The path holds (page, index) pairs from the root down:
// for the pages above the last, index is the child taken (0..count); for the
// last, the item (1..count) the key stands on. The path is only a shortcut:
// the entry itself (string, record) is kept as well, so that a changed tree
// (pathValid false) re-finds its place by value.
struct Position {
  enum State { Cleared, OnEntry, Invalid } state = Cleared;
  std::vector<std::pair<std::int32_t, int>> path;
  bool pathValid = false;
  std::string key;
  std::int32_t record = 0;
};

struct KeyState {
  KeyDef def;
  int pageSize = 0;
  int itemSize = 0;
  std::int64_t offset = 0;  // within a row of the index file
  std::int32_t firstFree = -1, freeCount = 0, highest = 0, root = 0, entries = 0;
  Position pos;
};

// Read cache of the data file: whole blocks, least recently used out. Every
// write to the data file goes through it (write-through), so a cached block
// always equals the file. Only for files no other process writes (local mode).
class RecordCache {
 public:
  static constexpr std::int64_t kBlock = 64 * 1024;
  static constexpr std::size_t kMaxBlocks = 1024;  // 64 MiB per file at most
  static constexpr std::int64_t kMaxSlots = std::int64_t{1} << 22;  // files beyond 256 GiB read uncached
  void enable(std::int64_t fileSize) { enabled_ = true; size_ = fileSize; }
  int read(platform::FileHandle& h, std::int64_t offset, void* buf, std::size_t n);
  // Points `out` at the n bytes at offset inside a cached block; nullptr (and
  // kOk) when they do not lie in one block of the file or the cache is off.
  int view(platform::FileHandle& h, std::int64_t offset, std::size_t n, const unsigned char*& out);
  int write(platform::FileHandle& h, std::int64_t offset, const void* buf, std::size_t n);
  void clear();
  // A hint: brings the bytes into the processor's cache when their block is here.
  void prefetch(std::int64_t offset, std::size_t n) const;

 private:
  struct Block {
    std::int64_t start = 0;
    std::int64_t valid = 0;  // bytes of the block that are in the file
    unsigned char* data = nullptr;  // kBlock bytes of a chunk
    int newer = -1, older = -1;
  };
  // Blocks take their memory from chunks. A large file gets chunks of 2 MiB
  // aligned to 2 MiB, which the system can map as one huge page: a walk in
  // key order jumps between records all over the file, and with small pages
  // nearly every jump would miss the processor's address cache.
  static constexpr std::int64_t kChunk = static_cast<std::int64_t>(platform::kHugePageSize);
  struct FreeChunk {
    void operator()(unsigned char* p) const;
  };
  unsigned char* newBlockMemory();
  static constexpr int kNoBlock = -1;  // no memory for a block: read uncached
  int load(platform::FileHandle& h, std::int64_t start, Block*& out);
  // The block starting at `start`, from the cache or loaded (kNoBlock: no memory).
  int blockAt(platform::FileHandle& h, std::int64_t start, Block*& out);
  void touch(int i);
  void unlink(int i);
  bool enabled_ = false;
  std::int64_t size_ = 0;  // file size as this cache knows it
  std::vector<Block> blocks_;
  std::vector<std::unique_ptr<unsigned char, FreeChunk>> chunks_;
  unsigned char* chunkNext_ = nullptr;  // the next free block of the newest chunk
  std::int64_t chunkLeft_ = 0;          // and how many are left there
  std::vector<int> slots_;  // block number -> index in blocks_, -1 when not here
  int slotOf(std::int64_t start) const;
  int newest_ = -1, oldest_ = -1;
};

}  // namespace detail

class IndexedFile {
 public:
  std::string basePath, dataPath, indexPath;
  std::unique_ptr<platform::FileHandle> dat, idx;
  detail::RecordCache datCache;  // reads and writes of dat go through it
  std::vector<unsigned char> viewCopy;  // ViewRecord of a record the cache cannot show in place
  std::int32_t recordLength = 0;
  std::int32_t firstFree = -1, freeCount = 0, highest = 0;
  bool readOnly = false;
  bool network = false;
  bool changed = false;   // open-for-writing flag is 1 on disk
  std::vector<detail::KeyState> keys;  // keys[0] is key 1
  std::int64_t rowSize = 0;
  std::int64_t rows = 0;  // complete rows in the index file
  int id = 0;
  void* coordination = nullptr;  // state of the network coordination, if any
  // The ".DIA" file with this opener's shared lock on the gate byte, held
  // from opening to closing (see HoldExclusively).
  std::unique_ptr<platform::FileHandle> gate;
  // Network mode: the parts changed under the write lock since it was taken
  // (bit 0 the data header, bit k key k, bit K + 1 any change at all).
  std::uint32_t changedParts = 0;
  // Network mode: how often a refresh found changes of other stations.
  std::uint64_t foreignChanges = 0;
};

// Takes the file away from every other opener (stations and local openers,
// in this process and in others) for a rebuild, a recovery or a creation:
// 9908 while anybody has it open. While held, nobody else can open it; this
// process opens it without asking. Nested holds count; each is released.
int HoldExclusively(const std::string& basePath);
void ReleaseExclusively(const std::string& basePath);
class ExclusiveHold {
 public:
  explicit ExclusiveHold(std::string basePath) : base_(std::move(basePath)), error_(HoldExclusively(base_)) {}
  ~ExclusiveHold() {
    if (!error_) ReleaseExclusively(base_);
  }
  ExclusiveHold(const ExclusiveHold&) = delete;
  ExclusiveHold& operator=(const ExclusiveHold&) = delete;
  int error() const { return error_; }

 private:
  std::string base_;
  int error_;
};

// Creates the files when the data file is missing, under the exclusive hold,
// looking again once it holds it: several openers that find no file at once
// create it once, and none creates it anew over the records another has
// added meanwhile. kOk when the file exists afterwards.
int CreateMissingIndexedFile(const std::string& basePath, int recordLength, const KeyTable& keys);

namespace detail {

// ---- page cache ---------------------------------------------------------------

struct PageBuffer {
  IndexedFile* file = nullptr;
  int key = 0;               // 1-based
  std::int32_t page = 0;
  int size = 0;              // page size of the key
  std::vector<unsigned char> data;
  bool dirty = false;
  int span = 0;              // bytes [0, span) may differ from the disk
  bool checked = false;      // validated as a page of the tree
  int pins = 0;
  int newer = -1, older = -1;  // the ring in least-recently-used order
};

class PageCache {
 public:
  int start(int count);
  void stop();
  bool started() const { return !buffers_.empty(); }
  // The page, read from the index file on a miss.
  int fetch(IndexedFile& f, int key, std::int32_t page, PageBuffer*& out);
  // A page of a row just appended: zeros, nothing read.
  int fresh(IndexedFile& f, int key, std::int32_t page, PageBuffer*& out);
  // Writes back the changed pages of a file.
  int flush(IndexedFile& f);
  // Forgets the pages of a file (key 0: all keys) without writing them.
  void drop(IndexedFile& f, int key = 0);

 private:
  int victim(PageBuffer*& out);
  static int reserve(PageBuffer& b, int size);
  static int writeBack(PageBuffer& b);
  static std::uint64_t Tag(const IndexedFile& f, int key, std::int32_t page);
  int indexOf(const PageBuffer& b) const { return static_cast<int>(&b - buffers_.data()); }
  void unlink(int i);
  void pushNewest(int i);
  void pushOldest(int i);
  void forget(PageBuffer& b);
  std::vector<PageBuffer> buffers_;
  std::unordered_map<std::uint64_t, int> index_;  // (file, key, page) -> buffer
  int newest_ = -1, oldest_ = -1;
};

// Pins a buffer while the B-tree code works on it.
class PageRef {
 public:
  PageRef() = default;
  explicit PageRef(PageBuffer* b) : b_(b) { if (b_) ++b_->pins; }
  PageRef(PageRef&& o) noexcept : b_(std::exchange(o.b_, nullptr)) {}
  PageRef& operator=(PageRef&& o) noexcept {
    if (this != &o) { release(); b_ = std::exchange(o.b_, nullptr); }
    return *this;
  }
  PageRef(const PageRef&) = delete;
  PageRef& operator=(const PageRef&) = delete;
  ~PageRef() { release(); }
  PageBuffer* operator->() const { return b_; }
  PageBuffer* get() const { return b_; }
  explicit operator bool() const { return b_ != nullptr; }

 private:
  void release() { if (b_) --b_->pins; b_ = nullptr; }
  PageBuffer* b_ = nullptr;
};

// ---- engine state -----------------------------------------------------------

// The gate byte of the ".DIA" file: every opener, local or station, holds a
// shared lock on it while it has the file open; a rebuild, a recovery or a
// creation holds it exclusively for as long as it changes the files. Past the
// station numbers (2147483647 - 1..25) and the waiters' byte (- 40).
inline constexpr std::int64_t kGateByte = 2147483647 - 41;

struct Engine {
  bool started = false;
  // Files this process holds exclusively (HoldExclusively): base path ->
  // the ".DIA" handle with the exclusive gate lock and how often it is held.
  std::unordered_map<std::string, std::pair<std::unique_ptr<platform::FileHandle>, int>> exclusive;
  bool busy = false;
  int lastError = 0;
  PageCache cache;
  std::vector<IndexedFile*> files;
  int nextId = 1;
  NetworkHooks* hooks = nullptr;
};
Engine& engine();

// Entry guard of every public operation: started, not re-entered, file valid.
class Call {
 public:
  Call() = default;
  ~Call();
  Call(const Call&) = delete;
  Call& operator=(const Call&) = delete;
  int enter();                          // 10455, 10446
  int enter(const IndexedFile* file);   // also 10445
  int done(int error);                  // records the engine's last error

 private:
  bool entered_ = false;
};

// ---- I/O helpers --------------------------------------------------------------

int ReadAt(platform::FileHandle& h, std::int64_t offset, void* buf, std::size_t n);
int WriteAt(platform::FileHandle& h, std::int64_t offset, const void* buf, std::size_t n);
// The data file of an open file, through its record cache.
inline int ReadData(IndexedFile& f, std::int64_t offset, void* buf, std::size_t n) {
  return f.datCache.read(*f.dat, offset, buf, n);
}
inline int WriteData(IndexedFile& f, std::int64_t offset, const void* buf, std::size_t n) {
  return f.datCache.write(*f.dat, offset, buf, n);
}

// Network hooks around reading operations and the check before a change.
int BeginRead(IndexedFile& f);
int EndOperation(IndexedFile& f, int error);
// Refuses read-only / unlocked, marks the change. part: 0 the data header,
// k key k, -1 a record only.
int BeginChange(IndexedFile& f, int part);

// Network mode: re-reads the headers of the parts in the bit set (bit 0 the
// data header, bit k key k) and forgets the cached pages of those keys.
int ReloadParts(IndexedFile& f, std::uint32_t parts);
// Network mode: writes the changed pages and the headers of the parts in the
// bit set, so that the other stations find the change on disk.
int WriteParts(IndexedFile& f, std::uint32_t parts);

// 10020, 10050 or 10055 for a layout CreateIndexedFile refuses.
int CheckLayout(int recordLength, const KeyTable& keys);

// Operations without the entry guard, for the rebuild and the object layer.
int CreateFiles(const std::string& basePath, int recordLength, const KeyTable& keys);
int OpenFile(const std::string& basePath, bool readOnly, bool network, IndexedFile*& file);
int CloseFile(IndexedFile* file);
int FlushFile(IndexedFile& f);
int AddRecordRaw(IndexedFile& f, const unsigned char* record, std::int32_t& recordNumber);
int DeleteRecordRaw(IndexedFile& f, std::int32_t recordNumber);
int AddKeyRaw(IndexedFile& f, int keyNumber, std::int32_t recordNumber, std::string_view key);
int DeleteKeyRaw(IndexedFile& f, int keyNumber, std::int32_t recordNumber, std::string_view key);

// Page allocation for the B-tree.
int AllocatePage(IndexedFile& f, int key, PageRef& out, std::int32_t& page);
int FreePage(IndexedFile& f, int key, std::int32_t page);

// Compares entry strings byte by byte (unsigned); a prefix is smaller.
inline int CompareKeys(std::string_view a, std::string_view b) {
  int c = a.compare(b);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

}  // namespace detail
}  // namespace kandelo::isam
