// Page cache of the indexed-file engine (layout and rules: isam.cpp). The
// buffers form a ring in least-recently-used order; a hash index finds a page.

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "storage/isam_internal.h"
#include "platform/memory.h"

namespace kandelo::isam::detail {

std::uint64_t PageCache::Tag(const IndexedFile& f, int key, std::int32_t page) {
  return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(f.id)) << 36) |
         (static_cast<std::uint64_t>(key & 0xF) << 32) | static_cast<std::uint32_t>(page);
}

int PageCache::start(int count) {
  try {
    buffers_.assign(static_cast<std::size_t>(count), PageBuffer{});
    index_.clear();
    index_.reserve(static_cast<std::size_t>(count) * 2);
  } catch (const std::bad_alloc&) {
    buffers_.clear();
    return kErrNoMemoryPages;
  }
  newest_ = oldest_ = -1;
  for (int i = 0; i < count; ++i) pushOldest(i);
  return kOk;
}

void PageCache::stop() {
  buffers_.clear();
  buffers_.shrink_to_fit();
  index_.clear();
  newest_ = oldest_ = -1;
}

void PageCache::unlink(int i) {
  PageBuffer& b = buffers_[static_cast<std::size_t>(i)];
  if (b.newer >= 0) buffers_[static_cast<std::size_t>(b.newer)].older = b.older; else newest_ = b.older;
  if (b.older >= 0) buffers_[static_cast<std::size_t>(b.older)].newer = b.newer; else oldest_ = b.newer;
  b.newer = b.older = -1;
}

void PageCache::pushNewest(int i) {
  PageBuffer& b = buffers_[static_cast<std::size_t>(i)];
  b.older = newest_;
  b.newer = -1;
  if (newest_ >= 0) buffers_[static_cast<std::size_t>(newest_)].newer = i; else oldest_ = i;
  newest_ = i;
}

void PageCache::pushOldest(int i) {
  PageBuffer& b = buffers_[static_cast<std::size_t>(i)];
  b.newer = oldest_;
  b.older = -1;
  if (oldest_ >= 0) buffers_[static_cast<std::size_t>(oldest_)].older = i; else newest_ = i;
  oldest_ = i;
}

void PageCache::forget(PageBuffer& b) {
  if (b.file) index_.erase(Tag(*b.file, b.key, b.page));
  b.file = nullptr;
  b.dirty = false;
  b.span = 0;
  b.checked = false;
}

int PageCache::writeBack(PageBuffer& b) {
  if (!b.dirty) return kOk;
  IndexedFile& f = *b.file;
  const KeyState& k = f.keys[static_cast<std::size_t>(b.key - 1)];
  const int n = std::clamp(b.span, 0, b.size);
  if (int err = WriteAt(*f.idx, b.page * f.rowSize + k.offset, b.data.data(), static_cast<std::size_t>(n)))
    return err;
  b.dirty = false;
  b.span = 0;
  return kOk;
}

int PageCache::victim(PageBuffer*& out) {
  out = nullptr;
  for (int i = oldest_; i >= 0; i = buffers_[static_cast<std::size_t>(i)].newer) {
    if (buffers_[static_cast<std::size_t>(i)].pins == 0) {
      out = &buffers_[static_cast<std::size_t>(i)];
      break;
    }
  }
  if (!out) return kErrNoMemoryPages;  // every buffer pinned: cannot happen with >= 8 buffers
  if (int err = writeBack(*out)) {
    out = nullptr;
    return err;
  }
  forget(*out);
  return kOk;
}

// Buffers get their memory when first used, as much as the page needs, so
// that many buffers cost nothing until the files need them.
int PageCache::reserve(PageBuffer& b, int size) {
  if (b.data.size() >= static_cast<std::size_t>(size)) return kOk;
  try {
    b.data.resize(static_cast<std::size_t>(size));
  } catch (const std::bad_alloc&) {
    return kErrNoMemoryPages;
  }
  return kOk;
}

int PageCache::fetch(IndexedFile& f, int key, std::int32_t page, PageBuffer*& out) {
  // A walk asks for the page it asked for last, again and again.
  if (newest_ >= 0) {
    PageBuffer& b = buffers_[static_cast<std::size_t>(newest_)];
    if (b.file == &f && b.key == key && b.page == page) {
      out = &b;
      return kOk;
    }
  }
  const std::uint64_t tag = Tag(f, key, page);
  if (auto it = index_.find(tag); it != index_.end()) {
    unlink(it->second);
    pushNewest(it->second);
    out = &buffers_[static_cast<std::size_t>(it->second)];
    return kOk;
  }
  PageBuffer* b = nullptr;
  if (int err = victim(b)) return err;
  const KeyState& k = f.keys[static_cast<std::size_t>(key - 1)];
  if (int err = reserve(*b, k.pageSize)) return err;
  if (int err = ReadAt(*f.idx, page * f.rowSize + k.offset, b->data.data(), static_cast<std::size_t>(k.pageSize)))
    return err;
  b->file = &f;
  b->key = key;
  b->page = page;
  b->size = k.pageSize;
  index_[tag] = indexOf(*b);
  unlink(indexOf(*b));
  pushNewest(indexOf(*b));
  out = b;
  return kOk;
}

