// Undo journal of a change in network mode. Other stations keep the file
// open while one of them changes it, so the open-for-writing flag and the
// rebuild that guard local mode against a crash cannot be used: a station
// killed in the middle of a change would leave half-written pages and headers
// that every other station goes on reading. Instead, every write of a change
// first keeps the bytes it overwrites in the journal ("<base>.JNL"); the
// change ends by clearing the journal's first bytes (not by cutting it
// short, which some file systems answer by writing the file out at once). A journal that is not empty belongs to
// a change that never finished, and putting its old bytes back (newest
// first) restores the files as they were before that change.
//
// Layout: the 8 bytes "KNDJNL01" and the change's 8-byte number, then
// entries, each closed by a checksum (seeded with the change's number) so
// that a torn last entry is recognised (its write never happened either),
// and so is what an earlier change left behind it:
//   1  byte   kind: 1 size, 2 old bytes
//   1  byte   file: 0 data, 1 index
//   8  int64  size (kind 1: the file's size when the change first wrote it;
//             kind 2: the offset of the old bytes)
//   4  int32  (kind 2 only) number of old bytes n, then the n bytes
//   4  uint32 checksum (FNV-1a) of the entry's bytes before it
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/fileio.h"

namespace kandelo::isam::detail {

class Journal {
 public:
  explicit Journal(std::unique_ptr<platform::FileHandle> handle) : handle_(std::move(handle)) {}
  // A change starts: from now on writes are kept.
  void begin();
  // The change is complete on disk: the journal is emptied. False when that fails.
  bool end();
  // The change is abandoned: nothing more is kept, the journal stays for the roll-back.
  void stop() {
    active_ = false;
    at_ = 0;
  }
  bool active() const { return active_; }
  // Keeps the old contents of n bytes at offset of `target` (file 0 data,
  // 1 index) before they are overwritten. False when the journal cannot be
  // written; the write must then not happen.
  bool keep(platform::FileHandle& target, int file, std::int64_t offset, std::size_t n);

 private:
  std::unique_ptr<platform::FileHandle> handle_;
  bool active_ = false;
  std::int64_t at_ = 0;
  std::int64_t size_[2] = {-1, -1};  // file sizes as the change left them so far; -1 not yet written
  std::uint64_t change_ = 0;         // number of the change, seeds the checksums
  std::vector<unsigned char> entry_;
};

// A data or index file handle whose writes go through the journal while a
// change is in progress; everything else passes through.
class JournaledHandle : public platform::FileHandle {
 public:
  JournaledHandle(std::unique_ptr<platform::FileHandle> inner, std::shared_ptr<Journal> journal, int file)
      : inner_(std::move(inner)), journal_(std::move(journal)), file_(file) {}
  long long read(void* buf, std::size_t n) override { return inner_->read(buf, n); }
  bool write(const void* buf, std::size_t n) override {
    const std::int64_t at = inner_->tell();
    return at >= 0 && writeAt(at, buf, n) && inner_->seek(at + static_cast<std::int64_t>(n));
  }
  bool seek(std::int64_t offset) override { return inner_->seek(offset); }
  long long readAt(std::int64_t offset, void* buf, std::size_t n) override { return inner_->readAt(offset, buf, n); }
  bool writeAt(std::int64_t offset, const void* buf, std::size_t n) override {
    if (journal_->active() && !journal_->keep(*inner_, file_, offset, n)) return false;
    return inner_->writeAt(offset, buf, n);
  }
  std::int64_t tell() override { return inner_->tell(); }
  std::int64_t size() override { return inner_->size(); }
  std::int64_t sizeWhenOpened() const override { return inner_->sizeWhenOpened(); }
  bool truncate(std::int64_t length) override { return inner_->truncate(length); }
  bool flush() override { return inner_->flush(); }
  bool close() override { return inner_->close(); }
  platform::LockResult lockRange(std::int64_t offset, std::int64_t length, bool exclusive) override {
    return inner_->lockRange(offset, length, exclusive);
  }
  bool unlockRange(std::int64_t offset, std::int64_t length) override { return inner_->unlockRange(offset, length); }

 private:
  std::unique_ptr<platform::FileHandle> inner_;
  std::shared_ptr<Journal> journal_;
  int file_;
};

}  // namespace kandelo::isam::detail
