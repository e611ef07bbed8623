// Page cache of the indexed-file engine (layout and rules: isam.cpp).

#include <algorithm>
#include <new>

#include "database/isam_internal.h"

namespace kandelo::isam::detail {

int PageCache::start(int count) {
  try {
    buffers_.assign(static_cast<std::size_t>(count), PageBuffer{});
    for (PageBuffer& b : buffers_) b.data.assign(kMaxPageBytes, 0);
  } catch (const std::bad_alloc&) {
    buffers_.clear();
    return kErrNoMemoryPages;
  }
  clock_ = 0;
  return kOk;
}

void PageCache::stop() {
  buffers_.clear();
  buffers_.shrink_to_fit();
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
  for (PageBuffer& b : buffers_) {
    if (b.pins > 0) continue;
    if (!out || b.lastUse < out->lastUse) out = &b;
  }
  if (!out) return kErrNoMemoryPages;  // every buffer pinned: cannot happen with >= 8 buffers
  if (int err = writeBack(*out)) {
    out = nullptr;
    return err;
  }
  out->file = nullptr;
  out->checked = false;
  return kOk;
}

int PageCache::fetch(IndexedFile& f, int key, std::int32_t page, PageBuffer*& out) {
  for (PageBuffer& b : buffers_) {
    if (b.file == &f && b.key == key && b.page == page) {
      b.lastUse = ++clock_;
      out = &b;
      return kOk;
    }
  }
  PageBuffer* b = nullptr;
  if (int err = victim(b)) return err;
  const KeyState& k = f.keys[static_cast<std::size_t>(key - 1)];
  if (int err = ReadAt(*f.idx, page * f.rowSize + k.offset, b->data.data(), static_cast<std::size_t>(k.pageSize)))
    return err;
  b->file = &f;
  b->key = key;
  b->page = page;
  b->size = k.pageSize;
  b->dirty = false;
  b->span = 0;
  b->checked = false;
  b->lastUse = ++clock_;
  out = b;
  return kOk;
}

int PageCache::fresh(IndexedFile& f, int key, std::int32_t page, PageBuffer*& out) {
  PageBuffer* b = nullptr;
  if (int err = victim(b)) return err;
  const KeyState& k = f.keys[static_cast<std::size_t>(key - 1)];
  std::fill(b->data.begin(), b->data.begin() + k.pageSize, 0);
  b->file = &f;
  b->key = key;
  b->page = page;
  b->size = k.pageSize;
  b->dirty = false;
  b->span = 0;
  b->checked = false;
  b->lastUse = ++clock_;
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
    b.file = nullptr;
    b.dirty = false;
    b.span = 0;
    b.checked = false;
    b.lastUse = 0;
  }
}

}  // namespace kandelo::isam::detail