int PageCache::fresh(IndexedFile& f, int key, std::int32_t page, PageBuffer*& out) {
  PageBuffer* b = nullptr;
  if (int err = victim(b)) return err;
  const KeyState& k = f.keys[static_cast<std::size_t>(key - 1)];
  if (int err = reserve(*b, k.pageSize)) return err;
  std::fill(b->data.begin(), b->data.begin() + k.pageSize, 0);
  b->file = &f;
  b->key = key;
  b->page = page;
  b->size = k.pageSize;
  index_[Tag(f, key, page)] = indexOf(*b);
  unlink(indexOf(*b));
  pushNewest(indexOf(*b));
  out = b;
  return kOk;
}

int PageCache::flush(IndexedFile& f) {
  // In page order, so that the writes of a flush do not depend on the cache either.
  std::vector<PageBuffer*> dirty;
  for (PageBuffer& b : buffers_)
    if (b.file == &f && b.dirty) dirty.push_back(&b);
  std::sort(dirty.begin(), dirty.end(), [](const PageBuffer* a, const PageBuffer* b) {
    return a->page != b->page ? a->page < b->page : a->key < b->key;
  });
  for (PageBuffer* b : dirty)
    if (int err = writeBack(*b)) return err;
  return kOk;
}

void PageCache::drop(IndexedFile& f, int key) {
  for (PageBuffer& b : buffers_) {
    if (b.file != &f || (key != 0 && b.key != key)) continue;
    forget(b);
    unlink(indexOf(b));
    pushOldest(indexOf(b));
  }
}

// ---- record cache -------------------------------------------------------------

int RecordCache::slotOf(std::int64_t start) const {
  const std::int64_t n = start / kBlock;
  return n < static_cast<std::int64_t>(slots_.size()) ? slots_[static_cast<std::size_t>(n)] : -1;
}

void RecordCache::FreeChunk::operator()(unsigned char* p) const {
  std::free(p);
}

unsigned char* RecordCache::newBlockMemory() {
  if (chunkLeft_ == 0) {
    // As many blocks as the file needs, a whole aligned chunk at most.
    const std::int64_t perChunk = kChunk / kBlock;
    const std::int64_t need = std::clamp<std::int64_t>((size_ + kBlock - 1) / kBlock, 1, perChunk);
    // Small files take what they need; both kinds go back with std::free.
    const std::size_t bytes = need == perChunk ? static_cast<std::size_t>(kChunk) : static_cast<std::size_t>(need * kBlock);
    void* p = need == perChunk ? platform::AllocateLargeBuffer(bytes) : std::malloc(bytes);
    if (!p) return nullptr;
    try {
      chunks_.emplace_back(static_cast<unsigned char*>(p));
    } catch (const std::bad_alloc&) {
      std::free(p);
      return nullptr;
    }
    chunkNext_ = static_cast<unsigned char*>(p);
    chunkLeft_ = need;
  }
  unsigned char* block = chunkNext_;
  chunkNext_ += kBlock;
  --chunkLeft_;
  return block;
}

void RecordCache::clear() {
  blocks_.clear();
  chunks_.clear();
  chunkNext_ = nullptr;
  chunkLeft_ = 0;
  slots_.clear();
  newest_ = oldest_ = -1;
}

void RecordCache::unlink(int i) {
  Block& b = blocks_[static_cast<std::size_t>(i)];
  if (b.newer >= 0) blocks_[static_cast<std::size_t>(b.newer)].older = b.older; else newest_ = b.older;
  if (b.older >= 0) blocks_[static_cast<std::size_t>(b.older)].newer = b.newer; else oldest_ = b.newer;
  b.newer = b.older = -1;
}

// Makes a block of the ring the newest.
void RecordCache::touch(int i) {
  if (newest_ == i) return;
  unlink(i);
  Block& b = blocks_[static_cast<std::size_t>(i)];
  b.older = newest_;
  b.newer = -1;
  if (newest_ >= 0) blocks_[static_cast<std::size_t>(newest_)].newer = i; else oldest_ = i;
  newest_ = i;
}

int RecordCache::load(platform::FileHandle& h, std::int64_t start, Block*& out) {
  const std::int64_t n = start / kBlock;
  if (n >= kMaxSlots) return kNoBlock;
  if (n >= static_cast<std::int64_t>(slots_.size())) {
    try {
      slots_.resize(static_cast<std::size_t>(n) + 1, -1);
    } catch (const std::bad_alloc&) {
      return kNoBlock;
    }
  }
  int i = -1;
  if (blocks_.size() < kMaxBlocks) {
    // The block list grows before the memory is taken, so that a failure
    // of either leaves nothing behind.
    try {
      blocks_.reserve(blocks_.size() + 1);
    } catch (const std::bad_alloc&) {
      return kNoBlock;
    }
    if (unsigned char* memory = newBlockMemory()) {
      Block nb;
      nb.data = memory;
      blocks_.push_back(nb);
      i = static_cast<int>(blocks_.size()) - 1;
    }
  }
  if (i < 0) {
    if (oldest_ < 0) return kNoBlock;
    i = oldest_;
    unlink(i);
    if (blocks_[static_cast<std::size_t>(i)].start >= 0)
      slots_[static_cast<std::size_t>(blocks_[static_cast<std::size_t>(i)].start / kBlock)] = -1;
  }
  Block& b = blocks_[static_cast<std::size_t>(i)];
  const std::int64_t want = std::clamp<std::int64_t>(size_ - start, 0, kBlock);
  long long got = 0;
  if (want > 0) got = h.readAt(start, b.data, static_cast<std::size_t>(want));
  b.start = got < 0 ? -1 : start;
  b.valid = got < 0 ? 0 : got;
  // A failed read leaves the block as the oldest, holding nothing.
  b.older = -1;
  b.newer = oldest_;
  if (oldest_ >= 0) blocks_[static_cast<std::size_t>(oldest_)].older = i; else newest_ = i;
  oldest_ = i;
  if (got < 0) return kErrIO;
  slots_[static_cast<std::size_t>(start / kBlock)] = i;
  touch(i);
  out = &b;
  return kOk;
}

int RecordCache::blockAt(platform::FileHandle& h, std::int64_t start, Block*& out) {
  if (const int slot = slotOf(start); slot >= 0) {
    out = &blocks_[static_cast<std::size_t>(slot)];
    touch(slot);
    return kOk;
  }
  return load(h, start, out);
}

int RecordCache::read(platform::FileHandle& h, std::int64_t offset, void* buf, std::size_t n) {
  if (!enabled_ || offset < 0) return ReadAt(h, offset, buf, n);
  auto* p = static_cast<unsigned char*>(buf);
  std::int64_t at = offset;
  const std::int64_t end = offset + static_cast<std::int64_t>(n);
  while (at < end) {
    const std::int64_t start = at - at % kBlock;
    Block* b = nullptr;
    if (int err = blockAt(h, start, b)) return err == kNoBlock ? ReadAt(h, offset, buf, n) : err;
    const std::int64_t upto = std::min(end, start + kBlock);
    // Past the end of the file: the file itself gives the right answer.
    if (upto > start + b->valid) return ReadAt(h, offset, buf, n);
    std::memcpy(p + (at - offset), b->data + (at - start), static_cast<std::size_t>(upto - at));
    at = upto;
  }
  return kOk;
}

int RecordCache::view(platform::FileHandle& h, std::int64_t offset, std::size_t n, const unsigned char*& out) {
  out = nullptr;
  if (!enabled_ || offset < 0) return kOk;
  const std::int64_t start = offset - offset % kBlock;
  const std::int64_t end = offset + static_cast<std::int64_t>(n);
  if (end > start + kBlock) return kOk;  // straddles two blocks
  Block* b = nullptr;
  if (int err = blockAt(h, start, b)) return err == kNoBlock ? kOk : err;
  if (end > start + b->valid) return kOk;  // past the end of what the file holds
  out = b->data + (offset - start);
  return kOk;
}

void RecordCache::prefetch(std::int64_t offset, std::size_t n) const {
  if (!enabled_ || offset < 0) return;
  const std::int64_t start = offset - offset % kBlock;
  const int slot = slotOf(start);
  if (slot < 0) return;
  const Block& b = blocks_[static_cast<std::size_t>(slot)];
  const std::int64_t upto = std::min({offset + static_cast<std::int64_t>(n), start + b.valid, start + kBlock});
  for (std::int64_t at = offset; at < upto; at += 64) __builtin_prefetch(b.data + (at - start));
}

int RecordCache::write(platform::FileHandle& h, std::int64_t offset, const void* buf, std::size_t n) {
  const int err = WriteAt(h, offset, buf, n);
  if (!enabled_) return err;
  if (err) {  // what reached the file is unknown
    clear();
    size_ = h.size();
    if (size_ < 0) enabled_ = false;
    return err;
  }
  const auto* p = static_cast<const unsigned char*>(buf);
  const std::int64_t end = offset + static_cast<std::int64_t>(n);
  for (std::int64_t start = offset - offset % kBlock; start < end; start += kBlock) {
    const int slot = slotOf(start);
    if (slot < 0) continue;
    Block& b = blocks_[static_cast<std::size_t>(slot)];
    const std::int64_t from = std::max(offset, start), upto = std::min(end, start + kBlock);
    if (from > start + b.valid) {  // a gap: forget the block
      b.valid = 0;
      continue;
    }
    std::memcpy(b.data + (from - start), p + (from - offset), static_cast<std::size_t>(upto - from));
    b.valid = std::max(b.valid, upto - start);
  }
  size_ = std::max(size_, end);
  return kOk;
}

}  // namespace kandelo::isam::detail
